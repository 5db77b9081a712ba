// What the emulated camera tells the host about itself: its USB descriptors
// (device, one configuration with a video function, strings) and the udev
// record that puts it on the emulated bus.
//
// The configuration holds an interface association over two interfaces:
// VideoControl (interface 0: header, camera input terminal 1, output terminal
// 2) and VideoStreaming (interface 1: input header, one uncompressed YUY2
// format with frames 256 x 192 and 256 x 384 at 25 frames a second, one bulk
// IN endpoint 0x81). UVC 1.0, so the streaming control block is 26 bytes.
#ifndef OMBRIX_USB_DESCRIPTORS_H
#define OMBRIX_USB_DESCRIPTORS_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ombrix::sim::usb {

constexpr uint8_t kControlInterface = 0;
constexpr uint8_t kStreamingInterface = 1;
constexpr uint8_t kBulkInEndpoint = 0x81;
constexpr uint8_t kProductStringIndex = 1;
constexpr uint8_t kSerialStringIndex = 2;
constexpr uint16_t kLanguageEnglishUs = 0x0409;
constexpr uint32_t kFrameIntervalUnits = 400000;  // 100 ns units: 25 frames a second
constexpr uint32_t kClockFrequencyHz = 48000000;

// One frame descriptor of the streaming interface (1-based index).
struct FrameFormat {
    uint8_t index;
    uint16_t width;
    uint16_t height;
    uint32_t bytes() const { return uint32_t(width) * height * 2; }
};
constexpr FrameFormat kFrameFormats[] = {{1, 256, 192}, {2, 256, 384}};
// The frame format of a 1-based index, or nullptr.
const FrameFormat* frame_format(uint8_t index);

// What makes one plugged device differ from the next.
struct Identity {
    uint16_t vid;
    uint16_t pid;
    std::optional<std::string> product;  // no product string when empty
    std::string serial;
};

std::vector<uint8_t> device_descriptor(const Identity& identity);
std::vector<uint8_t> configuration_descriptor();
// The configuration of a device without a video function (one
// vendor-specific interface, no endpoints): another device on the bus.
std::vector<uint8_t> other_configuration_descriptor();
// String descriptor `index` (0: the language list). Empty when the device has
// no such string.
std::vector<uint8_t> string_descriptor(const Identity& identity, uint8_t index);

// Where the device sits: bus 1, root port `port`, at device address `address`.
struct BusPlace {
    uint8_t bus = 1;
    uint8_t port = 1;
    uint8_t address = 2;
    std::string sysfs_path() const;  // /sys/devices/... as umockdev wants it
    std::string devnode() const;     // /dev/bus/usb/BBB/DDD
};

// The device as umockdev's udev-record text (P:, N:, E:, A:, H: lines), with
// the device and configuration descriptors in the `descriptors` attribute.
std::string udev_record(const Identity& identity, const BusPlace& place,
                        const std::vector<uint8_t>& configuration = configuration_descriptor());

}  // namespace ombrix::sim::usb

#endif
