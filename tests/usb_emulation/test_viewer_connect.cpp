// The viewer's connect sequence over the real stack: product type 6 first,
// then 2, on a bus that has only a 0x5840 module; the range read and the
// stream negotiation that follow.
#include "usb_fixture.h"

namespace usbtest {
namespace {

uint32_t le32(const uint8_t* at)
{
    return uint32_t(at[0] | at[1] << 8 | at[2] << 16 | uint32_t(at[3]) << 24);
}

using ViewerConnect = EmulatedUsbCamera;

TEST_F(ViewerConnect, Type6FailsThenType2OpensTheOnly5840Module)
{
    plug(0x5840);
    ViewerCamera viewer;
    EXPECT_EQ(viewer.open(6), -1) << "no 0x5830 module on the bus";
    EXPECT_TRUE(vendor_transfers(camera->control_log()).empty());
    ASSERT_EQ(viewer.open(2), 0);
    EXPECT_STREQ(viewer.param.format, "YUY2");
    EXPECT_EQ(viewer.param.width, 256u);
    EXPECT_EQ(viewer.param.height, 384u);
    EXPECT_EQ(viewer.param.frame_size, kFrameBytes);
    EXPECT_EQ(viewer.param.fps, 25u);
    ASSERT_EQ(vdcmd_init(), 0);

    camera->clear_control_log();
    uint16_t gain = 0xFFFF;
    ASSERT_EQ(get_prop_tpd_params(TPD_PROP_GAIN_SEL, &gain), 0);
    EXPECT_EQ(gain, 1) << "the module starts in the normal range";
    const std::vector<ControlRecord> range_read = camera->control_log();
    ASSERT_EQ(range_read.size(), 6u) << "header, header tail, three status polls, reply";
    EXPECT_EQ(range_read[0].data, (std::vector<uint8_t>{0x14, 0x85, 0x00, 0x05, 0, 0, 0, 0}));
    EXPECT_EQ(range_read[5].index, 0x1D10);
    EXPECT_EQ(range_read[5].data, (std::vector<uint8_t>{0x00, 0x01}));

    camera->clear_control_log();
    ASSERT_EQ(viewer.start(), 0);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(uvc_frame_get(viewer.raw_frame), 0) << "frame " << i;

    // Probe and commit of the second frame at 25 frames a second, all on the
    // streaming interface, with the 26-byte control of UVC 1.0.
    std::vector<std::pair<uint8_t, uint16_t>> requests;
    const uint8_t* commit = nullptr;
    std::vector<ControlRecord> negotiation = camera->control_log();
    for (const ControlRecord& r : negotiation) {
        requests.emplace_back(r.request, r.value);
        EXPECT_EQ(r.index, 1) << "streaming interface";
        EXPECT_EQ(r.length, 26);
        EXPECT_EQ(r.status, 26);
        if (r.request == 0x01 && r.value == 0x0200)
            commit = r.data.data();
    }
    const std::vector<std::pair<uint8_t, uint16_t>> expected = {
        {0x83, 0x0100}, {0x01, 0x0100}, {0x81, 0x0100}, {0x01, 0x0200}};
    EXPECT_EQ(requests, expected) << "GET_MAX, SET_CUR and GET_CUR of the probe, SET_CUR of the commit";
    ASSERT_NE(commit, nullptr);
    EXPECT_EQ(commit[2], 1) << "format";
    EXPECT_EQ(commit[3], 2) << "frame 256 x 384";
    EXPECT_EQ(le32(commit + 4), 400000u) << "frame interval";
    EXPECT_EQ(le32(commit + 18), kFrameBytes) << "frame size";
    viewer.disconnect();
}

}  // namespace
}  // namespace usbtest
