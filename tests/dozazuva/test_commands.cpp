// The module command set: header bytes on the wire, reply decoding and the
// argument checks that send nothing.
#include "sim_fixture.h"

using namespace dztest;

namespace {

class CommandTest : public OpenCameraTest {};

// Header-only commands: the bytes given, then zeros to the header's size.
std::vector<Wire> standard_command(std::vector<uint8_t> header)
{
    header.resize(8);
    return {out(0x1D00, std::move(header))};
}

std::vector<Wire> long_command(std::vector<uint8_t> header)
{
    header.resize(16);
    return {out(0x9D00, std::vector<uint8_t>(header.begin(), header.begin() + 8)),
            out(0x1D08, std::vector<uint8_t>(header.begin() + 8, header.end()))};
}

// A call and its own text, for the failure message.
#define SENT(call) #call, [&] { return call; }

// A standard command with data: its header staged (data length in bytes 6
// and 7), the data committed.
std::vector<Wire> with_data(std::vector<uint8_t> header, std::vector<uint8_t> data)
{
    header.resize(8);
    header[7] = static_cast<uint8_t>(data.size());
    return {out(0x9D00, std::move(header)), out(0x1D08, std::move(data))};
}

struct SentCommand {
    const char* name;
    std::function<int()> send;
    std::vector<Wire> wire = {};  // without status reads; none for refused commands
};

// Commands whose arguments are packed into the header or the data; the
// header-only commands with fixed bytes take the same path as ooc_b_update.
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
        {SENT(ooc_b_update(0)), standard_command({0x0D, 0xC1})},
        {SENT(restore_default_cfg(0)), standard_command({0x01, 0x0E})},
        {SENT(rmcover_auto_calc(4)), standard_command({0x0D, 0x0E, 4})},
        {SENT(rmcover_sts_switch(1)), standard_command({0x0D, 0x0D})},
        {SENT(spi_config_load(4)), standard_command({0x01, 0x0C, 4})},
        {SENT(y16_preview_start(1, 7)), standard_command({0x0A, 0x01, 1, 0, 0, 7})},
        {SENT(dpc_add_point(point)), long_command({0x13, 0x01, 0, 0, 0, 0, 0x01, 0x02, 0, 0, 0x03, 0x04})},
        {SENT(set_prop_image_params(4, 9)), long_command({0x14, 0xC3, 0, 4, 0, 0, 0, 9})},
        {SENT(set_prop_tpd_params(0, 32767)), long_command({0x14, 0xC5, 0, 0, 0, 0, 0x7F, 0xFF})},
        {SENT(tpd_set_rect_temp_thd(&thd)),
         long_command({0x11, 0x0D, 0, 0, 0x11, 0x11, 0x22, 0x22, 0x33, 0x33, 0, 0, 0, 0, 0, 12})},
        {SENT(tpd_show_point_temp(1, 3, point)), long_command({0x11, 0x0F, 0xFF, 0x03, 0x01, 0x02, 0x03, 0x04})},
        {SENT(tpd_hide_point_temp(0, 11)), long_command({0x11, 0x10, 0x7F, 0x0B})},
        {SENT(tpd_show_rect_temp(1, 2, rect)), long_command({0x11, 0x13, 0xFF, 0x02, 0, 1, 0, 2, 0, 3, 0, 4})},
        {SENT(tpd_show_frame_temp(5, &frame_param)),
         long_command({0x11, 0x15, 0, 5, 0x7F, 0x7F, 0x7F, 0x00, 0xA1, 0xA2, 0xA3})},
        {SENT(zoom_center_up(2, 3)), long_command({0x12, 0x01, 0x02, 0x03})},
        {SENT(zoom_position_up(1, 4, point)), long_command({0x12, 0x03, 0x01, 0x04, 0x01, 0x02, 0x03, 0x04})},
        // Commands with data stage the header and commit the data.
        {SENT(preview_start(&preview)), with_data({0x0F, 0xC1}, {3, 0x80, 0x01, 0x00, 0x00, 0xC0, 25, 7})},
        {SENT(pseudo_color_set(0, 9)), with_data({0x09, 0xC4}, {9})},
        {SENT(tpd_ktbt_recal_2point(1, -2)), with_data({0x0E, 0xC5, 1}, {0xFF, 0xFE})},
        {SENT(tpd_distance_set(distance)), with_data({0x0E, 0x02}, {0x12, 0x34})},
        // Erasing splits into commands of at most eight sectors.
        {SENT(spi_erase_sector(0x1000, 20)),
         {out(0x1D00, {0x01, 0x08, 0x00, 0x00, 0x10, 0x00, 0, 8}),
          out(0x1D00, {0x01, 0x08, 0x00, 0x00, 0x90, 0x00, 0, 8}),
          out(0x1D00, {0x01, 0x08, 0x00, 0x01, 0x10, 0x00, 0, 4})}},
        {SENT(spi_erase_sector(0x1000, 0)), {}},
        // Reads advance the address per chunk.
        {SENT(spi_read(0x2000, 260, buffer.data())),
         {out(0x1D00, {0x01, 0x82, 0x00, 0x00, 0x20, 0x00, 0x01, 0x00}), in(0x1D08, 256),
          out(0x1D00, {0x01, 0x82, 0x00, 0x00, 0x21, 0x00, 0x00, 0x04}), in(0x1D08, 4)}},
        // Identity texts are 64 bytes, device information records 8.
        {SENT(get_sn(buffer.data())), {out(0x1D00, {0x05, 0x84, 0x07, 0, 0, 0, 0, 64}), in(0x1D08, 64)}},
        {SENT(get_pn(buffer.data())), {out(0x1D00, {0x05, 0x84, 0x06, 0, 0, 0, 0, 64}), in(0x1D08, 64)}},
        {SENT(get_device_info(5, buffer.data())), {out(0x1D00, {0x05, 0x84, 0x05, 0, 0, 0, 0, 8}), in(0x1D08, 8)}},
        {SENT(pseudo_color_get(0, buffer.data())), {out(0x1D00, {0x09, 0x84, 0, 0, 0, 0, 0, 1}), in(0x1D08, 1)}},
        // Short commands carry the xdata address.
        {SENT(xdata_read(0x1234, 2, buffer.data())), {out(0x1D00, {0x80, 2, 0x12, 0x34}), in(0x1D04, 2)}},
        {SENT(xdata_write(0x1234, 2, distance)), {out(0x1D00, {0x81, 2, 0x12, 0x34}), out(0x1D04, {0x12, 0x34})}},
    };
    // The module may refuse a command it lacks; what reaches the wire is the same.
    for (const SentCommand& command : commands) {
        ombrix_sim_wire_clear();
        command.send();
        EXPECT_EQ(logged(false), command.wire) << command.name;
    }
}

// Values the module holds come back whole: the bytes are big-endian both ways;
// a reply fills no more than its record.
TEST_F(CommandTest, RepliesAreDecodedBigEndian)
{
    for (uint16_t sent : {uint16_t{0x1234}, uint16_t{0x00FF}, uint16_t{0x7F00}}) {
        ASSERT_EQ(set_prop_tpd_params(TPD_PROP_DISTANCE, sent), 0);
        EXPECT_EQ(ombrix_sim_tpd_property(0), sent);
        uint16_t value = 0;
        ASSERT_EQ(get_prop_tpd_params(TPD_PROP_DISTANCE, &value), 0);
        EXPECT_EQ(value, sent);
    }
    std::vector<uint8_t> text(256, 0xEE);
    ASSERT_EQ(get_device_info(5, text.data()), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(text.data()), 7), "V1.3.26");
    EXPECT_EQ(std::count(text.begin() + 8, text.end(), 0xEE), 248) << "only the record's eight bytes are written";
}

TEST_F(CommandTest, RefusedArgumentsSendNothing)
{
    uint16_t value = 0;
    uint8_t byte = 0;
    const std::vector<SentCommand> refused = {
        {SENT(set_prop_tpd_params(0, 32768))}, {SENT(get_prop_tpd_params(6, &value))},
        {SENT(set_prop_tpd_params(9, 1))}, {SENT(rmcover_auto_calc(3))}, {SENT(rmcover_sts_switch(2))},
        {SENT(spi_config_load(5))}, {SENT(spi_config_load(14))}, {SENT(tpd_ktbt_recal_2point(2, 0))},
        {SENT(tpd_show_point_temp(0, 12, 0))}, {SENT(tpd_hide_point_temp(0, 12))},
        // Null buffers.
        {SENT(get_device_info(5, nullptr))}, {SENT(get_sn(nullptr))}, {SENT(get_pn(nullptr))},
        {SENT(pseudo_color_get(0, nullptr))}, {SENT(cur_vtemp_get(nullptr))}, {SENT(shutter_vtemp_get(nullptr))},
        {SENT(tecless_temp_area_get(nullptr))}, {SENT(tpd_distance_get(nullptr))}, {SENT(tpd_ems_get(nullptr))},
        {SENT(get_prop_tpd_params(5, nullptr))}, {SENT(tpd_get_max_temp(nullptr))},
        {SENT(tpd_get_rect_temp_info(0, nullptr))}, {SENT(spi_read(0, 4, nullptr))}, {SENT(spi_write(0, 4, nullptr))},
        {SENT(preview_start(nullptr))}, {SENT(shutter_sta_get(&byte, nullptr))},
    };
    for (const SentCommand& command : refused)
        EXPECT_EQ(command.send(), -1) << command.name;
    EXPECT_TRUE(logged().empty());
}

TEST_F(CommandTest, UnsupportedCommandsAndTransportFailuresArePassedUp)
{
    uint16_t value = 0xFFFF;
    EXPECT_EQ(lens_vtemp_get(&value), -20);
    EXPECT_EQ(value, 0);
    uint8_t text[64] = {};
    EXPECT_EQ(set_pn(text), -20);
    EXPECT_EQ(set_sn(text), -20);
    EXPECT_TRUE(logged().empty());

    ombrix_sim_set_busy_polls(0);
    ombrix_sim_fault_status_error(0x06, 1);
    EXPECT_EQ(spi_erase_sector(0x0, 20), -16);
    EXPECT_EQ(logged(false).size(), 1u) << "the erase stops at its first failing command";

    ombrix_sim_fault_transfer_error(-4, -1);
    value = 0xBEEF;
    EXPECT_EQ(get_prop_tpd_params(5, &value), -15);
    EXPECT_EQ(value, 0xBEEF) << "no reply, no value";
    EXPECT_EQ(ooc_b_update(0), -15);
    ombrix_sim_fault_clear();
}

}  // namespace
