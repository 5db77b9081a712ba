// Worked examples, odd counts, bad input and logging of the conversions.
#include "zizuruziza.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::string errorsOf(const std::function<int()>& call, int* result = nullptr)
{
    testing::internal::CaptureStdout();
    int status = call();
    if (result)
        *result = status;
    return testing::internal::GetCapturedStdout();
}

bool oneError(const std::string& text, const std::string& function)
{
    return testing::internal::RE::FullMatch(text, "zizuruziza error \\[zizuruziza/src/\\w+:[0-9]+/" + function + "\\] [^\n]+\n");
}

// A buffer of any size whose pages all show one small tile, so pixel counts
// near INT_MAX cost address space rather than memory.
class TiledBuffer {
public:
    static constexpr size_t kTile = 1 << 20;

    explicit TiledBuffer(size_t bytes) : size_((bytes + kTile - 1) / kTile * kTile)
    {
        int fd = memfd_create("tile", 0);
        if (fd < 0 || ftruncate(fd, kTile) != 0)
            return;
        void* area = mmap(nullptr, size_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (area != MAP_FAILED) {
            base_ = static_cast<uint8_t*>(area);
            for (size_t at = 0; at < size_ && base_; at += kTile)
                if (mmap(base_ + at, kTile, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_FIXED, fd, 0) == MAP_FAILED)
                    release();
        }
        close(fd);
    }
    ~TiledBuffer() { release(); }
    TiledBuffer(const TiledBuffer&) = delete;
    TiledBuffer& operator=(const TiledBuffer&) = delete;

    uint8_t* data() const { return base_; }
    uint8_t at(size_t offset) const { return base_[offset % kTile]; }

private:
    void release()
    {
        if (base_)
            munmap(base_, size_);
        base_ = nullptr;
    }
    size_t size_;
    uint8_t* base_ = nullptr;
};

// Silent until registered (CTest runs each case in a process of its own).
TEST(ZizuruzizaLog, Levels)
{
    uint8_t out[4];
    EXPECT_EQ(errorsOf([&] { return y14_to_y8(nullptr, 4, out); }), "");
    for (auto [level, prints] : {std::pair{1, true}, {0, true}, {2, false}, {-1, false}}) {
        irparse_log_register(level);
        EXPECT_EQ(errorsOf([&] { return y14_to_y8(nullptr, 4, out); }).empty(), !prints) << level;
    }
}

// Every conversion rejects null buffers, then counts of 0 or below, and writes nothing.
TEST(ZizuruzizaBadInput, NullAndCountAreRejectedWithoutWriting)
{
    irparse_log_register(1);
    uint16_t words[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    Bytes in(64, 77);
    const std::vector<std::pair<std::string, std::function<int(const void*, int, void*)>>> calls = {
        {"y16_to_y14", [](const void* s, int n, void* d) { return y16_to_y14((const uint16_t*)s, n, (uint16_t*)d); }},
        {"y14_to_y8", [](const void* s, int n, void* d) { return y14_to_y8((const uint16_t*)s, n, (uint8_t*)d); }},
        {"y14_to_rgb", [](const void* s, int n, void* d) { return y14_to_rgb((const uint16_t*)s, n, (uint8_t*)d); }},
        {"y14_to_yuv444", [](const void* s, int n, void* d) { return y14_to_yuv444((const uint16_t*)s, n, (uint8_t*)d); }},
        {"yuv444_to_yuv422", [](const void* s, int n, void* d) { return yuv444_to_yuv422((const uint8_t*)s, n, (uint8_t*)d); }},
        {"yuv422_add_y", [](const void* s, int n, void* d) { return yuv422_add_y((const uint8_t*)s, n, 5, (uint8_t*)d); }},
        {"yuv422_to_rgb", [](const void* s, int n, void* d) { return yuv422_to_rgb((const uint8_t*)s, n, (uint8_t*)d); }},
        {"yuv444_to_rgb", [](const void* s, int n, void* d) { return yuv444_to_rgb((const uint8_t*)s, n, (uint8_t*)d); }},
        {"rgb_to_bgr", [](const void* s, int n, void* d) { return rgb_to_bgr((const uint8_t*)s, n, (uint8_t*)d); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        const void* src = name.rfind("y1", 0) == 0 ? (const void*)words : (const void*)in.data();
        Bytes out(64, 0xAB);
        for (auto [from, count, to] : {std::tuple{(const void*)nullptr, 4, (void*)out.data()}, {src, 4, nullptr},
                                       {src, 0, out.data()}, {src, -5, out.data()}}) {
            int status = 0;
            const std::string text = errorsOf([&] { return call(from, count, to); }, &status);
            EXPECT_EQ(status, -1) << count;
            EXPECT_TRUE(oneError(text, name)) << text;
        }
        EXPECT_EQ(out, Bytes(64, 0xAB));
    }
}

// Worked examples; an odd count leaves the lone pixel of YUYV outputs alone.
TEST(ZizuruzizaConvert, WorkedExamples)
{
    const Bytes yuv444 = {10, 100, 200, 20, 101, 51, 30, 7, 9};
    for (auto [pixels, expected] : {std::pair{2, Bytes{10, 100, 20, 125, 0xEE, 0xEE}}, {3, Bytes{10, 100, 20, 125, 0xEE, 0xEE}},
                                    {1, Bytes(6, 0xEE)}}) {
        Bytes out(6, 0xEE);
        ASSERT_EQ(yuv444_to_yuv422(yuv444.data(), pixels, out.data()), 0);
        EXPECT_EQ(out, expected) << pixels;
    }
    // Y clamps, large offsets saturate rather than wrap around 16 bits, chroma stays.
    const Bytes yuyv = {250, 1, 10, 2};
    for (auto [offset, y0, y1] : {std::tuple{20, 255, 30}, {-20, 230, 0}, {32767, 255, 255}, {-32768, 0, 0}}) {
        Bytes out(4, 0xEE);
        ASSERT_EQ(yuv422_add_y(yuyv.data(), 2, offset, out.data()), 0);
        EXPECT_EQ(out, (Bytes{uint8_t(y0), 0xEE, uint8_t(y1), 0xEE})) << offset;
    }
    // In place, three pixels: the lone pixel's Y is the fifth byte.
    Bytes frame = {100, 50, 110, 60, 120, 70, 0xEE};
    ASSERT_EQ(yuv422_add_y(frame.data(), 3, 5, frame.data()), 0);
    EXPECT_EQ(frame, (Bytes{105, 50, 115, 60, 125, 70, 0xEE}));
}

// Pixel counts whose byte offsets pass INT_MAX must still be indexed right:
// each case's last pixel lies beyond 2^31 bytes into a buffer of the size
// the header documents.
TEST(ZizuruzizaLargeCounts, LastPixelBeyondIntRange)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the race checker's shadow would need memory for every tiled page";
#endif
    struct Case {
        const char* name;
        int pixels;
        size_t srcBytesPerPixel, dstBytesPerPixel;
        uint8_t fill;
        std::function<int(const uint8_t*, int, uint8_t*)> convert;
        Bytes lastPixel;
    };
    auto y14 = [](const uint8_t* src) { return reinterpret_cast<const uint16_t*>(src); };
    const Case cases[] = {
        {"y14_to_rgb", 715827883, 2, 3, 0xFF,
         [&](const uint8_t* s, int n, uint8_t* d) { return y14_to_rgb(y14(s), n, d); }, {255, 255, 255}},
        {"y14_to_yuv444", 715827883, 2, 3, 0xFF,
         [&](const uint8_t* s, int n, uint8_t* d) { return y14_to_yuv444(y14(s), n, d); }, {255, 128, 128}},
        {"yuv444_to_rgb", 715827883, 3, 3, 200, yuv444_to_rgb, {255, 129, 255}},
        {"yuv444_to_yuv422", 715827884, 3, 2, 90, yuv444_to_yuv422, {90, 90}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TiledBuffer src(c.srcBytesPerPixel * (size_t)c.pixels), dst(c.dstBytesPerPixel * (size_t)c.pixels);
        ASSERT_TRUE(src.data() && dst.data());
        memset(src.data(), c.fill, TiledBuffer::kTile);
        memset(dst.data(), 0, TiledBuffer::kTile);
        ASSERT_EQ(c.convert(src.data(), c.pixels, dst.data()), 0);
        size_t last = c.dstBytesPerPixel * ((size_t)c.pixels - 1);
        for (size_t b = 0; b < c.lastPixel.size(); b++)
            EXPECT_EQ(dst.at(last + b), c.lastPixel[b]) << "byte " << b;
    }

    const int pixels = 1073741825;
    TiledBuffer yuyv(2 * (size_t)pixels);
    ASSERT_TRUE(yuyv.data());
    memset(yuyv.data(), 100, TiledBuffer::kTile);
    ASSERT_EQ(yuv422_add_y(yuyv.data(), pixels, 200, yuyv.data()), 0);
    EXPECT_EQ(yuyv.at(2 * ((size_t)pixels - 1)), 255);
    EXPECT_EQ(yuyv.at(2 * ((size_t)pixels - 1) + 1), 100);
}

TEST(ZizuruzizaRawCut, SplitsAndRejectsNegativeLengths)
{
    const Bytes raw = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    Bytes image(6, 0xEE), temp(4, 0xEE);
    EXPECT_EQ(raw_data_cut(raw.data(), 6, 4, nullptr, temp.data()), -1);
    EXPECT_EQ(raw_data_cut(raw.data(), -6, 4, image.data(), temp.data()), -1);
    EXPECT_EQ(raw_data_cut(raw.data(), 6, -4, image.data(), temp.data()), -1);
    EXPECT_EQ(image, Bytes(6, 0xEE));
    EXPECT_EQ(raw_data_cut(raw.data(), 0, 0, image.data(), temp.data()), 0);
    ASSERT_EQ(raw_data_cut(raw.data(), 6, 4, image.data(), temp.data()), 0);
    EXPECT_EQ(image, Bytes(raw.begin(), raw.begin() + 6));
    EXPECT_EQ(temp, Bytes(raw.begin() + 6, raw.end()));
}

}  // namespace
