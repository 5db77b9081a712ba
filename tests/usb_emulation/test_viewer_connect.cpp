// The viewer's connect sequence over the real stack: product type 6 first,
// then 2, on a bus that has only a 0x5840 module; vendor commands as the
// device's endpoint 0 sees them, transfer for transfer; the stream
// negotiation and the frames over the bulk endpoint.
#include "usb_fixture.h"

#include "../support/wire_transcript.h"

namespace usbtest {
namespace {

uint32_t le32(const uint8_t* at)
{
    return uint32_t(at[0] | at[1] << 8 | at[2] << 16 | uint32_t(at[3]) << 24);
}

using ViewerConnect = EmulatedUsbCamera;

TEST_F(ViewerConnect, Type6FailsThenType2OpensTheOnly5840ModuleWhichAnswersVendorCommandsAndStreams)
{
    plug(0x5840);
    ViewerCamera viewer;
    EXPECT_EQ(viewer.open(6), -1) << "no 0x5830 module on the bus";
    ASSERT_EQ(viewer.open(2), 0);
    ASSERT_EQ(vdcmd_init(), 0);
    for (const ControlRecord& r : camera->control_log())
        ASSERT_NE(r.request_type & 0x60, 0x40) << "no vendor request while opening or installing the transport";

    // The range read and a distance write: long commands, header bytes 0 to
    // 7 staged at 0x9D00, bytes 8 to 15 committing at 0x1D08, the status
    // polls (the module reads busy twice), then any reply.
    camera->clear_control_log();
    uint16_t gain = 0xFFFF;
    ASSERT_EQ(get_prop_tpd_params(TPD_PROP_GAIN_SEL, &gain), 0);
    EXPECT_EQ(gain, 1) << "the module starts in the normal range";
    ASSERT_EQ(set_prop_tpd_params(TPD_PROP_DISTANCE, 200), 0);
    EXPECT_EQ(camera->module().property(ombrix::sim::PropertyTable::Tpd, TPD_PROP_DISTANCE), 200);
    wire::Script expected;
    expected.long_read({0x14, 0x85, 0x00, 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}, {0x00, 0x01});
    expected.long_command({0x14, 0xC5, 0x00, 0x00, 0, 0, 0x00, 200, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(wire::transcript(camera->control_log(), [](const ControlRecord& r) { return r.data; }),
              expected.transfers());

    // A still scene: every frame libuvc puts together is the module's current one.
    camera->module().set_time_frozen(true);
    std::vector<uint8_t> frame;
    ASSERT_TRUE(camera->module().current_frame(384, frame));
    camera->clear_control_log();
    ASSERT_EQ(viewer.start(), 0);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(uvc_frame_get(viewer.raw_frame), 0) << "frame " << i;
        ASSERT_TRUE(std::equal(frame.begin(), frame.end(), viewer.raw_frame)) << "frame " << i;
    }

    // GET_MAX, SET_CUR and GET_CUR of the probe, SET_CUR of the commit, all
    // on the streaming interface with the 26-byte control of UVC 1.0; the
    // commit asks for the second frame (256 x 384) at 25 frames a second.
    const std::vector<ControlRecord> negotiation = camera->control_log();
    std::vector<std::vector<int>> requests;
    for (const ControlRecord& r : negotiation)
        requests.push_back({r.request, r.value, r.index, r.length, r.status});
    EXPECT_EQ(requests, (std::vector<std::vector<int>>{{0x83, 0x0100, 1, 26, 26}, {0x01, 0x0100, 1, 26, 26},
                                                      {0x81, 0x0100, 1, 26, 26}, {0x01, 0x0200, 1, 26, 26}}));
    ASSERT_EQ(negotiation.size(), 4u);
    const uint8_t* commit = negotiation.back().data.data();
    EXPECT_EQ((std::vector<uint32_t>{commit[2], commit[3], le32(commit + 4), le32(commit + 18)}),
              (std::vector<uint32_t>{1, 2, 400000, kFrameBytes})) << "format, frame, interval, size";
    viewer.disconnect();
}

}  // namespace
}  // namespace usbtest
