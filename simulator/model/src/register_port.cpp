#include "ombrix_sim/register_port.h"

#include <algorithm>
#include <cstring>

namespace ombrix::sim {
namespace {

constexpr uint16_t kShortData = 4;
constexpr uint16_t kData = 8;
constexpr uint16_t kLongReply = 0x10;
constexpr uint32_t kMaxLongReply = 248;
constexpr uint32_t kMaxChunk = 256;

uint16_t be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

}  // namespace

void RegisterPort::power_on() {
    window_.fill(0);
    data_staged_ = 0;
    data_gap_ = false;
    short_ = ShortWrite{};
    final_status_ = kStatusDone;
    busy_left_ = 0;
}

void RegisterPort::set_status_error(uint8_t status, int commands) {
    error_status_ = status;
    error_commands_ = status ? commands : 0;
}

void RegisterPort::clear_faults() {
    busy_polls_ = kDefaultBusyPolls;
    busy_status_ = kStatusBusy;
    stay_busy_ = false;
    set_status_error(0, 0);
}

int RegisterPort::write(uint16_t address, const uint8_t* data, uint16_t length) {
    const uint16_t plain = address & ~kStagedBit;
    if (plain < kWindowBase || plain - kWindowBase + length > kWindowBytes) return kUsbPipe;
    const uint16_t offset = plain - kWindowBase;
    if (length) std::memcpy(window_.data() + offset, data, length);
    if (address & kStagedBit)
        stage(offset, length);
    else
        commit(offset, length);
    return length;
}

int RegisterPort::read(uint16_t address, uint8_t* data, uint16_t length) {
    if (address == kStatusAddress) {
        uint8_t status = final_status_;
        if (stay_busy_) {
            status = busy_status_;
        } else if (busy_left_ > 0) {
            --busy_left_;
            status = busy_status_;
        }
        if (length) {
            std::memset(data, 0, length);
            data[0] = status;
        }
        return length;
    }
    if (address < kWindowBase || address - kWindowBase + length > kWindowBytes) return kUsbPipe;
    if (length) std::memcpy(data, window_.data() + (address - kWindowBase), length);
    return length;
}

void RegisterPort::stage(uint16_t offset, uint16_t length) {
    if (offset == 0) {  // a new header replaces whatever was half sent
        data_staged_ = 0;
        data_gap_ = false;
        short_ = ShortWrite{};
    } else if (short_.pending && offset == kShortData + short_.staged) {
        short_.staged = uint16_t(short_.staged + length);
    } else if (offset >= kData) {
        if (uint32_t(offset - kData) == data_staged_)
            data_staged_ += length;
        else
            data_gap_ = true;
    }
}

void RegisterPort::commit(uint16_t offset, uint16_t length) {
    bool ok;
    if (short_.pending && is_short_tail(offset, length)) {
        ok = commit_short_tail(offset, length);
    } else {
        short_ = ShortWrite{};
        if (offset == 0)
            ok = commit_header(length);
        else if (offset >= kData && CommandSet::is_long_class(window_[0]))
            ok = offset == kData && length == 8 && commit_long();
        else if (offset >= kData && !CommandSet::is_short_class(window_[0]))
            ok = commit_standard_data(offset, length);
        else
            ok = false;
    }
    finish(ok);
}

bool RegisterPort::is_short_tail(uint16_t offset, uint16_t length) const {
    // The last 4 bytes at the header address after staged data, or the last
    // bytes right behind the staged ones.
    if (offset == 0) return short_.staged > 0 && length == 4 && short_.staged + 4 == short_.length;
    return offset == kShortData + short_.staged && short_.staged + length == short_.length;
}

bool RegisterPort::commit_short_tail(uint16_t offset, uint16_t length) {
    uint8_t data[kWindowBytes];
    std::memcpy(data, window_.data() + kShortData, short_.staged);
    std::memcpy(data + short_.staged, window_.data() + offset, length);
    const ShortWrite w = short_;
    short_ = ShortWrite{};
    return commands_.xdata_write(w.address, data, w.length);
}

bool RegisterPort::commit_header(uint16_t length) {
    const uint8_t cls = window_[0];
    if (CommandSet::is_short_class(cls)) {
        if (length != 4 && length != 8) return false;
        const uint8_t n = window_[1];
        const uint16_t address = be16(&window_[2]);
        if (cls == 0x80) {
            if (kShortData + n > kWindowBytes) return false;
            return commands_.xdata_read(address, window_.data() + kShortData, n);
        }
        if (length == 8 || n == 0) return true;  // a header-only frame writes nothing
        short_ = ShortWrite{true, address, n, 0};
        return true;
    }
    if (CommandSet::is_long_class(cls) || length != 8) return false;
    StandardCommand cmd{cls, window_[1], be32(&window_[2]), be16(&window_[6])};
    if (!CommandSet::is_read_code(cmd.code)) return commands_.standard_write(cmd, nullptr, 0);
    if (cmd.length > kMaxChunk) return false;
    std::memset(window_.data() + kData, 0, cmd.length);
    return commands_.standard_read(cmd, window_.data() + kData);
}

bool RegisterPort::commit_long() {
    LongCommand cmd{window_[0], window_[1], be16(&window_[2]), be32(&window_[4]), be32(&window_[8]),
                    be32(&window_[12])};
    if (!CommandSet::is_read_code(cmd.code)) {
        cmd.length = 0;  // writes carry no reply
    } else {
        if (cmd.length > kMaxLongReply) return false;
        std::memset(window_.data() + kLongReply, 0, cmd.length);
    }
    return commands_.long_command(cmd, window_.data() + kLongReply);
}

bool RegisterPort::commit_standard_data(uint16_t offset, uint16_t length) {
    const StandardCommand cmd{window_[0], window_[1], be32(&window_[2]), be16(&window_[6])};
    const uint32_t at = offset - kData;
    // The committing piece must close the chunk the header announced, after
    // every byte before it arrived staged.
    if (CommandSet::is_read_code(cmd.code) || data_gap_ || at != data_staged_ || at + length != cmd.length)
        return false;
    data_staged_ = 0;
    return commands_.standard_write(cmd, window_.data() + kData, cmd.length);
}

void RegisterPort::finish(bool ok) {
    final_status_ = ok ? kStatusDone : kStatusFailed;
    if (error_commands_ != 0) {
        final_status_ = error_status_;
        if (error_commands_ > 0 && --error_commands_ == 0) error_status_ = 0;
    }
    busy_left_ = busy_polls_;
}

}  // namespace ombrix::sim
