// Frames over the bulk endpoint: UVC payloads put together by libuvc, taken
// with uvc_frame_get (what the module puts in a frame is checked with the
// module itself).
#include "usb_fixture.h"

#include "dozazuva_backend.h"

namespace usbtest {
namespace {

using Streaming = EmulatedUsbCamera;

// (Their pacing is checked on a hand-driven clock in test_video_streaming.cpp.)
TEST_F(Streaming, FramesComeWholeAndEqualTheModules)
{
    plug(0x5830);
    // A still scene: every frame is the module's current frame.
    camera->module().set_time_frozen(true);
    std::vector<uint8_t> expected;
    ASSERT_TRUE(camera->module().current_frame(384, expected));
    ASSERT_EQ(expected.size(), kFrameBytes);

    ViewerCamera viewer;
    ASSERT_EQ(viewer.connect(), 0);
    ASSERT_EQ(viewer.param.frame_size, kFrameBytes);
    ASSERT_EQ(viewer.start(), 0);
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(uvc_frame_get(viewer.raw_frame), 0) << "frame " << i;
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), viewer.raw_frame)) << "frame " << i;
    }
    EXPECT_GE(camera->frames_started(), 10u);
    viewer.disconnect();
}

// The libuvc table itself refuses a second start of a running stream (a
// second start would reopen the claimed interface under the running one).
TEST_F(Streaming, TheLibuvcTableRefusesASecondStart)
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
