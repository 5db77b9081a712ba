// The simulated module's register protocol and command set, spoken through
// dozazuva's transport (which frames commands without checking their
// arguments) and, for what no host would send, straight to the module.
#include "../dozazuva/sim_fixture.h"

#include <algorithm>

using namespace dztest;

namespace {

std::vector<uint8_t> pattern(size_t n, uint8_t seed)
{
    std::vector<uint8_t> v(n);
    std::generate(v.begin(), v.end(), [&] { return seed += 7; });
    return v;
}

class ModuleTest : public OpenCameraTest {
protected:
    void SetUp() override
    {
        OpenCameraTest::SetUp();
        ombrix_sim_set_busy_polls(0);
        ombrix_sim_set_noise(0);
    }
    // A committing (or staged, by address) register write; -16 when the module refuses.
    static int write(uint16_t address, const uint8_t* data, uint16_t length)
    {
        return i2c_usb_data_write(0x45, 0x78, address, length, const_cast<uint8_t*>(data));
    }
    static int set_tpd(uint16_t index, uint16_t value)
    {
        uint8_t header[16] = {0x14, 0xC5};
        return long_cmd_write(header, index, value, 0, 0);
    }
    static int get_tpd(uint16_t index, uint16_t& value)
    {
        uint8_t header[16] = {0x14, 0x85}, reply[2] = {};
        const int result = long_cmd_read(header, index, 0, 0, 2, reply);
        value = uint16_t(reply[0] << 8 | reply[1]);
        return result;
    }
    static uint8_t flash_byte(uint32_t address)
    {
        uint8_t b = 0x5A;
        EXPECT_EQ(0, ombrix_sim_flash_read(address, &b, 1));
        return b;
    }
    static std::vector<uint16_t> words()
    {
        std::vector<uint16_t> w(OMBRIX_SIM_WIDTH * OMBRIX_SIM_HEIGHT);
        EXPECT_EQ(0, ombrix_sim_temperature_words(w.data(), w.size()));
        return w;
    }
    static ombrix_sim_element element(int id)
    {
        ombrix_sim_element e{};
        EXPECT_EQ(0, ombrix_sim_element_get(id, &e));
        return e;
    }
};

TEST_F(ModuleTest, StagedWritesOnlyBufferTheBytes)
{
    const uint8_t header[8] = {0x01, 0x0E};  // restore defaults
    ASSERT_EQ(0, set_tpd(1, 77));
    ASSERT_EQ(0, write(0x9D00, header, 8));
    uint8_t status = 0xEE;
    ASSERT_EQ(1, ombrix_sim_control_transfer(0xC1, 0x44, 0x78, 0x0200, &status, 1));
    EXPECT_EQ(0x00, status) << "nothing started, no busy phase";
    EXPECT_EQ(77, ombrix_sim_tpd_property(1));
    ASSERT_EQ(0, write(0x1D00, header, 8));  // the same header committing acts
    EXPECT_EQ(0, ombrix_sim_tpd_property(1));
}

TEST_F(ModuleTest, AnythingButTheVendorRegistersStalls)
{
    struct Case { uint8_t type, request; uint16_t value, index, length; int result; };
    const Case cases[] = {
        {0xC1, 0x44, 0x78, 0x1C00, 1, -9},   // below the window
        {0xC1, 0x44, 0x78, 0x1E04, 8, -9},   // runs past it
        {0x41, 0x45, 0x78, 0x9E04, 5, -9},   // a write one byte past it
        {0x41, 0x45, 0x78, 0x9E04, 4, 4},    // the last bytes of it
        {0xC1, 0x44, 0x78, 0x9D08, 1, -9},   // reads have no staged side
        {0x41, 0x45, 0x78, 0x0200, 1, -9},   // the status is read-only
        {0xC1, 0x44, 0x79, 0x0200, 1, -9},   // wrong value
        {0xC1, 0x45, 0x78, 0x0200, 1, -9},   // write request, read direction
        {0x80, 0x06, 0x0100, 0, 8, -9},     // a standard request is not the module's
    };
    uint8_t b[8] = {};
    for (const Case& c : cases)
        EXPECT_EQ(c.result, ombrix_sim_control_transfer(c.type, c.request, c.value, c.index, b, c.length))
            << std::hex << c.index;
    EXPECT_EQ(-2, ombrix_sim_control_transfer(0xC1, 0x44, 0x78, 0x0200, nullptr, 1));
}

// Writes of 300 (two chunks), 100 (staged pieces and a commit) and 5 bytes
// (committed at once) land whole and read back in 256-byte chunks.
TEST_F(ModuleTest, StandardWritesAndReadsOfEverySizeLandWhole)
{
    for (auto [address, bytes] : {std::pair<uint32_t, uint16_t>{0x2000, 300}, {0x3000, 100}, {0x10, 5}}) {
        std::vector<uint8_t> data = pattern(bytes, uint8_t(bytes)), back(bytes), flash(bytes);
        ASSERT_EQ(0, spi_write(address, bytes, data.data()));
        ASSERT_EQ(0, spi_read(address, bytes, back.data()));
        ASSERT_EQ(0, ombrix_sim_flash_read(address, flash.data(), bytes));
        EXPECT_EQ(data, back) << bytes;
        EXPECT_EQ(data, flash) << bytes;
    }
}

// A 100-byte chunk whose staged pieces leave a hole before the committing piece.
TEST_F(ModuleTest, AChunkWithAMissingPieceIsRefused)
{
    struct Piece { uint16_t at, length; };
    struct Case { std::vector<Piece> staged; Piece commit; };
    const Case cases[] = {
        {{{0, 64}}, {92, 8}},             // the piece at 64 never comes
        {{{0, 64}, {72, 20}}, {64, 36}},  // a staged piece leaves 64..72 out
        {{{0, 64}, {72, 8}}, {72, 28}},   // ... and the commit follows the staged bytes' count
    };
    const auto data = pattern(100, 1);
    const uint8_t header[8] = {0x01, 0xC2, 0x00, 0x00, 0x40, 0x00, 0x00, 100};
    for (const Case& c : cases) {
        ASSERT_EQ(0, write(0x9D00, header, 8));
        for (const Piece& p : c.staged)
            ASSERT_EQ(0, write(0x9D08 + p.at, data.data() + p.at, p.length));
        EXPECT_EQ(-16, write(0x1D08 + c.commit.at, data.data() + c.commit.at, c.commit.length));
        EXPECT_EQ(0xFF, flash_byte(0x4000));
    }
}

TEST_F(ModuleTest, LongRepliesOver248AndLongHeadersAtTheHeaderAddressAreRefused)
{
    uint8_t header[16] = {0x11, 0x83}, reply[248];
    EXPECT_EQ(0, long_cmd_read(header, 0, 0, 0, 248, reply));
    header[15] = 249;
    ASSERT_EQ(0, write(0x9D00, header, 8));
    EXPECT_EQ(-16, write(0x1D08, header + 8, 8));
    const uint8_t tpd[8] = {0x14, 0x85, 0x00, 0x05};
    EXPECT_EQ(-16, write(0x1D00, tpd, 8));
}



// Each write either stores its value (read back whole) or is refused and
// leaves the property as it was.
TEST_F(ModuleTest, TemperaturePropertiesKeepTheirLimits)
{
    struct Case { uint16_t index, value; bool stored; };
    const Case cases[] = {
        {0, 32767, true}, {0, 32768, false}, {3, 127, true}, {3, 128, false}, {5, 0, true}, {5, 2, false},
        {6, 1, false}, {9, 1, false}, {16, 1, false}, {1, 4321, true}, {15, 65535, true},
    };
    for (const Case& c : cases) {
        uint16_t before = 0, after = 0;
        const bool readable = get_tpd(c.index, before) == 0;
        EXPECT_EQ(c.stored ? 0 : -16, set_tpd(c.index, c.value)) << c.index << "=" << c.value;
        EXPECT_EQ(readable, get_tpd(c.index, after) == 0) << c.index;
        EXPECT_EQ(readable ? (c.stored ? c.value : before) : after, after) << c.index << "=" << c.value;
    }
}

// A restore brings the settings back to their defaults, and so does a power
// cycle, which keeps the flash.
TEST_F(ModuleTest, SettingsComeBackToDefaultsButFlashStays)
{
    uint8_t colour[3] = {}, zero = 0;
    uint16_t image = 1, gain = 7;
    ASSERT_EQ(0, pseudo_color_set(2, 7));
    ASSERT_EQ(0, pseudo_color_get(2, colour));
    ASSERT_EQ(0, pseudo_color_get(0, colour + 1));
    ASSERT_EQ(0, set_prop_tpd_params(TPD_PROP_GAIN_SEL, 0));
    ASSERT_EQ(0, set_prop_image_params(1, 50));
    ASSERT_EQ(0, restore_default_cfg(0));
    ASSERT_EQ(0, get_prop_image_params(1, &image));
    ASSERT_EQ(0, pseudo_color_get(2, colour + 2));
    EXPECT_EQ((std::vector<int>{7, 0, 1, 0, 0}),
              (std::vector<int>{colour[0], colour[1], ombrix_sim_tpd_property(5), image, colour[2]}));

    ASSERT_EQ(0, set_prop_tpd_params(TPD_PROP_GAIN_SEL, 0));
    ASSERT_EQ(0, spi_write(0x7000, 1, &zero));
    ASSERT_EQ(0, ombrix_sim_unplug());
    EXPECT_EQ(-15, get_tpd(5, gain));
    std::vector<uint8_t> frame(OMBRIX_SIM_FRAME_BYTES);
    EXPECT_EQ(0, ombrix_sim_produce_frame(384, frame.data(), frame.size()));
    ASSERT_EQ(0, ombrix_sim_plug());
    EXPECT_EQ(1, ombrix_sim_tpd_property(5));
    EXPECT_EQ(0, flash_byte(0x7000));
}

TEST_F(ModuleTest, FlashBehavesLikeNor)
{
    uint8_t a[4] = {0xF0, 0xF0, 0x0F, 0xFF}, b[4] = {0xCC, 0xCC, 0xCC, 0xCC}, r[4];
    ASSERT_EQ(0, spi_write(0x5000, 4, a));
    ASSERT_EQ(0, spi_write(0x5000, 4, b));  // a write only clears bits
    ASSERT_EQ(0, spi_read(0x5000, 4, r));
    EXPECT_EQ((std::vector<uint8_t>{0xC0, 0xC0, 0x0C, 0xCC}), std::vector<uint8_t>(r, r + 4));
    ASSERT_EQ(0, spi_erase_sector(0x5800, 1));  // erases the sector holding 0x5800
    EXPECT_EQ(0xFF, flash_byte(0x5000));
    EXPECT_EQ(-16, spi_read(0x00FFFFFE, 4, r)) << "past the end";

    // Twenty sectors as the command set splits them; nine at once are refused.
    uint8_t zero = 0;
    for (uint32_t s = 0; s <= 22; ++s)
        ASSERT_EQ(0, spi_write(s * 4096, 1, &zero));
    ASSERT_EQ(0, spi_erase_sector(0x1000, 20));
    for (uint32_t s = 0; s <= 22; ++s)
        EXPECT_EQ(s >= 1 && s <= 20 ? 0xFF : 0x00, flash_byte(s * 4096)) << "sector " << s;
    for (uint8_t sectors : {9, 0}) {
        uint8_t erase[8] = {0x01, 0x08, 0, 0, 0x10, 0, 0, sectors};
        EXPECT_EQ(-16, standard_cmd_write(erase, 0, nullptr)) << int(sectors);
    }
}


// Readouts against a plain scan of the shown grid: rectangles given either
// way round (max, min, mean and where the extremes are), the whole grid, a
// point, and a point off the sensor.
TEST_F(ModuleTest, ReadoutsMatchAPlainScanOfTheGrid)
{
    ombrix_sim_set_noise(0.3);
    const auto w = words();
    const auto hot = element(OMBRIX_SIM_HOT);
    struct Rect { int x0, y0, x1, y1; };
    const Rect rects[] = {{hot.left - 4, hot.top, hot.left + 3, hot.top},
                          {hot.right - 1, hot.bottom - 1, hot.left - 3, 5}, {10, 10, 10, 10}, {0, 0, 255, 191}};
    for (const Rect& r : rects) {
        int max = 0, min = 65535;
        double sum = 0, count = 0;
        for (int y = std::min(r.y0, r.y1); y <= std::max(r.y0, r.y1); ++y)
            for (int x = std::min(r.x0, r.x1); x <= std::max(r.x0, r.x1); ++x, ++count) {
                const int v = w[y * OMBRIX_SIM_WIDTH + x];
                max = std::max(max, v), min = std::min(min, v), sum += v;
            }
        uint16_t got[7] = {};
        ASSERT_EQ(0, tpd_get_rect_temp_info(DOZAZUVA_TWO_POINTS(DOZAZUVA_POINT(r.x0, r.y0), DOZAZUVA_POINT(r.x1, r.y1)),
                                            got));
        const int at_max = w[got[4] * OMBRIX_SIM_WIDTH + got[3]], at_min = w[got[6] * OMBRIX_SIM_WIDTH + got[5]];
        EXPECT_EQ((std::vector<int>{max, min, max, min}), (std::vector<int>{got[0], got[1], at_max, at_min}))
            << r.x0 << "," << r.y0;
        EXPECT_NEAR(sum / count, got[2], 0.5) << r.x0 << "," << r.y0;
        if (r.x0 == 0) {  // the whole grid has readouts of its own
            uint16_t whole[6] = {}, high = 0, low = 0;
            ASSERT_EQ(0, tpd_get_max_min_temp_info(whole));
            ASSERT_EQ(0, tpd_get_max_temp(&high));
            ASSERT_EQ(0, tpd_get_min_temp(&low));
            EXPECT_EQ((std::vector<int>{max, min, max, min, max, min}),
                      (std::vector<int>{whole[0], whole[1], high, low, w[whole[3] * OMBRIX_SIM_WIDTH + whole[2]],
                                        w[whole[5] * OMBRIX_SIM_WIDTH + whole[4]]}));
        }
    }
    uint16_t spot = 0;
    ASSERT_EQ(0, tpd_get_point_temp_info(DOZAZUVA_POINT(hot.left + 1, hot.top + 2), &spot));
    EXPECT_EQ(w[(hot.top + 2) * OMBRIX_SIM_WIDTH + hot.left + 1], spot);
    EXPECT_EQ(-16, tpd_get_point_temp_info(DOZAZUVA_POINT(256, 0), &spot));
}

// The reading of the hot object's centre: limited to the range the gain
// selects, corrected for the emissivity the module is told.
TEST_F(ModuleTest, GainAndEmissivityShapeTheReading)
{
    struct Case { uint16_t gain, emissivity; double celsius, low, high; };
    const Case cases[] = {
        {1, 121, 300, 150, 150},  // the normal range saturates
        {0, 121, 300, 300, 300}, {0, 121, 800, 550, 550}, {1, 121, 80, 80, 80},
        {1, 64, 80, 90, 300},     // told the surface is greyer than it is
        {1, 127, 80, 70, 79.99},
    };
    const auto hot = element(OMBRIX_SIM_HOT), cold = element(OMBRIX_SIM_COLD);
    for (const Case& c : cases) {
        ASSERT_EQ(0, set_prop_tpd_params(TPD_PROP_GAIN_SEL, c.gain));
        ASSERT_EQ(0, set_prop_tpd_params(TPD_PROP_EMS, c.emissivity));
        ASSERT_EQ(0, ombrix_sim_element_set_celsius(OMBRIX_SIM_HOT, c.celsius));
        const auto w = words();
        const double reading = w[int(hot.centre_y) * OMBRIX_SIM_WIDTH + int(hot.centre_x)] / 64.0 - 273.15;
        EXPECT_GE(reading, c.low - 1 / 128.0) << c.gain << " " << c.emissivity << " " << c.celsius;
        EXPECT_LE(reading, c.high + 1 / 128.0) << c.gain << " " << c.emissivity << " " << c.celsius;
        EXPECT_NEAR(reading, ombrix_sim_reading_celsius(std::min(c.celsius, c.gain ? 150.0 : 550.0)), 1 / 128.0);
        if (c.emissivity == 121) {  // cold readings are the same in both ranges
            EXPECT_NEAR(5.0, w[int(cold.centre_y) * OMBRIX_SIM_WIDTH + int(cold.centre_x)] / 64.0 - 273.15, 1 / 128.0);
        }
    }
}

TEST_F(ModuleTest, FlatFieldRefreshHoldsThePictureBriefly)
{
    std::vector<uint8_t> before(OMBRIX_SIM_FRAME_BYTES), frame(OMBRIX_SIM_FRAME_BYTES);
    ASSERT_GT(ombrix_sim_produce_frame(384, before.data(), before.size()), 0);
    ASSERT_EQ(0, ooc_b_update(0));
    EXPECT_TRUE(ombrix_sim_shutter_active());
    int held = 0;
    while (held < 20 && ombrix_sim_produce_frame(384, frame.data(), frame.size()) > 0 && frame == before)
        ++held;
    EXPECT_EQ(7, held) << "320 ms at 25 frames a second";
    EXPECT_FALSE(ombrix_sim_shutter_active());
}

}  // namespace
