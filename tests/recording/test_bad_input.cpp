// Files that are not whole recordings of ours, and a disk that fills up:
// a clear error or the frames that are whole, never a crash.
#include "recording_fixture.h"

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>

namespace {

std::string slurp(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void spill(const std::string& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The frames a reader finds, or its error; every found frame must decode.
int readable_frames(const std::string& file)
{
    ombrix_recording* recording = nullptr;
    const int opened = ombrix_recording_open(file.c_str(), &recording);
    if (opened < 0)
        return opened;
    ombrix_recording_info info{};
    ombrix_recording_info_get(recording, &info);
    Frame frame(size_t(info.width) * info.height * 4);
    for (int i = info.frames - 1; i >= 0; --i)
        EXPECT_EQ(ombrix_recording_read(recording, i, frame.data(), frame.size(), nullptr), 0) << file << " " << i;
    EXPECT_EQ(ombrix_recording_read(recording, info.frames, frame.data(), frame.size(), nullptr), OMBRIX_REC_ERR_ARGUMENT);
    ombrix_recording_close(recording);
    return info.frames;
}

TEST_F(RecordingTest, BadFilesGiveTheirErrorOrTheirWholeFrames)
{
    ASSERT_EQ(record(path("good.mkv"), camera_frames(6)), 0);
    const std::string good = slurp(path("good.mkv"));
    std::string flipped = good;
    for (size_t i = good.size() / 3; i < good.size(); i += 997)
        flipped[i] = char(~flipped[i]);
    spill(path("flipped.mkv"), flipped);
    spill(path("cut-header.mkv"), good.substr(0, 300));
    for (int cut = 1; cut < 8; ++cut)
        spill(path("cut-" + std::to_string(cut) + ".mkv"), good.substr(0, good.size() * cut / 8 + cut * 37));
    spill(path("text.mkv"), "not a video at all\n");
    spill(path("empty.mkv"), "");
    run(std::string(FFMPEG_BIN) + " -v error -f lavfi -i testsrc=size=256x192:rate=25 -t 0.2 -c:v ffv1 " +
        path("foreign.mkv"));

    struct Case {
        const char* file;
        int low, high;  // frames found, or the error expected when both are equal and negative
    } cases[] = {
        {"missing.mkv", OMBRIX_REC_ERR_OPEN, OMBRIX_REC_ERR_OPEN},
        {"text.mkv", OMBRIX_REC_ERR_FORMAT, OMBRIX_REC_ERR_FORMAT},
        {"empty.mkv", OMBRIX_REC_ERR_FORMAT, OMBRIX_REC_ERR_FORMAT},
        {"foreign.mkv", OMBRIX_REC_ERR_FORMAT, OMBRIX_REC_ERR_FORMAT},
        {"cut-header.mkv", OMBRIX_REC_ERR_FORMAT, OMBRIX_REC_ERR_FORMAT},
        {"cut-1.mkv", OMBRIX_REC_ERR_FORMAT, 1}, {"cut-2.mkv", 0, 2}, {"cut-3.mkv", 1, 3}, {"cut-4.mkv", 1, 4},
        {"cut-5.mkv", 2, 4}, {"cut-6.mkv", 3, 5}, {"cut-7.mkv", 4, 6},
        {"flipped.mkv", OMBRIX_REC_ERR_FORMAT, 6},
    };
    for (const Case& c : cases) {
        const int found = readable_frames(path(c.file));
        EXPECT_GE(found, c.low) << c.file;
        EXPECT_LE(found, c.high) << c.file;
    }
}

TEST_F(RecordingTest, WrongSizesAndPathsAreRefused)
{
    ombrix_recorder_params p = params();
    ombrix_recorder* recorder = nullptr;
    EXPECT_EQ(ombrix_recorder_open((folder + "/no/such/folder.mkv").c_str(), &p, &recorder), OMBRIX_REC_ERR_OPEN);
    EXPECT_EQ(recorder, nullptr);
    p.width = 255;
    EXPECT_EQ(ombrix_recorder_open(path("odd.mkv").c_str(), &p, &recorder), OMBRIX_REC_ERR_ARGUMENT);
    EXPECT_FALSE(std::filesystem::exists(path("odd.mkv")));

    // A 160 x 120 recording: a 256 x 192 frame does not fit it.
    p = params();
    p.width = 160;
    p.height = 120;
    ASSERT_EQ(ombrix_recorder_open(path("small.mkv").c_str(), &p, &recorder), 0);
    const Frame big(256 * 192 * 4);
    EXPECT_EQ(ombrix_recorder_write(recorder, 0, big.data(), big.size(), nullptr, 0, 0), OMBRIX_REC_ERR_FRAME_SIZE);
    const Frame small(160 * 120 * 4, 7);
    EXPECT_EQ(ombrix_recorder_write(recorder, 0, small.data(), small.size(), nullptr, 0, 0), 0);
    EXPECT_EQ(ombrix_recorder_close(recorder), 0);
    ombrix_recording* recording = nullptr;
    ASSERT_EQ(ombrix_recording_open(path("small.mkv").c_str(), &recording), 0);
    Frame frame(big.size());
    EXPECT_EQ(ombrix_recording_read(recording, 0, frame.data(), frame.size(), nullptr), OMBRIX_REC_ERR_FRAME_SIZE);
    ombrix_recording_close(recording);
}

// The file size limit stands in for a full disk.
TEST_F(RecordingTest, AFullDiskEndsTheFileAtItsLastWholeFrame)
{
    const auto frames = camera_frames(40);
    const ombrix_recorder_params p = params();
    ombrix_recorder* recorder = nullptr;
    ASSERT_EQ(ombrix_recorder_open(path("full.mkv").c_str(), &p, &recorder), 0);

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 400 * 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    int result = 0;
    size_t written = 0;
    for (; written < frames.size() && result == 0; ++written)
        result = ombrix_recorder_write(recorder, 40 * int64_t(written), frames[written].data(),
                                       frames[written].size(), nullptr, 0, 0);
    const int whole = ombrix_recorder_frames(recorder);
    EXPECT_EQ(ombrix_recorder_close(recorder), OMBRIX_REC_ERR_WRITE);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_EQ(result, OMBRIX_REC_ERR_WRITE);
    EXPECT_LT(written, frames.size());
    EXPECT_GT(whole, 0);
    EXPECT_EQ(readable_frames(path("full.mkv")), whole);
    // Other players see the same whole frames: as many packets in each stream.
    const std::string counts = run(std::string(FFPROBE_BIN) +
                                   " -v error -count_packets -show_entries stream=nb_read_packets -of csv=p=0 " +
                                   path("full.mkv"));
    const std::string n = std::to_string(whole) + "\n";
    EXPECT_EQ(counts, n + n + n);
}

}  // namespace
