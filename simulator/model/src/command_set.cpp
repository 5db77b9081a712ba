#include "ombrix_sim/command_set.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ombrix::sim {
namespace {

constexpr uint16_t key(uint8_t cls, uint8_t code) { return uint16_t(cls << 8 | code); }

// Writes into a reply of the length the host asked for, dropping what does not fit.
class Reply {
public:
    Reply(uint8_t* data, size_t length) : data_(data), length_(length) {}
    void byte(size_t at, uint8_t value) {
        if (at < length_) data_[at] = value;
    }
    void u16(size_t at, uint16_t value) {
        byte(at, uint8_t(value >> 8));
        byte(at + 1, uint8_t(value));
    }
    void u16s(std::initializer_list<uint16_t> values) {
        size_t at = 0;
        for (uint16_t v : values) u16(at, v), at += 2;
    }
    void bytes(const uint8_t* src, size_t n) { std::memcpy(data_, src, std::min(n, length_)); }

private:
    uint8_t* data_;
    size_t length_;
};

uint16_t be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

// The spot where a scan finds its extremes, and the mean of what it saw.
struct Extremes {
    uint16_t max = 0, min = 0xFFFF;
    int max_x = 0, max_y = 0, min_x = 0, min_y = 0;
    uint64_t sum = 0;
    uint32_t count = 0;

    void add(const uint16_t* words, int x, int y) {
        const uint16_t w = words[y * kSensorWidth + x];
        if (count == 0 || w > max) max = w, max_x = x, max_y = y;
        if (count == 0 || w < min) min = w, min_x = x, min_y = y;
        sum += w;
        ++count;
    }
    uint16_t mean() const { return count ? uint16_t((sum + count / 2) / count) : 0; }
};

bool on_sensor(int x, int y) { return x >= 0 && x < kSensorWidth && y >= 0 && y < kSensorHeight; }
int point_x(uint32_t point) { return int(point >> 16); }
int point_y(uint32_t point) { return int(point & 0xFFFF); }

// Every cell on the straight line from (x0, y0) to (x1, y1) (Bresenham).
Extremes scan_line(const uint16_t* words, int x0, int y0, int x1, int y1) {
    Extremes e;
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy;;) {
        e.add(words, x0, y0);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
    return e;
}

Extremes scan_rect(const uint16_t* words, int x0, int y0, int x1, int y1) {
    Extremes e;
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
        for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) e.add(words, x, y);
    return e;
}

constexpr uint8_t kFlashId[6] = {0x5A, 0x40, 0x18, 0x00, 0x00, 0x00};  // 16 MiB part
constexpr uint8_t kConfigMagic[4] = {'O', 'C', 'F', 'G'};
constexpr uint8_t kUpdateTag[16] = {'O', 'M', 'B', 'R', 'I', 'X', '-', 'F', 'W', '-', 'T', 'A', 'G', 0, 0, 1};

}  // namespace

CommandSet::CommandSet(ModuleSurface& surface) : surface_(surface) { power_on(); }

void CommandSet::power_on() {
    state_ = State{};
    restore_defaults();
}

CommandSet::Table CommandSet::default_table(PropertyTable table) {
    Table t{};
    if (table == PropertyTable::Tpd) {
        t[0] = 164;                  // distance: 1 m (10 dm x 16.3835, rounded up)
        t[3] = kSceneEmissivityCode;  // emissivity 0.95 x 127, rounded up
        t[5] = 1;                    // normal gain range
    }
    return t;
}

void CommandSet::restore_defaults() {
    for (int i = 0; i < 4; ++i) state_.tables[i] = default_table(PropertyTable(i));
    state_.pseudo_color.fill(0);
}

MeasureSettings CommandSet::measure_settings() const {
    const Table& tpd = state_.tables[int(PropertyTable::Tpd)];
    MeasureSettings s;
    s.emissivity_code = tpd[3];
    s.high_range = tpd[5] == 0;
    return s;
}

int CommandSet::property(PropertyTable table, int index) const {
    if (index < 0 || index >= kTableSize) return -1;
    return state_.tables[int(table)][index];
}

bool CommandSet::set_property(PropertyTable table, uint16_t index, uint32_t value) {
    if (index >= kTableSize || value > 0xFFFF) return false;
    if (table == PropertyTable::Tpd) {
        if (index >= 6 && index <= 9) return false;  // reserved
        if (index == 0 && value > 32767) return false;
        if (index == 3 && value > 127) return false;
        if (index == 5 && value > 1) return false;
    }
    state_.tables[int(table)][index] = uint16_t(value);
    return true;
}

bool CommandSet::device_info(uint32_t arg, uint8_t* reply, size_t length) const {
    // Byte 2 picks the record; bytes 3..5 are the offset into it, which a
    // chunked read advances.
    const std::string* text = nullptr;
    switch (arg >> 24) {
    case 5: text = &identity_.firmware; break;
    case 6: text = &identity_.module_id; break;
    case 7: text = &identity_.serial; break;
    default: return false;
    }
    uint8_t field[kInfoFieldBytes] = {};
    std::memcpy(field, text->data(), std::min(text->size(), size_t(kInfoFieldBytes - 1)));
    const uint32_t offset = arg & 0xFFFFFF;
    for (size_t i = 0; i < length && offset + i < kInfoFieldBytes; ++i) reply[i] = field[offset + i];
    return true;
}

bool CommandSet::standard_read(const StandardCommand& cmd, uint8_t* out) {
    Reply reply(out, cmd.length);
    const uint8_t p = uint8_t(cmd.arg >> 24);  // header byte 2
    const Table& tpd = state_.tables[int(PropertyTable::Tpd)];
    switch (key(cmd.cls, cmd.code)) {
    case key(0x05, 0x84): return device_info(cmd.arg, out, cmd.length);
    case key(0x09, 0x84): reply.byte(0, state_.pseudo_color[p]); return true;
    case key(0x01, 0x81): reply.bytes(kFlashId, sizeof kFlashId); return true;
    case key(0x01, 0x82): return flash_.read(cmd.arg, out, cmd.length);
    case key(0x01, 0x86): reply.byte(0, state_.spi_status[p]); return true;
    case key(0x0C, 0x83): reply.byte(0, state_.auto_shutter), reply.byte(1, state_.shutter); return true;
    case key(0x0C, 0x84): reply.u16(0, celsius_to_word(31.0)); return true;   // shutter blade
    case key(0x0D, 0x8B): reply.u16(0, celsius_to_word(33.5)); return true;   // sensor core
    case key(0x0D, 0x8A): reply.byte(0, state_.tecless_area); return true;
    case key(0x0E, 0x81): reply.byte(0, uint8_t(tpd[3])); return true;
    case key(0x0E, 0x82): reply.u16(0, tpd[0]); return true;
    default: return false;
    }
}

bool CommandSet::standard_write(const StandardCommand& cmd, const uint8_t* data, size_t length) {
    if (!data) return standard_action(cmd);
    const uint8_t p = uint8_t(cmd.arg >> 24);
    auto exactly = [&](size_t n) { return length == n; };
    switch (key(cmd.cls, cmd.code)) {
    case key(0x09, 0xC4):
        if (!exactly(1)) return false;
        state_.pseudo_color[p] = data[0];
        return true;
    case key(0x01, 0xC2): return flash_.write(cmd.arg, data, uint32_t(length));
    case key(0x01, 0xC6):
        if (!exactly(1)) return false;
        state_.spi_status[p] = data[0];
        return true;
    case key(0x0F, 0xC1):
        if (!exactly(8)) return false;
        std::copy_n(data, 8, state_.preview.begin());
        state_.previewing = true;
        return true;
    case key(0x0E, 0x01): return exactly(1) && set_property(PropertyTable::Tpd, 3, data[0]);
    case key(0x0E, 0x02): return exactly(2) && set_property(PropertyTable::Tpd, 0, be16(data));
    case key(0x0E, 0xC4):
        if (!exactly(2)) return false;
        state_.recal[0] = int16_t(be16(data));
        return true;
    case key(0x0E, 0xC5):
        if (!exactly(2) || p > 1) return false;
        state_.recal[1 + p] = int16_t(be16(data));
        return true;
    default: return false;
    }
}

bool CommandSet::standard_action(const StandardCommand& cmd) {
    const uint8_t p = uint8_t(cmd.arg >> 24);
    switch (key(cmd.cls, cmd.code)) {
    case key(0x01, 0x0E): restore_defaults(); return true;
    case key(0x01, 0x0B): return save_config(p);
    case key(0x01, 0x0C): return p != 5 && p != 14 && load_config(p);
    case key(0x01, 0x07):
        state_.boot_mode = 2;
        return flash_.erase_range(0, kFirmwareRegionBytes);
    case key(0x01, 0x08):
        // At most eight sectors per command, counted in header byte 7.
        return cmd.length >= 1 && cmd.length <= 8 && flash_.erase_sectors(cmd.arg, cmd.length);
    case key(0x01, 0x09):
        return flash_.write(kFirmwareRegionBytes - sizeof kUpdateTag, kUpdateTag, sizeof kUpdateTag);
    case key(0x05, 0x07): state_.boot_mode = 2; return true;
    case key(0x05, 0x08): state_.boot_mode = 1; return true;
    case key(0x06, 0x01): state_.capture = 1; return true;
    case key(0x06, 0x02): state_.capture = 2; return true;
    case key(0x06, 0x03): state_.capture = 0; return true;
    case key(0x0A, 0x01): state_.y16_preview = true; return true;
    case key(0x0A, 0x02): state_.y16_preview = false; return true;
    case key(0x0C, 0x41): state_.auto_shutter = p; return true;
    case key(0x0C, 0x42): state_.shutter = p; return true;
    case key(0x0D, 0x05): state_.cover_correction = false; return true;
    case key(0x0D, 0x0D): state_.cover_correction = true; return true;
    case key(0x0D, 0x0C): ++state_.lens_calibrations; return true;
    case key(0x0D, 0x0E):
        if (p != 1 && p != 2 && p != 4) return false;
        state_.cover_calc_zoom = p;
        return true;
    case key(0x0D, 0xC1): surface_.start_shutter(); return true;
    case key(0x0F, 0x02): state_.previewing = false; return true;
    default: return false;
    }
}

bool CommandSet::save_config(uint8_t slot) {
    std::vector<uint8_t> image(sizeof kConfigMagic);
    std::copy_n(kConfigMagic, sizeof kConfigMagic, image.begin());
    for (const Table& t : state_.tables)
        for (uint16_t v : t) image.push_back(uint8_t(v >> 8)), image.push_back(uint8_t(v));
    image.insert(image.end(), state_.pseudo_color.begin(), state_.pseudo_color.end());
    const uint32_t at = kConfigSlotBase + slot * Flash::kSectorSize;
    return flash_.erase_sectors(at, 1) && flash_.write(at, image.data(), uint32_t(image.size()));
}

bool CommandSet::load_config(uint8_t slot) {
    const size_t table_bytes = 4 * kTableSize * 2;
    std::vector<uint8_t> image(sizeof kConfigMagic + table_bytes + 256);
    if (!flash_.read(kConfigSlotBase + slot * Flash::kSectorSize, image.data(), uint32_t(image.size())))
        return false;
    if (!std::equal(kConfigMagic, kConfigMagic + 4, image.begin())) return false;  // never saved
    const uint8_t* p = image.data() + sizeof kConfigMagic;
    for (Table& t : state_.tables)
        for (uint16_t& v : t) v = be16(p), p += 2;
    std::copy_n(p, 256, state_.pseudo_color.begin());
    return true;
}

bool CommandSet::temperature_readout(const LongCommand& cmd, uint8_t* out) {
    std::vector<uint16_t> words(kSensorPixels);
    surface_.measured_words(words.data());
    Reply reply(out, cmd.length);
    const int x0 = point_x(cmd.p2), y0 = point_y(cmd.p2), x1 = point_x(cmd.p3), y1 = point_y(cmd.p3);
    switch (cmd.code) {
    case 0x81:
    case 0x82:
    case 0x83: {
        const Extremes e = scan_rect(words.data(), 0, 0, kSensorWidth - 1, kSensorHeight - 1);
        if (cmd.code == 0x81) reply.u16(0, e.max);
        if (cmd.code == 0x82) reply.u16(0, e.min);
        if (cmd.code == 0x83)
            reply.u16s({e.max, e.min, uint16_t(e.max_x), uint16_t(e.max_y), uint16_t(e.min_x), uint16_t(e.min_y)});
        return true;
    }
    case 0x86:
        if (!on_sensor(x0, y0)) return false;
        reply.u16s({words[y0 * kSensorWidth + x0], uint16_t(x0), uint16_t(y0), 0, 0, 0});
        return true;
    case 0x89:
    case 0x8C: {
        if (!on_sensor(x0, y0) || !on_sensor(x1, y1)) return false;
        const Extremes e = cmd.code == 0x89 ? scan_line(words.data(), x0, y0, x1, y1)
                                            : scan_rect(words.data(), x0, y0, x1, y1);
        reply.u16s({e.max, e.min, e.mean(), uint16_t(e.max_x), uint16_t(e.max_y), uint16_t(e.min_x),
                    uint16_t(e.min_y)});
        return true;
    }
    default: return false;
    }
}

bool CommandSet::long_command(const LongCommand& cmd, uint8_t* out) {
    Reply reply(out, cmd.length);
    const uint8_t mark = uint8_t(cmd.p1 & 0xFF);  // a flagged index: index | flag << 15 | 0x7F00
    const uint16_t flag = cmd.p1 >> 15;
    switch (cmd.cls) {
    case 0x11:
        if (is_read_code(cmd.code)) return temperature_readout(cmd, out);
        switch (cmd.code) {
        case 0x0D:
            state_.rect_threshold = {uint16_t(cmd.p2 >> 16), uint16_t(cmd.p2), uint16_t(cmd.p3 >> 16)};
            return true;
        case 0x0F:
            if (mark >= kPointMarks || !on_sensor(point_x(cmd.p2), point_y(cmd.p2))) return false;
            state_.point_marks[mark] = {true, flag, cmd.p2, 0};
            return true;
        case 0x10:
            if (mark >= kPointMarks) return false;
            state_.point_marks[mark] = Mark{};
            return true;
        case 0x13:
            if (mark >= kRectMarks) return false;
            state_.rect_marks[mark] = {true, flag, cmd.p2, cmd.p3};
            return true;
        case 0x14:
            if (mark >= kRectMarks) return false;
            state_.rect_marks[mark] = Mark{};
            return true;
        case 0x15: state_.frame_mark = {true, cmd.p1, cmd.p2, cmd.p3}; return true;
        case 0x16: state_.frame_mark = Mark{}; return true;
        default: return false;
        }
    case 0x12:
        if (cmd.code < 0x01 || cmd.code > 0x04) return false;
        state_.zoom = cmd.p1;
        state_.zoom_point = cmd.code >= 0x03 ? cmd.p2 : 0;
        return true;
    case 0x13: {
        if (!on_sensor(int(cmd.p2), int(cmd.p3))) return false;
        const uint32_t cell = cmd.p3 * kSensorWidth + cmd.p2;
        if (cmd.code == 0x01) return state_.dead_pixels.insert(cell), true;
        if (cmd.code == 0x02) return state_.dead_pixels.erase(cell), true;
        return false;
    }
    case 0x14: {
        const int low = cmd.code & 0x0F;  // 2 auto shutter, 3 image, 4 over-exposure, 5 temperature
        if (low < 2 || low > 5) {
            if (cmd.code != 0x01) return false;
            // Load defaults: p1 names a table the same way, anything else all of them.
            const int table = cmd.p1 - 2;
            for (int i = 0; i < 4; ++i)
                if (table < 0 || table > 3 || table == i) state_.tables[i] = default_table(PropertyTable(i));
            return true;
        }
        const PropertyTable table = PropertyTable(low - 2);
        const uint8_t kind = cmd.code & 0xF0;
        if (kind == 0xC0) return set_property(table, cmd.p1, cmd.p2);
        if (kind != 0x80) return false;
        if (cmd.p1 >= kTableSize || (table == PropertyTable::Tpd && cmd.p1 >= 6 && cmd.p1 <= 9)) return false;
        const uint16_t value = state_.tables[int(table)][cmd.p1];
        if (table == PropertyTable::Overexposure)
            reply.u16s({cmd.p1, value});
        else
            reply.u16(0, value);
        return true;
    }
    default: return false;
    }
}

bool CommandSet::xdata_read(uint16_t address, uint8_t* out, size_t length) const {
    for (size_t i = 0; i < length; ++i) out[i] = state_.xdata[(address + i) & 0xFFFF];
    return true;
}

bool CommandSet::xdata_write(uint16_t address, const uint8_t* data, size_t length) {
    for (size_t i = 0; i < length; ++i) state_.xdata[(address + i) & 0xFFFF] = data[i];
    return true;
}

}  // namespace ombrix::sim
