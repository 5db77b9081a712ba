// The stream thread's colour step on the simulated scene, at every rotation.
#include "cameracontroller.h"
#include "framecolouring.h"
#include "globals.h"
#include "picturecolouring.h"
#include "temperaturesnapshot.h"
#include "thermal.h"

#include <ombrix_simulator.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int Width = OMBRIX_SIM_WIDTH;
constexpr int Height = OMBRIX_SIM_HEIGHT;
constexpr int Angles[] = {0, 90, 180, 270};
constexpr rotate_side_t Sides[] = {NO_ROTATE, RIGHT_90D, ROTATE_180D, LEFT_90D};

class PictureColouring : public ::testing::Test {
protected:
    void SetUp() override
    {
        ombrix_sim_reset();
        ombrix_sim_freeze_time(1);
        ombrix_sim_set_noise(0);
        ombrix_sim_temperature_words(words.data(), words.size());
        info.temp_frame = reinterpret_cast<u8*>(words.data());
        info.temp_frame_size = Width * Height * 2;
        info.temp_info.width = Width;
        info.temp_info.height = Height;
        g_palette = 1;
    }

    cv::Mat colour(int turn, const reading::ScaleSettings& settings)
    {
        reading::ScaleSettings::setCurrent(settings);
        info.image_info.rotate = Sides[turn];
        return colour_frame(&info);
    }

    std::vector<uint16_t> words = std::vector<uint16_t>(size_t(Width) * Height);
    stream_frame_info_t info = {};
};

cv::Vec3b paletteEntry(int level)
{
    const unsigned char* e = itRgbColorTable(2) + 3 * level;
    return {e[0], e[1], e[2]};
}

TEST_F(PictureColouring, SpanGivesEachElementThePaletteEntryOfItsTemperature)
{
    reading::ScaleSettings span;
    span.manualSpan = true;
    span.lowCelsius = 0;
    span.highCelsius = 100;
    for (int turn = 0; turn < 4; ++turn) {
        const cv::Mat picture = colour(turn, span);
        ASSERT_EQ(picture.size(), turn % 2 ? cv::Size(Height, Width) : cv::Size(Width, Height));
        for (int element : {OMBRIX_SIM_HOT, OMBRIX_SIM_BODY, OMBRIX_SIM_COLD}) {
            ombrix_sim_element e = {};
            ombrix_sim_element_get(element, &e);
            const int x = int(e.centre_x), y = int(e.centre_y);
            const cv::Point at[] = {{x, y}, {Height - 1 - y, x}, {Width - 1 - x, Height - 1 - y}, {y, Width - 1 - x}};
            const int level = int(std::lround(ombrix_sim_reading_celsius(e.celsius) * 2.55));
            const cv::Vec3b got = picture.at<cv::Vec3b>(at[turn]);
            EXPECT_TRUE(got == paletteEntry(level) || got == paletteEntry(level - 1) || got == paletteEntry(level + 1))
                << "element " << element << " at " << Angles[turn] << " degrees, level " << level;
        }
    }
}

// Painted pixels against a scan of the snapshot's own turned copies.
TEST_F(PictureColouring, IsothermCoversExactlyThePixelsBeyondTheThreshold)
{
    std::vector<float> celsius(words.size());
    for (size_t i = 0; i < words.size(); ++i)
        celsius[i] = raw_to_celsius(words[i]);
    ASSERT_TRUE(TemperatureSnapshot::instance().store(celsius.data(), int(celsius.size())));
    reading::ScaleSettings settings;
    settings.manualSpan = true;
    // A temperature some pixels have exactly: they are not beyond it.
    const float threshold = raw_to_celsius(words[words.size() / 2 + Width / 2]);
    settings.thresholdCelsius = threshold;
    const cv::Vec3b mark = reading::contrastingColour(2);
    for (reading::Isotherm mode : {reading::Isotherm::Above, reading::Isotherm::Below}) {
        settings.isotherm = mode;
        for (int turn = 0; turn < 4; ++turn) {
            const cv::Mat picture = colour(turn, settings);
            const TemperatureSnapshot::Reader reader;
            const float* values = reader.copyFor(Angles[turn]).values;
            int painted = 0, atThreshold = 0;
            for (int i = 0; i < TemperatureSnapshot::ValueCount; ++i) {
                const bool beyond = mode == reading::Isotherm::Above ? values[i] > threshold : values[i] < threshold;
                const bool marked = picture.at<cv::Vec3b>(i / picture.cols, i % picture.cols) == mark;
                ASSERT_EQ(marked, beyond) << "pixel " << i << " at " << Angles[turn] << " degrees";
                painted += marked;
                atThreshold += values[i] == threshold;
            }
            EXPECT_GT(painted, 0);
            EXPECT_GT(atThreshold, 0);
        }
    }
}

TEST_F(PictureColouring, RefusesWhatItCannotColour)
{
    reading::ScaleSettings settings;
    settings.manualSpan = true;
    settings.isotherm = reading::Isotherm::Above;
    cv::Mat out;
    EXPECT_FALSE(reading::colourBySpan(nullptr, Width, Height, 0, settings, 2, out));
    EXPECT_FALSE(reading::colourBySpan(words.data(), 0, Height, 0, settings, 2, out));
    EXPECT_TRUE(out.empty());
    cv::Mat wrongSize(Width, Width, CV_8UC3, cv::Scalar::all(0));
    EXPECT_FALSE(reading::paintIsotherm(wrongSize, words.data(), Width, Height, 0, reading::Isotherm::Below, 65535,
                                        reading::contrastingColour(2)));
    EXPECT_EQ(cv::countNonZero(wrongSize.reshape(1)), 0);
    EXPECT_TRUE(colour_frame(nullptr).empty());
}

}  // namespace
