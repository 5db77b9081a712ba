#include "thermal.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <climits>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

std::array<unsigned char, 3> entry(int table, int level)
{
    const unsigned char* t = itRgbColorTable(table);
    return {t[3 * level], t[3 * level + 1], t[3 * level + 2]};
}

std::array<unsigned char, 3> pixel(const cv::Mat& m, int y, int x)
{
    const cv::Vec3b v = m.at<cv::Vec3b>(y, x);
    return {v[0], v[1], v[2]};
}

// One row of 256 grey pixels, level 0 to 255 from the left.
cv::Mat greyRamp()
{
    cv::Mat ramp(1, 256, CV_8UC3);
    for (int x = 0; x < 256; ++x)
        ramp.at<cv::Vec3b>(0, x) = cv::Vec3b(x, x, x);
    return ramp;
}

class Thermal : public ::testing::Test {
protected:
    void SetUp() override { itSetRgbColor(1); }
};

// "X Reversed" (and Black Hot) mirror their source; "X Banded" holds 8 to 16
// flat bands of its source's colours.
TEST_F(Thermal, ReversedAndBandedTablesFollowTheirSource)
{
    std::map<std::string, int> byName;
    for (int n = 1; n <= THERMAL_TABLE_COUNT; ++n)
        byName[itRgbColorName(n)] = n;
    int reversed = 0, banded = 0;
    for (const auto& [name, n] : byName) {
        const size_t space = name.rfind(' ');
        const std::string kind = space == std::string::npos ? "" : name.substr(space + 1);
        const bool mirrors = kind == "Reversed" || name == "Black Hot";
        if (!mirrors && kind != "Banded")
            continue;
        const auto source = byName.find(name == "Black Hot" ? "White Hot" : name.substr(0, space));
        ASSERT_NE(source, byName.end()) << name;
        std::set<std::array<unsigned char, 3>> colours;
        for (int level = 0; level < 256; ++level)
            colours.insert(entry(source->second, level));
        int changes = 0;
        for (int level = 0; level < 256; ++level) {
            if (mirrors) {
                ASSERT_EQ(entry(n, level), entry(source->second, 255 - level)) << name << " level " << level;
            }
            EXPECT_TRUE(colours.count(entry(n, level))) << name << " level " << level;
            changes += level > 0 && entry(n, level) != entry(n, level - 1);
        }
        if (!mirrors) {
            EXPECT_TRUE(changes >= 7 && changes <= 15) << name << ": " << changes;
        }
        (mirrors ? reversed : banded)++;
    }
    EXPECT_GE(reversed, 20);
    EXPECT_GE(banded, 20);
}

// Numbers 1 to the count give tables and names all different; others give
// neither, and selecting one keeps the current table with an error line.
TEST_F(Thermal, TableNumbersGiveDistinctTablesAndOthersAreRefused)
{
    std::set<std::string> names;
    std::set<std::vector<unsigned char>> tables;
    for (int n = 1; n <= THERMAL_TABLE_COUNT; ++n) {
        ASSERT_TRUE(itRgbColorTable(n) && itRgbColorName(n) && *itRgbColorName(n)) << n;
        names.insert(itRgbColorName(n));
        tables.emplace(itRgbColorTable(n), itRgbColorTable(n) + 3 * THERMAL_TABLE_LEVELS);
    }
    EXPECT_EQ(names.size(), size_t(THERMAL_TABLE_COUNT));
    EXPECT_EQ(tables.size(), size_t(THERMAL_TABLE_COUNT));
    itSetRgbColor(5);
    for (int n : {INT_MIN, -1, 0, THERMAL_TABLE_COUNT + 1, INT_MAX}) {
        EXPECT_EQ(itRgbColorTable(n), nullptr) << n;
        EXPECT_EQ(itRgbColorName(n), nullptr) << n;
        testing::internal::CaptureStdout();
        itSetRgbColor(n);
        EXPECT_NE(testing::internal::GetCapturedStdout().find("thermal error ["), std::string::npos) << n;
        EXPECT_EQ(itGetRgbColor(), 5) << n;
    }
    cv::Mat out;
    itGray2RgbAD(greyRamp(), out);
    EXPECT_EQ(pixel(out, 0, 200), entry(5, 200));
}

// Every table colours each pixel, grey or not, by the entry of its luma, on
// a grey ramp between random rows cut from a wider matrix (rows with gaps).
// A separate output takes the fast path, an in-place call the reference loop.
TEST_F(Thermal, EveryTableColoursEachPixelByItsLumaSeparateOrInPlace)
{
    cv::RNG rng(3);
    cv::Mat big(4, 300, CV_8UC3);
    rng.fill(big, cv::RNG::UNIFORM, 0, 256);
    greyRamp().copyTo(big(cv::Rect(10, 2, 256, 1)));
    const cv::Mat picture = big(cv::Rect(10, 1, 256, 3));
    ASSERT_FALSE(picture.isContinuous());
    for (int n = 1; n <= THERMAL_TABLE_COUNT; ++n) {
        itSetRgbColor(n);
        cv::Mat separate, inPlace = picture.clone();
        itGray2RgbAD(picture, separate);
        itGray2RgbAD(inPlace, inPlace);
        ASSERT_TRUE(separate.type() == CV_8UC3 && separate.size() == picture.size());
        ASSERT_EQ(cv::norm(separate, inPlace, cv::NORM_INF), 0.0) << "table " << n;
        for (int y = 0; y < picture.rows; ++y)
            for (int x = 0; x < picture.cols; ++x) {
                const cv::Vec3b p = picture.at<cv::Vec3b>(y, x);
                ASSERT_EQ(pixel(separate, y, x), entry(n, (29 * p[0] + 150 * p[1] + 77 * p[2] + 128) >> 8)) << n << " " << x;
            }
    }
}

// Other types, an empty picture or an unusable output: an error line, an
// empty output, no exception.
TEST_F(Thermal, BadPicturesAndOutputsAreReportedNotThrown)
{
    const std::vector<cv::Mat> wrong = {
        cv::Mat(2, 2, CV_8UC1, cv::Scalar(1)), cv::Mat(2, 2, CV_8UC4, cv::Scalar(1)), cv::Mat(2, 2, CV_16UC3, cv::Scalar(1)),
        cv::Mat(2, 2, CV_32FC3, cv::Scalar(1)), cv::Mat(2, 2, CV_8SC3, cv::Scalar(1)), cv::Mat()};
    for (const cv::Mat& src : wrong) {
        cv::Mat out(3, 3, CV_8UC3, cv::Scalar(9, 9, 9));
        testing::internal::CaptureStdout();
        itGray2RgbAD(src, out);
        EXPECT_NE(testing::internal::GetCapturedStdout().find("thermal error ["), std::string::npos);
        EXPECT_TRUE(out.empty()) << cv::typeToString(src.type());
    }
    cv::Mat_<float> fixedFloat(2, 2, 0.0f);
    for (cv::_OutputArray dst : {cv::_OutputArray(fixedFloat), cv::_OutputArray(cv::noArray())}) {
        testing::internal::CaptureStdout();
        EXPECT_NO_THROW(itGray2RgbAD(greyRamp(), dst));
        EXPECT_NE(testing::internal::GetCapturedStdout().find("thermal error ["), std::string::npos);
    }
}

// The stream thread maps frames while the GUI thread switches tables: every
// frame is coloured by one table from its first pixel to its last.
TEST_F(Thermal, EachFrameIsColouredByOneTableWhileTheSelectionChanges)
{
    cv::Mat frame(192, 256, CV_8UC3);
    for (int y = 0; y < frame.rows; ++y)
        greyRamp().copyTo(frame.row(y));
    std::atomic<bool> done{false};
    std::thread switcher([&] {
        for (int i = 0; !done.load(); ++i)
            itSetRgbColor(1 + i % THERMAL_TABLE_COUNT);
    });
    for (int f = 0; f < 200; ++f) {
        cv::Mat out;
        itGray2RgbAD(frame, out);
        const cv::Mat first = out.row(0);
        int table = 0;
        for (int n = 1; n <= THERMAL_TABLE_COUNT && table == 0; ++n)
            if (std::memcmp(first.data, itRgbColorTable(n), 3 * 256) == 0)
                table = n;
        ASSERT_NE(table, 0);
        for (int y = 1; y < out.rows; ++y)
            ASSERT_EQ(std::memcmp(out.ptr(y), itRgbColorTable(table), 3 * 256), 0) << "frame " << f;
    }
    done = true;
    switcher.join();
}

}  // namespace
