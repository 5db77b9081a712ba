// Pulling the cable while streaming and plugging it back, over and over:
// closing the stream and the camera afterwards must neither abort nor hang
// nor leave anything open.
#include "usb_fixture.h"

#include <dlfcn.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <cstring>
#include <filesystem>

namespace usbtest {
namespace {

long thread_count()
{
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return std::distance(begin(tasks), end(tasks));
}

using HotPlug = EmulatedUsbCamera;

// libuvc's calls of the libusb functions that fail on a gone device reach
// dozazuva's mended ones.
TEST_F(HotPlug, LibusbCallsOnTheUnplugPathGoThroughDozazuva)
{
    for (const char* name : {"libusb_set_interface_alt_setting", "libusb_submit_transfer",
                             "libusb_cancel_transfer", "libusb_free_transfer"}) {
        void* found = dlsym(RTLD_DEFAULT, name);
        Dl_info where{};
        ASSERT_NE(found, nullptr) << name;
        ASSERT_NE(dladdr(found, &where), 0) << name;
        EXPECT_NE(std::strstr(where.dli_fname, "libdozazuva"), nullptr) << name << " from " << where.dli_fname;
    }
}

TEST_F(HotPlug, TwentyUnplugReplugCyclesWhileStreaming)
{
    plug(0x5830);
    long threads_after_first = 0;
    for (int cycle = 0; cycle < 20; ++cycle) {
        SCOPED_TRACE(testing::Message() << "cycle " << cycle);
        ViewerCamera viewer;
        ASSERT_EQ(viewer.connect(), 0);
        viewer.param.timeout = 2000;  // only a lost frame waits it out; a busy machine is slow
        ASSERT_EQ(viewer.start(), 0);
        for (int i = 0; i < 2; ++i)
            ASSERT_EQ(uvc_frame_get(viewer.raw_frame), 0) << "frame " << i;

        ASSERT_TRUE(camera->unplug());
        // Every other time libusb has heard of the removal before the close
        // (the case its alternate-setting call mishandles); else the close
        // may come first.
        if (cycle % 2 == 0) {
            ASSERT_TRUE(wait_until([] { return !listed(0x5830); }, std::chrono::seconds(2)));
        }
        uint16_t gain = 0;
        EXPECT_EQ(get_prop_tpd_params(TPD_PROP_GAIN_SEL, &gain), DOZAZUVA_ERR_TRANSFER);
        viewer.disconnect();
        if (cycle == 0)
            threads_after_first = thread_count();
        plug(0x5830);
    }
    EXPECT_EQ(thread_count(), threads_after_first) << "threads left behind by the cycles";
    // Each cycle's finished transfer was resubmitted to the gone device, and
    // the stream's stop found transfers the event thread had yet to reap.
    EXPECT_GE(camera->refused_after_unplug(USBDEVFS_SUBMITURB), 20u);
    EXPECT_GT(camera->refused_after_unplug(USBDEVFS_DISCARDURB), 0u);
}

}  // namespace
}  // namespace usbtest
