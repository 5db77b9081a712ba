// The real libuvc/libusb path on a machine without the camera (or without
// any USB bus): every call answers with its own error code, nothing leaks,
// and init and release repeat cleanly.
#include "dozazuva.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

TEST(LibuvcSmoke, EveryCallFailsCleanlyWithoutTheCamera)
{
    unsetenv("OMBRIX_CAMERA");
    ASSERT_EQ(dozazuva_use_backend(nullptr), 0);
    for (int round = 0; round < 10; ++round) {
        const int init = uvc_camera_init();
        ASSERT_TRUE(init == 0 || init == -2) << init;
        if (init == 0)
            EXPECT_STREQ(dozazuva_current_backend()->name, "libuvc");
        std::vector<camera_dev_t> list(DOZAZUVA_MAX_DEVICES);
        EXPECT_EQ(uvc_camera_list(list.data()), init == 0 ? 0 : -3);
        uvc_camera_list_release(list.data());

        camera_dev_t absent = {0xFFFF, 0xFFFF, const_cast<char*>("no such camera")};
        std::vector<camera_stream_info_t> infos(DOZAZUVA_MAX_STREAM_INFOS);
        EXPECT_EQ(uvc_camera_info_get(&absent, infos.data()), -4);
        EXPECT_EQ(uvc_camera_open(&absent), -4);

        camera_param_t param{absent, const_cast<char*>("YUY2"), 256, 384, 256 * 384 * 2, 25, 10};
        EXPECT_EQ(uvc_camera_stream_start(&param, nullptr), -9);
        std::vector<uint8_t> raw(param.frame_size);
        EXPECT_EQ(uvc_frame_get(raw.data()), -12);
        EXPECT_EQ(uvc_camera_stream_close(1), 0);
        ASSERT_EQ(vdcmd_init(), 0);
        uint16_t gain = 0;
        EXPECT_EQ(get_prop_tpd_params(5, &gain), -15);
        EXPECT_EQ(uvc_camera_close(), 0);
        EXPECT_EQ(uvc_camera_release(), 0);
        EXPECT_EQ(uvc_camera_release(), 0) << "a second release is harmless";
    }
}

}  // namespace
