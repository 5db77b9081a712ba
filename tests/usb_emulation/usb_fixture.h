// dozazuva's default device table (libuvc 0.0.6 over libusb-1.0.26) against
// the camera module emulated at the usbdevfs level. The programs run under
// umockdev's preload (`umockdev-wrapper <test binary>`); each case gets a
// fresh testbed and unplugged camera, and releases dozazuva before the
// testbed goes.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dozazuva.h"
#include "ombrix_usb/emulated_camera.h"

namespace usbtest {

using ombrix::sim::usb::ControlRecord;
using ombrix::sim::usb::EmulatedCamera;

constexpr uint16_t kVid = 0x0BDA;
constexpr uint32_t kFrameBytes = 196608;
constexpr uint32_t kPictureBytes = kFrameBytes / 2;

// The viewer's camera controller, call for call: init, list, pick the first
// record of the product type, read its frame records, open it and take the
// stream from the second frame record; then install the transport.
class ViewerCamera {
public:
    ViewerCamera();
    ~ViewerCamera();

    // Product type 2 (0x5840) or 6 (0x5830): 0 or the failing code (-1 when
    // the bus has no such module).
    int open(int product_type);
    // Type 6, else type 2, then vdcmd_init.
    int connect();
    int start();
    // camera_stream_stop, then camera_close and the library's release.
    void disconnect();

    camera_param_t param{};
    uint8_t* raw_frame = nullptr;

private:
    void forget_records();

    std::vector<camera_dev_t> list_;
    std::vector<camera_stream_info_t> infos_;
};

// Whether uvc_camera_list shows a record of product `pid`.
bool listed(uint16_t pid);

// Polls `done` every millisecond for up to `limit`.
bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds limit);

// The vendor control transfers among `records` (bmRequestType 0x41 and 0xC1).
std::vector<ControlRecord> vendor_transfers(const std::vector<ControlRecord>& records);

class EmulatedUsbCamera : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void plug(uint16_t pid);

    std::unique_ptr<EmulatedCamera> camera;
};

}  // namespace usbtest
