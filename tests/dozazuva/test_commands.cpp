// The module command set: header bytes on the wire, reply decoding and the
// argument checks that send nothing.
#include "sim_fixture.h"

using namespace dztest;

namespace {

class CommandTest : public OpenCameraTest {};

std::vector<Wire> standard_command(std::vector<uint8_t> header)
{
    return {out(0x1D00, std::move(header))};
}

std::vector<Wire> long_command(std::vector<uint8_t> header)
{
    return {out(0x9D00, std::vector<uint8_t>(header.begin(), header.begin() + 8)),
            out(0x1D08, std::vector<uint8_t>(header.begin() + 8, header.end()))};
}

struct SentCommand {
    const char* name;
    std::function<int()> send;
    std::vector<Wire> wire;  // without status reads
};

TEST_F(CommandTest, CommandsSendTheirHeadersAndData)
{
    const uint32_t point = DOZAZUVA_POINT(0x0102, 0x0304);
    const uint64_t rect = DOZAZUVA_TWO_POINTS(DOZAZUVA_POINT(1, 2), DOZAZUVA_POINT(3, 4));
    tpd_rect_temp_thd_t thd = {{0x1111, 0x2222, 0x3333}};
    tpd_frame_temp_param_t frame_param = {{0xA1, 0xA2, 0xA3}};
    preview_start_param_t preview = {3, 1, 0x0100, 0x00C0, 25, 7};
    uint8_t distance[2] = {0x12, 0x34};
    std::vector<uint8_t> buffer(260);
    const std::vector<SentCommand> commands = {
        {"exit_capture", [] { return exit_capture(); }, standard_command({0x06, 0x03, 0, 0, 0, 0, 0, 0})},
        {"get_capture_data", [] { return get_capture_data(); }, standard_command({0x06, 0x02, 0, 0, 0, 0, 0, 0})},
        {"lens_k_cal", [] { return lens_k_cal(); }, standard_command({0x0D, 0x0C, 0, 0, 0, 0, 0, 0})},
        {"ooc_b_update", [] { return ooc_b_update(0); }, standard_command({0x0D, 0xC1, 0, 0, 0, 0, 0, 0})},
        {"preview_stop", [] { return preview_stop(2); }, standard_command({0x0F, 0x02, 2, 0, 0, 0, 0, 0})},
        {"restore_default_cfg", [] { return restore_default_cfg(0); },
         standard_command({0x01, 0x0E, 0, 0, 0, 0, 0, 0})},
        {"rmcover_auto_calc", [] { return rmcover_auto_calc(4); }, standard_command({0x0D, 0x0E, 4, 0, 0, 0, 0, 0})},
        {"rmcover_sts_switch 0", [] { return rmcover_sts_switch(0); },
         standard_command({0x0D, 0x05, 0, 0, 0, 0, 0, 0})},
        {"rmcover_sts_switch 1", [] { return rmcover_sts_switch(1); },
         standard_command({0x0D, 0x0D, 0, 0, 0, 0, 0, 0})},
        {"shutter_manual_switch", [] { return shutter_manual_switch(1); },
         standard_command({0x0C, 0x42, 1, 0, 0, 0, 0, 0})},
        {"shutter_sta_set", [] { return shutter_sta_set(3); }, standard_command({0x0C, 0x41, 3, 0, 0, 0, 0, 0})},
        {"spi_config_load", [] { return spi_config_load(4); }, standard_command({0x01, 0x0C, 4, 0, 0, 0, 0, 0})},
        {"spi_config_save", [] { return spi_config_save(9); }, standard_command({0x01, 0x0B, 9, 0, 0, 0, 0, 0})},
        {"spi_erase_fw", [] { return spi_erase_fw(); }, standard_command({0x01, 0x07, 0, 0, 0, 0, 0, 0})},
        {"spi_write_tag", [] { return spi_write_tag(); }, standard_command({0x01, 0x09, 0, 0, 0, 0, 0, 0})},
        {"start_capture", [] { return start_capture(); }, standard_command({0x06, 0x01, 0, 0, 0, 0, 0, 0})},
        {"sys_reset_to_rom", [] { return sys_reset_to_rom(); }, standard_command({0x05, 0x08, 0, 0, 0, 0, 0, 0})},
        {"sys_reset_to_update_fw", [] { return sys_reset_to_update_fw(); },
         standard_command({0x05, 0x07, 0, 0, 0, 0, 0, 0})},
        {"y16_preview_start", [] { return y16_preview_start(1, 7); },
         standard_command({0x0A, 0x01, 1, 0, 0, 7, 0, 0})},
        {"y16_preview_stop", [] { return y16_preview_stop(1); }, standard_command({0x0A, 0x02, 1, 0, 0, 0, 0, 0})},
        {"dpc_add_point", [=] { return dpc_add_point(point); },
         long_command({0x13, 0x01, 0, 0, 0, 0, 0x01, 0x02, 0, 0, 0x03, 0x04, 0, 0, 0, 0})},
        {"dpc_remove_point", [=] { return dpc_remove_point(point); },
         long_command({0x13, 0x02, 0, 0, 0, 0, 0x01, 0x02, 0, 0, 0x03, 0x04, 0, 0, 0, 0})},
        {"load_prop_default_params", [] { return load_prop_default_params(0x0102); },
         long_command({0x14, 0x01, 0x01, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"set_prop_auto_shutter_params", [] { return set_prop_auto_shutter_params(2, 0x1234); },
         long_command({0x14, 0xC2, 0, 2, 0, 0, 0x12, 0x34, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"set_prop_image_params", [] { return set_prop_image_params(4, 9); },
         long_command({0x14, 0xC3, 0, 4, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"set_prop_overexposure_params", [] { return set_prop_overexposure_params(1, 2); },
         long_command({0x14, 0xC4, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"set_prop_tpd_params", [] { return set_prop_tpd_params(0, 32767); },
         long_command({0x14, 0xC5, 0, 0, 0, 0, 0x7F, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"tpd_set_rect_temp_thd", [&] { return tpd_set_rect_temp_thd(&thd); },
         long_command({0x11, 0x0D, 0, 0, 0x11, 0x11, 0x22, 0x22, 0x33, 0x33, 0, 0, 0, 0, 0, 12})},
        {"tpd_show_point_temp", [=] { return tpd_show_point_temp(1, 3, point); },
         long_command({0x11, 0x0F, 0xFF, 0x03, 0x01, 0x02, 0x03, 0x04, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"tpd_hide_point_temp", [] { return tpd_hide_point_temp(0, 11); },
         long_command({0x11, 0x10, 0x7F, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"tpd_show_rect_temp", [=] { return tpd_show_rect_temp(1, 2, rect); },
         long_command({0x11, 0x13, 0xFF, 0x02, 0, 1, 0, 2, 0, 3, 0, 4, 0, 0, 0, 0})},
        {"tpd_hide_rect_temp", [] { return tpd_hide_rect_temp(0, 2); },
         long_command({0x11, 0x14, 0x7F, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"tpd_show_frame_temp", [&] { return tpd_show_frame_temp(5, &frame_param); },
         long_command({0x11, 0x15, 0, 5, 0x7F, 0x7F, 0x7F, 0x00, 0xA1, 0xA2, 0xA3, 0, 0, 0, 0, 0})},
        {"tpd_hide_frame_temp", [] { return tpd_hide_frame_temp(5); },
         long_command({0x11, 0x16, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"zoom_center_up", [] { return zoom_center_up(2, 3); },
         long_command({0x12, 0x01, 0x02, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"zoom_center_down", [] { return zoom_center_down(2, 3); },
         long_command({0x12, 0x02, 0x02, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"zoom_position_up", [=] { return zoom_position_up(1, 4, point); },
         long_command({0x12, 0x03, 0x01, 0x04, 0x01, 0x02, 0x03, 0x04, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"zoom_position_down", [=] { return zoom_position_down(1, 4, point); },
         long_command({0x12, 0x04, 0x01, 0x04, 0x01, 0x02, 0x03, 0x04, 0, 0, 0, 0, 0, 0, 0, 0})},
        // Commands with data stage the header and commit the data.
        {"preview_start", [&] { return preview_start(&preview); },
         {out(0x9D00, {0x0F, 0xC1, 0, 0, 0, 0, 0, 8}), out(0x1D08, {3, 0x80, 0x01, 0x00, 0x00, 0xC0, 25, 7})}},
        {"pseudo_color_set", [] { return pseudo_color_set(0, 9); },
         {out(0x9D00, {0x09, 0xC4, 0, 0, 0, 0, 0, 1}), out(0x1D08, {9})}},
        {"tpd_ktbt_recal_2point", [] { return tpd_ktbt_recal_2point(1, -2); },
         {out(0x9D00, {0x0E, 0xC5, 1, 0, 0, 0, 0, 2}), out(0x1D08, {0xFF, 0xFE})}},
        {"tpd_distance_set", [&] { return tpd_distance_set(distance); },
         {out(0x9D00, {0x0E, 0x02, 0, 0, 0, 0, 0, 2}), out(0x1D08, {0x12, 0x34})}},
        // Erasing splits into commands of at most eight sectors.
        {"spi_erase_sector 20", [] { return spi_erase_sector(0x1000, 20); },
         {out(0x1D00, {0x01, 0x08, 0x00, 0x00, 0x10, 0x00, 0, 8}), out(0x1D00, {0x01, 0x08, 0x00, 0x00, 0x90, 0x00, 0, 8}),
          out(0x1D00, {0x01, 0x08, 0x00, 0x01, 0x10, 0x00, 0, 4})}},
        {"spi_erase_sector 0", [] { return spi_erase_sector(0x1000, 0); }, {}},
        // Reads advance the address per chunk.
        {"spi_read 260", [&] { return spi_read(0x2000, 260, buffer.data()); },
         {out(0x1D00, {0x01, 0x82, 0x00, 0x00, 0x20, 0x00, 0x01, 0x00}), in(0x1D08, 256),
          out(0x1D00, {0x01, 0x82, 0x00, 0x00, 0x21, 0x00, 0x00, 0x04}), in(0x1D08, 4)}},
        // Identity texts are 64 bytes.
        {"get_sn", [&] { return get_sn(buffer.data()); }, {out(0x1D00, {0x05, 0x84, 0x07, 0, 0, 0, 0, 64}), in(0x1D08, 64)}},
        {"get_pn", [&] { return get_pn(buffer.data()); }, {out(0x1D00, {0x05, 0x84, 0x06, 0, 0, 0, 0, 64}), in(0x1D08, 64)}},
        // Short commands carry the xdata address.
        {"xdata_read", [&] { return xdata_read(0x1234, 2, buffer.data()); },
         {out(0x1D00, {0x80, 2, 0x12, 0x34}), in(0x1D04, 2)}},
        {"xdata_write", [] { uint8_t d[2] = {1, 2}; return xdata_write(0x1234, 2, d); },
         {out(0x1D00, {0x81, 2, 0x12, 0x34}), out(0x1D04, {1, 2})}},
    };
    // The module may refuse a command it lacks; what reaches the wire is the same.
    for (const SentCommand& command : commands) {
        ombrix_sim_wire_clear();
        command.send();
        EXPECT_EQ(logged(false), command.wire) << command.name;
    }
}

TEST_F(CommandTest, SpiEraseSectorStopsAtTheFirstFailure)
{
    ombrix_sim_set_busy_polls(0);
    ASSERT_EQ(spi_erase_sector(0x0, 8), 0);
    ombrix_sim_fault_status_error(0x06, 1);
    ombrix_sim_wire_clear();
    EXPECT_EQ(spi_erase_sector(0x0, 20), -16);
    EXPECT_EQ(logged(false).size(), 1u);
}

TEST_F(CommandTest, SpiWriteAdvancesTheAddressPerChunk)
{
    std::vector<uint8_t> data(260, 0x5A);
    ASSERT_EQ(spi_write(0x2000, 260, data.data()), 0);
    std::vector<Wire> wire = logged(false);
    ASSERT_EQ(wire.size(), 8u);
    EXPECT_EQ(wire[6], out(0x9D00, {0x01, 0xC2, 0x00, 0x00, 0x21, 0x00, 0x00, 0x04}));
    EXPECT_EQ(wire[7], out(0x1D08, {0x5A, 0x5A, 0x5A, 0x5A}));
}

TEST_F(CommandTest, GetDeviceInfoMovesExactlyEightBytes)
{
    std::vector<uint8_t> buffer(256, 0xEE);
    ASSERT_EQ(get_device_info(5, buffer.data()), 0);
    std::vector<Wire> expected = {out(0x1D00, {0x05, 0x84, 0x05, 0, 0, 0, 0, 8}), in(0x1D08, 8)};
    EXPECT_EQ(logged(false), expected);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), 7), "V1.3.26");
    for (size_t i = 8; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], 0xEE) << "byte " << i;
}

// Values the module holds come back whole: the bytes are big-endian both ways.
TEST_F(CommandTest, RepliesAreDecodedBigEndian)
{
    for (uint16_t sent : {uint16_t{0x1234}, uint16_t{0x00FF}, uint16_t{0x7F00}}) {
        ASSERT_EQ(set_prop_tpd_params(TPD_PROP_DISTANCE, sent), 0);
        EXPECT_EQ(ombrix_sim_tpd_property(0), sent);
        uint16_t value = 0;
        ASSERT_EQ(get_prop_tpd_params(TPD_PROP_DISTANCE, &value), 0);
        EXPECT_EQ(value, sent);
    }
    ombrix_sim_set_noise(0);
    ombrix_sim_freeze_time(1);
    uint16_t words[OMBRIX_SIM_WIDTH * OMBRIX_SIM_HEIGHT];
    ASSERT_EQ(ombrix_sim_temperature_words(words, OMBRIX_SIM_WIDTH * OMBRIX_SIM_HEIGHT), 0);
    ombrix_sim_element hot;
    ASSERT_EQ(ombrix_sim_element_get(OMBRIX_SIM_HOT, &hot), 0);
    const int x = (hot.left + hot.right) / 2, y = (hot.top + hot.bottom) / 2;
    uint16_t value = 0;
    ASSERT_EQ(tpd_get_point_temp_info(DOZAZUVA_POINT(x, y), &value), 0);
    EXPECT_EQ(value, words[y * OMBRIX_SIM_WIDTH + x]);
    EXPECT_EQ(logged(false).back(), in(0x1D10, 12));
}

struct RefusedCommand {
    const char* name;
    std::function<int()> send;
    const char* function;
    const char* message;
};

TEST_F(CommandTest, RefusedArgumentsSendNothing)
{
    const std::vector<RefusedCommand> refused = {
        {"distance above 32767", [] { return set_prop_tpd_params(0, 32768); }, "set_prop_tpd_params",
         "parameter out of range"},
        {"tpd get index 6", [] { uint16_t v; return get_prop_tpd_params(6, &v); }, "get_prop_tpd_params",
         "error parameter"},
        {"tpd set index 9", [] { return set_prop_tpd_params(9, 1); }, "set_prop_tpd_params", "error parameter"},
        {"zoom 3", [] { return rmcover_auto_calc(3); }, "rmcover_auto_calc", "parameter:zoom_scale error"},
        {"en_sts 2", [] { return rmcover_sts_switch(2); }, "rmcover_sts_switch", "parameter:en_sts error"},
        {"spi config 5", [] { return spi_config_load(5); }, "spi_config_load", "error parameter"},
        {"spi config 14", [] { return spi_config_load(14); }, "spi_config_load", "error parameter"},
        {"recal point 2", [] { return tpd_ktbt_recal_2point(2, 0); }, "tpd_ktbt_recal_2point", "error parameter"},
        {"point index 12", [] { return tpd_show_point_temp(0, 12, 0); }, "tpd_show_point_temp",
         "point_idx out of the range"},
        {"hide point index 12", [] { return tpd_hide_point_temp(0, 12); }, "tpd_hide_point_temp",
         "point_idx out of the range"},
        {"device info null", [] { return get_device_info(5, nullptr); }, "get_device_info", "parameter error"},
        {"sn null", [] { return get_sn(nullptr); }, "get_sn", "parameter error"},
        {"pn null", [] { return get_pn(nullptr); }, "get_pn", "parameter error"},
        {"colour null", [] { return pseudo_color_get(0, nullptr); }, "pseudo_color_get", "parameter error"},
        {"vtemp null", [] { return cur_vtemp_get(nullptr); }, "cur_vtemp_get", "parameter error"},
        {"shutter vtemp null", [] { return shutter_vtemp_get(nullptr); }, "shutter_vtemp_get", "parameter error"},
        {"tecless null", [] { return tecless_temp_area_get(nullptr); }, "tecless_temp_area_get", "parameter error"},
        {"distance null", [] { return tpd_distance_get(nullptr); }, "tpd_distance_get", "parameter error"},
        {"ems null", [] { return tpd_ems_get(nullptr); }, "tpd_ems_get", "parameter error"},
        {"tpd value null", [] { return get_prop_tpd_params(5, nullptr); }, "get_prop_tpd_params", "parameter error"},
        {"max temp null", [] { return tpd_get_max_temp(nullptr); }, "tpd_get_max_temp", "parameter error"},
        {"rect info null", [] { return tpd_get_rect_temp_info(0, nullptr); }, "tpd_get_rect_temp_info",
         "parameter error"},
        {"spi read null", [] { return spi_read(0, 4, nullptr); }, "spi_read", "parameter error"},
        {"spi write null", [] { return spi_write(0, 4, nullptr); }, "spi_write", "parameter error"},
        {"preview null", [] { return preview_start(nullptr); }, "preview_start", "parameter error"},
        {"shutter state null", [] { uint8_t a; return shutter_sta_get(&a, nullptr); }, "shutter_sta_get",
         "parameter error"},
    };
    for (const RefusedCommand& command : refused) {
        std::string log = captured_output([&] { EXPECT_EQ(command.send(), -1) << command.name; });
        EXPECT_TRUE(has_message(log, "error", "dozazuva/src/ruruza_cmd", command.function, command.message))
            << command.name << ": " << log;
    }
    EXPECT_TRUE(logged().empty());
}

TEST_F(CommandTest, UnsupportedCommandsReturnMinus20)
{
    uint16_t value = 0xFFFF;
    std::string log = captured_output([&] { EXPECT_EQ(lens_vtemp_get(&value), -20); });
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(has_message(log, "error", "dozazuva/src/ruruza_cmd", "lens_vtemp_get", "unsupported command"));
    uint8_t text[64] = {};
    EXPECT_EQ(set_pn(text), -20);
    EXPECT_EQ(set_sn(text), -20);
    EXPECT_TRUE(logged().empty());
}

TEST_F(CommandTest, TransportFailuresArePassedUp)
{
    ombrix_sim_fault_transfer_error(-4, -1);
    uint16_t value = 0xBEEF;
    EXPECT_EQ(get_prop_tpd_params(5, &value), -15);
    EXPECT_EQ(value, 0xBEEF) << "no reply, no value";
    EXPECT_EQ(ooc_b_update(0), -15);
    ombrix_sim_fault_clear();
}

}  // namespace
