// The shared library shows exactly the designed functions, by plain name.
#include "zizuruziza.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

std::set<std::string> definedDynamicSymbols(const char* library)
{
    std::set<std::string> names;
    std::string command = std::string("nm -D --defined-only ") + library;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return names;
    char line[512];
    while (fgets(line, sizeof line, pipe)) {
        char type = 0;
        char name[400];
        if (sscanf(line, "%*s %c %399s", &type, name) == 2 && (type == 'T' || type == 'D' || type == 'B' || type == 'R'))
            names.insert(name);
    }
    pclose(pipe);
    return names;
}

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

}  // namespace
