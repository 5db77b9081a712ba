// The shared library shows exactly the designed functions, by plain name.
#include "vuzovaredero.h"

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

TEST(VuzovarederoExports, ExactlyTheDesignedFunctions)
{
    const std::set<std::string> designed = {
        "irproc_log_register", "irproc_version", "flip", "mirror", "rotate_180", "rotate_left_90",
        "rotate_right_90", "y14_map_to_yuyv_pseudocolor", "y14_image_enhance",
        "y14_image_spatial_noise_reduction", "gain_switch_detect", "overexposure_detect",
    };
    EXPECT_EQ(definedDynamicSymbols(VUZOVAREDERO_SO), designed);
}

TEST(VuzovarederoExports, CallableThroughTheSharedLibrary)
{
    EXPECT_STREQ(irproc_version(), "vuzovaredero 0.8.1");
    const uint16_t y14[] = {8192, 8192};
    uint8_t yuyv[4];
    ASSERT_EQ(y14_map_to_yuyv_pseudocolor(y14, 2, 3, yuyv), 0);
    EXPECT_EQ(yuyv[1], 78);
    EXPECT_EQ(yuyv[3], 213);
}

}  // namespace
