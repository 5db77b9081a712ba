// Writes the recording reader's seeds into the folder given: small real
// recordings of the simulated module (a few frames at its own size, and
// tiny sensors, which the fuzzer mutates fastest).
#include <ombrix_recording.h>
#include <ombrix_simulator.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool record(const std::string& path, int width, int height, int frames)
{
    ombrix_recorder_params params{};
    params.width = width;
    params.height = height;
    params.view_width = width;
    params.view_height = height;
    ombrix_recorder* recorder = nullptr;
    if (ombrix_recorder_open(path.c_str(), &params, &recorder) < 0)
        return false;
    std::vector<uint8_t> module(OMBRIX_SIM_FRAME_BYTES);
    std::vector<uint8_t> frame(size_t(width) * height * 4);
    for (int i = 0; i < frames; ++i) {
        ombrix_sim_produce_frame(384, module.data(), module.size());
        // The top-left corner of each half when the sensor is smaller.
        const size_t half = frame.size() / 2;
        for (int y = 0; y < height; ++y)
            for (size_t x = 0; x < size_t(width) * 2; ++x) {
                frame[size_t(y) * width * 2 + x] = module[size_t(y) * OMBRIX_SIM_WIDTH * 2 + x];
                frame[half + size_t(y) * width * 2 + x] =
                    module[OMBRIX_SIM_PICTURE_BYTES + size_t(y) * OMBRIX_SIM_WIDTH * 2 + x];
            }
        ombrix_recorder_write(recorder, int64_t(i) * 40, frame.data(), frame.size(), nullptr, 0, 0);
    }
    return ombrix_recorder_close(recorder) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SEED_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    ombrix_sim_reset();
    const bool written = record(folder + "/sensor-2-frames.mkv", OMBRIX_SIM_WIDTH, OMBRIX_SIM_HEIGHT, 2) &&
                         record(folder + "/tiny-3-frames.mkv", 8, 6, 3) && record(folder + "/tiny-1-frame.mkv", 4, 2, 1);
    return written ? 0 : 1;
}
