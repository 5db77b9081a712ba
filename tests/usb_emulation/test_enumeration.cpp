// What libusb and libuvc learn of the device before opening it, with another
// device on the camera's bus (no video function, another address): alone it
// is neither listed nor read and every call fails with its own code; beside
// the camera, the records come from the camera's own configuration although
// the other device comes first on the bus.
#include "usb_fixture.h"

namespace usbtest {
namespace {

using Enumeration = EmulatedUsbCamera;

TEST_F(Enumeration, OnlyTheCameraIsListedAndReadBeforeItIsOpened)
{
    std::string error;
    ASSERT_TRUE(camera->add_other_device(ombrix::sim::usb::BusPlace{1, 2, 90}, error)) << error;
    ASSERT_EQ(uvc_camera_init(), 0);
    EXPECT_STREQ(dozazuva_current_backend()->name, "libuvc");
    EXPECT_FALSE(listed(0x5830));
    camera_dev_t device{0x5830, kVid, nullptr};
    std::vector<camera_stream_info_t> infos(DOZAZUVA_MAX_STREAM_INFOS);
    EXPECT_EQ(uvc_camera_info_get(&device, infos.data()), -4);
    EXPECT_EQ(uvc_camera_open(&device), -4);
    camera_param_t param{device, const_cast<char*>("YUY2"), 256, 384, kFrameBytes, 25, 10};
    EXPECT_EQ(uvc_camera_stream_start(&param, nullptr), -9);
    ASSERT_EQ(vdcmd_init(), 0);
    uint16_t gain = 0;
    EXPECT_EQ(get_prop_tpd_params(TPD_PROP_GAIN_SEL, &gain), -15);

    plug(0x5830);
    ASSERT_TRUE(wait_until([] { return listed(0x5830); }, std::chrono::seconds(2)));
    std::vector<camera_dev_t> list(DOZAZUVA_MAX_DEVICES);
    ASSERT_EQ(uvc_camera_list(list.data()), 0);
    EXPECT_STREQ(list[0].name, "USB Thermal Camera") << "the product string, read over endpoint 0";
    EXPECT_EQ(list[1].vid, 0u) << "the camera alone is listed";
    uvc_camera_list_release(list.data());
    ASSERT_EQ(uvc_camera_info_get(&device, infos.data()), 0);
    EXPECT_STREQ(infos[0].format, "YUY2");
    EXPECT_EQ(infos[0].frame_size, kPictureBytes);
    EXPECT_EQ(infos[1].frame_size, kFrameBytes);
    EXPECT_EQ(infos[2].width, 0u) << "two frame descriptors";
    uvc_camera_info_release(infos.data());
}

}  // namespace
}  // namespace usbtest
