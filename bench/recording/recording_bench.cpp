// Recording the simulated module: the CPU one frame costs (copying it off
// the stream thread, converting the view, encoding the three streams and
// writing them) as a share of one core at 25 frames a second, and the size
// of a 60 s recording of the simulated scene. Targets: at most 10 % of one
// core, at most 60 MB.
#include "../support/cpu_time_reporter.h"

#include <ombrix_recording.h>
#include <ombrix_simulator.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFramesPerSecond = 25;
constexpr int kLoopedFrames = 250;  // ten seconds of scene, used round and round
constexpr int kMinuteFrames = 60 * kFramesPerSecond;
constexpr int kViewBytes = OMBRIX_SIM_WIDTH * OMBRIX_SIM_HEIGHT * 3;

using Frame = std::vector<uint8_t>;

const std::vector<Frame>& sceneFrames()
{
    static const std::vector<Frame> frames = [] {
        ombrix_sim_reset();
        std::vector<Frame> out(kLoopedFrames, Frame(OMBRIX_SIM_FRAME_BYTES));
        for (Frame& frame : out)
            ombrix_sim_produce_frame(384, frame.data(), frame.size());
        return out;
    }();
    return frames;
}

// A coloured view of the picture half, as a palette would give it.
void colourView(const Frame& frame, std::vector<uint8_t>& view)
{
    view.resize(kViewBytes);
    for (int i = 0; i < OMBRIX_SIM_WIDTH * OMBRIX_SIM_HEIGHT; ++i) {
        const uint8_t y = frame[size_t(i) * 2];
        view[size_t(i) * 3] = y;
        view[size_t(i) * 3 + 1] = uint8_t(y * y / 255);
        view[size_t(i) * 3 + 2] = uint8_t(255 - y);
    }
}

std::string scratchFile(const char* name)
{
    return std::string(P_tmpdir) + "/ombrix-bench-" + std::to_string(getpid()) + "-" + name;
}

ombrix_recorder* openRecorder(const std::string& path)
{
    ombrix_recorder_params params{};
    params.width = OMBRIX_SIM_WIDTH;
    params.height = OMBRIX_SIM_HEIGHT;
    params.view_width = OMBRIX_SIM_WIDTH;
    params.view_height = OMBRIX_SIM_HEIGHT;
    ombrix_recorder* recorder = nullptr;
    if (ombrix_recorder_open(path.c_str(), &params, &recorder) < 0) {
        std::fprintf(stderr, "cannot record into %s\n", path.c_str());
        std::exit(1);
    }
    return recorder;
}

void BM_RecordOneFrame(benchmark::State& state)
{
    const std::vector<Frame>& frames = sceneFrames();
    std::vector<std::vector<uint8_t>> views(frames.size());
    for (size_t i = 0; i < frames.size(); ++i)
        colourView(frames[i], views[i]);
    const std::string path = scratchFile("cpu.mkv");
    ombrix_recorder* recorder = openRecorder(path);
    Frame raw;
    std::vector<uint8_t> view;
    int64_t n = 0;
    for (auto _ : state) {
        const size_t i = size_t(n % kLoopedFrames);
        raw = frames[i];  // the copy the recorder takes off the stream thread
        view = views[i];
        if (ombrix_recorder_write(recorder, n * 40, raw.data(), raw.size(), view.data(), OMBRIX_SIM_WIDTH,
                                  OMBRIX_SIM_HEIGHT) < 0)
            state.SkipWithError("write failed");
        ++n;
    }
    ombrix_recorder_close(recorder);
    unlink(path.c_str());
}
BENCHMARK(BM_RecordOneFrame)->Unit(benchmark::kMillisecond)->Iterations(500);

// A minute of the moving scene, frame after frame as the module sends them.
double minuteMegabytes()
{
    ombrix_sim_reset();
    const std::string path = scratchFile("minute.mkv");
    ombrix_recorder* recorder = openRecorder(path);
    Frame frame(OMBRIX_SIM_FRAME_BYTES);
    std::vector<uint8_t> view;
    for (int i = 0; i < kMinuteFrames; ++i) {
        ombrix_sim_produce_frame(384, frame.data(), frame.size());
        colourView(frame, view);
        ombrix_recorder_write(recorder, int64_t(i) * 40, frame.data(), frame.size(), view.data(), OMBRIX_SIM_WIDTH,
                              OMBRIX_SIM_HEIGHT);
    }
    ombrix_recorder_close(recorder);
    struct stat info {};
    stat(path.c_str(), &info);
    if (!getenv("OMBRIX_BENCH_KEEP"))
        unlink(path.c_str());
    return double(info.st_size) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double perFrame = reporter.time("BM_RecordOneFrame/iterations:500");
    const double share = perFrame * kFramesPerSecond;
    std::printf("\nrecording at %d frames a second: %.1f %% of one core (CPU %.2f ms a frame; target <= 10 %%)\n",
                kFramesPerSecond, share * 100, perFrame * 1e3);
    const double megabytes = minuteMegabytes();
    std::printf("60 s of the simulated scene: %.1f MB, %.2f of the 60 MB target\n", megabytes, megabytes / 60);
    return 0;
}
