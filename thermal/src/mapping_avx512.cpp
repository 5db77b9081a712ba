// The AVX-512 colour mapping (byte permutes from VBMI), equal to the
// reference loop for every pixel, grey or not.
//
// Per 64 pixels (three registers of B, G, R bytes):
//  1. the bytes are gathered into 16-bit lanes of (B, G) and of (R, G)
//     pairs, 32 pixels per register;
//  2. multiply-adds of the pairs by (29, 99) and (77, 51) give 29 B + 150 G
//     + 77 R (for R, G, B pictures (77, 51) and (29, 99)) in two parts of at
//     most 128 * 255, which stay below the instruction's signed limit; with
//     the + 128 the sum cannot overflow 16 bits (at most 256 * 255 + 128),
//     and its high byte is the level;
//  3. each channel of the table, 256 bytes in four registers, is looked up
//     with two two-register permutes (levels below and from 128) and a blend
//     on the level's top bit;
//  4. the three looked-up channels are interleaved back into B, G, R bytes.
// Masked loads and stores cover a row's last, partial group.
#include "ombrix/cpu.h"
#include "mapping.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#include <algorithm>

#define THERMAL_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi")))

namespace thermal {

bool cpuHasAvx512()
{
    static const bool supported = [] {
        __builtin_cpu_init();
        return !ombrix_cpu_portable_only() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512vbmi");
    }();
    return supported;
}

namespace {

constexpr int kBlock = 64;  // pixels per step

inline __mmask64 firstBytes(std::ptrdiff_t n)
{
    return n <= 0 ? 0 : n >= 64 ? ~__mmask64(0) : (__mmask64(1) << n) - 1;
}

// The permute indices and masks of the steps, as bytes made at compile time.
struct IndexBytes {
    // Step 1: the (B, G) and (R, G) pairs of pixels 0-31 (from registers 0
    // and 1) and of pixels 32-63 (from registers 1 and 2), one per lane.
    std::uint8_t pairs[2][2][64];
    // Step 2: the high bytes of two registers of 16-bit lanes; the low
    // bytes likewise, for splitting the table.
    std::uint8_t highBytes[64], lowBytes[64];
    // Step 4: output register o takes B from the first, G from the second
    // register of a two-register permute, R from a masked permute of the
    // third, all with the same index.
    std::uint8_t scatter[3][64];
    std::uint64_t redBytes[3];
};

constexpr IndexBytes makeIndexBytes()
{
    IndexBytes x{};
    for (int pair = 0; pair < 2; ++pair)  // (B, G), (R, G)
        for (int half = 0; half < 2; ++half)
            for (int q = 0; q < 32; ++q) {
                x.pairs[pair][half][2 * q] = std::uint8_t(3 * q + 2 * pair + 32 * half);
                x.pairs[pair][half][2 * q + 1] = std::uint8_t(3 * q + 1 + 32 * half);
            }
    for (int i = 0; i < 64; ++i) {
        x.lowBytes[i] = std::uint8_t(i < 32 ? 2 * i : 64 + 2 * (i - 32));
        x.highBytes[i] = std::uint8_t(x.lowBytes[i] + 1);
    }
    for (int o = 0; o < 3; ++o)
        for (int i = 0; i < 64; ++i) {
            const int byte = 64 * o + i, pixel = byte / 3, channel = byte % 3;
            x.scatter[o][i] = std::uint8_t(pixel + (channel == 1 ? 64 : 0));
            if (channel == 2)
                x.redBytes[o] |= std::uint64_t(1) << i;
        }
    return x;
}

constexpr IndexBytes kIndexBytes = makeIndexBytes();

// The same in registers.
struct Shuffles {
    __m512i pairs[2][2];
    __m512i highBytes, lowBytes;
    __m512i scatter[3];
    __mmask64 redBytes[3];
};

THERMAL_AVX512 Shuffles loadShuffles()
{
    const IndexBytes& x = kIndexBytes;
    Shuffles s;
    for (int pair = 0; pair < 2; ++pair)
        for (int half = 0; half < 2; ++half)
            s.pairs[pair][half] = _mm512_loadu_si512(x.pairs[pair][half]);
    s.highBytes = _mm512_loadu_si512(x.highBytes);
    s.lowBytes = _mm512_loadu_si512(x.lowBytes);
    for (int o = 0; o < 3; ++o) {
        s.scatter[o] = _mm512_loadu_si512(x.scatter[o]);
        s.redBytes[o] = x.redBytes[o];
    }
    return s;
}

struct Bgr {
    __m512i r0, r1, r2;  // 192 bytes of B, G, R triplets
};

enum Pair { BlueGreen, RedGreen };

THERMAL_AVX512 inline __m512i pairs(const Bgr& p, const Shuffles& s, Pair pair, int half)
{
    return half == 0 ? _mm512_permutex2var_epi8(p.r0, s.pairs[pair][0], p.r1)
                     : _mm512_permutex2var_epi8(p.r1, s.pairs[pair][1], p.r2);
}

// Green's 150 split so that it makes 128 with the first byte's weight and the
// rest (150 - (128 - first)) goes beside the last byte's: neither pair's
// weights sum past 128, in either channel order.
THERMAL_AVX512 inline __m512i lumaHalf(const Bgr& p, const Shuffles& s, int half, Luma luma)
{
    const __m512i blueGreen = _mm512_maddubs_epi16(pairs(p, s, BlueGreen, half),
                                                   _mm512_set1_epi16(short(luma.first | (128 - luma.first) << 8)));
    const __m512i redGreen = _mm512_maddubs_epi16(pairs(p, s, RedGreen, half),
                                                  _mm512_set1_epi16(short(luma.last | (22 + luma.first) << 8)));
    return _mm512_add_epi16(_mm512_add_epi16(blueGreen, _mm512_set1_epi16(128)), redGreen);
}

// The 64 levels of the 64 pixels.
THERMAL_AVX512 inline __m512i levels(const Bgr& p, const Shuffles& s, Luma luma)
{
    return _mm512_permutex2var_epi8(lumaHalf(p, s, 0, luma), s.highBytes, lumaHalf(p, s, 1, luma));
}

// One channel of the table: entries 0-63, 64-127, 128-191, 192-255.
struct Plane {
    __m512i part[4];
};

THERMAL_AVX512 inline __m512i lookUp(const Plane& plane, __m512i level, __mmask64 upperHalf)
{
    const __m512i low = _mm512_permutex2var_epi8(plane.part[0], level, plane.part[1]);
    const __m512i high = _mm512_permutex2var_epi8(plane.part[2], level, plane.part[3]);
    return _mm512_mask_blend_epi8(upperHalf, low, high);
}

THERMAL_AVX512 inline Bgr interleave(__m512i b, __m512i g, __m512i r, const Shuffles& s)
{
    Bgr out;
    out.r0 = _mm512_mask_permutexvar_epi8(_mm512_permutex2var_epi8(b, s.scatter[0], g), s.redBytes[0], s.scatter[0], r);
    out.r1 = _mm512_mask_permutexvar_epi8(_mm512_permutex2var_epi8(b, s.scatter[1], g), s.redBytes[1], s.scatter[1], r);
    out.r2 = _mm512_mask_permutexvar_epi8(_mm512_permutex2var_epi8(b, s.scatter[2], g), s.redBytes[2], s.scatter[2], r);
    return out;
}

// The table's 256 triplets split into its three channels with the same
// pair gathers as the pixels: four groups of 64 entries.
THERMAL_AVX512 void splitTable(const std::uint8_t* table, const Shuffles& s, Plane planes[3])
{
    for (int part = 0; part < 4; ++part) {
        const std::uint8_t* at = table + 192 * part;
        const Bgr entries{_mm512_loadu_si512(at), _mm512_loadu_si512(at + 64), _mm512_loadu_si512(at + 128)};
        const __m512i blueGreen[2] = {pairs(entries, s, BlueGreen, 0), pairs(entries, s, BlueGreen, 1)};
        const __m512i redGreen[2] = {pairs(entries, s, RedGreen, 0), pairs(entries, s, RedGreen, 1)};
        planes[0].part[part] = _mm512_permutex2var_epi8(blueGreen[0], s.lowBytes, blueGreen[1]);
        planes[1].part[part] = _mm512_permutex2var_epi8(blueGreen[0], s.highBytes, blueGreen[1]);
        planes[2].part[part] = _mm512_permutex2var_epi8(redGreen[0], s.lowBytes, redGreen[1]);
    }
}

THERMAL_AVX512 void mapRow(const std::uint8_t* in, std::uint8_t* out, std::ptrdiff_t pixels, const Plane planes[3],
                           const Shuffles& s, Luma luma)
{
    for (std::ptrdiff_t x = 0; x < pixels; x += kBlock) {
        const std::ptrdiff_t bytes = 3 * std::min<std::ptrdiff_t>(kBlock, pixels - x);
        const __mmask64 m0 = firstBytes(bytes), m1 = firstBytes(bytes - 64), m2 = firstBytes(bytes - 128);
        const Bgr p{_mm512_maskz_loadu_epi8(m0, in), _mm512_maskz_loadu_epi8(m1, in + 64),
                    _mm512_maskz_loadu_epi8(m2, in + 128)};
        const __m512i level = levels(p, s, luma);
        const __mmask64 upperHalf = _mm512_movepi8_mask(level);
        const Bgr coloured = interleave(lookUp(planes[0], level, upperHalf), lookUp(planes[1], level, upperHalf),
                                        lookUp(planes[2], level, upperHalf), s);
        _mm512_mask_storeu_epi8(out, m0, coloured.r0);
        _mm512_mask_storeu_epi8(out + 64, m1, coloured.r1);
        _mm512_mask_storeu_epi8(out + 128, m2, coloured.r2);
        in += 3 * kBlock;
        out += 3 * kBlock;
    }
}

THERMAL_AVX512 void mapPicture(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table, Luma luma)
{
    const Shuffles shuffles = loadShuffles();
    Plane planes[3];
    splitTable(table, shuffles, planes);
    // A continuous picture is one long row.
    const bool oneRow = src.isContinuous() && dst.isContinuous();
    const int rows = oneRow ? 1 : src.rows;
    const std::ptrdiff_t pixels = oneRow ? std::ptrdiff_t(src.rows) * src.cols : src.cols;
    for (int y = 0; y < rows; ++y)
        mapRow(src.ptr<std::uint8_t>(y), dst.ptr<std::uint8_t>(y), pixels, planes, shuffles, luma);
}

}  // namespace

bool mapPictureAvx512(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table, Luma luma)
{
    if (!cpuHasAvx512())
        return false;
    mapPicture(src, dst, table, luma);
    return true;
}

}  // namespace thermal

#else

namespace thermal {

bool cpuHasAvx512()
{
    return false;
}

bool mapPictureAvx512(const cv::Mat&, cv::Mat&, const std::uint8_t*, Luma)
{
    return false;
}

}  // namespace thermal

#endif
