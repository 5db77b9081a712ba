// Camera access and streaming over the scripted table: listing, frame
// records, open and its errors, the library frame and its arrival counter.
#include "fake_fixture.h"

#include <chrono>
#include <cstring>
#include <thread>

using namespace dztest;

namespace {

constexpr uint32_t kFrameBytes = 256 * 384 * 2;

camera_param_t stream_param(uint32_t timeout_ms = 50)
{
    camera_param_t param{};
    param.dev = camera_record();
    param.format = const_cast<char*>("YUY2");
    param.width = 256;
    param.height = 384;
    param.frame_size = kFrameBytes;
    param.fps = 25;
    param.timeout = timeout_ms;
    return param;
}

std::vector<uint8_t> frame_of(uint8_t fill, size_t bytes = kFrameBytes)
{
    return std::vector<uint8_t>(bytes, fill);
}

// ---- listing ----

class ListTest : public FakeCameraTest {};

TEST_F(ListTest, ListsEveryReadableDeviceAndCopiesTheProductString)
{
    fake.devices.resize(3);
    fake.devices[1].pid = 0x5840;
    fake.devices[1].product.reset();
    fake.devices[2].descriptor_fails = true;
    camera_dev_t list[DOZAZUVA_MAX_DEVICES] = {};
    std::string log = captured_output([&] { ASSERT_EQ(uvc_camera_list(list), 0); });
    EXPECT_EQ(list[0].pid, 0x5830u);
    EXPECT_EQ(list[0].vid, 0x0BDAu);
    EXPECT_STREQ(list[0].name, "Fake thermal camera");
    EXPECT_EQ(list[1].pid, 0x5840u);
    EXPECT_EQ(list[1].name, nullptr);
    EXPECT_EQ(list[2].pid, 0u) << "the unreadable device is skipped";
    EXPECT_TRUE(has_message(log, "debug", "dozazuva/src/dozazuva", "uvc_camera_list", "product name is null!"));
    EXPECT_TRUE(has_message(log, "debug", "dozazuva/src/dozazuva", "uvc_camera_list", "uvc camera devices listed"));
    uvc_camera_list_release(list);
    EXPECT_EQ(list[0].name, nullptr);
}

TEST_F(ListTest, WritesAtMost64Records)
{
    fake.devices.resize(70);
    std::vector<camera_dev_t> list(DOZAZUVA_MAX_DEVICES + 1);
    list.back().pid = 0xDEAD;
    ASSERT_EQ(uvc_camera_list(list.data()), 0);
    EXPECT_EQ(list[63].pid, 0x5830u);
    EXPECT_EQ(list[64].pid, 0xDEADu);
    uvc_camera_list_release(list.data());
}

TEST_F(ListTest, InfoGetReportsEveryFrameDescriptor)
{
    fake.devices[0].frames[1].intervals[1] = 1000000;  // 10 fps
    camera_dev_t dev = camera_record();
    camera_stream_info_t infos[DOZAZUVA_MAX_STREAM_INFOS] = {};
    ASSERT_EQ(uvc_camera_info_get(&dev, infos), 0);
    EXPECT_STREQ(infos[0].format, "YUY2");
    EXPECT_EQ(infos[0].width, 256u);
    EXPECT_EQ(infos[0].height, 192u);
    EXPECT_EQ(infos[1].height, 384u);
    EXPECT_EQ(infos[1].frame_size, kFrameBytes);
    EXPECT_EQ(infos[1].fps[0], 25u);
    EXPECT_EQ(infos[1].fps[1], 10u);
    EXPECT_EQ(infos[1].fps[2], 0u);
    EXPECT_EQ(infos[2].width, 0u);
    uvc_camera_info_release(infos);
}

TEST_F(ListTest, ListAndInfoFailuresReturnTheirCodes)
{
    fake.list_fails = true;
    camera_dev_t list[DOZAZUVA_MAX_DEVICES] = {};
    std::string log = captured_output([&] { EXPECT_EQ(uvc_camera_list(list), -3); });
    EXPECT_TRUE(has_message(log, "error", "dozazuva/src/dozazuva", "uvc_camera_list",
                            "uvc camera get device list failed (uvc_error_code:-1)"));
    EXPECT_EQ(uvc_camera_list(nullptr), -1);
    fake.list_fails = false;
    camera_dev_t absent = camera_record(0x5840);
    camera_stream_info_t infos[DOZAZUVA_MAX_STREAM_INFOS] = {};
    log = captured_output([&] { EXPECT_EQ(uvc_camera_info_get(&absent, infos), -4); });
    EXPECT_TRUE(has_message(log, "error", "dozazuva/src/dozazuva", "uvc_camera_info_get",
                            "uvc camera find device failed (uvc_error_code:-4)"));
}

// ---- open ----

class OpenTest : public FakeCameraTest {};

TEST_F(OpenTest, OpeningTheSameRecordTwiceReturnsMinus8AndKeepsTheDevice)
{
    camera_dev_t dev = camera_record();
    ASSERT_EQ(uvc_camera_open(&dev), 0);
    std::string log = captured_output([&] { EXPECT_EQ(uvc_camera_open(&dev), -8); });
    EXPECT_TRUE(has_message(log, "error", "dozazuva/src/dozazuva", "uvc_camera_open", "dev already opened!"));
    log = captured_output([&] { EXPECT_EQ(uvc_camera_open_same(&dev, 0), -8); });
    EXPECT_TRUE(has_message(log, "error", "dozazuva/src/dozazuva", "uvc_camera_open_same",
                            "uvc camera already opened!"));
    EXPECT_EQ(fake.open_handles(), 1);
    ASSERT_EQ(vdcmd_init(), 0);
    EXPECT_EQ(ooc_b_update(0), 0) << "the first open device still answers";
}

TEST_F(OpenTest, RecordsMatchByIdsNameAndIndex)
{
    fake.devices.resize(2);
    fake.devices[1].product = "second";
    camera_dev_t dev = camera_record();
    EXPECT_EQ(uvc_camera_open_same(&dev, 2), -4);
    ASSERT_EQ(uvc_camera_open_same(&dev, 1), 0);
    EXPECT_EQ(fake.devices[1].refs, 1);
    EXPECT_EQ(fake.devices[0].refs, 0);
    ASSERT_EQ(uvc_camera_close(), 0);

    dev.name = const_cast<char*>("another camera");
    EXPECT_EQ(uvc_camera_open(&dev), -4);
    dev.name = const_cast<char*>("second");
    ASSERT_EQ(uvc_camera_open(&dev), 0);
    EXPECT_EQ(fake.devices[1].refs, 1) << "the name picks the second device";
    ASSERT_EQ(uvc_camera_close(), 0);

    dev = {0, 0, nullptr};  // zero ids match any device
    EXPECT_EQ(uvc_camera_open(&dev), 0);
}

TEST_F(OpenTest, OpenFailuresReturnTheirCodesAndHoldNothing)
{
    camera_dev_t dev = camera_record();
    fake.open_fails = true;
    std::string log = captured_output([&] { EXPECT_EQ(uvc_camera_open(&dev), -6); });
    EXPECT_TRUE(has_message(log, "error", "dozazuva/src/dozazuva", "uvc_camera_open",
                            "uvc camera open device failed (uvc_error_code:-3)"));
    fake.open_fails = false;
    fake.descriptor_fails_when_open = true;
    EXPECT_EQ(uvc_camera_open(&dev), -7);
    EXPECT_EQ(fake.open_handles(), 0);
    EXPECT_EQ(fake.outstanding_device_refs(), 0);
    fake.descriptor_fails_when_open = false;
    EXPECT_EQ(uvc_camera_open(&dev), 0) << "a failed open leaves the context usable";
    EXPECT_EQ(uvc_camera_open(nullptr), -1);
}

TEST_F(OpenTest, DeviceWithoutProductStringStillOpens)
{
    fake.devices[0].product.reset();
    camera_dev_t dev = camera_record();
    std::string log = captured_output([&] { EXPECT_EQ(uvc_camera_open(&dev), 0); });
    EXPECT_TRUE(has_message(log, "error", "dozazuva/src/dozazuva", "uvc_camera_open", "product name is empty!"));
    EXPECT_TRUE(has_message(log, "debug", "dozazuva/src/dozazuva", "uvc_camera_open", "uvc camera opened success"));
}

TEST_F(OpenTest, ControlCmdWithoutDataMovesOneZeroByte)
{
    camera_dev_t dev = camera_record();
    ASSERT_EQ(uvc_camera_open(&dev), 0);
    fake.clear_wire();
    EXPECT_EQ(uvc_control_cmd(0x41, 0x45, 0x78, 0x1D00, nullptr, 0, 1000), 0);
    EXPECT_EQ(uvc_control_cmd(0x41, 0x45, 0x78, 0x1D00, nullptr, 5, 1000), 0);
    Wire one_zero = out(0x1D00, {0});
    EXPECT_EQ(fake.wire(), (std::vector<Wire>{one_zero, one_zero}));
    fake.short_transfer_at(0);
    uint8_t data[4] = {};
    EXPECT_EQ(uvc_control_cmd(0x41, 0x45, 0x78, 0x1D00, data, 4, 1000), -15);
}

// ---- streaming ----

class StreamTest : public OpenCameraTest {
protected:
    void TearDown() override
    {
        uvc_camera_stream_close(1);
        OpenCameraTest::TearDown();
    }
};

TEST_F(StreamTest, StartNegotiatesTheAskedFormat)
{
    camera_param_t param = stream_param();
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    EXPECT_EQ(fake.last_stream_format(), DOZAZUVA_FORMAT_YUYV);
    EXPECT_EQ(fake.last_stream_width(), 256);
    EXPECT_EQ(fake.last_stream_height(), 384);
    ASSERT_EQ(uvc_camera_stream_close(1), 0);
    EXPECT_EQ(fake.stop_count_keeping_interface(), 1);

    param.format = const_cast<char*>("MJPEG");
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    EXPECT_EQ(fake.last_stream_format(), DOZAZUVA_FORMAT_MJPEG);
    ASSERT_EQ(uvc_camera_stream_close(0), 0);
    param.format = nullptr;
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    EXPECT_EQ(fake.last_stream_format(), DOZAZUVA_FORMAT_ANY);
}

TEST_F(StreamTest, FrameGetCopiesTheLatestFrameOncePerArrival)
{
    camera_param_t param = stream_param();
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    std::vector<uint8_t> raw(kFrameBytes);
    ASSERT_TRUE(fake.deliver(frame_of(1)));
    ASSERT_TRUE(fake.deliver(frame_of(2)));
    // Two arrivals: two immediate returns, both with the newest frame.
    ASSERT_EQ(uvc_frame_get(raw.data()), 0);
    EXPECT_EQ(raw.front(), 2);
    EXPECT_EQ(raw.back(), 2);
    std::fill(raw.begin(), raw.end(), 0);
    ASSERT_EQ(uvc_frame_get(raw.data()), 0);
    EXPECT_EQ(raw[1000], 2);
    std::string log = captured_output([&] { EXPECT_EQ(uvc_frame_get(raw.data()), -12); });
    EXPECT_TRUE(has_message(log, "debug", "dozazuva/src/dozazuva", "uvc_frame_get", "overtime!"));
}

TEST_F(StreamTest, WaitingReaderWakesForAFrameFromTheStreamingThread)
{
    camera_param_t param = stream_param(10000);
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    std::vector<uint8_t> raw(kFrameBytes);
    int result = 1;
    std::thread reader([&] { result = uvc_frame_get(raw.data()); });
    // Whether the reader waits already or not yet, it takes this frame (a
    // lost wake-up would leave it waiting out the whole frame wait).
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fake.deliver(frame_of(6)));
    reader.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(raw[kFrameBytes / 2], 6);
}

TEST_F(StreamTest, FrameOfTheWrongSizeIsDropped)
{
    camera_param_t param = stream_param(20);
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    std::string log = captured_output([&] { ASSERT_TRUE(fake.deliver(frame_of(7, kFrameBytes - 2))); });
    EXPECT_TRUE(has_message(log, "error", "dozazuva/src/dozazuva", "on_frame", "frame size error:196606"));
    std::vector<uint8_t> raw(kFrameBytes, 0);
    EXPECT_EQ(uvc_frame_get(raw.data()), -12);
    EXPECT_EQ(raw[0], 0);
}

TEST_F(StreamTest, FrameGetArgumentAndZeroWait)
{
    std::string log = captured_output([] { EXPECT_EQ(uvc_frame_get(nullptr), -1); });
    EXPECT_TRUE(has_message(log, "error", "dozazuva/src/dozazuva", "uvc_frame_get", "raw_data is empty!"));
    camera_param_t param = stream_param(0);
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    ASSERT_TRUE(fake.deliver(frame_of(3)));
    std::vector<uint8_t> raw(kFrameBytes);
    EXPECT_EQ(uvc_frame_get(raw.data()), -12) << "a wait of 0 times out at once";
}

TEST_F(StreamTest, UserCallbackGetsTheLibraryFrameAndLeavesTheCounter)
{
    struct Seen {
        int calls = 0;
        uint8_t first = 0;
    } seen;
    iruvc_usr_func_t callback = {[](void* data, void* user) {
                                     auto* s = static_cast<Seen*>(user);
                                     ++s->calls;
                                     s->first = *static_cast<uint8_t*>(data);
                                 },
                                 &seen};
    camera_param_t param = stream_param(10);
    ASSERT_EQ(uvc_camera_stream_start(&param, &callback), 0);
    ASSERT_TRUE(fake.deliver(frame_of(9)));
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.first, 9);
    std::vector<uint8_t> raw(kFrameBytes);
    EXPECT_EQ(uvc_frame_get(raw.data()), -12);
}

TEST_F(StreamTest, StartFailures)
{
    camera_param_t param = stream_param();
    iruvc_usr_func_t empty = {nullptr, nullptr};
    std::string log = captured_output([&] { EXPECT_EQ(uvc_camera_stream_start(&param, &empty), -10); });
    EXPECT_TRUE(has_message(log, "error", "dozazuva/src/dozazuva", "uvc_camera_stream_start",
                            "user's callback fucntion is empty! (uvc_error_code:0)"));
    fake.stream_ctrl_fails = true;
    EXPECT_EQ(uvc_camera_stream_start(&param, nullptr), -9);
    fake.stream_ctrl_fails = false;
    fake.start_fails = true;
    EXPECT_EQ(uvc_camera_stream_start(&param, nullptr), -11);
    fake.start_fails = false;
    param.width = param.height = param.frame_size = 0;  // a camera with a single frame descriptor
    EXPECT_EQ(uvc_camera_stream_start(&param, nullptr), -9);
    param = stream_param();
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    EXPECT_EQ(uvc_camera_stream_start(&param, nullptr), -11) << "already streaming";
    EXPECT_EQ(uvc_camera_stream_start(nullptr, nullptr), -1);
}

TEST_F(StreamTest, RestartWithAnotherFrameSizeResizesTheLibraryFrame)
{
    camera_param_t param = stream_param(20);
    param.frame_size = 100;
    param.width = 10;
    param.height = 5;
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    ASSERT_TRUE(fake.deliver(frame_of(4, 100)));
    ASSERT_EQ(uvc_camera_stream_close(1), 0);

    param = stream_param(20);
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    std::vector<uint8_t> raw(kFrameBytes, 0xEE);
    // The arrival of the closed stream went with its frame.
    EXPECT_EQ(uvc_frame_get(raw.data()), -12);
    ASSERT_TRUE(fake.deliver(frame_of(5)));
    ASSERT_EQ(uvc_frame_get(raw.data()), 0);
    EXPECT_EQ(raw.front(), 5);
    EXPECT_EQ(raw.back(), 5);
}

TEST_F(StreamTest, CloseWithoutStreamStopIsClean)
{
    camera_param_t param = stream_param();
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    EXPECT_EQ(uvc_camera_close(), 0);
    EXPECT_FALSE(fake.streaming());
    EXPECT_FALSE(fake.deliver(frame_of(1)));
}

// ---- whole cycles ----

class CycleTest : public testing::Test {
protected:
    void SetUp() override
    {
        fake.reset();
        dozazuva_use_backend(fake.table());
    }
    void TearDown() override { dozazuva_use_backend(nullptr); }
    FakeCamera& fake = FakeCamera::instance();
};

TEST_F(CycleTest, OpenStreamCloseReleaseRepeatedLeavesNothingBehind)
{
    std::vector<uint8_t> raw(kFrameBytes);
    uint8_t* buffer = nullptr;
    for (int cycle = 0; cycle < 200; ++cycle) {
        ASSERT_EQ(uvc_camera_init(), 0);
        camera_dev_t list[DOZAZUVA_MAX_DEVICES] = {};
        ASSERT_EQ(uvc_camera_list(list), 0);
        camera_stream_info_t infos[DOZAZUVA_MAX_STREAM_INFOS] = {};
        ASSERT_EQ(uvc_camera_info_get(&list[0], infos), 0);
        ASSERT_EQ(uvc_camera_open(&list[0]), 0);
        ASSERT_EQ(vdcmd_init(), 0);
        camera_param_t param = stream_param();
        buffer = uvc_frame_buf_create(&param);
        ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
        ASSERT_TRUE(fake.deliver(frame_of(static_cast<uint8_t>(cycle))));
        ASSERT_EQ(uvc_frame_get(buffer), 0);
        ASSERT_EQ(buffer[12345], static_cast<uint8_t>(cycle));
        ASSERT_EQ(uvc_camera_stream_close(1), 0);
        ASSERT_EQ(uvc_camera_close(), 0);
        ASSERT_EQ(uvc_camera_release(), 0);
        uvc_frame_buf_release(buffer);
        uvc_camera_list_release(list);
        uvc_camera_info_release(infos);
        ASSERT_EQ(fake.open_handles(), 0);
        ASSERT_EQ(fake.live_contexts(), 0);
        ASSERT_EQ(fake.outstanding_device_refs(), 0);
    }
}

TEST_F(CycleTest, InitTwiceKeepsOneContextAndReleaseClosesEverything)
{
    ASSERT_EQ(uvc_camera_init(), 0);
    ASSERT_EQ(uvc_camera_init(), 0);
    EXPECT_EQ(fake.live_contexts(), 1);
    EXPECT_EQ(dozazuva_current_backend(), fake.table());
    camera_dev_t dev = camera_record();
    ASSERT_EQ(uvc_camera_open(&dev), 0);
    camera_param_t param = stream_param();
    ASSERT_EQ(uvc_camera_stream_start(&param, nullptr), 0);
    ASSERT_EQ(uvc_camera_release(), 0);
    EXPECT_EQ(fake.open_handles(), 0);
    EXPECT_EQ(fake.live_contexts(), 0);
    EXPECT_EQ(fake.outstanding_device_refs(), 0);
}

TEST_F(CycleTest, InitFailureAndCallsWithoutContext)
{
    fake.init_fails = true;
    std::string log = captured_output([] {
        iruvc_log_register(1);
        EXPECT_EQ(uvc_camera_init(), -2);
        iruvc_log_register(-1);
    });
    EXPECT_TRUE(has_message(log, "error", "dozazuva/src/dozazuva", "uvc_camera_init",
                            "uvc camera init failed (uvc_error_code:-99)"));
    camera_dev_t list[DOZAZUVA_MAX_DEVICES] = {};
    EXPECT_EQ(uvc_camera_list(list), -3);
    camera_dev_t dev = camera_record();
    EXPECT_EQ(uvc_camera_open(&dev), -4);
    EXPECT_EQ(uvc_camera_close(), 0);
    EXPECT_EQ(uvc_camera_release(), 0);
}

TEST(Backends, TablesOfAnotherAbiAreRefused)
{
    dozazuva_backend other = *dztest::FakeCamera::instance().table();
    other.abi = DOZAZUVA_BACKEND_ABI + 1;
    EXPECT_EQ(dozazuva_use_backend(&other), -1);
    EXPECT_EQ(dozazuva_use_backend(nullptr), 0);
}

TEST(Identity, VersionAndProductType)
{
    EXPECT_STREQ(dozazuva_version(), "dozazuva 1.7.0");
    EXPECT_STREQ(product_type(), "RURUZA");
}

TEST(Logging, LevelsChooseTheSinks)
{
    auto refuse_and_time_out = [] {
        rmcover_auto_calc(3);          // an error
        uvc_camera_stream_close(0);    // a debug message
    };
    iruvc_log_register(1);
    std::string errors_only = captured_output(refuse_and_time_out);
    iruvc_log_register(0);
    std::string both = captured_output(refuse_and_time_out);
    iruvc_log_register(2);
    std::string none = captured_output(refuse_and_time_out);
    iruvc_log_register(-1);
    EXPECT_TRUE(has_message(errors_only, "error", "dozazuva/src/ruruza_cmd", "rmcover_auto_calc",
                            "parameter:zoom_scale error"));
    EXPECT_EQ(errors_only.find("debug"), std::string::npos);
    EXPECT_TRUE(has_message(both, "debug", "dozazuva/src/dozazuva", "uvc_camera_stream_close", "streaming done"));
    EXPECT_TRUE(none.empty());
}

}  // namespace
