// The reference colour mapping and its portable fast path.
#include "mapping.h"

#include <cstring>

namespace thermal {

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

namespace {

inline std::uint64_t load8(const std::uint8_t* at)
{
    std::uint64_t bytes;
    std::memcpy(&bytes, at, 8);
    return bytes;
}

// One pixel as a four-byte store whose fourth byte the next pixel overwrites.
inline void putWord(std::uint8_t* out, const std::uint32_t* words, unsigned level)
{
    std::memcpy(out, &words[level], 4);
}

// Whether the four pixels of in[0..11] are grey: byte j equals byte j+1 at
// j = 0, 1, 3, 4, 6, 7 (pixels 0 to 2) and at 9, 10 (pixel 3), read as
// eight-byte words that stay inside the twelve bytes.
inline bool fourGrey(const std::uint8_t* in)
{
    const std::uint64_t first = (load8(in) ^ load8(in + 1)) & 0xFFFF00FFFF00FFFFull;
    const std::uint64_t last = (load8(in + 3) ^ load8(in + 4)) & 0xFFFF000000000000ull;
    return (first | last) == 0;
}

}  // namespace

void mapPicturePortable(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table, const std::uint32_t* words)
{
    const int cols = src.cols;
    for (int y = 0; y < src.rows; ++y) {
        const std::uint8_t* __restrict in = src.ptr<std::uint8_t>(y);
        std::uint8_t* __restrict out = dst.ptr<std::uint8_t>(y);
        int x = 0;
        // Groups of four with at least one pixel after them to take the
        // last store's fourth byte.
        for (; x + 4 < cols; x += 4, in += 12, out += 12) {
            if (fourGrey(in)) {
                putWord(out, words, in[1]);
                putWord(out + 3, words, in[4]);
                putWord(out + 6, words, in[7]);
                putWord(out + 9, words, in[10]);
            } else {
                for (int k = 0; k < 4; ++k)
                    putWord(out + 3 * k, words, greyLevel(in + 3 * k));
            }
        }
        for (; x + 1 < cols; ++x, in += 3, out += 3)
            putWord(out, words, greyLevel(in));
        const std::uint8_t* colour = table + 3 * greyLevel(in);
        out[0] = colour[0];
        out[1] = colour[1];
        out[2] = colour[2];
    }
}

}  // namespace thermal
