#include "ombrix_sim/module.h"

#include <algorithm>
#include <cstring>

namespace ombrix::sim {

using Lock = std::lock_guard<std::mutex>;

Module::Module(uint32_t seed) : scene_(seed), commands_(*this), port_(commands_) {}

void Module::reset(uint32_t seed) {
    Lock lock(mutex_);
    scene_ = Scene(seed);
    commands_.power_on();
    commands_.flash().erase_all();
    commands_.identity() = Identity{};
    port_.power_on();
    port_.clear_faults();
    log_.clear();
    faults_ = Faults{};
    powered_ = true;
    time_us_ = 0;
    time_frozen_ = false;
    freeze_until_us_ = -1;
}

bool Module::take(int& count) {
    if (count == 0) return false;
    if (count > 0) --count;
    return true;
}

int Module::control_transfer(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                             uint16_t length) {
    Lock lock(mutex_);
    const bool in = request_type & 0x80;
    const int result = transfer(request_type, request, value, index, data, length);
    WireRecord record{request_type, request, value, index, length, result, {}};
    if (data) {
        const size_t logged = in ? size_t(std::max(result, 0)) : length;
        record.data.assign(data, data + logged);
    }
    log_.add(std::move(record));
    return result;
}

int Module::transfer(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                     uint16_t length) {
    if (!powered_) return kUsbNoDevice;
    if (length && !data) return kUsbInvalidParam;
    if (take(faults_.transfer_errors)) return faults_.transfer_error;
    const bool shorten = take(faults_.short_transfers);
    if (request_type == kVendorRead && request == kReadRequest && value == kRegisterValue) {
        // A cut read leaves the host's last byte as it was.
        std::vector<uint8_t> answer(length);
        const int moved = port_.read(index, answer.data(), length);
        if (moved < 0) return moved;
        const int kept = shorten ? std::max(moved - 1, 0) : moved;
        std::copy_n(answer.begin(), kept, data);
        return kept;
    }
    if (request_type == kVendorWrite && request == kWriteRequest && value == kRegisterValue) {
        // A cut write never reaches the registers whole, so the module ignores it.
        if (shorten) return std::max(int(length) - 1, 0);
        return port_.write(index, data, length);
    }
    return kUsbPipe;
}

void Module::log_refused(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index, const uint8_t* data,
                         uint16_t length, int result) {
    Lock lock(mutex_);
    WireRecord record{request_type, request, value, index, length, result, {}};
    if (data && !(request_type & 0x80)) record.data.assign(data, data + length);
    log_.add(std::move(record));
}

void Module::set_powered(bool on) {
    Lock lock(mutex_);
    if (on && !powered_) {
        commands_.power_on();
        port_.power_on();
        freeze_until_us_ = -1;
    }
    powered_ = on;
}

bool Module::powered() const {
    Lock lock(mutex_);
    return powered_;
}

size_t Module::frame_bytes(int height) {
    if (height == kSensorHeight * 2) return kFrameBytes;
    if (height == kSensorHeight) return kPictureBytes;
    return 0;
}

int64_t Module::display_time() const { return time_us_ < freeze_until_us_ ? frozen_at_us_ : time_us_; }

// Scratch grids kept by each thread that renders (the stream's, a test's):
// fresh pages for every frame, 25 times a second, cost more than the scene.
void Module::words_at(int64_t time, uint16_t* words) const {
    thread_local std::vector<float> grid(kSensorPixels);
    scene_.render(time, grid.data());
    measure_grid(grid.data(), commands_.measure_settings(), words);
}

// Every byte of the frame is written, so a frame vector that is used again
// (the stream's) is not cleared first.
void Module::render(int height, std::vector<uint8_t>& frame) const {
    frame.resize(frame_bytes(height));
    if (frame.empty()) return;
    thread_local std::vector<uint16_t> words(kSensorPixels);
    words_at(display_time(), words.data());
    render_picture(words.data(), frame.data());
    if (frame.size() == kFrameBytes) store_words(words.data(), frame.data() + kPictureBytes);
}

bool Module::produce_frame(int height, int64_t interval_us, std::vector<uint8_t>& frame) {
    Lock lock(mutex_);
    const bool on = powered_ && frame_bytes(height) != 0;
    if (on && !time_frozen_) time_us_ += interval_us;
    if (!on || faults_.no_frames) {
        frame.clear();
        return false;
    }
    render(height, frame);
    if (faults_.frame_size) frame.resize(faults_.frame_size, 0);
    return true;
}

bool Module::current_frame(int height, std::vector<uint8_t>& frame) const {
    Lock lock(mutex_);
    render(height, frame);
    return !frame.empty();
}

void Module::measured_words(uint16_t* words) { words_at(display_time(), words); }

void Module::start_shutter() {
    frozen_at_us_ = display_time();
    freeze_until_us_ = time_us_ + kShutterFreezeUs;
}

int64_t Module::time_us() const {
    Lock lock(mutex_);
    return time_us_;
}

void Module::set_time_us(int64_t time_us) {
    Lock lock(mutex_);
    time_us_ = time_us;
    freeze_until_us_ = -1;
}

void Module::set_time_frozen(bool frozen) {
    Lock lock(mutex_);
    time_frozen_ = frozen;
}

bool Module::shutter_active() const {
    Lock lock(mutex_);
    return time_us_ < freeze_until_us_;
}

ElementState Module::element(ElementId id) const {
    Lock lock(mutex_);
    return scene_.element(id, time_us_);
}

void Module::set_element_celsius(ElementId id, double celsius) {
    Lock lock(mutex_);
    scene_.set_base_celsius(id, celsius);
}

double Module::background_celsius(int x, int y) const {
    Lock lock(mutex_);
    return scene_.background_celsius(x, y, time_us_);
}

void Module::set_noise(double celsius) {
    Lock lock(mutex_);
    scene_.set_noise_amplitude(celsius);
}

void Module::scene_celsius(float* grid) const {
    Lock lock(mutex_);
    scene_.render(time_us_, grid);
}

void Module::temperature_words(uint16_t* words) const {
    Lock lock(mutex_);
    words_at(display_time(), words);
}

double Module::reading_celsius(double true_celsius) const {
    Lock lock(mutex_);
    return ombrix::sim::reading_celsius(true_celsius, commands_.measure_settings());
}

int Module::property(PropertyTable table, int index) const {
    Lock lock(mutex_);
    return commands_.property(table, index);
}

uint8_t Module::pseudo_color(uint8_t which) const {
    Lock lock(mutex_);
    return commands_.pseudo_color(which);
}

Identity Module::identity() const {
    Lock lock(mutex_);
    return commands_.identity();
}

void Module::set_serial(const char* serial) {
    Lock lock(mutex_);
    commands_.identity().serial = serial ? serial : "";
}

void Module::set_busy_polls(unsigned polls) {
    Lock lock(mutex_);
    port_.set_busy_polls(polls);
}

void Module::set_busy_status(uint8_t status) {
    Lock lock(mutex_);
    port_.set_busy_status(status);
}

void Module::set_stay_busy(bool on) {
    Lock lock(mutex_);
    port_.set_stay_busy(on);
}

void Module::set_status_error(uint8_t status, int commands) {
    Lock lock(mutex_);
    port_.set_status_error(status, commands);
}

void Module::set_short_transfers(int transfers) {
    Lock lock(mutex_);
    faults_.short_transfers = transfers;
}

void Module::set_transfer_error(int error, int transfers) {
    Lock lock(mutex_);
    faults_.transfer_error = error;
    faults_.transfer_errors = error < 0 ? transfers : 0;
}

void Module::set_frame_size(size_t bytes) {
    Lock lock(mutex_);
    faults_.frame_size = bytes;
}

void Module::set_no_frames(bool on) {
    Lock lock(mutex_);
    faults_.no_frames = on;
}

void Module::clear_faults() {
    Lock lock(mutex_);
    faults_ = Faults{};
    port_.clear_faults();
}

size_t Module::wire_count() const {
    Lock lock(mutex_);
    return log_.size();
}

bool Module::wire_record(size_t i, WireRecord& out) const {
    Lock lock(mutex_);
    if (i >= log_.size()) return false;
    out = log_.at(i);
    return true;
}

void Module::wire_clear() {
    Lock lock(mutex_);
    log_.clear();
}

bool Module::flash_read(uint32_t address, uint8_t* out, uint32_t length) const {
    Lock lock(mutex_);
    return commands_.flash().read(address, out, length);
}

}  // namespace ombrix::sim
