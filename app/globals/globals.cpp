#include "globals.h"

std::atomic<int> g_temp_unit{0};
std::atomic<int> g_rotate_angle{0};
std::atomic<int> g_palette{0};
std::atomic<bool> g_connected{false};
std::atomic<int> g_range_mode{1};
