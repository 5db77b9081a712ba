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

