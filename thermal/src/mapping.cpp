// The reference colour mapping and its portable fast path.
#include "mapping.h"

#include <cstring>

namespace thermal {

void mapPictureReference(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table, Luma luma)
{
    for (int y = 0; y < src.rows; ++y) {
        const std::uint8_t* in = src.ptr<std::uint8_t>(y);
        std::uint8_t* out = dst.ptr<std::uint8_t>(y);
        for (int x = 0; x < src.cols; ++x, in += 3, out += 3) {
            const std::uint8_t* colour = table + 3 * greyLevel(in, luma);
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

// Four pixels followed by at least one more.
inline void mapFour(const std::uint8_t* in, std::uint8_t* out, const std::uint32_t* words, Luma luma)
{
    if (fourGrey(in)) {
        putWord(out, words, in[1]);
        putWord(out + 3, words, in[4]);
        putWord(out + 6, words, in[7]);
        putWord(out + 9, words, in[10]);
    } else {
        for (int k = 0; k < 4; ++k)
            putWord(out + 3 * k, words, greyLevel(in + 3 * k, luma));
    }
}

using Bytes16 = std::uint8_t __attribute__((vector_size(16)));

inline Bytes16 load16(const std::uint8_t* at)
{
    Bytes16 bytes;
    std::memcpy(&bytes, at, 16);
    return bytes;
}

// Bytes j of a 48-byte group whose pixel has a byte after it (j % 3 != 2),
// in the group's three vectors.
#define THERMAL_PAIR_AT(k, j) ((16 * (k) + (j)) % 3 != 2 ? 0xFF : 0)
#define THERMAL_PAIRS(k)                                                                                         \
    Bytes16                                                                                                      \
    {                                                                                                            \
        THERMAL_PAIR_AT(k, 0), THERMAL_PAIR_AT(k, 1), THERMAL_PAIR_AT(k, 2), THERMAL_PAIR_AT(k, 3),              \
            THERMAL_PAIR_AT(k, 4), THERMAL_PAIR_AT(k, 5), THERMAL_PAIR_AT(k, 6), THERMAL_PAIR_AT(k, 7),          \
            THERMAL_PAIR_AT(k, 8), THERMAL_PAIR_AT(k, 9), THERMAL_PAIR_AT(k, 10), THERMAL_PAIR_AT(k, 11),        \
            THERMAL_PAIR_AT(k, 12), THERMAL_PAIR_AT(k, 13), THERMAL_PAIR_AT(k, 14), THERMAL_PAIR_AT(k, 15)       \
    }

// Whether the sixteen pixels of in[0..47] are grey: each byte but a pixel's
// last equals the byte after it. The comparison reads in[48], so a pixel
// must follow the group.
inline bool sixteenGrey(const std::uint8_t* in)
{
    const Bytes16 differ = ((load16(in) ^ load16(in + 1)) & THERMAL_PAIRS(0)) |
                           ((load16(in + 16) ^ load16(in + 17)) & THERMAL_PAIRS(1)) |
                           ((load16(in + 32) ^ load16(in + 33)) & THERMAL_PAIRS(2));
    std::uint64_t halves[2];
    std::memcpy(halves, &differ, sizeof halves);
    return (halves[0] | halves[1]) == 0;
}

}  // namespace

void mapPicturePortable(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table, const std::uint32_t* words,
                        Luma luma)
{
    const int cols = src.cols;
    for (int y = 0; y < src.rows; ++y) {
        const std::uint8_t* __restrict in = src.ptr<std::uint8_t>(y);
        std::uint8_t* __restrict out = dst.ptr<std::uint8_t>(y);
        int x = 0;
        // Groups of sixteen, grey ones found in generic vectors (one
        // instruction a step on any SIMD processor), others in groups of
        // four; every group has a pixel after it to take the last store's
        // fourth byte.
        for (; x + 16 < cols; x += 16, in += 48, out += 48) {
            if (sixteenGrey(in)) {
#pragma GCC unroll 16
                for (int k = 0; k < 16; ++k)
                    putWord(out + 3 * k, words, in[3 * k + 1]);
            } else {
                for (int k = 0; k < 16; k += 4)
                    mapFour(in + 3 * k, out + 3 * k, words, luma);
            }
        }
        for (; x + 4 < cols; x += 4, in += 12, out += 12)
            mapFour(in, out, words, luma);
        for (; x + 1 < cols; ++x, in += 3, out += 3)
            putWord(out, words, greyLevel(in, luma));
        const std::uint8_t* colour = table + 3 * greyLevel(in, luma);
        out[0] = colour[0];
        out[1] = colour[1];
        out[2] = colour[2];
    }
}

}  // namespace thermal
