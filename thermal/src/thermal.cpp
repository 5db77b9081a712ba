// Selection of the colour table and the per-pixel mapping.
#include "thermal.h"

#include "ombrix/log.h"
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

// Integer luma with weights summing to 256, so a grey pixel keeps its level.
inline unsigned greyLevel(const std::uint8_t* bgr)
{
    return (29u * bgr[0] + 150u * bgr[1] + 77u * bgr[2] + 128u) >> 8;
}

// The reference mapping. It reads each pixel before writing it, so src and
// dst may be the same memory.
void mapPictureReference(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table)
{
    for (int y = 0; y < src.rows; ++y) {
        const std::uint8_t* in = src.ptr<std::uint8_t>(y);
        std::uint8_t* out = dst.ptr<std::uint8_t>(y);
        for (int x = 0; x < src.cols; ++x, in += 3, out += 3) {
            const std::uint8_t* colour = table + 3 * greyLevel(in);
            out[0] = colour[0];
            out[1] = colour[1];
            out[2] = colour[2];
        }
    }
}

// Equal to the reference bit for bit, for src and dst in separate memory:
// grey pixels (the camera's) skip the luma, and each pixel but a row's last
// is written with one four-byte store whose fourth byte the next pixel
// overwrites.
void mapPictureFast(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table, const std::uint32_t* words)
{
    const int last = src.cols - 1;
    for (int y = 0; y < src.rows; ++y) {
        const std::uint8_t* __restrict in = src.ptr<std::uint8_t>(y);
        std::uint8_t* __restrict out = dst.ptr<std::uint8_t>(y);
        for (int x = 0; x < last; ++x, in += 3, out += 3) {
            const unsigned level = (in[0] == in[1] && in[1] == in[2]) ? in[1] : greyLevel(in);
            std::memcpy(out, &words[level], 4);
        }
        const std::uint8_t* colour = table + 3 * greyLevel(in);
        out[0] = colour[0];
        out[1] = colour[1];
        out[2] = colour[2];
    }
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
        if (sharesMemory(src, out))
            mapPictureReference(src, out, thermal::colourTable(selected));
        else
            mapPictureFast(src, out, thermal::colourTable(selected), thermal::colourTableWords(selected));
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
