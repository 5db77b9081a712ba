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

// Threads that initialise at once (in a fresh process, as CTest runs the
// case) load the simulated module once and share one context.
TEST(BackendSelection, ThreadsInitialisingAtOnceShareTheSimulatedModuleAndAnInstalledTableWins)
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
    const dozazuva_backend* simulated = dozazuva_current_backend();
    ASSERT_NE(simulated, nullptr);
    EXPECT_STREQ(simulated->name, "ombrix simulator");

    // Nothing installed the command transport in this process: -13 for all.
    camera_dev_t dev{0x5830, 0x0BDA, nullptr};
    ASSERT_EQ(uvc_camera_open(&dev), 0);
    uint8_t header[16] = {0x14, 0x85}, buffer[8] = {};
    uint16_t gain = 0;
    for (int result : {short_cmd_read(header, 4, buffer), short_cmd_write(header, 4, buffer),
                       standard_cmd_read(header, 8, buffer), standard_cmd_write(header, 8, buffer),
                       long_cmd_read(header, 5, 0, 0, 2, buffer), long_cmd_write(header, 5, 0, 0, 0),
                       get_prop_tpd_params(TPD_PROP_GAIN_SEL, &gain), spi_erase_sector(0x1000, 20)})
        EXPECT_EQ(result, -13);
    EXPECT_EQ(uvc_camera_release(), 0);

    // Another value takes libuvc, unless a table is installed.
    setenv("OMBRIX_CAMERA", "usb", 1);
    ASSERT_EQ(uvc_camera_init(), 0);
    EXPECT_STREQ(dozazuva_current_backend()->name, "libuvc");
    ASSERT_EQ(dozazuva_use_backend(simulated), 0);
    ASSERT_EQ(uvc_camera_init(), 0);
    EXPECT_EQ(dozazuva_current_backend(), simulated);
    EXPECT_EQ(uvc_camera_release(), 0);
    dozazuva_use_backend(nullptr);
    unsetenv("OMBRIX_CAMERA");
}

}  // namespace
