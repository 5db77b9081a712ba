// The emulated camera's streaming function on its own, on a hand-driven clock:
// payload headers and frame pacing (negotiation: the viewer's connect test).
#include <gtest/gtest.h>

#include <vector>

#include "ombrix_usb/video_streaming.h"

namespace usbtest {
namespace {

using namespace ombrix::sim::usb;

class VideoStreamingFunction : public testing::Test {
protected:
    int64_t now_us = 1000000;
    ombrix::sim::Module module;
    VideoStreaming streaming{module, [this] { return now_us; }};
    std::vector<uint8_t> payload = std::vector<uint8_t>(kMaxPayloadBytes);

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

TEST_F(VideoStreamingFunction, FramesArePacedAndCutIntoPayloadsWithToggledFrameIds)
{
    module.set_time_frozen(true);
    std::vector<uint8_t> expected;
    ASSERT_TRUE(module.current_frame(384, expected));
    std::vector<uint8_t> commit(kStreamingControlBytes, 0);
    commit[2] = 1, commit[3] = 2;  // format 1, frame 2
    ASSERT_EQ(streaming.class_request(0x21, kSetCur, 0x0200, commit.data(), uint16_t(commit.size())), 26);
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

}  // namespace
}  // namespace usbtest
