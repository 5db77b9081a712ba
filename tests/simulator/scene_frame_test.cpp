// The scene, its truth and the frames the module makes of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ombrix_sim/module.h"

using namespace ombrix::sim;

namespace {

uint16_t word_at(const std::vector<uint8_t>& frame, int x, int y) {
    const size_t i = kPictureBytes + 2 * size_t(y * kSensorWidth + x);
    return uint16_t(frame[i] | frame[i + 1] << 8);
}

// The picture's automatic gain control: a plateau-limited equalisation.
std::vector<uint8_t> picture_of(const std::vector<uint16_t>& words) {
    std::vector<uint8_t> picture(kPictureBytes);
    render_picture(words.data(), picture.data());
    return picture;
}

}  // namespace

TEST(SimulatorScene, ElementsStayInTheirRangesAndNeverOverlap) {
    Scene scene(7);
    for (int64_t t = 0; t < 120000000; t += 250000) {
        const ElementState body = scene.element(ElementId::Body, t), hot = scene.element(ElementId::Hot, t),
                           cold = scene.element(ElementId::Cold, t);
        EXPECT_TRUE(body.celsius >= 34.0 && body.celsius <= 37.0) << body.celsius;
        for (const ElementState* e : {&body, &hot, &cold})
            EXPECT_TRUE(e->left >= 0 && e->right <= kSensorWidth && e->top >= 0 && e->bottom <= kSensorHeight);
        EXPECT_LT(body.right, hot.left);
        EXPECT_LT(cold.right, body.left);
        const double bg = scene.background_celsius(0, kSensorHeight - 1, t);
        EXPECT_TRUE(bg > 20.0 && bg < 26.0) << bg;
        // The body wanders, by a cell at most between two frames.
        EXPECT_LE(std::abs(scene.element(ElementId::Body, t + 40000).centre_x - body.centre_x), 1.0);
    }
    EXPECT_NE(scene.element(ElementId::Body, 0).centre_x, scene.element(ElementId::Body, 5000000).centre_x);
}

// Every pixel against its definition: an element's temperature inside it,
// else the background, plus the pixel's noise.
TEST(SimulatorScene, RenderEqualsThePixelByPixelDefinition) {
    Scene scene(7);
    std::vector<float> grid(kSensorPixels);
    const int64_t t = 4440000;
    scene.render(t, grid.data());
    for (int y = 0; y < kSensorHeight; ++y)
        for (int x = 0; x < kSensorWidth; ++x) {
            double truth = scene.background_celsius(x, y, t);
            for (int id = kElementCount - 1; id >= 0; --id)
                if (scene.element(ElementId(id), t).contains(x, y)) truth = scene.element(ElementId(id), t).celsius;
            ASSERT_EQ(float(truth + scene.noise(x, y, t)), grid[y * kSensorWidth + x]) << x << "," << y;
        }
    // The same seed and time render the same grid; another seed only other noise.
    Scene same(7), other(8);
    std::vector<float> again(kSensorPixels), noise(kSensorPixels);
    same.render(t, again.data());
    other.render(t, noise.data());
    EXPECT_EQ(grid, again);
    EXPECT_NE(grid, noise);
    for (int i = 0; i < kSensorPixels; ++i) ASSERT_LE(std::abs(grid[i] - noise[i]), 2 * Scene::kDefaultNoise + 1e-4);
}

TEST(SimulatorFrame, LayoutIsPictureThenWords) {
    Module module;
    std::vector<uint8_t> frame, small;
    ASSERT_TRUE(module.produce_frame(384, 40000, frame));
    ASSERT_EQ(196608u, frame.size());
    EXPECT_EQ(40000, module.time_us());
    std::vector<uint16_t> words(kSensorPixels);
    module.temperature_words(words.data());
    const std::vector<uint8_t> picture(frame.begin(), frame.begin() + kPictureBytes);
    EXPECT_EQ(picture_of(words), picture);
    for (int i = 0; i < kSensorPixels; ++i) ASSERT_EQ(words[i], word_at(frame, i % kSensorWidth, i / kSensorWidth));
    const ElementState hot = module.element(ElementId::Hot);
    EXPECT_NEAR(hot.celsius, word_to_celsius(word_at(frame, int(hot.centre_x), int(hot.centre_y))), 0.11);
    ASSERT_TRUE(module.current_frame(192, small));  // the small descriptor carries only the picture
    EXPECT_EQ(picture, small);
    EXPECT_FALSE(module.produce_frame(200, 40000, small));
}


TEST(SimulatorPicture, LowestAndHighestTakeTheEndsAndLumaFollowsTheWord) {
    std::vector<uint16_t> words(kSensorPixels);
    for (int i = 0; i < kSensorPixels; ++i) words[i] = uint16_t(17000 + (i * 7919) % 3000);  // shuffled ramp
    const std::vector<uint8_t> picture = picture_of(words);
    std::vector<int> luma_of_word(65536, -1);
    for (int i = 0; i < kSensorPixels; ++i) {
        int& seen = luma_of_word[words[i]];
        ASSERT_TRUE(seen < 0 || seen == picture[2 * i]) << "word " << words[i];
        seen = picture[2 * i];
        ASSERT_EQ(128, picture[2 * i + 1]);
    }
    EXPECT_EQ((std::vector<int>{0, 255}), (std::vector<int>{luma_of_word[17000], luma_of_word[19999]}));
    for (int w = 17001; w < 20000; ++w) ASSERT_GE(luma_of_word[w], luma_of_word[w - 1]) << w;

    for (int i = 0; i < kSensorPixels; ++i) words[i] = uint16_t(19000 + i % 2);  // two readings only
    const std::vector<uint8_t> two = picture_of(words);
    EXPECT_EQ((std::vector<int>{0, 255}), (std::vector<int>{two[0], two[2]}));
}

TEST(SimulatorPicture, ADominantBandStaysNearTheMiddleAndAFlatSceneIsGrey) {
    // 95 % of the grid at one reading between a few cold and a few hot cells:
    // plain equalisation would push it to the top; the plateau holds it near
    // the middle.
    std::vector<uint16_t> words(kSensorPixels, 19100);
    for (int i = 0; i < kSensorPixels / 40; ++i) {
        words[i] = 19000;
        words[kSensorPixels - 1 - i] = 19200;
    }
    const std::vector<uint8_t> picture = picture_of(words);
    EXPECT_EQ((std::vector<int>{0, 255}), (std::vector<int>{picture[0], picture[kPictureBytes - 2]}));
    EXPECT_TRUE(picture[kPictureBytes / 2] > 96 && picture[kPictureBytes / 2] < 160) << int(picture[kPictureBytes / 2]);

    const std::vector<uint8_t> flat = picture_of(std::vector<uint16_t>(kSensorPixels, 19200));
    EXPECT_EQ((std::vector<int>{128, 128}), (std::vector<int>{flat[0], flat[kPictureBytes - 2]})) << "mid grey";
}

TEST(SimulatorFrame, WordsFollowTheEncoding) {
    for (int word = 0; word <= 65535; ++word) ASSERT_EQ(word, celsius_to_word(word_to_celsius(uint16_t(word))));
    // Against std::round on every half word across the range and just beside each.
    for (int half = -200; half <= 2 * 65536 + 200; ++half) {
        const double exact = half / 128.0 - 273.15;
        for (double c : {std::nextafter(exact, -1e9), exact, std::nextafter(exact, 1e9)}) {
            const double want = std::min(65535.0, std::max(0.0, std::round((c + 273.15) * 64.0)));
            ASSERT_EQ(uint16_t(want), celsius_to_word(c)) << c;
        }
    }
}

// Faults as the module's connector shows them, each for the transfers or
// commands asked (the command suites see their effect through dozazuva).
TEST(SimulatorFaults, TransferFaultsLastTheirCount) {
    Module module;
    module.set_busy_polls(0);
    uint8_t b[8] = {0x0D, 0xC1}, s = 0;  // a flat-field refresh
    std::vector<int> seen;               // transfer results, and the byte each poll read
    auto commit = [&] { seen.push_back(module.control_transfer(0x41, 0x45, 0x78, 0x1D00, b, 8)); };
    auto poll = [&] {
        s = 0xEE;
        seen.push_back(module.control_transfer(0xC1, 0x44, 0x78, 0x0200, &s, 1));
        seen.push_back(s);
    };
    module.set_short_transfers(1);
    commit(), poll();  // the cut command is ignored
    EXPECT_FALSE(module.shutter_active());
    module.set_short_transfers(1);
    poll();
    module.set_transfer_error(-7, 2);
    poll(), poll(), poll();
    module.set_status_error(0x06, 1);
    commit(), poll(), commit(), poll();  // only the one command fails
    EXPECT_EQ((std::vector<int>{7, 1, 0, 0, 0xEE, -7, 0xEE, -7, 0xEE, 1, 0, 8, 1, 0x06, 8, 1, 0}), seen);
    ombrix::sim::WireRecord r;
    ASSERT_TRUE(module.wire_record(0, r));
    EXPECT_EQ(7, r.result);
    EXPECT_EQ(8u, r.data.size());  // the host's bytes as sent
}
