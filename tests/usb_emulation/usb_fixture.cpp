#include "usb_fixture.h"

#include <algorithm>
#include <thread>

// umockdev's preload comes before the sanitizer's runtime in the library
// list; the runtime still intercepts everything it needs.
extern "C" const char* __asan_default_options() { return "verify_asan_link_order=0"; }
// umockdev hands uevents and ioctl replies to its worker thread through
// GLib, and libusb's hotplug thread shares libudev with enumeration: their
// synchronisation is invisible in uninstrumented code.
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1"; }

namespace usbtest {

ViewerCamera::ViewerCamera() : list_(DOZAZUVA_MAX_DEVICES), infos_(DOZAZUVA_MAX_STREAM_INFOS) {}

ViewerCamera::~ViewerCamera()
{
    uvc_frame_buf_release(raw_frame);
    forget_records();
}

void ViewerCamera::forget_records()
{
    uvc_camera_list_release(list_.data());
    uvc_camera_info_release(infos_.data());
    std::fill(list_.begin(), list_.end(), camera_dev_t{});
    std::fill(infos_.begin(), infos_.end(), camera_stream_info_t{});
}

int ViewerCamera::open(int product_type)
{
    forget_records();
    int result = uvc_camera_init();
    if (result < 0 || (result = uvc_camera_list(list_.data())) < 0)
        return result;
    const uint32_t pid = product_type == 2 ? 0x5840 : product_type == 6 ? 0x5830 : 0;
    auto found = std::find_if(list_.begin(), list_.end(),
                              [pid](const camera_dev_t& d) { return pid != 0 && d.vid == kVid && d.pid == pid; });
    if (found == list_.end())
        return -1;
    camera_dev_t device = *found;
    if ((result = uvc_camera_info_get(&device, infos_.data())) < 0 || (result = uvc_camera_open(&device)) < 0)
        return result;
    param.dev = device;
    param.format = infos_[1].format;
    param.width = infos_[1].width;
    param.height = infos_[1].height;
    param.frame_size = param.width * param.height * 2;
    param.fps = infos_[1].fps[0];
    param.timeout = 1000;
    return 0;
}

int ViewerCamera::connect()
{
    int result = open(6);
    if (result < 0)
        result = open(2);
    return result < 0 ? result : vdcmd_init();
}

int ViewerCamera::start()
{
    if (!raw_frame)
        raw_frame = uvc_frame_buf_create(&param);
    return uvc_camera_stream_start(&param, nullptr);
}

void ViewerCamera::disconnect()
{
    EXPECT_EQ(uvc_camera_stream_close(1), 0);
    EXPECT_EQ(uvc_camera_close(), 0);
    EXPECT_EQ(uvc_camera_release(), 0);
}

bool listed(uint16_t pid)
{
    std::vector<camera_dev_t> list(DOZAZUVA_MAX_DEVICES);
    if (uvc_camera_list(list.data()) < 0)
        return false;
    const bool found = std::any_of(list.begin(), list.end(),
                                   [pid](const camera_dev_t& d) { return d.vid == kVid && d.pid == pid; });
    uvc_camera_list_release(list.data());
    return found;
}

bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

std::vector<ControlRecord> vendor_transfers(const std::vector<ControlRecord>& records)
{
    std::vector<ControlRecord> vendor;
    std::copy_if(records.begin(), records.end(), std::back_inserter(vendor),
                 [](const ControlRecord& r) { return (r.request_type & 0x60) == 0x40; });
    return vendor;
}

void EmulatedUsbCamera::SetUp()
{
    ASSERT_TRUE(EmulatedCamera::in_mock_environment()) << "run this program under umockdev-wrapper";
    camera = std::make_unique<EmulatedCamera>();
    vdcmd_set_polling_wait_time(2000);
}

void EmulatedUsbCamera::TearDown()
{
    uvc_camera_release();
    // Every libusb handle is closed once the library is released.
    if (camera)
        EXPECT_TRUE(wait_until([&] { return camera->open_clients() == 0; }, std::chrono::seconds(2)))
            << camera->open_clients() << " device connections left open";
    camera.reset();
}

void EmulatedUsbCamera::plug(uint16_t pid)
{
    std::string error;
    ASSERT_TRUE(camera->plug(pid, error)) << error;
}

}  // namespace usbtest
