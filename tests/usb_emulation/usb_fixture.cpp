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
    if (camera) {
        EXPECT_TRUE(wait_until([&] { return camera->open_clients() == 0; }, std::chrono::seconds(2)))
            << camera->open_clients() << " device connections left open";
    }
    camera.reset();
}

void EmulatedUsbCamera::plug(uint16_t pid)
{
    std::string error;
    ASSERT_TRUE(camera->plug(pid, error)) << error;
}

}  // namespace usbtest
