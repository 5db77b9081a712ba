// Fixtures over the scripted table: a fresh context per test, optionally
// with the 0x5830 device open and the transport installed.
#pragma once

#include "fake_camera.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>

namespace dztest {

// Standard output written while `action` runs (the library's sinks print there).
inline std::string captured_output(const std::function<void()>& action)
{
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

// True when `output` holds the message "dozazuva <kind> [<path>:<line>/<function>] <text>".
inline bool has_message(const std::string& output, const std::string& kind, const std::string& path,
                        const std::string& function, const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos)
            escaped += '\\';
        escaped += c;
    }
    std::regex pattern("dozazuva " + kind + " \\[" + path + ":[0-9]+/" + function + "\\] " + escaped + "\n");
    return std::regex_search(output, pattern);
}

inline camera_dev_t camera_record(uint32_t pid = 0x5830)
{
    return camera_dev_t{pid, 0x0BDA, nullptr};
}

class FakeCameraTest : public testing::Test {
protected:
    void SetUp() override
    {
        fake.reset();
        ASSERT_EQ(dozazuva_use_backend(fake.table()), 0);
        vdcmd_set_polling_wait_time(2000);
        iruvc_log_register(0);
        ASSERT_EQ(uvc_camera_init(), 0);
    }

    void TearDown() override
    {
        uvc_camera_release();
        dozazuva_use_backend(nullptr);
        iruvc_log_register(-1);
        EXPECT_EQ(fake.open_handles(), 0);
        EXPECT_EQ(fake.live_contexts(), 0);
        EXPECT_EQ(fake.outstanding_device_refs(), 0);
    }

    FakeCamera& fake = FakeCamera::instance();
};

class OpenCameraTest : public FakeCameraTest {
protected:
    void SetUp() override
    {
        FakeCameraTest::SetUp();
        camera_dev_t dev = camera_record();
        ASSERT_EQ(uvc_camera_open(&dev), 0);
        ASSERT_EQ(vdcmd_init(), 0);
        fake.clear_wire();
    }
};

}  // namespace dztest
