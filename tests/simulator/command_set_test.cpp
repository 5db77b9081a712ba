// What the module's commands do, spoken through the register protocol.
#include <cmath>
#include <cstring>
#include <string>

#include "model_fixture.h"

using ombrix::sim::celsius_to_word;
using ombrix::sim::ElementId;
using ombrix::sim::kSensorPixels;
using ombrix::sim::kSensorWidth;
using ombrix::sim::PropertyTable;

namespace {

uint32_t point(int x, int y) { return uint32_t(x) << 16 | uint32_t(y); }

}  // namespace

class SimulatorCommands : public ModelTest {
protected:
    void SetUp() override {
        module.set_busy_polls(0);
        module.set_noise(0);
    }
    std::vector<uint16_t> words() {
        std::vector<uint16_t> w(kSensorPixels);
        module.temperature_words(w.data());
        return w;
    }
    std::vector<uint16_t> long_words(uint8_t code, uint32_t p2, uint32_t p3, uint32_t length) {
        std::vector<uint8_t> r(length);
        EXPECT_EQ(0, host.long_read(0x11, code, 0, p2, p3, length, r.data()));
        std::vector<uint16_t> out;
        for (size_t i = 0; i + 1 < length; i += 2) out.push_back(host::be16(&r[i]));
        return out;
    }
};

// Each write either stores its value (read back whole) or is refused and
// leaves the property as it was.
TEST_F(SimulatorCommands, TemperaturePropertiesKeepTheirLimits) {
    struct Case { uint16_t index, value; bool stored; };
    const Case cases[] = {
        {0, 32767, true}, {0, 32768, false}, {3, 127, true}, {3, 128, false}, {5, 0, true}, {5, 2, false},
        {6, 1, false}, {9, 1, false}, {16, 1, false}, {1, 4321, true}, {15, 65535, true},
    };
    for (const Case& c : cases) {
        uint16_t before = 0, after = 0;
        const bool readable = host.get_tpd(c.index, before) == 0;
        EXPECT_EQ(c.stored ? 0 : host::kStatus, host.set_tpd(c.index, c.value)) << c.index << "=" << c.value;
        EXPECT_EQ(readable, host.get_tpd(c.index, after) == 0) << c.index;
        if (readable) EXPECT_EQ(c.stored ? c.value : before, after) << c.index << "=" << c.value;
    }
}

TEST_F(SimulatorCommands, PseudoColourIsStoredPerSlotAndDefaultsRestored) {
    const uint8_t seven = 7;
    uint8_t r[2];
    ASSERT_EQ(0, host.standard_write(0x09, 0xC4, 0x02000000, &seven, 1));
    ASSERT_EQ(0, host.standard_read(0x09, 0x84, 0x02000000, 1, r));
    ASSERT_EQ(0, host.standard_read(0x09, 0x84, 0, 1, r + 1));
    EXPECT_EQ(7, r[0]);
    EXPECT_EQ(0, r[1]) << "slot 0 keeps its own colour";
    const uint8_t colour = 5;
    ASSERT_EQ(0, host.set_tpd(5, 0));
    ASSERT_EQ(0, host.set_tpd(2, 99));
    ASSERT_EQ(0, host.long_write(0x14, 0xC3, 1, 50));
    ASSERT_EQ(0, host.standard_write(0x09, 0xC4, 0, &colour, 1));
    ASSERT_EQ(0, host.standard_action(0x01, 0x0E));
    EXPECT_EQ(1, module.property(PropertyTable::Tpd, 5));
    EXPECT_EQ(0, module.property(PropertyTable::Tpd, 2));
    EXPECT_EQ(0, module.property(PropertyTable::Image, 1));
    EXPECT_EQ(0, module.pseudo_color(0));
}

TEST_F(SimulatorCommands, FlashBehavesLikeNor) {
    const uint8_t a[4] = {0xF0, 0xF0, 0x0F, 0xFF}, b[4] = {0xCC, 0xCC, 0xCC, 0xCC};
    ASSERT_EQ(0, host.standard_write(0x01, 0xC2, 0x5000, a, 4));
    ASSERT_EQ(0, host.standard_write(0x01, 0xC2, 0x5000, b, 4));  // a write only clears bits
    uint8_t r[4];
    ASSERT_EQ(0, host.standard_read(0x01, 0x82, 0x5000, 4, r));
    EXPECT_EQ((std::vector<uint8_t>{0xC0, 0xC0, 0x0C, 0xCC}), std::vector<uint8_t>(r, r + 4));
    ASSERT_EQ(0, host.standard_action(0x01, 0x08, 0x5800, 1));  // erases the sector holding 0x5800
    ASSERT_EQ(0, host.standard_read(0x01, 0x82, 0x5000, 4, r));
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}), std::vector<uint8_t>(r, r + 4));
    uint8_t id[6];
    ASSERT_EQ(0, host.standard_read(0x01, 0x81, 0, 6, id));
    EXPECT_EQ(0x18, id[2]);  // 2^24 bytes
    EXPECT_EQ(host::kStatus, host.standard_read(0x01, 0x82, 0x00FFFFFE, 4, r));  // past the end
}

TEST_F(SimulatorCommands, SectorEraseTakesOneToEightSectors) {
    const uint8_t zero = 0;
    for (uint32_t s = 0; s <= 22; ++s) ASSERT_EQ(0, host.standard_write(0x01, 0xC2, s * 4096, &zero, 1));
    // spi_erase_sector(0x1000, 20) as the command set splits it
    ASSERT_EQ(0, host.standard_action(0x01, 0x08, 0x1000, 8));
    ASSERT_EQ(0, host.standard_action(0x01, 0x08, 0x9000, 8));
    ASSERT_EQ(0, host.standard_action(0x01, 0x08, 0x11000, 4));
    for (uint32_t s = 0; s <= 22; ++s) {
        uint8_t b;
        ASSERT_TRUE(module.flash_read(s * 4096, &b, 1));
        EXPECT_EQ(s >= 1 && s <= 20 ? 0xFF : 0x00, b) << "sector " << s;
    }
    EXPECT_EQ(host::kStatus, host.standard_action(0x01, 0x08, 0x1000, 9));
    EXPECT_EQ(host::kStatus, host.standard_action(0x01, 0x08, 0x1000, 0));
}

TEST_F(SimulatorCommands, ArgumentChecksOfTheModule) {
    EXPECT_EQ(host::kStatus, host.standard_action(0x0D, 0x0E, 0x03000000));  // zoom 3
    EXPECT_EQ(0, host.standard_action(0x0D, 0x0E, 0x04000000));
    const uint8_t t[2] = {0x00, 0x10};
    EXPECT_EQ(0, host.standard_write(0x0E, 0xC5, 0x01000000, t, 2));
    EXPECT_EQ(host::kStatus, host.standard_write(0x0E, 0xC5, 0x02000000, t, 2));
    EXPECT_EQ(0, host.long_write(0x11, 0x0F, 0xFF0B, point(10, 10)));  // point mark 11
    EXPECT_EQ(host::kStatus, host.long_write(0x11, 0x0F, 0xFF0C, point(10, 10)));
    EXPECT_EQ(host::kStatus, host.long_write(0x13, 0x01, 0, 256, 0));  // a pixel off the sensor
    EXPECT_EQ(0, host.long_write(0x13, 0x01, 0, 255, 191));
}

// Readouts against a plain scan of the shown grid: rectangles given either
// way round (max, min, mean and where the extremes are), the whole grid, a
// point, and a point off the sensor.
TEST_F(SimulatorCommands, ReadoutsMatchAPlainScanOfTheGrid) {
    module.set_noise(0.3);
    const auto w = words();
    const auto hot = module.element(ElementId::Hot);
    struct Rect { int x0, y0, x1, y1; };
    const Rect rects[] = {{hot.left - 4, hot.top, hot.left + 3, hot.top}, {hot.right - 1, hot.bottom - 1, hot.left - 3, 5},
                          {10, 10, 10, 10}, {0, 0, 255, 191}};
    for (const Rect& r : rects) {
        int max = 0, min = 65535;
        double sum = 0, count = 0;
        for (int y = std::min(r.y0, r.y1); y <= std::max(r.y0, r.y1); ++y)
            for (int x = std::min(r.x0, r.x1); x <= std::max(r.x0, r.x1); ++x, ++count) {
                const int v = w[y * kSensorWidth + x];
                max = std::max(max, v), min = std::min(min, v), sum += v;
            }
        const auto got = long_words(0x8C, point(r.x0, r.y0), point(r.x1, r.y1), 14);
        EXPECT_EQ(max, got[0]) << r.x0 << "," << r.y0;
        EXPECT_EQ(min, got[1]) << r.x0 << "," << r.y0;
        EXPECT_NEAR(sum / count, got[2], 0.5) << r.x0 << "," << r.y0;
        EXPECT_EQ(max, w[got[4] * kSensorWidth + got[3]]) << r.x0 << "," << r.y0;
        EXPECT_EQ(min, w[got[6] * kSensorWidth + got[5]]) << r.x0 << "," << r.y0;
        if (r.x0 == 0) {  // the whole grid has readouts of its own
            const auto whole = long_words(0x83, 0, 0, 12);
            EXPECT_EQ(max, whole[0]);
            EXPECT_EQ(min, whole[1]);
            EXPECT_EQ(max, w[whole[3] * kSensorWidth + whole[2]]);
            EXPECT_EQ(min, w[whole[5] * kSensorWidth + whole[4]]);
            EXPECT_EQ(max, long_words(0x81, 0, 0, 2)[0]);
            EXPECT_EQ(min, long_words(0x82, 0, 0, 2)[0]);
        }
    }
    const auto spot = long_words(0x86, point(hot.left + 1, hot.top + 2), 0, 12);
    EXPECT_EQ((std::vector<uint16_t>{w[(hot.top + 2) * kSensorWidth + hot.left + 1], uint16_t(hot.left + 1),
                                     uint16_t(hot.top + 2), 0, 0, 0}),
              spot);
    std::vector<uint8_t> r(12);
    EXPECT_EQ(host::kStatus, host.long_read(0x11, 0x86, 0, point(256, 0), 0, 12, r.data()));
}

TEST_F(SimulatorCommands, GainSelectsTheRange) {
    module.set_element_celsius(ElementId::Hot, 300.0);
    const auto hot = module.element(ElementId::Hot);
    const int at = int(hot.centre_y) * kSensorWidth + int(hot.centre_x);
    EXPECT_EQ(celsius_to_word(150.0), words()[at]);  // the normal range saturates
    ASSERT_EQ(0, host.set_tpd(5, 0));
    EXPECT_EQ(celsius_to_word(300.0), words()[at]);
    module.set_element_celsius(ElementId::Hot, 800.0);
    EXPECT_EQ(celsius_to_word(550.0), words()[at]);
    // Cold readings are the same in both ranges.
    const auto cold = module.element(ElementId::Cold);
    EXPECT_EQ(celsius_to_word(5.0), words()[int(cold.centre_y) * kSensorWidth + int(cold.centre_x)]);
}

TEST_F(SimulatorCommands, EmissivityCorrectsTheReading) {
    const auto hot = module.element(ElementId::Hot);
    const int at = int(hot.centre_y) * kSensorWidth + int(hot.centre_x);
    const uint16_t at_scene_emissivity = words()[at];
    EXPECT_EQ(celsius_to_word(80.0), at_scene_emissivity);
    ASSERT_EQ(0, host.set_tpd(3, 64));  // told the surface is greyer than it is
    EXPECT_GT(words()[at], at_scene_emissivity + 64 * 10);
    ASSERT_EQ(0, host.set_tpd(3, 127));
    EXPECT_LT(words()[at], at_scene_emissivity);
    EXPECT_NEAR(module.reading_celsius(80.0), ombrix::sim::word_to_celsius(words()[at]), 1 / 128.0);
}

TEST_F(SimulatorCommands, FlatFieldRefreshHoldsThePictureBriefly) {
    std::vector<uint8_t> before, frame;
    ASSERT_TRUE(module.produce_frame(384, 40000, before));
    ASSERT_EQ(0, host.standard_action(0x0D, 0xC1));
    EXPECT_TRUE(module.shutter_active());
    int held = 0;
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(module.produce_frame(384, 40000, frame));
        if (frame != before) break;
        ++held;
    }
    EXPECT_EQ(7, held);  // 320 ms at 25 frames a second
    EXPECT_FALSE(module.shutter_active());
}

TEST_F(SimulatorCommands, PowerCycleForgetsSettingsButKeepsFlash) {
    const uint8_t zero = 0;
    ASSERT_EQ(0, host.set_tpd(5, 0));
    ASSERT_EQ(0, host.standard_write(0x01, 0xC2, 0x7000, &zero, 1));
    module.set_powered(false);
    uint16_t v;
    EXPECT_EQ(-4, host.get_tpd(5, v));
    std::vector<uint8_t> frame;
    EXPECT_FALSE(module.produce_frame(384, 40000, frame));
    module.set_powered(true);
    ASSERT_EQ(0, host.get_tpd(5, v));
    EXPECT_EQ(1, v);
    uint8_t b = 0xFF;
    ASSERT_TRUE(module.flash_read(0x7000, &b, 1));
    EXPECT_EQ(0, b);
}
