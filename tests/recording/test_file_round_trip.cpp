// A recording gives back every frame byte for byte, with its times and tags,
// and FFmpeg's own tools read it as three streams.
#include "recording_fixture.h"

#include <cstring>
#include <tuple>

namespace {

TEST_F(RecordingTest, EveryFrameComesBackByteForByteInAnyOrder)
{
    auto frames = camera_frames(11);
    Frame every_byte(frames[0].size());  // the module's picture is grey: its U and V would pass swapped
    for (size_t i = 0; i < every_byte.size(); ++i)
        every_byte[i] = uint8_t(i * 7 + i / 251);
    frames.push_back(every_byte);
    ASSERT_EQ(record(path("a.mkv"), frames), 0);

    ombrix_recording* recording = nullptr;
    ASSERT_EQ(ombrix_recording_open(path("a.mkv").c_str(), &recording), 0);
    ombrix_recording_info info{};
    ombrix_recording_info_get(recording, &info);
    EXPECT_EQ(info.frames, 12);
    EXPECT_EQ(info.duration_ms, 11 * 40);
    auto tags = [](const ombrix_recording_tags& t) {
        return std::make_tuple(std::string(t.serial) + "|" + t.firmware + "|" + t.palette + "|" + t.unit + "|" + t.range_mode,
                               t.emissivity, t.distance_m, t.rotation, t.start_time_ms);
    };
    EXPECT_EQ(tags(info.tags), tags(params().tags));
    EXPECT_EQ(info.tags.format_version, OMBRIX_RECORDING_FORMAT_VERSION);

    // Forwards, then jumping back and forth as seeking and stepping do.
    Frame frame(frames[0].size());
    for (int index : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 7, 2, 11, 0, 5, 4}) {
        int64_t time = -1;
        ASSERT_EQ(ombrix_recording_read(recording, index, frame.data(), frame.size(), &time), 0) << index;
        EXPECT_EQ(frame, frames[index]) << index;
        EXPECT_EQ(time, 40 * index);
    }
    ombrix_recording_close(recording);
}

TEST_F(RecordingTest, FfmpegSeesThreeStreamsAndTheTagsAndDecodesTheWords)
{
    const auto frames = camera_frames(3);
    ASSERT_EQ(record(path("b.mkv"), frames), 0);
    const std::string probe = run(std::string(FFPROBE_BIN) +
                                  " -v error -show_entries stream=codec_name,pix_fmt:format_tags -of compact " +
                                  path("b.mkv"));
    for (const char* expected :
         {"codec_name=h264|pix_fmt=yuv420p", "codec_name=ffv1|pix_fmt=yuv422p", "codec_name=ffv1|pix_fmt=gray16le",
          "SERIAL=OMX2312000417", "FIRMWARE=V1.3.26", "EMISSIVITY=0.87", "DISTANCE=2.5", "RANGE_MODE=high",
          "UNIT=F", "PALETTE=Iron Red", "ROTATION=90", "START_TIME=2026-11-30T00:53:20.123Z", "OMBRIX_FORMAT_VERSION=1"})
        EXPECT_NE(probe.find(expected), std::string::npos) << expected << "\n" << probe;
    // The temperature stream decodes to the words (the second half of each frame).
    std::string words;
    for (const Frame& frame : frames)
        words.append(reinterpret_cast<const char*>(frame.data()) + frame.size() / 2, frame.size() / 2);
    EXPECT_TRUE(run(std::string(FFMPEG_BIN) + " -v error -i " + path("b.mkv") + " -map 0:2 -f rawvideo -pix_fmt gray16le -") == words);
}

// Frames stamped with the same millisecond are all kept, in order, a millisecond apart.
TEST_F(RecordingTest, FramesWithoutTimeBetweenThemAreAllKept)
{
    const auto frames = camera_frames(3);
    ASSERT_EQ(record(path("same.mkv"), frames, 0), 0);
    ombrix_recording* recording = nullptr;
    ASSERT_EQ(ombrix_recording_open(path("same.mkv").c_str(), &recording), 0);
    Frame frame(frames[0].size());
    for (int i = 0; i < 3; ++i) {
        int64_t time = -1;
        EXPECT_EQ(ombrix_recording_read(recording, i, frame.data(), frame.size(), &time), 0) << i;
        EXPECT_TRUE(frame == frames[i] && time == i) << i << " at " << time;
    }
    ombrix_recording_close(recording);
}

}  // namespace
