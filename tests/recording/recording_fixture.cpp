#include "recording_fixture.h"

#include "ombrix_simulator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

void RecordingTest::SetUp()
{
    char name[] = "/tmp/ombrix-recording-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    folder = name;
}

void RecordingTest::TearDown() { std::filesystem::remove_all(folder); }

std::vector<Frame> RecordingTest::camera_frames(int count)
{
    ombrix_sim_reset();
    std::vector<Frame> frames;
    for (int i = 0; i < count; ++i) {
        Frame frame(OMBRIX_SIM_FRAME_BYTES);
        EXPECT_EQ(ombrix_sim_produce_frame(384, frame.data(), frame.size()), long(frame.size()));
        frames.push_back(frame);
    }
    return frames;
}

ombrix_recorder_params RecordingTest::params()
{
    ombrix_recorder_params p{};
    p.width = OMBRIX_SIM_WIDTH;
    p.height = OMBRIX_SIM_HEIGHT;
    p.view_width = OMBRIX_SIM_HEIGHT;  // a quarter turn
    p.view_height = OMBRIX_SIM_WIDTH;
    snprintf(p.tags.serial, sizeof p.tags.serial, "OMX2312000417");
    snprintf(p.tags.firmware, sizeof p.tags.firmware, "V1.3.26");
    snprintf(p.tags.palette, sizeof p.tags.palette, "Iron Red");
    snprintf(p.tags.unit, sizeof p.tags.unit, "F");
    snprintf(p.tags.range_mode, sizeof p.tags.range_mode, "high");
    p.tags.emissivity = 0.87;
    p.tags.distance_m = 2.5;
    p.tags.rotation = 90;
    p.tags.start_time_ms = 1796000000123;
    return p;
}

int RecordingTest::record(const std::string& file, const std::vector<Frame>& frames, int64_t step_ms)
{
    const ombrix_recorder_params p = params();
    ombrix_recorder* recorder = nullptr;
    const int opened = ombrix_recorder_open(file.c_str(), &p, &recorder);
    if (opened < 0)
        return opened;
    const Frame view(size_t(p.view_width) * p.view_height * 3, 0x80);
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(ombrix_recorder_write(recorder, 1000 + step_ms * int64_t(i), frames[i].data(), frames[i].size(),
                                        view.data(), p.view_width, p.view_height),
                  0);
    return ombrix_recorder_close(recorder);
}

std::string RecordingTest::run(const std::string& command)
{
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return "";
    std::string out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    return pclose(pipe) == 0 ? out : "";
}
