// The emulated camera's streaming function on its own, with a hand-driven
// clock: probe and commit negotiation, payload headers, frame pacing.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ombrix_usb/video_streaming.h"

namespace usbtest {
namespace {

using namespace ombrix::sim::usb;

constexpr uint8_t kOut = 0x21, kIn = 0xA1;
constexpr uint16_t kProbe = 0x0100, kCommit = 0x0200;

uint32_t le32(const uint8_t* at)
{
    return uint32_t(at[0] | at[1] << 8 | at[2] << 16 | uint32_t(at[3]) << 24);
}

std::vector<uint8_t> control_for_frame(uint8_t frame)
{
    std::vector<uint8_t> control(kStreamingControlBytes, 0);
    control[2] = 1;
    control[3] = frame;
    return control;
}

class VideoStreamingFunction : public testing::Test {
protected:
    int64_t now_us = 1000000;
    ombrix::sim::Module module;
    VideoStreaming streaming{module, [this] { return now_us; }};
    std::vector<uint8_t> payload = std::vector<uint8_t>(kMaxPayloadBytes);

    int request(uint8_t type, uint8_t code, uint16_t value, std::vector<uint8_t>& control)
    {
        return streaming.class_request(type, code, value, control.data(), uint16_t(control.size()));
    }

    // The payloads of one whole frame, each checked; returns the frame's bytes.
    std::vector<uint8_t> take_frame(uint8_t& frame_id)
    {
        std::vector<uint8_t> frame;
        for (;;) {
            const size_t bytes = streaming.next_payload(payload.data(), payload.size());
            if (bytes == 0) {
                ADD_FAILURE() << "the frame ended without its end-of-frame payload";
                return frame;
            }
            EXPECT_EQ(payload[0], kPayloadHeaderBytes);
            EXPECT_EQ(payload[1] & (kHeaderEndOfHeader | kHeaderPts | kHeaderScr),
                      kHeaderEndOfHeader | kHeaderPts | kHeaderScr);
            frame_id = payload[1] & kHeaderFrameId;
            frame.insert(frame.end(), payload.begin() + kPayloadHeaderBytes, payload.begin() + bytes);
            if (payload[1] & kHeaderEndOfFrame)
                return frame;
            EXPECT_EQ(bytes, kMaxPayloadBytes) << "only the last payload of a frame is short";
        }
    }
};

TEST_F(VideoStreamingFunction, ProbeSettlesOnAFrameTheDeviceHas)
{
    std::vector<uint8_t> control(kStreamingControlBytes);
    ASSERT_EQ(request(kIn, kGetMax, kProbe, control), 26);
    EXPECT_EQ(control[3], 2);
    EXPECT_EQ(le32(&control[18]), 196608u);
    EXPECT_EQ(le32(&control[22]), kMaxPayloadBytes);

    control = control_for_frame(9);
    ASSERT_EQ(request(kOut, kSetCur, kProbe, control), 26);
    ASSERT_EQ(request(kIn, kGetCur, kProbe, control), 26);
    EXPECT_EQ(control[3], 1) << "an unknown frame falls back to the default";
    EXPECT_EQ(le32(&control[4]), 400000u);
    EXPECT_EQ(le32(&control[18]), 98304u);

    control = control_for_frame(9);
    EXPECT_EQ(request(kOut, kSetCur, kCommit, control), -1) << "a commit of an unknown frame stalls";
    std::vector<uint8_t> longer(34, 0);
    EXPECT_EQ(request(kIn, kGetCur, kProbe, longer), -1) << "UVC 1.0 controls are 26 bytes";
    EXPECT_EQ(request(kIn, 0x82, kProbe, control), -1) << "GET_MIN is not answered";
    EXPECT_FALSE(streaming.streaming());
    EXPECT_EQ(streaming.next_payload(payload.data(), payload.size()), 0u);
}

TEST_F(VideoStreamingFunction, FramesArePacedAndCutIntoPayloadsWithToggledFrameIds)
{
    module.set_time_frozen(true);
    std::vector<uint8_t> expected;
    ASSERT_TRUE(module.current_frame(384, expected));
    std::vector<uint8_t> control = control_for_frame(2);
    ASSERT_EQ(request(kOut, kSetCur, kCommit, control), 26);
    ASSERT_TRUE(streaming.streaming());

    uint8_t first_id = 0, second_id = 0;
    EXPECT_EQ(take_frame(first_id), expected) << "the first frame goes at the commit";
    EXPECT_EQ(streaming.next_payload(payload.data(), payload.size()), 0u);
    now_us += kFrameIntervalUs - 1;
    EXPECT_EQ(streaming.next_payload(payload.data(), payload.size()), 0u) << "one interval between frames";
    now_us += 1;
    EXPECT_EQ(take_frame(second_id), expected);
    EXPECT_NE(first_id, second_id);

    // Nobody read for a second: one frame now, the next one interval later.
    now_us += 1000000;
    take_frame(first_id);
    EXPECT_EQ(streaming.next_payload(payload.data(), payload.size()), 0u) << "no backlog burst";
    EXPECT_EQ(streaming.frames_started(), 3u);

    streaming.stop();
    now_us += kFrameIntervalUs;
    EXPECT_EQ(streaming.next_payload(payload.data(), payload.size()), 0u);
}

TEST_F(VideoStreamingFunction, APayloadFitsTheHostsBuffer)
{
    std::vector<uint8_t> control = control_for_frame(1);
    ASSERT_EQ(request(kOut, kSetCur, kCommit, control), 26);
    EXPECT_EQ(streaming.committed_height(), 192);
    EXPECT_EQ(streaming.next_payload(payload.data(), 512), 512u);
    EXPECT_EQ(streaming.next_payload(payload.data(), kPayloadHeaderBytes), 0u) << "no room for data";
}

}  // namespace
}  // namespace usbtest
