// Exhaustive equality of the conversions with plain loops written from the
// formulas: every (Y, U, V) triple and every 16-bit word.
#include "ombrix/cpu.h"
#include "zizuruziza.h"
#include "zizuruziza_internal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

uint8_t truncatedChannel(double value)
{
    int whole = (int)value;  // toward zero
    return (uint8_t)std::clamp(whole, 0, 255);
}

void expectedRgb(int y, int uByte, int vByte, uint8_t* rgb)
{
    int u = uByte - 128, v = vByte - 128;
    double r = y + 1.14 * v;
    double g = y - 0.394 * u;
    g = g - 0.581 * v;
    double b = y + 2.032 * u;
    rgb[0] = truncatedChannel(r);
    rgb[1] = truncatedChannel(g);
    rgb[2] = truncatedChannel(b);
}

// 2^23 YUYV pairs holding every (Y, U, V) triple once; the Y order is
// scrambled per (U, V) so the vector lanes see all kinds of neighbours.
struct AllTriples {
    Bytes yuyv;
    Bytes rgb;
    AllTriples() : yuyv(size_t(1) << 25), rgb(size_t(3) << 24)
    {
        size_t pair = 0;
        for (int u = 0; u < 256; u++)
            for (int v = 0; v < 256; v++)
                for (int k = 0; k < 128; k++, pair++) {
                    int y0 = (2 * k + u) & 255, y1 = y0 ^ 1;
                    uint8_t* in = &yuyv[4 * pair];
                    in[0] = (uint8_t)y0, in[1] = (uint8_t)u, in[2] = (uint8_t)y1, in[3] = (uint8_t)v;
                    expectedRgb(y0, u, v, &rgb[6 * pair]);
                    expectedRgb(y1, u, v, &rgb[6 * pair + 3]);
                }
    }
};

const AllTriples& allTriples()
{
    static const AllTriples triples;
    return triples;
}

// A conversion path: how many pairs or pixels it converted from the start.
using Path = size_t (*)(const uint8_t*, size_t, uint8_t*);

::testing::AssertionResult sameBytes(const Bytes& got, const Bytes& want, size_t bytesPerPixel)
{
    auto diff = std::mismatch(got.begin(), got.end(), want.begin());
    if (diff.first == got.end())
        return ::testing::AssertionSuccess();
    size_t at = (size_t)(diff.first - got.begin());
    return ::testing::AssertionFailure() << "pixel " << at / bytesPerPixel << " byte " << at % bytesPerPixel
                                         << ": got " << int(*diff.first) << ", want " << int(*diff.second);
}

// The public call and every path behind it (a vector path leaves the last
// pairs to the reference loop).
TEST(ZizuruzizaExact, Yuv422ToRgbEveryTripleOnEveryPath)
{
    const AllTriples& all = allTriples();
    const size_t pairs = size_t(1) << 23;
    const std::pair<const char*, Path> paths[] = {
        {"public", [](const uint8_t* s, size_t n, uint8_t* d) { return yuv422_to_rgb(s, int(2 * n), d) ? 0 : n; }},
        {"reference", [](const uint8_t* s, size_t n, uint8_t* d) { return zz_yuv422_to_rgb_scalar(s, n, d), n; }},
        {"portable", zz_yuv422_to_rgb_portable},
        {"avx2", zz_cpu_has_avx2() ? zz_yuv422_to_rgb_avx2 : nullptr},
    };
    for (auto [name, path] : paths) {
        if (!path)
            continue;
        Bytes rgb(all.rgb.size(), 0);
        const size_t done = path(all.yuyv.data(), pairs, rgb.data());
        EXPECT_GE(done + 17, pairs) << name;
        zz_yuv422_to_rgb_scalar(&all.yuyv[4 * done], pairs - done, &rgb[6 * done]);
        EXPECT_TRUE(sameBytes(rgb, all.rgb, 3)) << name;
    }
}

TEST(ZizuruzizaExact, PortableRunTakesNoVectorPath)
{
    if (!ombrix_cpu_portable_only())
        GTEST_SKIP() << "OMBRIX_CPU is not portable";
    EXPECT_FALSE(zz_cpu_has_avx2());
}

TEST(ZizuruzizaExact, Yuv422EveryLengthAroundTheBlocks)
{
    const AllTriples& all = allTriples();
    // A stretch rich in the pairs the vector path recomputes (u = 76, v = -24).
    size_t first = size_t((76 + 128) * 256 + (128 - 24)) * 128;
    for (int pixels = 1; pixels <= 80; pixels++) {
        Bytes rgb(3 * pixels, 0xEE);
        ASSERT_EQ(yuv422_to_rgb(&all.yuyv[4 * first], pixels, rgb.data()), 0);
        Bytes want(all.rgb.begin() + 6 * first, all.rgb.begin() + 6 * first + 6 * (pixels / 2));
        want.resize(3 * pixels, 0xEE);
        ASSERT_TRUE(sameBytes(rgb, want, 3)) << pixels << " pixels";
    }
}

// Every path of the channel swap against a plain swap, apart and in place,
// at every length around the vector blocks and at a whole frame.
TEST(ZizuruzizaExact, RgbToBgrEveryPathAgainstAPlainSwap)
{
    const std::pair<const char*, Path> paths[] = {
        {"public", [](const uint8_t* s, size_t n, uint8_t* d) { EXPECT_EQ(rgb_to_bgr(s, int(n), d), 0); return n; }},
        {"reference", [](const uint8_t* s, size_t n, uint8_t* d) { return zz_rgb_to_bgr_scalar(s, n, d), n; }},
        {"portable", zz_rgb_to_bgr_portable},
        {"avx2", zz_cpu_has_avx2() ? zz_rgb_to_bgr_avx2 : nullptr},
    };
    Bytes rgb(3 * 49152);
    for (size_t i = 0; i < rgb.size(); i++)
        rgb[i] = (uint8_t)(i * 151 + 3);
    for (size_t pixels = 1; pixels <= 49152; pixels = pixels == 100 ? 49152 : pixels + 1) {
        Bytes want = rgb;
        for (size_t p = 0; p < pixels; p++)
            std::swap(want[3 * p], want[3 * p + 2]);
        for (auto [name, path] : paths) {
            if (!path)
                continue;
            Bytes apart = rgb, inPlace = rgb;
            const size_t done = path(rgb.data(), pixels, apart.data());
            ASSERT_LT(pixels - done, 32u) << name;
            ASSERT_EQ(path(inPlace.data(), pixels, inPlace.data()), done) << name;
            zz_rgb_to_bgr_scalar(rgb.data() + 3 * done, pixels - done, apart.data() + 3 * done);
            zz_rgb_to_bgr_scalar(inPlace.data() + 3 * done, pixels - done, inPlace.data() + 3 * done);
            ASSERT_TRUE(sameBytes(apart, want, 3)) << name << ", " << pixels << " pixels";
            ASSERT_TRUE(sameBytes(inPlace, want, 3)) << name << ", " << pixels << " pixels in place";
        }
    }
}

TEST(ZizuruzizaExact, Yuv444ToRgbEveryTriple)
{
    Bytes yuv(size_t(3) << 24), want(yuv.size()), got(yuv.size());
    for (size_t i = 0; i < (size_t(1) << 24); i++) {
        yuv[3 * i] = (uint8_t)(i >> 16), yuv[3 * i + 1] = (uint8_t)(i >> 8), yuv[3 * i + 2] = (uint8_t)i;
        expectedRgb(yuv[3 * i], yuv[3 * i + 1], yuv[3 * i + 2], &want[3 * i]);
    }
    ASSERT_EQ(yuv444_to_rgb(yuv.data(), 1 << 24, got.data()), 0);
    EXPECT_TRUE(sameBytes(got, want, 3));
}

TEST(ZizuruzizaExact, Y14LevelEveryWord)
{
    std::vector<uint16_t> words(65536);
    for (size_t i = 0; i < words.size(); i++)
        words[i] = (uint16_t)i;
    Bytes y8(65536), rgb(3 * 65536), yuv(3 * 65536);
    std::vector<uint16_t> y14(65536);
    ASSERT_EQ(y14_to_y8(words.data(), 65536, y8.data()), 0);
    ASSERT_EQ(y14_to_rgb(words.data(), 65536, rgb.data()), 0);
    ASSERT_EQ(y14_to_yuv444(words.data(), 65536, yuv.data()), 0);
    ASSERT_EQ(y16_to_y14(words.data(), 65536, y14.data()), 0);
    for (uint32_t v = 0; v < 65536; v++) {
        const uint8_t level = (uint8_t)(std::min<uint32_t>(v, 16383) * 255 / 16383);
        ASSERT_EQ(Bytes({y8[v], rgb[3 * v], rgb[3 * v + 1], rgb[3 * v + 2], yuv[3 * v], yuv[3 * v + 1], yuv[3 * v + 2]}),
                  Bytes({level, level, level, level, level, 128, 128})) << v;
        ASSERT_EQ(y14[v], v >> 2);
    }
}

TEST(ZizuruzizaExact, AddYEveryByteAndOffsetSign)
{
    Bytes yuyv(512);
    for (int i = 0; i < 256; i++)
        yuyv[2 * i] = (uint8_t)i, yuyv[2 * i + 1] = (uint8_t)(255 - i);
    for (int offset : {-32768, -256, -255, -1, 0, 1, 255, 256, 32767}) {
        Bytes out(512, 0xEE);
        ASSERT_EQ(yuv422_add_y(yuyv.data(), 256, (int16_t)offset, out.data()), 0);
        for (int i = 0; i < 256; i++) {
            ASSERT_EQ(out[2 * i], std::clamp(i + offset, 0, 255)) << i << " + " << offset;
            ASSERT_EQ(out[2 * i + 1], 0xEE);
        }
    }
}

}  // namespace
