// The shared library shows exactly the designed functions, by plain name.
#include "zizuruziza.h"

#include "../support/exported_symbols.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(ZizuruzizaExports, ExactlyTheDesignedFunctions)
{
    const std::set<std::string> designed = {
        "irparse_log_register", "irparse_version", "y16_to_y14",    "y14_to_y8",
        "y14_to_rgb",           "y14_to_yuv444",   "yuv444_to_yuv422", "yuv422_add_y",
        "yuv422_to_rgb",        "yuv444_to_rgb",   "rgb_to_bgr",    "raw_data_cut",
    };
    EXPECT_EQ(definedDynamicSymbols(ZIZURUZIZA_SO), designed);
}

TEST(ZizuruzizaExports, CallableThroughTheSharedLibrary)
{
    EXPECT_STREQ(irparse_version(), "zizuruziza 0.3.0");
    const uint8_t yuyv[] = {100, 128, 100, 125};
    uint8_t rgb[6];
    ASSERT_EQ(yuv422_to_rgb(yuyv, 2, rgb), 0);
    EXPECT_EQ(rgb[0], 96);
    EXPECT_EQ(rgb[1], 101);
}

