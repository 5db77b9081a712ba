#include "ombrix_usb/emulated_camera.h"

#include <dlfcn.h>

namespace ombrix::sim::usb {

namespace {

constexpr uint8_t kFirstAddress = 2;
constexpr uint8_t kLastAddress = 127;

}  // namespace

EmulatedCamera::EmulatedCamera(Clock clock) : clock_(std::move(clock)), testbed_(umockdev_testbed_new()) {
    place_.address = kLastAddress;  // the first plug takes kFirstAddress
}

EmulatedCamera::~EmulatedCamera() {
    // The testbed first: its worker thread no longer calls the devices then.
    g_object_unref(testbed_);
    devices_.clear();
}

bool EmulatedCamera::in_mock_environment() {
    // umockdev's own check stats /sys, which only tells once a testbed exists.
    void* preload = dlopen("libumockdev-preload.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (preload) dlclose(preload);
    return preload != nullptr;
}

bool EmulatedCamera::plug(uint16_t pid, std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (plugged_) {
        error = "already plugged";
        return false;
    }
    place_.address = place_.address >= kLastAddress ? kFirstAddress : uint8_t(place_.address + 1);
    const Identity identity{kVendorId, pid, std::string(kProductString), module_.identity().serial};
    GError* failure = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, udev_record(identity, place_).c_str(), &failure)) {
        error = failure ? failure->message : "add_from_string failed";
        g_clear_error(&failure);
        return false;
    }
    auto device = std::make_unique<UsbDevice>(module_, identity, clock_, log_);
    if (!device->attach(testbed_, place_.devnode(), error)) {
        umockdev_testbed_remove_device(testbed_, place_.sysfs_path().c_str());
        return false;
    }
    devices_.push_back(std::move(device));
    module_.set_powered(true);
    plugged_ = true;
    umockdev_testbed_uevent(testbed_, place_.sysfs_path().c_str(), "add");
    return true;
}

bool EmulatedCamera::add_other_device(const BusPlace& place, std::string& error) {
    const Identity identity{kVendorId, 0x0001, std::nullopt, "0"};
    GError* failure = nullptr;
    const std::string record = udev_record(identity, place, other_configuration_descriptor());
    if (umockdev_testbed_add_from_string(testbed_, record.c_str(), &failure)) return true;
    error = failure ? failure->message : "add_from_string failed";
    g_clear_error(&failure);
    return false;
}

bool EmulatedCamera::unplug(size_t finished) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!plugged_) return false;
    // libusb hears of the removal before its transfers start failing.
    umockdev_testbed_uevent(testbed_, place_.sysfs_path().c_str(), "remove");
    devices_.back()->disconnect(finished);
    module_.set_powered(false);
    umockdev_testbed_remove_device(testbed_, place_.sysfs_path().c_str());
    plugged_ = false;
    return true;
}

bool EmulatedCamera::plugged() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return plugged_;
}

BusPlace EmulatedCamera::place() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return place_;
}

uint64_t EmulatedCamera::frames_started() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return devices_.empty() ? 0 : devices_.back()->frames_started();
}

size_t EmulatedCamera::open_clients() const {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t open = 0;
    for (const auto& device : devices_) open += device->open_clients();
    return open;
}

std::vector<unsigned long> EmulatedCamera::unknown_requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<unsigned long> unknown;
    for (const auto& device : devices_) {
        const auto more = device->unknown_requests();
        unknown.insert(unknown.end(), more.begin(), more.end());
    }
    return unknown;
}

uint64_t EmulatedCamera::refused_after_unplug(unsigned long request) const {
    std::lock_guard<std::mutex> lock(mutex_);
    uint64_t refused = 0;
    for (const auto& device : devices_) refused += device->refused(request);
    return refused;
}

}  // namespace ombrix::sim::usb
