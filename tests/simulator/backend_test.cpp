// The simulated camera behind dozazuva's device table, and its control API.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "dozazuva_backend.h"
#include "ombrix_simulator.h"

namespace {

const dozazuva_backend& table() { return *ombrix_simulator_backend(); }

// Collects frames from the table's streaming thread; read under the lock.
struct FrameSink {
    std::mutex mutex;
    std::vector<uint8_t> last;
    std::vector<size_t> sizes;

    static void on_frame(const uint8_t* data, size_t bytes, void* user) {
        auto* self = static_cast<FrameSink*>(user);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->last.assign(data, data + bytes);
        self->sizes.push_back(bytes);
    }
};

class SimulatorBackend : public ::testing::Test {
protected:
    void SetUp() override {
        ombrix_sim_reset();
        ASSERT_EQ(0, table().init(&context));
    }
    void TearDown() override {
        table().exit(context);  // closes whatever a test left open
        EXPECT_EQ(0, ombrix_sim_is_streaming());
        ombrix_sim_reset();
    }

    // The first device listed, referenced; null when the list is empty.
    void* first_device() {
        void** list = nullptr;
        EXPECT_EQ(0, table().get_device_list(context, &list));
        void* device = list[0];
        if (device) table().ref_device(device);
        table().free_device_list(list, 1);
        return device;
    }
    void* open_device() {
        void* device = first_device();
        EXPECT_NE(nullptr, device);
        void* handle = nullptr;
        EXPECT_EQ(0, table().open(device, &handle));
        table().unref_device(device);
        return handle;
    }
    void* start_stream(FrameSink& sink, int height = 384) {
        void* handle = open_device();
        stream_on(handle, FrameSink::on_frame, &sink, height);
        return handle;
    }
    static void stream_on(void* handle, dozazuva_frame_fn on_frame, void* user, int height = 384) {
        EXPECT_EQ(0, table().get_stream_ctrl(handle, DOZAZUVA_FORMAT_YUYV, 256, height, 25));
        EXPECT_EQ(0, table().start_streaming(handle, on_frame, user));
    }
    // A status read on `handle`: 1, or the error of a dead handle.
    static int status_read(void* handle) {
        uint8_t status = 0;
        return table().control_transfer(handle, 0xC1, 0x44, 0x78, 0x0200, &status, 1, 1000);
    }

    void* context = nullptr;
};

struct HotplugLog {
    std::mutex mutex;
    std::vector<std::string> events;
    static void on_event(uint16_t, uint16_t pid, const char* serial, int arrived, void* user) {
        auto* self = static_cast<HotplugLog*>(user);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->events.push_back((arrived ? "arrived " : "removed ") + std::to_string(pid) + " " + serial);
    }
};

}  // namespace

TEST_F(SimulatorBackend, OneHandleAtATimeAndOnlyTheModulesStreams) {
    void* device = first_device();
    void *a = nullptr, *handle = nullptr;
    ASSERT_EQ(0, table().open(device, &a));
    EXPECT_EQ(-6, table().open(device, &handle));
    table().close(a);
    ASSERT_EQ(0, table().open(device, &handle));
    table().unref_device(device);
    table().stop_streaming(handle, 1);  // never started
    EXPECT_EQ(-51, table().get_stream_ctrl(handle, DOZAZUVA_FORMAT_MJPEG, 256, 384, 25));
    EXPECT_EQ(-51, table().get_stream_ctrl(handle, DOZAZUVA_FORMAT_YUYV, 320, 240, 25));
    EXPECT_EQ(-51, table().get_stream_ctrl(handle, DOZAZUVA_FORMAT_YUYV, 256, 384, 30));
    EXPECT_EQ(-2, table().start_streaming(handle, FrameSink::on_frame, nullptr));  // nothing negotiated
    EXPECT_EQ(0, table().get_stream_ctrl(handle, DOZAZUVA_FORMAT_ANY, 256, 192, 0));
    EXPECT_EQ(0, table().get_stream_ctrl(handle, DOZAZUVA_FORMAT_YUYV, 256, 384, 25));
    table().close(handle);
}

TEST_F(SimulatorBackend, ManualPaceDeliversExactlyTheSteppedFrames) {
    ASSERT_EQ(0, ombrix_sim_set_pace(OMBRIX_SIM_PACE_MANUAL));
    EXPECT_EQ(0, ombrix_sim_step_frames(3, 1000));  // nothing streams yet
    FrameSink sink;
    void* handle = start_stream(sink);
    ASSERT_EQ(5, ombrix_sim_step_frames(5, 5000));
    EXPECT_EQ(5u, ombrix_sim_frames_delivered());
    EXPECT_EQ(200000, ombrix_sim_time_us());
    std::vector<uint8_t> now(OMBRIX_SIM_FRAME_BYTES);
    ASSERT_EQ(long(OMBRIX_SIM_FRAME_BYTES), ombrix_sim_current_frame(now.data(), now.size()));
    ombrix_sim_fault_no_frames(1);
    EXPECT_EQ(0, ombrix_sim_step_frames(2, 5000));
    table().close(handle);  // close while streaming
    {
        std::lock_guard<std::mutex> lock(sink.mutex);
        EXPECT_EQ(5u, sink.sizes.size());
        EXPECT_EQ(now, sink.last);  // the latest frame is the module's present
    }
    ombrix_sim_fault_clear();
    FrameSink small;  // the small descriptor streams the picture only
    handle = start_stream(small, 192);
    ASSERT_EQ(1, ombrix_sim_step_frames(1, 5000));
    table().close(handle);
    EXPECT_EQ(std::vector<size_t>{98304u}, small.sizes);
    ASSERT_EQ(0, ombrix_sim_set_pace(OMBRIX_SIM_PACE_REALTIME));
    EXPECT_EQ(-1, ombrix_sim_step_frames(1, 100));
}

TEST_F(SimulatorBackend, UnplugAndIdentityChangesEndEverythingUntilReopened) {
    HotplugLog log;
    const int id = ombrix_sim_hotplug_register(HotplugLog::on_event, &log);
    ASSERT_GT(id, 0);
    ASSERT_EQ(0, ombrix_sim_set_pace(OMBRIX_SIM_PACE_MANUAL));
    FrameSink sink;
    void* handle = start_stream(sink);
    ASSERT_EQ(1, ombrix_sim_step_frames(1, 5000));
    ASSERT_EQ(0, ombrix_sim_unplug());
    EXPECT_EQ(-1, ombrix_sim_unplug());
    EXPECT_EQ(0, ombrix_sim_step_frames(3, 5000));
    EXPECT_EQ(-4, status_read(handle));
    EXPECT_EQ(nullptr, first_device());

    table().stop_streaming(handle, 1);  // on a vanished device
    ASSERT_EQ(0, ombrix_sim_plug());
    // The old handle stays dead; a new open works.
    EXPECT_EQ(-4, status_read(handle));
    EXPECT_EQ(0, ombrix_sim_step_frames(2, 5000));
    table().close(handle);
    table().close(handle);  // a stale handle is ignored
    FrameSink again;
    handle = start_stream(again);
    ASSERT_EQ(2, ombrix_sim_step_frames(2, 5000));
    EXPECT_EQ(1, status_read(handle));
    // A new identity re-enumerates the device: the open handle dies.
    ASSERT_EQ(0, ombrix_sim_set_serial("SN-42"));
    EXPECT_EQ(-4, status_read(handle));
    table().close(handle);
    handle = open_device();
    EXPECT_EQ(1, status_read(handle));
    table().close(handle);

    ASSERT_EQ(0, ombrix_sim_hotplug_unregister(id));
    EXPECT_EQ(-1, ombrix_sim_hotplug_unregister(id));
    ombrix_sim_unplug();
    std::lock_guard<std::mutex> lock(log.mutex);
    const std::string serial = OMBRIX_SIM_DEFAULT_SERIAL;
    EXPECT_EQ((std::vector<std::string>{"removed 22576 " + serial, "arrived 22576 " + serial, "removed 22576 " + serial,
                                        "arrived 22576 SN-42"}),
              log.events);
}

TEST_F(SimulatorBackend, AStreamMayBeStoppedFromItsOwnCallback) {
    ASSERT_EQ(0, ombrix_sim_set_pace(OMBRIX_SIM_PACE_MANUAL));
    static void* handle;  // what the callback (a plain function) stops
    static std::atomic<int> calls;
    handle = open_device();
    calls = 0;
    stream_on(handle, [](const uint8_t*, size_t, void*) {
        if (calls++ == 0) table().stop_streaming(handle, 1);
    }, nullptr);
    EXPECT_EQ(1, ombrix_sim_step_frames(3, 5000));
    EXPECT_EQ(1, calls.load());
    static FrameSink sink;
    ASSERT_EQ(0, table().start_streaming(handle, FrameSink::on_frame, &sink));  // and started again
    EXPECT_EQ(2, ombrix_sim_step_frames(2, 5000));
    // Left streaming for the fixture's exit to end.
}

