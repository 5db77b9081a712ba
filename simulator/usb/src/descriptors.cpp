#include "ombrix_usb/descriptors.h"

#include <cstdio>

namespace ombrix::sim::usb {

namespace {

constexpr uint8_t kVideoClass = 0x0E;
constexpr uint8_t kVideoControlSubclass = 0x01;
constexpr uint8_t kVideoStreamingSubclass = 0x02;
constexpr uint8_t kVideoCollectionSubclass = 0x03;
constexpr uint8_t kClassInterface = 0x24;  // CS_INTERFACE

class Bytes {
public:
    Bytes& u8(uint8_t v) { bytes_.push_back(v); return *this; }
    Bytes& u16(uint16_t v) { return u8(uint8_t(v)).u8(uint8_t(v >> 8)); }
    Bytes& u32(uint32_t v) { return u16(uint16_t(v)).u16(uint16_t(v >> 16)); }
    Bytes& raw(const std::vector<uint8_t>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
        return *this;
    }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// A class-specific block whose wTotalLength (at `total_at`) covers itself and `rest`.
std::vector<uint8_t> with_total(std::vector<uint8_t> head, size_t total_at, const std::vector<uint8_t>& rest) {
    const size_t total = head.size() + rest.size();
    head[total_at] = uint8_t(total);
    head[total_at + 1] = uint8_t(total >> 8);
    head.insert(head.end(), rest.begin(), rest.end());
    return head;
}

std::vector<uint8_t> video_control() {
    Bytes terminals;
    // Camera input terminal 1 (ITT_CAMERA), no optical zoom, no controls.
    terminals.u8(18).u8(kClassInterface).u8(0x02).u8(1).u16(0x0201).u8(0).u8(0)
        .u16(0).u16(0).u16(0).u8(3).u8(0).u8(0).u8(0);
    // Output terminal 2 (TT_STREAMING) fed by terminal 1.
    terminals.u8(9).u8(kClassInterface).u8(0x03).u8(2).u16(0x0101).u8(0).u8(1).u8(0);
    Bytes header;  // UVC 1.00, one streaming interface
    header.u8(13).u8(kClassInterface).u8(0x01).u16(0x0100).u16(0).u32(kClockFrequencyHz).u8(1)
        .u8(kStreamingInterface);
    return with_total(header.bytes(), 5, terminals.bytes());
}

std::vector<uint8_t> video_streaming() {
    Bytes formats;
    // Uncompressed YUY2 {32595559-0000-0010-8000-00AA00389B71}, 16 bits a pixel.
    formats.u8(27).u8(kClassInterface).u8(0x04).u8(1).u8(uint8_t(std::size(kFrameFormats)))
        .raw({'Y', 'U', 'Y', '2', 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
        .u8(16).u8(1).u8(0).u8(0).u8(0).u8(0);
    for (const FrameFormat& frame : kFrameFormats) {
        const uint32_t bits_per_second = frame.bytes() * 8 * (10000000 / kFrameIntervalUnits);
        formats.u8(30).u8(kClassInterface).u8(0x05).u8(frame.index).u8(0).u16(frame.width).u16(frame.height)
            .u32(bits_per_second).u32(bits_per_second).u32(frame.bytes()).u32(kFrameIntervalUnits)
            .u8(1).u32(kFrameIntervalUnits);
    }
    Bytes header;  // one format, streaming on the bulk endpoint into output terminal 2
    header.u8(14).u8(kClassInterface).u8(0x01).u8(1).u16(0).u8(kBulkInEndpoint).u8(0).u8(2).u8(0).u8(0).u8(0)
        .u8(1).u8(0);
    return with_total(header.bytes(), 4, formats.bytes());
}

std::vector<uint8_t> utf16_string(const std::string& text) {
    Bytes out;
    out.u8(uint8_t(2 + 2 * text.size())).u8(0x03);
    for (unsigned char c : text) out.u16(c);
    return out.bytes();
}

}  // namespace

const FrameFormat* frame_format(uint8_t index) {
    for (const FrameFormat& frame : kFrameFormats)
        if (frame.index == index) return &frame;
    return nullptr;
}

std::vector<uint8_t> device_descriptor(const Identity& identity) {
    Bytes out;
    // USB 2.0, miscellaneous class with interface associations, 64-byte EP0.
    out.u8(18).u8(0x01).u16(0x0200).u8(0xEF).u8(0x02).u8(0x01).u8(64).u16(identity.vid).u16(identity.pid)
        .u16(0x0100).u8(0).u8(identity.product ? kProductStringIndex : 0).u8(kSerialStringIndex).u8(1);
    return out.bytes();
}

std::vector<uint8_t> configuration_descriptor() {
    Bytes body;
    body.u8(8).u8(0x0B).u8(kControlInterface).u8(2).u8(kVideoClass).u8(kVideoCollectionSubclass).u8(0).u8(0);
    body.u8(9).u8(0x04).u8(kControlInterface).u8(0).u8(0).u8(kVideoClass).u8(kVideoControlSubclass).u8(0).u8(0);
    body.raw(video_control());
    body.u8(9).u8(0x04).u8(kStreamingInterface).u8(0).u8(1).u8(kVideoClass).u8(kVideoStreamingSubclass).u8(0)
        .u8(0);
    body.raw(video_streaming());
    body.u8(7).u8(0x05).u8(kBulkInEndpoint).u8(0x02).u16(512).u8(0);
    Bytes head;  // one configuration, two interfaces, bus powered, 500 mA
    head.u8(9).u8(0x02).u16(0).u8(2).u8(1).u8(0).u8(0x80).u8(250);
    return with_total(head.bytes(), 2, body.bytes());
}

std::vector<uint8_t> other_configuration_descriptor() {
    Bytes out;  // one configuration, one vendor-specific interface, bus powered, 100 mA
    out.u8(9).u8(0x02).u16(18).u8(1).u8(1).u8(0).u8(0x80).u8(50);
    out.u8(9).u8(0x04).u8(0).u8(0).u8(0).u8(0xFF).u8(0).u8(0).u8(0);
    return out.bytes();
}

std::vector<uint8_t> string_descriptor(const Identity& identity, uint8_t index) {
    if (index == 0) return Bytes().u8(4).u8(0x03).u16(kLanguageEnglishUs).bytes();
    if (index == kProductStringIndex && identity.product) return utf16_string(*identity.product);
    if (index == kSerialStringIndex) return utf16_string(identity.serial);
    return {};
}

std::string BusPlace::sysfs_path() const {
    return "/sys/devices/pci0000:00/0000:00:14.0/usb" + std::to_string(bus) + "/" + std::to_string(bus) + "-" +
           std::to_string(port);
}

std::string BusPlace::devnode() const {
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03u/%03u", bus, address);
    return node;
}

std::string udev_record(const Identity& identity, const BusPlace& place, const std::vector<uint8_t>& configuration) {
    char ids[64];
    std::string hex;
    std::vector<uint8_t> descriptors = device_descriptor(identity);
    descriptors.insert(descriptors.end(), configuration.begin(), configuration.end());
    for (uint8_t byte : descriptors) {
        std::snprintf(ids, sizeof ids, "%02X", byte);
        hex += ids;
    }
    std::string record = "P: " + place.sysfs_path().substr(4) + "\n";
    record += "N: " + place.devnode().substr(5) + "\n";
    record += "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DEVNAME=" + place.devnode() + "\n";
    std::snprintf(ids, sizeof ids, "E: BUSNUM=%03u\nE: DEVNUM=%03u\n", place.bus, place.address);
    record += ids;
    std::snprintf(ids, sizeof ids, "E: PRODUCT=%x/%x/100\n", identity.vid, identity.pid);
    record += ids;
    std::snprintf(ids, sizeof ids, "A: idVendor=%04x\nA: idProduct=%04x\n", identity.vid, identity.pid);
    record += ids;
    record += "A: busnum=" + std::to_string(place.bus) + "\nA: devnum=" + std::to_string(place.address) + "\n";
    record += "A: speed=480\nA: bConfigurationValue=1\nA: bNumConfigurations=1\n";
    if (identity.product) record += "A: product=" + *identity.product + "\n";
    record += "A: serial=" + identity.serial + "\n";
    record += "H: descriptors=" + hex + "\n";
    return record;
}

}  // namespace ombrix::sim::usb
