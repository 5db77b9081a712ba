#include "thermal.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <climits>
#include <cstring>
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

int tableNamed(const std::string& name)
{
    for (int n = 1; n <= THERMAL_TABLE_COUNT; ++n)
        if (name == itRgbColorName(n))
            return n;
    return 0;
}

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() > tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class Thermal : public ::testing::Test {
protected:
    void SetUp() override { itSetRgbColor(1); }
};

// ---- The tables ----------------------------------------------------------

TEST_F(Thermal, TablesAreAllDifferentAndNamedUniquely)
{
    std::set<std::string> names;
    for (int a = 1; a <= THERMAL_TABLE_COUNT; ++a) {
        ASSERT_NE(itRgbColorTable(a), nullptr) << a;
        ASSERT_NE(itRgbColorName(a), nullptr) << a;
        EXPECT_GT(std::strlen(itRgbColorName(a)), 0u) << a;
        names.insert(itRgbColorName(a));
        for (int b = a + 1; b <= THERMAL_TABLE_COUNT; ++b)
            EXPECT_NE(std::memcmp(itRgbColorTable(a), itRgbColorTable(b), 3 * THERMAL_TABLE_LEVELS), 0)
                << itRgbColorName(a) << " equals " << itRgbColorName(b);
    }
    EXPECT_EQ(names.size(), size_t(THERMAL_TABLE_COUNT));
}

TEST_F(Thermal, ReversedTablesMirrorTheirSource)
{
    int pairs = 0;
    auto checkPair = [&](int reversed, int source) {
        ASSERT_NE(source, 0) << itRgbColorName(reversed);
        for (int level = 0; level < 256; ++level)
            ASSERT_EQ(entry(reversed, level), entry(source, 255 - level))
                << itRgbColorName(reversed) << " level " << level;
        ++pairs;
    };
    checkPair(tableNamed("Black Hot"), tableNamed("White Hot"));
    const std::string tail = " Reversed";
    for (int n = 1; n <= THERMAL_TABLE_COUNT; ++n) {
        const std::string name = itRgbColorName(n);
        if (endsWith(name, tail))
            checkPair(n, tableNamed(name.substr(0, name.size() - tail.size())));
    }
    EXPECT_GE(pairs, 20);
}

TEST_F(Thermal, BandedTablesAreFlatBandsOfTheirSourceColours)
{
    int banded = 0;
    const std::string tail = " Banded";
    for (int n = 1; n <= THERMAL_TABLE_COUNT; ++n) {
        const std::string name = itRgbColorName(n);
        if (!endsWith(name, tail))
            continue;
        const int source = tableNamed(name.substr(0, name.size() - tail.size()));
        ASSERT_NE(source, 0) << name;
        std::set<std::array<unsigned char, 3>> sourceColours;
        for (int level = 0; level < 256; ++level)
            sourceColours.insert(entry(source, level));
        int changes = 0;
        for (int level = 0; level < 256; ++level) {
            EXPECT_TRUE(sourceColours.count(entry(n, level))) << name << " level " << level;
            if (level > 0 && entry(n, level) != entry(n, level - 1))
                ++changes;
        }
        EXPECT_GE(changes, 7) << name;
        EXPECT_LE(changes, 15) << name;
        ++banded;
    }
    EXPECT_GE(banded, 20);
}

TEST_F(Thermal, OutOfRangeNumbersHaveNoTableOrName)
{
    for (int n : {INT_MIN, -1, 0, THERMAL_TABLE_COUNT + 1, INT_MAX}) {
        EXPECT_EQ(itRgbColorTable(n), nullptr) << n;
        EXPECT_EQ(itRgbColorName(n), nullptr) << n;
    }
}

// ---- Selection -------------------------------------------------------------

TEST_F(Thermal, OutOfRangeSelectionKeepsTheCurrentTableAndSaysSo)
{
    itSetRgbColor(5);
    for (int n : {0, THERMAL_TABLE_COUNT + 1, -1, INT_MIN, INT_MAX}) {
        testing::internal::CaptureStdout();
        itSetRgbColor(n);
        const std::string log = testing::internal::GetCapturedStdout();
        EXPECT_EQ(itGetRgbColor(), 5) << n;
        EXPECT_NE(log.find("thermal error ["), std::string::npos) << log;
        EXPECT_NE(log.find("keeping table 5"), std::string::npos) << log;
    }
    cv::Mat out;
    itGray2RgbAD(greyRamp(), out);
    EXPECT_EQ(pixel(out, 0, 200), entry(5, 200));
}

// ---- Mapping ---------------------------------------------------------------

TEST_F(Thermal, GreyRampMapsToEveryEntryOfEveryTable)
{
    const cv::Mat ramp = greyRamp();
    for (int n = 1; n <= THERMAL_TABLE_COUNT; ++n) {
        itSetRgbColor(n);
        cv::Mat out;
        itGray2RgbAD(ramp, out);
        ASSERT_EQ(out.type(), CV_8UC3);
        ASSERT_EQ(out.size(), ramp.size());
        for (int level = 0; level < 256; ++level)
            ASSERT_EQ(pixel(out, 0, level), entry(n, level)) << itRgbColorName(n) << " level " << level;
    }
}

TEST_F(Thermal, SubMatrixWithRowGapsIsMappedRowByRow)
{
    cv::Mat big(4, 300, CV_8UC3, cv::Scalar(7, 7, 7));
    greyRamp().copyTo(big(cv::Rect(10, 2, 256, 1)));
    const cv::Mat roi = big(cv::Rect(10, 1, 256, 2));
    ASSERT_FALSE(roi.isContinuous());
    itSetRgbColor(29);
    cv::Mat out;
    itGray2RgbAD(roi, out);
    ASSERT_EQ(out.size(), cv::Size(256, 2));
    for (int x = 0; x < 256; ++x) {
        EXPECT_EQ(pixel(out, 0, x), entry(29, 7));
        EXPECT_EQ(pixel(out, 1, x), entry(29, x));
    }
}

// A separate output takes the fast path, an in-place call the reference
// loop; on any picture they must agree bit for bit.
TEST_F(Thermal, SeparateAndInPlaceMappingsAgreeOnEveryPicture)
{
    cv::RNG rng(3);
    for (const cv::Size size : {cv::Size(256, 192), cv::Size(1, 5), cv::Size(2, 1), cv::Size(37, 3)}) {
        cv::Mat picture(size, CV_8UC3);
        rng.fill(picture, cv::RNG::UNIFORM, 0, 256);
        for (int y = 0; y < size.height; y += 2)  // every other row grey, as the camera sends
            for (int x = 0; x < size.width; ++x) {
                const uchar v = picture.at<cv::Vec3b>(y, x)[1];
                picture.at<cv::Vec3b>(y, x) = cv::Vec3b(v, v, v);
            }
        for (int n : {1, 2, 29, 83}) {
            itSetRgbColor(n);
            cv::Mat separate;
            itGray2RgbAD(picture, separate);
            cv::Mat inPlace = picture.clone();
            itGray2RgbAD(inPlace, inPlace);
            ASSERT_EQ(cv::norm(separate, inPlace, cv::NORM_INF), 0.0) << size << " table " << n;
            const cv::Vec3b p = picture.at<cv::Vec3b>(size.height - 1, size.width - 1);
            const int luma = (29 * p[0] + 150 * p[1] + 77 * p[2] + 128) >> 8;
            EXPECT_EQ(pixel(separate, size.height - 1, size.width - 1), entry(n, luma));
        }
    }
}

TEST_F(Thermal, OtherTypesAreRejectedWithAnEmptyOutput)
{
    const std::vector<cv::Mat> wrong = {
        cv::Mat(2, 2, CV_8UC1, cv::Scalar(1)),  cv::Mat(2, 2, CV_8UC4, cv::Scalar(1)),
        cv::Mat(2, 2, CV_16UC3, cv::Scalar(1)), cv::Mat(2, 2, CV_32FC3, cv::Scalar(1)),
        cv::Mat(2, 2, CV_8SC3, cv::Scalar(1)),  cv::Mat()};
    for (const cv::Mat& src : wrong) {
        cv::Mat out(3, 3, CV_8UC3, cv::Scalar(9, 9, 9));
        testing::internal::CaptureStdout();
        itGray2RgbAD(src, out);
        const std::string log = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(out.empty()) << cv::typeToString(src.type());
        EXPECT_NE(log.find("thermal error ["), std::string::npos) << log;
    }
}

TEST_F(Thermal, UnusableOutputIsReportedNotThrown)
{
    cv::Mat_<float> fixedFloat(2, 2, 0.0f);
    testing::internal::CaptureStdout();
    EXPECT_NO_THROW(itGray2RgbAD(greyRamp(), fixedFloat));
    EXPECT_NO_THROW(itGray2RgbAD(greyRamp(), cv::noArray()));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("cannot make the output matrix"), std::string::npos) << log;
    EXPECT_NE(log.find("no output matrix"), std::string::npos) << log;
}

// ---- Threads ---------------------------------------------------------------

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
