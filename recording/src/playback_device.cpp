#include "playback_device.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace ombrix::recording {

namespace {

constexpr uint8_t kVendorRead = 0xC1;
constexpr uint8_t kVendorWrite = 0x41;
constexpr uint8_t kReadRequest = 0x44;
constexpr uint8_t kWriteRequest = 0x45;
constexpr uint16_t kRegisterValue = 0x78;

// The module's own scales for its temperature-measurement properties.
constexpr double kEmissivityScale = 127.0;      // emissivity 0..1
constexpr double kDistanceScale = 16.3835;      // per decimetre
constexpr uint16_t kPropDistance = 0, kPropEmissivity = 3, kPropGain = 5;

void copy_text(std::string& out, const char* text)
{
    if (text[0])
        out = text;
}

}  // namespace

PlaybackCommands::PlaybackCommands(const ombrix_recording_tags& tags, WordsSource words)
    : words_(std::move(words)), commands_(*this), port_(commands_)
{
    commands_.power_on();
    port_.power_on();
    copy_text(commands_.identity().serial, tags.serial);
    copy_text(commands_.identity().firmware, tags.firmware);
    if (tags.emissivity > 0 && tags.emissivity <= 1)
        set_tpd(kPropEmissivity, uint32_t(std::ceil(tags.emissivity * kEmissivityScale - 1e-6)));
    if (tags.distance_m > 0 && tags.distance_m < 200)
        set_tpd(kPropDistance, uint32_t(std::ceil(tags.distance_m * 10 * kDistanceScale - 1e-6)));
    set_tpd(kPropGain, std::strcmp(tags.range_mode, "high") == 0 ? 0 : 1);
}

void PlaybackCommands::set_tpd(uint16_t index, uint32_t value)
{
    sim::LongCommand command;
    command.cls = 0x14;
    command.code = 0xC5;  // write a temperature-measurement property
    command.p1 = index;
    command.p2 = value;
    uint8_t reply[16] = {};
    commands_.long_command(command, reply);
}

int PlaybackCommands::control_transfer(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                                       uint8_t* data, uint16_t length)
{
    if (length && !data)
        return sim::kUsbInvalidParam;
    std::lock_guard<std::mutex> lock(mutex_);
    if (request_type == kVendorRead && request == kReadRequest && value == kRegisterValue)
        return port_.read(index, data, length);
    if (request_type == kVendorWrite && request == kWriteRequest && value == kRegisterValue)
        return port_.write(index, data, length);
    return sim::kUsbPipe;
}

}  // namespace ombrix::recording
