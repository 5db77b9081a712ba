// Threads meeting in dozazuva: commands from several threads while frames
// stream. The module's wire log must show every command whole.
#include "sim_fixture.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

using namespace dztest;

namespace {

constexpr int kWriters = 3, kReaders = 2, kCommandsPerThread = 40;

// A flash write of 100 bytes at address `tag`, every byte `tag`; or a long
// read of the temperature-measurement property `tag` % 16.
int tagged_command(bool write, uint8_t tag)
{
    uint8_t header[16] = {uint8_t(write ? 0x01 : 0x14), uint8_t(write ? 0xC2 : 0x85), 0, 0, 0, tag}, reply[2];
    std::vector<uint8_t> data(100, tag);
    return write ? standard_cmd_write(header, 100, data.data()) : long_cmd_read(header, tag & 0x0F, 0, 0, 2, reply);
}

// The transfers of the tagged command whose staged header is `header`, as
// the transport sends them when alone.
std::vector<Wire> whole_command(const Wire& header)
{
    if (header.data[0] != 0x01)
        return {header, out(0x1D08, {0, 0, 0, 0, 0, 0, 0, 2}), status(), in(0x1D10, 2)};
    const uint8_t tag = header.data[5];
    return {header, out(0x9D08, std::vector<uint8_t>(64, tag)), out(0x9D48, std::vector<uint8_t>(28, tag)),
            out(0x1D64, std::vector<uint8_t>(8, tag)), status()};
}

using ConcurrencyTest = OpenCameraTest;

TEST_F(ConcurrencyTest, CommandsFromSeveralThreadsNeverInterleaveWhileFramesStream)
{
    camera_param_t param = stream_param();
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    iruvc_log_register(1);
    ombrix_sim_set_busy_polls(0);  // one status read per command
    vdcmd_set_polling_wait_time(5);
    ombrix_sim_set_pace(OMBRIX_SIM_PACE_REALTIME);
    ombrix_sim_set_frame_interval_us(2000);
    std::atomic<bool> stop{false};
    std::atomic<int> frames_taken{0};
    std::thread frame_reader([&] {
        std::vector<uint8_t> raw(kFrameBytes);
        while (!stop.load())
            frames_taken += uvc_frame_get(raw.data()) == 0;
    });

    // Every phase is bounded, so a broken library fails instead of hanging.
    auto wait_for_frames = [&](int count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (frames_taken.load() < count && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        return frames_taken.load() >= count;
    };
    EXPECT_TRUE(wait_for_frames(1));

    std::vector<std::thread> commanders;
    std::atomic<int> failures{0};
    for (int t = 0; t < kWriters + kReaders; ++t) {
        commanders.emplace_back([&, t] {
            const uint8_t tag = static_cast<uint8_t>(0x10 + t);
            for (int i = 0; i < kCommandsPerThread; ++i)
                failures += tagged_command(t < kWriters, tag) != 0;
        });
    }
    for (std::thread& commander : commanders)
        commander.join();
    EXPECT_TRUE(wait_for_frames(frames_taken.load() + 20));
    stop = true;
    frame_reader.join();
    ASSERT_EQ(uvc_camera_stream_close(1), 0);
    EXPECT_EQ(failures.load(), 0);

    const std::vector<Wire> log = logged();
    int writes = 0, reads = 0;
    for (size_t at = 0; at < log.size();) {
        ASSERT_EQ(log[at].address, 0x9D00) << "a command starts at record " << at;
        const std::vector<Wire> expected = whole_command(log[at]);
        const size_t end = std::min(at + expected.size(), log.size());
        ASSERT_EQ(std::vector<Wire>(log.begin() + long(at), log.begin() + long(end)), expected) << "record " << at;
        ++(log[at].data[0] == 0x01 ? writes : reads);
        at = end;
    }
    EXPECT_EQ(writes, kWriters * kCommandsPerThread);
    EXPECT_EQ(reads, kReaders * kCommandsPerThread);
}

}  // namespace
