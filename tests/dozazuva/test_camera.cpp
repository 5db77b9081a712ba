// Camera access and streaming over the simulated module: listing, open and its
// errors, the library frame and its arrivals, re-initialisation, log sinks.
#include "sim_fixture.h"

#include <chrono>
#include <thread>
#include <tuple>

using namespace dztest;

namespace {

using CameraTest = SimCameraTest;

TEST_F(CameraTest, ListCopiesTheProductStringAndReleaseForgetsIt)
{
    ASSERT_EQ(ombrix_sim_select_pid(OMBRIX_SIM_PID_5840), 0);
    for (const char* product : {OMBRIX_SIM_DEFAULT_PRODUCT, static_cast<const char*>(nullptr)}) {
        ASSERT_EQ(ombrix_sim_set_product(product), 0);
        camera_dev_t list[DOZAZUVA_MAX_DEVICES] = {};
        ASSERT_EQ(uvc_camera_list(list), 0);
        EXPECT_EQ(list[0].pid, 0x5840u);
        EXPECT_EQ(list[1].pid, 0u);
        EXPECT_STREQ(list[0].name, product);
        uvc_camera_list_release(list);
        EXPECT_EQ(list[0].name, nullptr);
    }
}

// A failing table call fails its caller with the caller's own code.
TEST_F(CameraTest, FailuresReturnTheirCodesAndHoldNothing)
{
    camera_dev_t dev = camera_record(), list[DOZAZUVA_MAX_DEVICES] = {};
    camera_stream_info_t infos[DOZAZUVA_MAX_STREAM_INFOS] = {};
    ombrix_sim_fault_call(OMBRIX_SIM_CALL_LIST, -1);
    EXPECT_EQ(uvc_camera_list(list), -3);
    ombrix_sim_fault_clear();
    ombrix_sim_fault_call(OMBRIX_SIM_CALL_OPEN, -3);
    EXPECT_EQ(uvc_camera_open(&dev), -6);
    ombrix_sim_fault_clear();
    EXPECT_EQ(uvc_camera_open(&dev), 0) << "a failed open leaves the context usable";
    EXPECT_EQ(uvc_camera_open(&dev), -8) << "already open";
    EXPECT_EQ(uvc_camera_open_same(&dev, 0), -8);
    ASSERT_EQ(vdcmd_init(), 0);
    EXPECT_EQ(ooc_b_update(0), 0) << "the first open device still answers";
    camera_dev_t absent = camera_record(OMBRIX_SIM_PID_5840);
    EXPECT_EQ(uvc_camera_info_get(&absent, infos), -4);
    EXPECT_EQ(uvc_camera_list(nullptr), -1);
    EXPECT_EQ(uvc_camera_open(nullptr), -1);

    uvc_camera_release();
    ombrix_sim_fault_call(OMBRIX_SIM_CALL_INIT, -99);
    EXPECT_EQ(uvc_camera_init(), -2);
    EXPECT_EQ(uvc_camera_list(list), -3);
    EXPECT_EQ(uvc_camera_open(&dev), -4);
    EXPECT_EQ(uvc_camera_close(), 0);
    EXPECT_EQ(uvc_camera_release(), 0);
    dozazuva_backend newer = *ombrix_simulator_backend();
    newer.abi = DOZAZUVA_BACKEND_ABI + 1;
    EXPECT_EQ(dozazuva_use_backend(&newer), -1);
}

TEST_F(CameraTest, RecordsMatchByIdsNameAndIndex)
{
    struct Case { camera_dev_t dev; int index; int result; };
    const Case cases[] = {
        {{0x5830, 0x0BDA, nullptr}, 0, 0},
        {{0x5830, 0x0BDA, nullptr}, 1, -4},
        {{0x5840, 0x0BDA, nullptr}, 0, -4},
        {{0x5830, 0x0BDB, nullptr}, 0, -4},
        {{0x5830, 0x0BDA, const_cast<char*>("another camera")}, 0, -4},
        {{0x5830, 0x0BDA, const_cast<char*>(OMBRIX_SIM_DEFAULT_PRODUCT)}, 0, 0},
        {{0, 0, nullptr}, 0, 0},  // zero ids match any device
    };
    for (const Case& c : cases) {
        camera_dev_t dev = c.dev;
        EXPECT_EQ(uvc_camera_open_same(&dev, c.index), c.result) << dev.pid << " " << dev.vid << " " << c.index;
        uvc_camera_close();
    }
}

// The controller inits before every open: a second init keeps the context,
// unless the device table changed meanwhile.
TEST_F(CameraTest, InitAgainKeepsTheContextUnlessTheTableChanged)
{
    static dozazuva_backend other = *ombrix_simulator_backend();
    other.name = "another table";
    camera_dev_t dev = camera_record();
    ASSERT_EQ(uvc_camera_open(&dev), 0);
    ASSERT_EQ(uvc_camera_init(), 0);
    EXPECT_EQ(uvc_camera_open(&dev), -8) << "the open device survived the second init";
    ASSERT_EQ(dozazuva_use_backend(&other), 0);
    ASSERT_EQ(uvc_camera_init(), 0);
    EXPECT_EQ(dozazuva_current_backend(), &other);
    EXPECT_EQ(uvc_camera_open(&dev), 0) << "the old context went with its open device";
}

class StreamTest : public OpenCameraTest {
protected:
    void TearDown() override
    {
        uvc_camera_stream_close(1);
        OpenCameraTest::TearDown();
    }
    // The module's present frame.
    const std::vector<uint8_t>& now()
    {
        EXPECT_EQ(ombrix_sim_current_frame(current.data(), kFrameBytes), long(kFrameBytes));
        return current;
    }
    std::vector<uint8_t> raw = std::vector<uint8_t>(kFrameBytes);
    std::vector<uint8_t> current = std::vector<uint8_t>(kFrameBytes);
};

// The arrival of a frame of the wrong size, or of one before a restart, is forgotten.
TEST_F(StreamTest, FrameGetCopiesTheLatestFrameOncePerArrivalOfTheRightSize)
{
    camera_param_t param = stream_param(20);
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    ASSERT_EQ(ombrix_sim_step_frames(2, 5000), 2);
    // Two arrivals: two immediate returns, both with the newest frame.
    for (int take = 0; take < 2; ++take) {
        std::fill(raw.begin(), raw.end(), 0);
        ASSERT_EQ(uvc_frame_get(raw.data()), 0);
        EXPECT_EQ(raw, now());
    }
    EXPECT_EQ(uvc_frame_get(raw.data()), -12);
    EXPECT_EQ(uvc_frame_get(nullptr), -1);
    for (size_t bytes : {size_t(kFrameBytes - 2), size_t(kFrameBytes + 2)}) {
        ombrix_sim_fault_frame_size(bytes);
        ASSERT_EQ(ombrix_sim_step_frames(1, 5000), 1);
        EXPECT_EQ(uvc_frame_get(raw.data()), -12) << bytes << " bytes are dropped";
    }
    ombrix_sim_fault_clear();
    ASSERT_EQ(ombrix_sim_step_frames(1, 5000), 1);
    ASSERT_EQ(uvc_camera_stream_close(1), 0);
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    EXPECT_EQ(uvc_frame_get(raw.data()), -12) << "the arrival went with the closed stream";
}

// A lost wake-up would leave the reader waiting out the whole frame wait.
TEST_F(StreamTest, WaitingReaderWakesForAFrameFromTheStreamingThread)
{
    camera_param_t param = stream_param(10000);
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    int result = 1;
    std::thread reader([&] { result = uvc_frame_get(raw.data()); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(ombrix_sim_step_frames(1, 5000), 1);
    reader.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(raw, now());
}

TEST_F(StreamTest, StartFailuresReturnTheirCodes)
{
    camera_param_t param = stream_param();
    iruvc_usr_func_t empty = {nullptr, nullptr};
    EXPECT_EQ(uvc_camera_stream_start(&param, &empty), -10);
    for (auto [call, result] : {std::pair{OMBRIX_SIM_CALL_STREAM_CTRL, -9}, {OMBRIX_SIM_CALL_START, -11}}) {
        ombrix_sim_fault_call(call, -51);
        EXPECT_EQ(uvc_camera_stream_start(&param, nullptr), result);
        ombrix_sim_fault_clear();
    }
    param.height = 100;  // no such frame descriptor
    EXPECT_EQ(uvc_camera_stream_start(&param, nullptr), -9);
    param = stream_param();
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    EXPECT_EQ(uvc_camera_stream_start(&param, nullptr), -11) << "already streaming";
    EXPECT_EQ(uvc_camera_stream_start(nullptr, nullptr), -1);
    EXPECT_EQ(uvc_camera_close(), 0) << "closing without a stream stop";
    EXPECT_FALSE(ombrix_sim_is_streaming());
}

// Level 0 prints errors and debug messages, 1 errors only, 2 nothing.
TEST(Logging, LevelsChooseTheSinks)
{
    for (auto [level, errors, debug] : {std::tuple{0, true, true}, {1, true, false}, {2, false, false}}) {
        iruvc_log_register(level);
        testing::internal::CaptureStdout();
        rmcover_auto_calc(3);        // an error
        uvc_camera_stream_close(0);  // a debug message
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(output.find("error [") != std::string::npos, errors) << output;
        EXPECT_EQ(output.find("debug [") != std::string::npos, debug) << output;
    }
    iruvc_log_register(-1);
}

}  // namespace
