// Geometric transforms: every path against the coordinate formulas, bad input.
#include "ombrix/cpu.h"
#include "capture.h"
#include "vuzovaredero.h"
#include "vuzovaredero_internal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Words = std::vector<uint16_t>;
using Bytes = std::vector<uint8_t>;
using Transform = int (*)(const uint8_t*, image_res_t, int, uint8_t*);

// First case of the program: nothing registered yet, so failures print nothing.
TEST(VuzovarederoLog, SilentUntilRegistered)
{
    const Bytes in(4, 1);
    Bytes out(4);
    auto [status, text] = printedBy([&] { return flip(in.data(), size(1, 1), 2, out.data()); });
    EXPECT_EQ(status, -2);
    EXPECT_EQ(text, "");
}

// Every path of every transform (the public call, the plain walk, the
// portable and vector paths) puts each output pixel (r, c) from its source
// position, on sizes around the tile (16) and register widths (21 and 32
// pixels), for 2- and 3-byte pixels; the bytes around the output stay untouched.
TEST(VuzovarederoTransform, EveryPathTakesEachPixelFromItsSourcePosition)
{
    EXPECT_FALSE(ombrix_cpu_portable_only() && vz_cpu_has_avx512());
    const struct {
        vz_transform kind;
        Transform call;
        std::function<size_t(int r, int c, int w, int h)> source;  // turns swap the output's rows and columns
    } kinds[] = {
        {VZ_FLIP, flip, [](int r, int c, int w, int h) { return size_t(h - 1 - r) * w + c; }},
        {VZ_MIRROR, mirror, [](int r, int c, int w, int) { return size_t(r) * w + (w - 1 - c); }},
        {VZ_ROTATE_180, rotate_180, [](int r, int c, int w, int h) { return size_t(h - 1 - r) * w + (w - 1 - c); }},
        {VZ_ROTATE_LEFT_90, rotate_left_90, [](int r, int k, int w, int) { return size_t(k) * w + (w - 1 - r); }},
        {VZ_ROTATE_RIGHT_90, rotate_right_90, [](int r, int k, int w, int h) { return size_t(h - 1 - k) * w + r; }},
    };
    const int lengths[] = {1, 2, 3, 7, 15, 16, 17, 20, 21, 22, 31, 32, 33, 43, 64, 65};
    std::vector<std::pair<int, int>> sizes = {{256, 192}, {192, 256}, {1, 300}, {300, 1}, {641, 3}};
    for (int w : lengths)
        for (int h : lengths)
            sizes.emplace_back(w, h);
    constexpr size_t guard = 64;
    int simdRuns = 0;
    for (size_t bytes : {size_t(2), size_t(3)})
        for (auto [w, h] : sizes) {
            const size_t length = bytes * w * h;
            const int format = bytes == 2 ? PIXFMT_Y14 : w % 2 ? PIXFMT_RGB888 : PIXFMT_BGR888;
            std::vector<uint8_t> in(length);
            for (size_t i = 0; i < length; i++)
                in[i] = uint8_t(i * 131 + i / 251);
            for (const auto& k : kinds) {
                const bool turns = k.kind == VZ_ROTATE_LEFT_90 || k.kind == VZ_ROTATE_RIGHT_90;
                const int rows = turns ? w : h, columns = turns ? h : w;
                Bytes expected(length);
                for (int r = 0; r < rows; r++)
                    for (int c = 0; c < columns; c++)
                        std::memcpy(&expected[bytes * (size_t(r) * columns + c)], &in[bytes * k.source(r, c, w, h)], bytes);
                for (const char* path : {"public", "reference", "portable", "avx512", "chosen"}) {
                    SCOPED_TRACE(::testing::Message() << path << " kind " << k.kind << " bytes " << bytes << " " << w << "x" << h);
                    Bytes out(guard + length + guard, 0xA5);
                    uint8_t* to = out.data() + guard;
                    const std::string name = path;
                    if (name == "public")
                        ASSERT_EQ(k.call(in.data(), size(w, h), format, to), 0);
                    else if (name == "reference")
                        vz_transform_reference(k.kind, in.data(), size(w, h), bytes, to);
                    else if (name == "portable")
                        vz_transform_portable(k.kind, in.data(), size(w, h), bytes, to);
                    else if (name == "chosen")
                        vz_transform_fast(k.kind, in.data(), size(w, h), bytes, to);
                    else if (vz_transform_avx512(k.kind, in.data(), size(w, h), bytes, to))
                        simdRuns++;
                    else
                        continue;
                    ASSERT_EQ(Bytes(out.begin() + guard, out.end() - guard), expected);
                    ASSERT_EQ(Bytes(out.begin(), out.begin() + guard), Bytes(guard, 0xA5));
                    ASSERT_EQ(Bytes(out.end() - guard, out.end()), Bytes(guard, 0xA5));
                }
            }
        }
    EXPECT_EQ(simdRuns > 0, bool(vz_cpu_has_avx512()));
}

// Bad sizes, null pointers and formats without a transform: refused, nothing written.
TEST(VuzovarederoTransform, BadInputWritesNothing)
{
    irproc_log_register(1);
    const Bytes in(12, 1);
    for (Transform t : {flip, mirror, rotate_180, rotate_left_90, rotate_right_90}) {
        Bytes out(12, 0xEE);
        const std::tuple<const uint8_t*, image_res_t, int, uint8_t*, int> cases[] = {
            {in.data(), size(2, 2), PIXFMT_YUV422, out.data(), -2}, {in.data(), size(2, 2), PIXFMT_YUV444, out.data(), -2},
            {in.data(), size(2, 2), 5, out.data(), -2}, {in.data(), size(2, 2), -1, out.data(), -2},
            {in.data(), size(0, 2), PIXFMT_Y14, out.data(), -1}, {in.data(), size(2, 0), PIXFMT_Y14, out.data(), -1},
            {nullptr, size(2, 2), PIXFMT_Y14, out.data(), -1}, {in.data(), size(2, 2), PIXFMT_Y14, nullptr, -1},
            {in.data(), size(0, 2), PIXFMT_YUV422, out.data(), -1},  // a bad size is found before a bad format
        };
        for (auto [src, res, format, dst, expected] : cases) {
            auto [status, text] = printedBy([&] { return t(src, res, format, dst); });
            EXPECT_EQ(status, expected) << format << " " << res.width;
            EXPECT_TRUE(oneError(text)) << text;
        }
        EXPECT_EQ(out, Bytes(12, 0xEE));
    }
}

}  // namespace
