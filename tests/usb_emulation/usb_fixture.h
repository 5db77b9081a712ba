// dozazuva's default device table against the camera module emulated at the
// usbdevfs level, under umockdev's preload (`umockdev-wrapper <test binary>`):
// each case gets a fresh testbed and unplugged camera, and releases dozazuva
// before the testbed goes.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dozazuva.h"
#include "../support/viewer_camera.h"
#include "ombrix_usb/emulated_camera.h"

namespace usbtest {

using ombrix::sim::usb::ControlRecord;
using ombrix::sim::usb::EmulatedCamera;

constexpr uint16_t kVid = 0x0BDA;
constexpr uint32_t kFrameBytes = 196608;
constexpr uint32_t kPictureBytes = kFrameBytes / 2;

using ViewerCamera = viewer::Camera;

// Whether uvc_camera_list shows a record of product `pid`.
bool listed(uint16_t pid);

// Polls `done` every millisecond for up to `limit`.
bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds limit);

class EmulatedUsbCamera : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void plug(uint16_t pid);

    std::unique_ptr<EmulatedCamera> camera;
};

}  // namespace usbtest
