// Selection of the colour table and the per-pixel mapping.
#include "thermal.h"

#include "ombrix/log.h"
#include "mapping.h"
#include "palettes.h"

#include <atomic>
#include <cstdint>
#include <cstring>

#define THERMAL_ERROR(fmt, ...) \
    OMBRIX_LOG(ombrix_log_print, "thermal error", "thermal/src/thermal", fmt, ##__VA_ARGS__)

namespace {

// Written on whichever thread picks the palette, read once per picture.
std::atomic<int> g_selected_table{1};

bool isTableNumber(int n)
{
    return n >= 1 && n <= THERMAL_TABLE_COUNT;
}

bool sharesMemory(const cv::Mat& a, const cv::Mat& b)
{
    return a.datastart < b.dataend && b.datastart < a.dataend;
}

void leaveEmpty(cv::OutputArray dst)
{
    try {
        dst.release();
    } catch (const cv::Exception&) {
        // A fixed output that cannot be released keeps its content.
    }
}

}  // namespace

void itSetRgbColor(int n)
{
    if (!isTableNumber(n)) {
        THERMAL_ERROR("colour table %d is not in 1 to %d, keeping table %d\n", n, THERMAL_TABLE_COUNT,
                      g_selected_table.load());
        return;
    }
    g_selected_table.store(n);
}

int itGetRgbColor(void)
{
    return g_selected_table.load();
}

void itGray2RgbAD(cv::Mat src, cv::OutputArray dst)
{
    if (!dst.needed()) {
        THERMAL_ERROR("no output matrix given\n");
        return;
    }
    if (src.empty()) {
        THERMAL_ERROR("picture is empty\n");
        leaveEmpty(dst);
        return;
    }
    if (src.type() != CV_8UC3) {
        THERMAL_ERROR("picture must be 8-bit three-channel B, G, R (CV_8UC3), not %s\n",
                      cv::typeToString(src.type()).c_str());
        leaveEmpty(dst);
        return;
    }
    const int selected = g_selected_table.load();
    try {
        dst.create(src.size(), CV_8UC3);
        cv::Mat out = dst.getMat();
        const std::uint8_t* table = thermal::colourTable(selected);
        if (sharesMemory(src, out))
            thermal::mapPictureReference(src, out, table);
        else if (!thermal::mapPictureAvx512(src, out, table))
            thermal::mapPicturePortable(src, out, table, thermal::colourTableWords(selected));
    } catch (const cv::Exception& e) {
        THERMAL_ERROR("cannot make the output matrix: %s\n", e.what());
        leaveEmpty(dst);
    }
}

const char* itRgbColorName(int n)
{
    return isTableNumber(n) ? thermal::colourName(n) : nullptr;
}

const unsigned char* itRgbColorTable(int n)
{
    return isTableNumber(n) ? thermal::colourTable(n) : nullptr;
}
