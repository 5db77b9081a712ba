// A whole viewer session against the simulated camera module, chosen the way
// the viewer's process chooses it (OMBRIX_CAMERA=simulated): open by product
// type 6 then 2, read the range, stream, change distance, emissivity and
// range, read the identity, close. The module's wire log must hold exactly
// these control transfers.
#include "sim_fixture.h"
#include "../support/viewer_camera.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using ViewerCamera = viewer::Camera;

using WireScript = wire::Script;

std::vector<uint8_t> be16(uint16_t value)
{
    return {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

class ViewerSession : public testing::TestWithParam<uint16_t> {
protected:
    void SetUp() override
    {
        setenv("OMBRIX_CAMERA", "simulated", 1);
        ASSERT_EQ(dozazuva_use_backend(nullptr), 0);
        ombrix_sim_reset();
        vdcmd_set_polling_wait_time(2000);
        iruvc_log_register(1);
    }
    void TearDown() override
    {
        uvc_camera_release();
        iruvc_log_register(-1);
        ombrix_sim_reset();
        unsetenv("OMBRIX_CAMERA");
    }
};

TEST_P(ViewerSession, WireLogMatchesByteForByte)
{
    ASSERT_EQ(ombrix_sim_select_pid(GetParam()), 0);
    ombrix_sim_wire_clear();
    ViewerCamera camera;
    ASSERT_EQ(camera.connect(), 0);
    ASSERT_STREQ(dozazuva_current_backend()->name, "ombrix simulator");
    EXPECT_EQ(camera.param.frame_size, static_cast<uint32_t>(OMBRIX_SIM_FRAME_BYTES));
    EXPECT_EQ(ombrix_sim_wire_count(), 0u) << "opening sends no vendor command";

    WireScript expected;
    // The gain state, read right after the open.
    uint16_t gain = 0xFFFF;
    ASSERT_EQ(get_prop_tpd_params(TPD_PROP_GAIN_SEL, &gain), 0);
    EXPECT_EQ(gain, 1) << "the module starts in the normal range";
    expected.long_read({0x14, 0x85, 0x00, 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}, be16(1));

    ASSERT_EQ(camera.start(), 0);
    for (int i = 0; i < 10; ++i)  // as the video stream thread takes them
        ASSERT_EQ(uvc_frame_get(camera.raw_frame), 0) << "frame " << i;

    // The settings panel opens: distance, emissivity, palette.
    uint16_t distance = 0, emissivity = 0;
    uint8_t palette = 0xFF;
    ASSERT_EQ(get_prop_tpd_params(TPD_PROP_DISTANCE, &distance), 0);
    ASSERT_EQ(get_prop_tpd_params(TPD_PROP_EMS, &emissivity), 0);
    ASSERT_EQ(pseudo_color_get(0, &palette), 0);
    EXPECT_EQ(distance, ombrix_sim_tpd_property(0));
    EXPECT_EQ(emissivity, ombrix_sim_tpd_property(3));
    expected.long_read({0x14, 0x85, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}, be16(distance));
    expected.long_read({0x14, 0x85, 0x00, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}, be16(emissivity));
    expected.standard_read({0x09, 0x84, 0x00, 0, 0, 0, 0x00, 0x01}, {palette});

    // It saves 10 dm and 95 %, then the user switches to the high range.
    const uint16_t new_distance = static_cast<uint16_t>(std::ceil(10 * 16.3835));  // 164
    const uint16_t new_emissivity = static_cast<uint16_t>(std::ceil(95 * 127 / 100.0));  // 121
    ASSERT_EQ(set_prop_tpd_params(TPD_PROP_DISTANCE, new_distance), 0);
    ASSERT_EQ(set_prop_tpd_params(TPD_PROP_EMS, new_emissivity), 0);
    ASSERT_EQ(set_prop_tpd_params(TPD_PROP_GAIN_SEL, 0), 0);
    expected.long_command({0x14, 0xC5, 0x00, 0x00, 0, 0, 0x00, 0xA4, 0, 0, 0, 0, 0, 0, 0, 0});
    expected.long_command({0x14, 0xC5, 0x00, 0x03, 0, 0, 0x00, 0x79, 0, 0, 0, 0, 0, 0, 0, 0});
    expected.long_command({0x14, 0xC5, 0x00, 0x05, 0, 0, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(ombrix_sim_tpd_property(5), 0);

    ASSERT_EQ(uvc_frame_get(camera.raw_frame), 0) << "the stream goes on";

    // The about panel: firmware version, module ID, serial number.
    std::vector<uint8_t> firmware(256, 0), module_id(256, 0), serial(64, 0);
    ASSERT_EQ(get_device_info(5, firmware.data()), 0);
    ASSERT_EQ(get_device_info(6, module_id.data()), 0);
    ASSERT_EQ(get_sn(serial.data()), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(firmware.data()), "V1.3.26");
    EXPECT_STREQ(reinterpret_cast<const char*>(module_id.data()), "OMX256A");
    EXPECT_STREQ(reinterpret_cast<const char*>(serial.data()), OMBRIX_SIM_DEFAULT_SERIAL);
    expected.standard_read({0x05, 0x84, 0x05, 0, 0, 0, 0x00, 0x08}, {firmware.begin(), firmware.begin() + 8});
    expected.standard_read({0x05, 0x84, 0x06, 0, 0, 0, 0x00, 0x08}, {module_id.begin(), module_id.begin() + 8});
    expected.standard_read({0x05, 0x84, 0x07, 0, 0, 0, 0x00, 0x40}, serial);

    camera.disconnect();
    EXPECT_FALSE(ombrix_sim_is_streaming());

    EXPECT_EQ(dztest::logged(), expected.transfers());
}

INSTANTIATE_TEST_SUITE_P(ProductTypes, ViewerSession, testing::Values(uint16_t{0x5830}, uint16_t{0x5840}),
                         [](const testing::TestParamInfo<uint16_t>& info) {
                             return info.param == 0x5830 ? std::string("Pid5830") : std::string("Pid5840");
                         });

}  // namespace
