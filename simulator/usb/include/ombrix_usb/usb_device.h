// One plugged-in instance of the emulated camera as Linux's usbdevfs presents
// it to libusb: the ioctls on its device node, answered on umockdev's worker
// thread.
//
// libusb sends every transfer as an asynchronous URB (SUBMITURB) and collects
// it with REAPURBNDELAY. Control URBs complete at once: standard
// GET_DESCRIPTOR, the video class requests of the streaming interface, and
// the vendor requests, which go to the module; anything else stalls (-EPIPE).
// Bulk IN URBs are held until the video function has a payload due. Each
// client connection (libuvc opens the device more than once) keeps its own
// URBs. DISCARDURB ends a held URB with -ENOENT.
//
// Once disconnected, held URBs end with -ESHUTDOWN (but for those that had
// finished before the cable went); REAPURBNDELAY hands out what has ended,
// then fails with ENODEV like every other ioctl.
#ifndef OMBRIX_USB_USB_DEVICE_H
#define OMBRIX_USB_USB_DEVICE_H

#include <umockdev.h>

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ombrix_sim/module.h"
#include "ombrix_usb/descriptors.h"
#include "ombrix_usb/video_streaming.h"

namespace ombrix::sim::usb {

// One control transfer on endpoint 0 as the device saw it.
struct ControlRecord {
    uint8_t request_type = 0;
    uint8_t request = 0;
    uint16_t value = 0;
    uint16_t index = 0;
    uint16_t length = 0;        // wLength
    int status = 0;             // bytes moved, or a negative errno (-EPIPE for a stall)
    std::vector<uint8_t> data;  // OUT: the bytes sent; IN: the bytes answered
};

// The record of control transfers, shared by the devices of one fixture.
class ControlLog {
public:
    void add(ControlRecord record);
    std::vector<ControlRecord> records() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<ControlRecord> records_;
};

class UsbDevice {
public:
    // `module` and `log` must outlive the device.
    UsbDevice(Module& module, Identity identity, Clock clock, ControlLog& log);
    ~UsbDevice();
    UsbDevice(const UsbDevice&) = delete;
    UsbDevice& operator=(const UsbDevice&) = delete;

    // Serves the device node `devnode` of `testbed`.
    bool attach(UMockdevTestbed* testbed, const std::string& devnode, std::string& error);
    // The cable is pulled. The first `finished` held bulk URBs of each client
    // had completed just before (a payload without frame bytes); the host
    // is yet to reap them.
    void disconnect(size_t finished);

    size_t open_clients() const;
    uint64_t frames_started() const;
    // ioctl request codes the device did not know, in order (for diagnosis).
    std::vector<unsigned long> unknown_requests() const;
    // How many ioctls of `request` were refused (ENODEV) once disconnected.
    uint64_t refused(unsigned long request) const;

private:
    // A URB of one client: its usbdevfs_urb and transfer buffer, resolved in
    // the client's memory (references held).
    struct Urb {
        UMockdevIoctlData* urb = nullptr;
        UMockdevIoctlData* buffer = nullptr;
        unsigned long address = 0;  // where the client keeps the usbdevfs_urb
    };
    struct Client {
        std::deque<Urb> held;       // bulk IN, waiting for payloads
        std::deque<Urb> completed;  // ready to be reaped, in order
        bool streaming_claimed = false;
    };

    static gboolean on_ioctl(UMockdevIoctlBase* base, UMockdevIoctlClient* client, gpointer self);
    // A client connection closed (its object is being finalized).
    static void on_client_gone(gpointer self, GObject* client);

    // Each returns the ioctl's result and sets `error` (an errno) on failure.
    long handle(UMockdevIoctlClient* client, Client& state, unsigned long request, int& error);
    long submit(Client& state, UMockdevIoctlData* arg, int& error);
    long reap(Client& state, UMockdevIoctlData* arg, int& error);
    long discard(Client& state, UMockdevIoctlData* arg, int& error);
    long interface_request(Client& state, unsigned long request, UMockdevIoctlData* arg, int& error);
    // A control transfer on endpoint 0: bytes moved or a negative errno.
    int control(uint8_t* setup, uint8_t* data);
    int standard_request(uint8_t request_type, uint8_t request, uint16_t value, uint8_t* data, uint16_t length);
    void feed_payloads(Client& state);
    static void finish(Urb& urb, int status, int actual_length);
    static void release(Urb& urb);
    void forget(Client& state);

    Module& module_;
    const Identity identity_;
    ControlLog& log_;
    UMockdevIoctlBase* handler_ = nullptr;

    mutable std::mutex mutex_;
    VideoStreaming streaming_;
    std::map<UMockdevIoctlClient*, Client> clients_;
    bool gone_ = false;
    std::vector<unsigned long> unknown_requests_;
    std::map<unsigned long, uint64_t> refused_;
};

}  // namespace ombrix::sim::usb

#endif
