// The libuvc device table on its own over the emulated camera.
#include "usb_fixture.h"

#include "dozazuva_backend.h"

namespace usbtest {
namespace {

using LibuvcTable = EmulatedUsbCamera;

// The libuvc table itself refuses a second start of a running stream (a
// second start would reopen the claimed interface under the running one).
TEST_F(LibuvcTable, RefusesASecondStart)
{
    plug(0x5830);
    ASSERT_EQ(uvc_camera_init(), 0);
    const dozazuva_backend* table = dozazuva_current_backend();
    uvc_camera_release();
    void* context = nullptr;
    ASSERT_EQ(table->init(&context), 0);
    void** devices = nullptr;
    ASSERT_GE(table->get_device_list(context, &devices), 0);
    ASSERT_NE(devices[0], nullptr);
    void* handle = nullptr;
    ASSERT_EQ(table->open(devices[0], &handle), 0);
    table->free_device_list(devices, 1);
    ASSERT_EQ(table->get_stream_ctrl(handle, DOZAZUVA_FORMAT_YUYV, 256, 384, 25), 0);
    auto ignore = [](const uint8_t*, size_t, void*) {};
    ASSERT_EQ(table->start_streaming(handle, ignore, nullptr), 0);
    EXPECT_LT(table->start_streaming(handle, ignore, nullptr), 0);
    table->stop_streaming(handle, 0);
    table->close(handle);
    table->exit(context);
}

}  // namespace
}  // namespace usbtest
