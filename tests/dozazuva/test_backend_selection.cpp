// Choosing the device table at uvc_camera_init in a program that does not
// link the simulated module: OMBRIX_CAMERA=simulated loads it from beside
// libdozazuva.so; an installed table wins over the environment.
#include "dozazuva.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

TEST(BackendSelection, EnvironmentLoadsTheSimulatedModuleAndAnInstalledTableWins)
{
    setenv("OMBRIX_CAMERA", "simulated", 1);
    ASSERT_EQ(dozazuva_use_backend(nullptr), 0);
    ASSERT_EQ(uvc_camera_init(), 0);
    const dozazuva_backend* simulated = dozazuva_current_backend();
    ASSERT_NE(simulated, nullptr);
    EXPECT_STREQ(simulated->name, "ombrix simulator");
    std::vector<camera_dev_t> list(DOZAZUVA_MAX_DEVICES);
    ASSERT_EQ(uvc_camera_list(list.data()), 0);
    EXPECT_EQ(list[0].pid, 0x5830u);
    uvc_camera_list_release(list.data());
    EXPECT_EQ(uvc_camera_release(), 0);

    // With another value the next init takes libuvc.
    setenv("OMBRIX_CAMERA", "usb", 1);
    ASSERT_EQ(uvc_camera_init(), 0);
    EXPECT_STREQ(dozazuva_current_backend()->name, "libuvc");
    EXPECT_EQ(uvc_camera_release(), 0);
    unsetenv("OMBRIX_CAMERA");

    ASSERT_EQ(dozazuva_use_backend(simulated), 0);
    ASSERT_EQ(uvc_camera_init(), 0);
    EXPECT_EQ(dozazuva_current_backend(), simulated);
    EXPECT_EQ(uvc_camera_release(), 0);
    ASSERT_EQ(dozazuva_use_backend(nullptr), 0);
}

// Threads that initialise at once (each in a fresh process, as CTest runs
// the cases) load the simulated module once and share one context.
TEST(BackendSelection, ThreadsInitialisingAtOnceShareTheSimulatedModule)
{
    setenv("OMBRIX_CAMERA", "simulated", 1);
    std::atomic<int> ready{0};
    std::vector<int> results(4, -1);
    std::vector<std::thread> threads;
    for (int& result : results)
        threads.emplace_back([&ready, &result] {
            ready++;
            while (ready.load() < 4) {
            }
            result = uvc_camera_init();
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(results, std::vector<int>(4, 0));
    ASSERT_NE(dozazuva_current_backend(), nullptr);
    EXPECT_STREQ(dozazuva_current_backend()->name, "ombrix simulator");
    EXPECT_EQ(uvc_camera_release(), 0);
    unsetenv("OMBRIX_CAMERA");
}

}  // namespace
