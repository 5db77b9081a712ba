// The thermal camera module as a USB device on an emulated bus, for tests of
// the real libuvc/libusb path: a umockdev testbed with the device's udev
// record and a usbdevfs handler in front of the simulated module.
//
// The process must run under umockdev's preload (`umockdev-wrapper <test>`),
// which redirects /sys, /dev and the udev event socket into the testbed.
// Only one EmulatedCamera may exist at a time (the testbed is process-wide).
//
// Plugging follows the kernel's order as libusb sees it: plug() adds the
// device and then announces it with an "add" uevent; unplug() announces the
// removal ("remove" uevent) first, then takes the device away, ends its held
// URBs with -ESHUTDOWN (but for the one it was serving, which completes just
// before) and fails every later ioctl with ENODEV. Each plug gets the next
// device address, as a real bus gives.
//
// Thread-safe; the devices' ioctls run on umockdev's worker thread.
#ifndef OMBRIX_USB_EMULATED_CAMERA_H
#define OMBRIX_USB_EMULATED_CAMERA_H

#include <umockdev.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ombrix_sim/module.h"
#include "ombrix_usb/descriptors.h"
#include "ombrix_usb/usb_device.h"
#include "ombrix_usb/video_streaming.h"

namespace ombrix::sim::usb {

constexpr uint16_t kVendorId = 0x0BDA;
constexpr uint16_t kProduct5830 = 0x5830;
constexpr uint16_t kProduct5840 = 0x5840;
constexpr const char* kProductString = "USB Thermal Camera";

class EmulatedCamera {
public:
    // `clock` paces the frames (microseconds, steady).
    explicit EmulatedCamera(Clock clock = steady_clock_us());
    ~EmulatedCamera();
    EmulatedCamera(const EmulatedCamera&) = delete;
    EmulatedCamera& operator=(const EmulatedCamera&) = delete;

    // Whether the preload is active; nothing works without it.
    static bool in_mock_environment();

    // The module behind the connector (thread-safe itself).
    Module& module() { return module_; }

    // Plugs the camera in as product `pid`. False (with `error`) if already
    // plugged or umockdev refused.
    bool plug(uint16_t pid, std::string& error);
    // Pulls the cable; false when not plugged. `finished` held bulk URBs (of
    // each connection) had completed before the cable went.
    bool unplug(size_t finished = 1);
    bool plugged() const;
    // Puts another device, without a video function, at `place` (which the
    // camera must not take) for the rest of the testbed's life; nobody opens it.
    bool add_other_device(const BusPlace& place, std::string& error);

    // Where the plugged device sits (its node changes with every plug).
    BusPlace place() const;
    // Every control transfer any plugged instance saw, in order.
    std::vector<ControlRecord> control_log() const { return log_.records(); }
    void clear_control_log() { log_.clear(); }
    // Frames the current (or last) instance started sending.
    uint64_t frames_started() const;
    // Client connections still open on any instance (libusb handles not yet closed).
    size_t open_clients() const;
    // ioctl requests no instance knew.
    std::vector<unsigned long> unknown_requests() const;
    // ioctls of `request` refused with ENODEV by unplugged instances.
    uint64_t refused_after_unplug(unsigned long request) const;

private:
    Clock clock_;
    Module module_;
    ControlLog log_;
    UMockdevTestbed* testbed_ = nullptr;

    mutable std::mutex mutex_;
    // Every instance stays until the end: a client may still hold its node.
    std::vector<std::unique_ptr<UsbDevice>> devices_;
    BusPlace place_;
    bool plugged_ = false;
};

}  // namespace ombrix::sim::usb

#endif
