// The shared library shows exactly the designed functions, by plain name.
#include "vuzovaredero.h"

#include "../support/exported_symbols.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(VuzovarederoExports, ExactlyTheDesignedFunctions)
{
    const std::set<std::string> designed = {
        "irproc_log_register", "irproc_version", "flip", "mirror", "rotate_180", "rotate_left_90",
        "rotate_right_90", "y14_map_to_yuyv_pseudocolor", "y14_image_enhance",
        "y14_image_spatial_noise_reduction", "gain_switch_detect", "overexposure_detect",
    };
    EXPECT_EQ(definedDynamicSymbols(VUZOVAREDERO_SO), designed);
}

