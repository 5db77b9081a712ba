// Fixtures over the simulated module's device table: a fresh module and
// context per test, optionally with the module open and the transport
// installed, and its wire log as a transcript.
#pragma once

#include "dozazuva.h"
#include "ombrix_simulator.h"
#include "../support/wire_transcript.h"

#include <gtest/gtest.h>

#include <string>

namespace dztest {

using wire::in;
using wire::out;
using wire::status;
using Wire = wire::Transfer;

constexpr uint32_t kFrameBytes = OMBRIX_SIM_FRAME_BYTES;

// The module's wire log; without the status reads when `keep_status` is false.
inline std::vector<Wire> logged(bool keep_status = true)
{
    std::vector<ombrix_sim_transfer> records(ombrix_sim_wire_count());
    for (size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(ombrix_sim_wire_get(i, &records[i]), 0);
    return wire::transcript(
        records, [](const ombrix_sim_transfer& t) { return std::vector<uint8_t>(t.data, t.data + t.data_bytes); },
        keep_status);
}

inline camera_dev_t camera_record(uint32_t pid = OMBRIX_SIM_PID_5830)
{
    return camera_dev_t{pid, OMBRIX_SIM_VID, nullptr};
}

inline camera_param_t stream_param(uint32_t timeout_ms = 1000)
{
    return {camera_record(), const_cast<char*>("YUY2"), 256, 384, kFrameBytes, 25, timeout_ms};
}

class SimCameraTest : public testing::Test {
protected:
    void SetUp() override
    {
        ombrix_sim_reset();
        ombrix_sim_set_pace(OMBRIX_SIM_PACE_MANUAL);
        ASSERT_EQ(dozazuva_use_backend(ombrix_simulator_backend()), 0);
        vdcmd_set_polling_wait_time(2000);
        iruvc_log_register(0);
        ASSERT_EQ(uvc_camera_init(), 0);
    }

    void TearDown() override
    {
        uvc_camera_release();
        dozazuva_use_backend(nullptr);
        iruvc_log_register(-1);
        EXPECT_FALSE(ombrix_sim_is_streaming());
        ombrix_sim_reset();
    }
};

class OpenCameraTest : public SimCameraTest {
protected:
    void SetUp() override
    {
        SimCameraTest::SetUp();
        camera_dev_t dev = camera_record();
        ASSERT_EQ(uvc_camera_open(&dev), 0);
        ASSERT_EQ(vdcmd_init(), 0);
        ombrix_sim_wire_clear();
    }
};

}  // namespace dztest
