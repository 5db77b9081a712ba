// Selection of the colour table and the per-pixel mapping.
#include "thermal.h"

#include "ombrix/log.h"
#include "mapping.h"
#include "palettes.h"
#include "spanmap.h"

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

namespace {

// Colours src, whose pixels the luma weighs as `luma` says, through the
// selected table.
void mapSelected(const cv::Mat& src, cv::OutputArray dst, thermal::Luma luma)
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
        THERMAL_ERROR("picture must be 8-bit three-channel (CV_8UC3), not %s\n", cv::typeToString(src.type()).c_str());
        leaveEmpty(dst);
        return;
    }
    const int selected = g_selected_table.load();
    try {
        dst.create(src.size(), CV_8UC3);
        cv::Mat out = dst.getMat();
        const std::uint8_t* table = thermal::colourTable(selected);
        if (sharesMemory(src, out))
            thermal::mapPictureReference(src, out, table, luma);
        else if (!thermal::mapPictureAvx512(src, out, table, luma))
            thermal::mapPicturePortable(src, out, table, thermal::colourTableWords(selected), luma);
    } catch (const cv::Exception& e) {
        THERMAL_ERROR("cannot make the output matrix: %s\n", e.what());
        leaveEmpty(dst);
    }
}

}  // namespace

void itGray2RgbAD(cv::Mat src, cv::OutputArray dst)
{
    mapSelected(src, dst, thermal::kBgrLuma);
}

void itRgbToColourTable(cv::Mat src, cv::OutputArray dst)
{
    mapSelected(src, dst, thermal::kRgbLuma);
}

const char* itRgbColorName(int n)
{
    return isTableNumber(n) ? thermal::colourName(n) : nullptr;
}

const unsigned char* itRgbColorTable(int n)
{
    return isTableNumber(n) ? thermal::colourTable(n) : nullptr;
}

int itSpanLevel(unsigned word, unsigned low, unsigned high)
{
    if (word <= low || high <= low)
        return 0;
    if (word >= high)
        return THERMAL_TABLE_LEVELS - 1;
    const unsigned span = high - low;
    return int(((word - low) * 2u * (THERMAL_TABLE_LEVELS - 1) + span) / (2u * span));
}

int itSpanTableBuild(int n, unsigned low, unsigned high, uint32_t* table)
{
    if (!isTableNumber(n) || !table) {
        THERMAL_ERROR("span table needs a colour table in 1 to %d (not %d) and somewhere to go\n",
                      THERMAL_TABLE_COUNT, n);
        return -1;
    }
    if (low >= high || high >= THERMAL_SPAN_WORDS) {
        THERMAL_ERROR("span %u to %u is empty or beyond the words\n", low, high);
        return -1;
    }
    const std::uint32_t* entries = thermal::colourTableWords(n);
    for (unsigned word = 0; word < THERMAL_SPAN_WORDS; ++word)
        table[word] = entries[itSpanLevel(word, low, high)];
    return 0;
}

int itSpanMap(const uint16_t* words, size_t count, const uint32_t* table, unsigned char* bgr)
{
    if (!words || !table || !bgr) {
        THERMAL_ERROR("span colouring needs words, a span table and an output\n");
        return -1;
    }
    if (!thermal::spanMapAvx2(words, count, table, bgr))
        thermal::spanMapPortable(words, count, table, bgr);
    return 0;
}
