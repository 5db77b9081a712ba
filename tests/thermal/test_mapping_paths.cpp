// Each colour mapping path against the reference loop: random and grey
// pictures of many widths (around the four-pixel groups and the 64-pixel
// blocks), row gaps, every (B, G, R) value, and the bytes around the output.
#include "ombrix/cpu.h"
#include "mapping.h"
#include "palettes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Path = std::function<bool(const cv::Mat&, cv::Mat&, const std::uint8_t*, thermal::Luma)>;

struct NamedPath {
    const char* name;
    Path map;
};

// The words of colourTableWords() for any table.
std::vector<std::uint32_t> wordsOf(const std::uint8_t* table)
{
    std::vector<std::uint32_t> words(256);
    for (int level = 0; level < 256; ++level)
        words[level] = table[3 * level] | table[3 * level + 1] << 8 | std::uint32_t(table[3 * level + 2]) << 16;
    return words;
}

std::vector<NamedPath> fastPaths()
{
    return {
        {"portable",
         [](const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table, thermal::Luma luma) {
             const std::vector<std::uint32_t> words = wordsOf(table);
             thermal::mapPicturePortable(src, dst, table, words.data(), luma);
             return true;
         }},
        {"avx512", thermal::mapPictureAvx512},
    };
}

// A table whose 256 colours all differ, so a wrong level always shows.
std::vector<std::uint8_t> distinctTable(unsigned seed)
{
    cv::RNG rng(seed);
    std::vector<std::uint8_t> table(3 * 256);
    for (int level = 0; level < 256; ++level) {
        table[3 * level] = std::uint8_t(level);
        table[3 * level + 1] = std::uint8_t(rng.uniform(0, 256));
        table[3 * level + 2] = std::uint8_t(255 - level);
    }
    return table;
}

enum class Content { Random, Grey, MostlyGrey };

cv::Mat picture(int rows, int cols, Content content, cv::RNG& rng)
{
    cv::Mat m(rows, cols, CV_8UC3);
    rng.fill(m, cv::RNG::UNIFORM, 0, 256);
    if (content == Content::Random)
        return m;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x) {
            cv::Vec3b& p = m.at<cv::Vec3b>(y, x);
            const bool keepColour = content == Content::MostlyGrey && (x * 7 + y) % 23 == 0;
            if (!keepColour)
                p = cv::Vec3b(p[1], p[1], p[1]);
        }
    return m;
}

// Maps src by path into a matrix with a guard row above and below and, when
// gapped, guard columns on either side; only the output may change.
void expectEqualToReference(const NamedPath& path, const cv::Mat& src, const std::uint8_t* table, bool gapped)
{
    const int margin = gapped ? 5 : 0;
    const cv::Rect inside(margin, 1, src.cols, src.rows);
    cv::Mat frame(src.rows + 2, src.cols + 2 * margin, CV_8UC3, cv::Scalar(0xA5, 0xA5, 0xA5)), expected = frame.clone();
    cv::Mat want = expected(inside), out = frame(inside);
    thermal::mapPictureReference(src, want, table);
    if (path.map(src, out, table, thermal::kBgrLuma)) {
        ASSERT_EQ(cv::norm(frame, expected, cv::NORM_INF), 0.0) << path.name << " " << src.size();
    }
}

TEST(ThermalMappingPaths, EqualTheReferenceOnEverySizeAndContent)
{
    cv::RNG rng(11);
    const std::vector<std::uint8_t> table = distinctTable(5);
    const int widths[] = {1, 2, 3, 4, 5, 6, 8, 9, 16, 17, 21, 22, 63, 64, 65, 127, 128, 129, 191, 256};
    for (const NamedPath& path : fastPaths())
        for (int width : widths)
            for (int rows : {1, 2, 3})
                for (Content content : {Content::Random, Content::Grey, Content::MostlyGrey})
                    for (bool gapped : {false, true}) {
                        SCOPED_TRACE(::testing::Message() << "content " << int(content) << " gapped " << gapped);
                        const cv::Mat src = picture(rows, width, content, rng);
                        expectEqualToReference(path, src, table.data(), gapped);
                    }
    // The vector path runs where the processor has it, and never when told to stay portable.
    const cv::Mat one(1, 1, CV_8UC3, cv::Scalar(1, 1, 1));
    cv::Mat out(1, 1, CV_8UC3);
    EXPECT_EQ(thermal::mapPictureAvx512(one, out, table.data()), thermal::cpuHasAvx512());
    EXPECT_FALSE(ombrix_cpu_portable_only() && thermal::cpuHasAvx512());
}

// All 2^24 (B, G, R) values, one row of 4096 pixels per (B, G high nibble),
// read as B, G, R and as R, G, B (the same levels as the swapped picture).
TEST(ThermalMappingPaths, EqualTheReferenceOnEveryColourInEitherOrder)
{
    cv::Mat all(4096, 4096, CV_8UC3), swapped(all.size(), CV_8UC3);
    for (int i = 0; i < 4096 * 4096; ++i) {
        std::uint8_t* p = all.data + 3 * size_t(i);
        std::uint8_t* q = swapped.data + 3 * size_t(i);
        p[0] = q[2] = std::uint8_t(i >> 16);
        p[1] = q[1] = std::uint8_t(i >> 8);
        p[2] = q[0] = std::uint8_t(i);
    }
    const std::vector<std::uint8_t> table = distinctTable(6);
    cv::Mat expected(all.size(), CV_8UC3), fromRgb(all.size(), CV_8UC3);
    thermal::mapPictureReference(swapped, expected, table.data());
    thermal::mapPictureReference(all, fromRgb, table.data(), thermal::kRgbLuma);
    ASSERT_EQ(cv::norm(fromRgb, expected, cv::NORM_INF), 0.0);
    thermal::mapPictureReference(all, expected, table.data());
    for (const thermal::Luma luma : {thermal::kBgrLuma, thermal::kRgbLuma})
        for (const NamedPath& path : fastPaths()) {
            cv::Mat out(all.size(), CV_8UC3);
            if (path.map(luma.first == thermal::kRgbLuma.first ? swapped : all, out, table.data(), luma)) {
                EXPECT_EQ(cv::norm(out, expected, cv::NORM_INF), 0.0) << path.name << " luma " << luma.first;
            }
        }
}

}  // namespace
