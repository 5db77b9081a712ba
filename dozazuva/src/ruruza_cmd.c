/* The module's command set: each command fills a header (class, code and
 * arguments, big-endian) and sends it with one transport operation.
 * Arguments are checked before anything is sent. */
#include "dozazuva_internal.h"

#define PATH "dozazuva/src/ruruza_cmd"

enum {
    SECTOR_BYTES = 4096,
    SECTORS_PER_ERASE = 8,
    TPD_DISTANCE_MAX = 32767,
    POINT_INDEX_LIMIT = 12,
    INFO_BYTES = 8,
    ID_TEXT_BYTES = 64,
    FLAGGED_INDEX_BITS = 0x7F00
};

/* Refuses an argument: logs the text for the calling command, returns -1. */
#define refuse(text) (DZ_ERROR(PATH, text "\n"), DOZAZUVA_ERR_PARAM)
#define parameter_error() refuse("parameter error")

/* `argument` fills header bytes 2 to 5; byte 2 alone is argument << 24. */
static uint32_t byte2(uint8_t value)
{
    return (uint32_t)value << 24;
}

static int std_read(uint8_t cls, uint8_t code, uint32_t argument, uint16_t length, uint8_t* out)
{
    uint8_t header[8] = {cls, code};
    dz_put_be32(header + 2, argument);
    return standard_cmd_read(header, length, out);
}

static int std_write(uint8_t cls, uint8_t code, uint32_t argument, uint16_t length, uint8_t* data)
{
    uint8_t header[8] = {cls, code};
    dz_put_be32(header + 2, argument);
    return standard_cmd_write(header, length, data);
}

static int std_command(uint8_t cls, uint8_t code, uint32_t argument)
{
    return std_write(cls, code, argument, 0, NULL);
}

static int std_read_u16(uint8_t cls, uint8_t code, uint16_t* value)
{
    uint8_t reply[2] = {0};
    int result = std_read(cls, code, 0, sizeof reply, reply);
    if (result == 0)
        *value = dz_get_be16(reply);
    return result;
}

static int long_read(uint8_t cls, uint8_t code, uint16_t p1, uint32_t p2, uint32_t p3, int length, uint8_t* out)
{
    uint8_t header[16] = {cls, code};
    return long_cmd_read(header, p1, p2, p3, length, out);
}

static int long_write(uint8_t cls, uint8_t code, uint16_t p1, uint32_t p2, uint32_t p3)
{
    uint8_t header[16] = {cls, code};
    return long_cmd_write(header, p1, p2, p3, 0);
}

/* Reads `count` big-endian words into values (at most 7). */
static int long_read_words(uint8_t cls, uint8_t code, uint32_t p2, uint32_t p3, uint16_t* values, int count)
{
    uint8_t reply[14] = {0};
    int result = long_read(cls, code, 0, p2, p3, count * 2, reply);
    if (result == 0) {
        for (int i = 0; i < count; ++i)
            values[i] = dz_get_be16(reply + 2 * i);
    }
    return result;
}

static int long_read_u16(uint8_t cls, uint8_t code, uint16_t index, uint16_t* value)
{
    uint8_t reply[2] = {0};
    int result = long_read(cls, code, index, 0, 0, sizeof reply, reply);
    if (result == 0)
        *value = dz_get_be16(reply);
    return result;
}

static uint16_t flagged_index(uint32_t flag, uint8_t index)
{
    return (uint16_t)(index | flag << 15 | FLAGGED_INDEX_BITS);
}

static uint32_t first_point(uint64_t two_points)
{
    return (uint32_t)(two_points >> 32);
}

static uint32_t second_point(uint64_t two_points)
{
    return (uint32_t)two_points;
}

static int tpd_index_refused(int index)
{
    return index >= 6 && index <= 9;
}

/* ---- standard commands ---- */

int cur_vtemp_get(uint16_t* value)
{
    if (!value)
        return parameter_error();
    return std_read_u16(0x0D, 0x8B, value);
}

int exit_capture(void)
{
    return std_command(0x06, 0x03, 0);
}

int get_capture_data(void)
{
    return std_command(0x06, 0x02, 0);
}

int get_device_info(uint8_t type, uint8_t* data)
{
    if (!data)
        return parameter_error();
    return std_read(0x05, 0x84, byte2(type), INFO_BYTES, data);
}

int get_pn(uint8_t* data)
{
    if (!data)
        return parameter_error();
    return std_read(0x05, 0x84, byte2(6), ID_TEXT_BYTES, data);
}

int get_sn(uint8_t* data)
{
    if (!data)
        return parameter_error();
    return std_read(0x05, 0x84, byte2(7), ID_TEXT_BYTES, data);
}

int lens_k_cal(void)
{
    return std_command(0x0D, 0x0C, 0);
}

int ooc_b_update(uint8_t which)
{
    return std_command(0x0D, 0xC1, byte2(which));
}

int preview_start(preview_start_param_t* param)
{
    if (!param)
        return parameter_error();
    uint8_t data[8] = {param->source, param->flag == 1 ? 0x80 : 0x00};
    dz_put_be16(data + 2, param->width);
    dz_put_be16(data + 4, param->height);
    data[6] = param->fps;
    data[7] = param->mode;
    return std_write(0x0F, 0xC1, 0, sizeof data, data);
}

int preview_stop(uint8_t path)
{
    return std_command(0x0F, 0x02, byte2(path));
}

int pseudo_color_get(uint8_t which, uint8_t* color)
{
    if (!color)
        return parameter_error();
    return std_read(0x09, 0x84, byte2(which), 1, color);
}

int pseudo_color_set(uint8_t which, uint8_t color)
{
    return std_write(0x09, 0xC4, byte2(which), 1, &color);
}

int restore_default_cfg(uint8_t which)
{
    return std_command(0x01, 0x0E, byte2(which));
}

int rmcover_auto_calc(uint8_t zoom_scale)
{
    if (zoom_scale != 1 && zoom_scale != 2 && zoom_scale != 4)
        return refuse("parameter:zoom_scale error");
    return std_command(0x0D, 0x0E, byte2(zoom_scale));
}

int rmcover_sts_switch(int en_sts)
{
    if (en_sts != 0 && en_sts != 1)
        return refuse("parameter:en_sts error");
    return std_command(0x0D, en_sts ? 0x0D : 0x05, 0);
}

int shutter_manual_switch(uint8_t which)
{
    return std_command(0x0C, 0x42, byte2(which));
}

int shutter_sta_get(uint8_t* first, uint8_t* second)
{
    if (!first || !second)
        return parameter_error();
    uint8_t reply[2] = {0};
    int result = std_read(0x0C, 0x83, 0, sizeof reply, reply);
    if (result == 0) {
        *first = reply[0];
        *second = reply[1];
    }
    return result;
}

int shutter_sta_set(uint8_t which)
{
    return std_command(0x0C, 0x41, byte2(which));
}

int shutter_vtemp_get(uint16_t* value)
{
    if (!value)
        return parameter_error();
    return std_read_u16(0x0C, 0x84, value);
}

int spi_config_load(int which)
{
    if (which == 5 || which == 14)
        return refuse("error parameter");
    return std_command(0x01, 0x0C, byte2((uint8_t)which));
}

int spi_config_save(uint8_t which)
{
    return std_command(0x01, 0x0B, byte2(which));
}

int spi_erase_fw(void)
{
    return std_command(0x01, 0x07, 0);
}

int spi_erase_sector(uint32_t addr, uint16_t count)
{
    int result = 0;
    uint16_t remaining = count;
    while (remaining > 0) {
        uint16_t n = remaining < SECTORS_PER_ERASE ? remaining : SECTORS_PER_ERASE;
        uint8_t header[8] = {0x01, 0x08};
        dz_put_be32(header + 2, addr);
        header[6] = 0;
        header[7] = (uint8_t)n;
        result = standard_cmd_write(header, 0, NULL);
        if (result < 0)
            break;
        addr += (uint32_t)n * SECTOR_BYTES;
        remaining -= n;
    }
    return result;
}

int spi_read(uint32_t addr, uint16_t length, uint8_t* data)
{
    if (!data)
        return parameter_error();
    return std_read(0x01, 0x82, addr, length, data);
}

int spi_read_id(uint8_t* data)
{
    if (!data)
        return parameter_error();
    return std_read(0x01, 0x81, 0, 6, data);
}

int spi_read_status(uint8_t which, uint8_t* status)
{
    if (!status)
        return parameter_error();
    return std_read(0x01, 0x86, byte2(which), 1, status);
}

int spi_write(uint32_t addr, uint16_t length, uint8_t* data)
{
    if (!data)
        return parameter_error();
    return std_write(0x01, 0xC2, addr, length, data);
}

int spi_write_status(uint8_t which, uint8_t status)
{
    return std_write(0x01, 0xC6, byte2(which), 1, &status);
}

int spi_write_tag(void)
{
    return std_command(0x01, 0x09, 0);
}

int start_capture(void)
{
    return std_command(0x06, 0x01, 0);
}

int sys_reset_to_rom(void)
{
    return std_command(0x05, 0x08, 0);
}

int sys_reset_to_update_fw(void)
{
    return std_command(0x05, 0x07, 0);
}

int tecless_temp_area_get(uint8_t* data)
{
    if (!data)
        return parameter_error();
    return std_read(0x0D, 0x8A, 0, 1, data);
}

int tpd_distance_get(uint8_t* data)
{
    if (!data)
        return parameter_error();
    return std_read(0x0E, 0x82, 0, 2, data);
}

int tpd_distance_set(uint8_t* data)
{
    if (!data)
        return parameter_error();
    uint8_t bytes[2] = {data[0], data[1]};
    return std_write(0x0E, 0x02, 0, sizeof bytes, bytes);
}

int tpd_ems_get(uint8_t* data)
{
    if (!data)
        return parameter_error();
    return std_read(0x0E, 0x81, 0, 1, data);
}

int tpd_ems_set(uint8_t ems)
{
    return std_write(0x0E, 0x01, 0, 1, &ems);
}

int tpd_ktbt_recal_1point(int16_t temp)
{
    uint8_t data[2];
    dz_put_be16(data, (uint16_t)temp);
    return std_write(0x0E, 0xC4, 0, sizeof data, data);
}

int tpd_ktbt_recal_2point(int point, int16_t temp)
{
    if (point != 0 && point != 1)
        return refuse("error parameter");
    uint8_t data[2];
    dz_put_be16(data, (uint16_t)temp);
    return std_write(0x0E, 0xC5, byte2((uint8_t)point), sizeof data, data);
}

int y16_preview_start(uint8_t path, uint8_t mode)
{
    return std_command(0x0A, 0x01, byte2(path) | mode);
}

int y16_preview_stop(uint8_t path)
{
    return std_command(0x0A, 0x02, byte2(path));
}

/* ---- long commands ---- */

int dpc_add_point(uint32_t point)
{
    return long_write(0x13, 0x01, 0, point >> 16, point & 0xFFFFu);
}

int dpc_remove_point(uint32_t point)
{
    return long_write(0x13, 0x02, 0, point >> 16, point & 0xFFFFu);
}

int get_prop_auto_shutter_params(uint16_t index, uint16_t* value)
{
    if (!value)
        return parameter_error();
    return long_read_u16(0x14, 0x82, index, value);
}

int get_prop_image_params(uint16_t index, uint16_t* value)
{
    if (!value)
        return parameter_error();
    return long_read_u16(0x14, 0x83, index, value);
}

int get_prop_overexposure_params(uint16_t index, uint16_t* value)
{
    if (!value)
        return parameter_error();
    uint8_t reply[4] = {0};
    int result = long_read(0x14, 0x84, index, 0, 0, sizeof reply, reply);
    if (result == 0)
        *value = dz_get_be16(reply + 2);
    return result;
}

int get_prop_tpd_params(int index, uint16_t* value)
{
    if (tpd_index_refused(index))
        return refuse("error parameter");
    if (!value)
        return parameter_error();
    return long_read_u16(0x14, 0x85, (uint16_t)index, value);
}

int load_prop_default_params(uint16_t which)
{
    return long_write(0x14, 0x01, which, 0, 0);
}

int set_prop_auto_shutter_params(uint16_t index, uint16_t value)
{
    return long_write(0x14, 0xC2, index, value, 0);
}

int set_prop_image_params(uint16_t index, uint16_t value)
{
    return long_write(0x14, 0xC3, index, value, 0);
}

int set_prop_overexposure_params(uint16_t index, uint16_t value)
{
    return long_write(0x14, 0xC4, index, value, 0);
}

int set_prop_tpd_params(int index, uint16_t value)
{
    if (tpd_index_refused(index))
        return refuse("error parameter");
    if (index == TPD_PROP_DISTANCE && value > TPD_DISTANCE_MAX)
        return refuse("parameter out of range");
    return long_write(0x14, 0xC5, (uint16_t)index, value, 0);
}

int tpd_get_max_temp(uint16_t* value)
{
    if (!value)
        return parameter_error();
    return long_read_u16(0x11, 0x81, 0, value);
}

int tpd_get_min_temp(uint16_t* value)
{
    if (!value)
        return parameter_error();
    return long_read_u16(0x11, 0x82, 0, value);
}

int tpd_get_max_min_temp_info(uint16_t* values)
{
    if (!values)
        return parameter_error();
    return long_read_words(0x11, 0x83, 0, 0, values, 6);
}

int tpd_get_point_temp_info(uint32_t point, uint16_t* value)
{
    if (!value)
        return parameter_error();
    uint8_t reply[12] = {0};
    int result = long_read(0x11, 0x86, 0, point, 0, sizeof reply, reply);
    if (result == 0)
        *value = dz_get_be16(reply);
    return result;
}

int tpd_get_line_temp_info(uint64_t line, uint16_t* values)
{
    if (!values)
        return parameter_error();
    return long_read_words(0x11, 0x89, first_point(line), second_point(line), values, 7);
}

int tpd_get_rect_temp_info(uint64_t rect, uint16_t* values)
{
    if (!values)
        return parameter_error();
    return long_read_words(0x11, 0x8C, first_point(rect), second_point(rect), values, 7);
}

int tpd_set_rect_temp_thd(tpd_rect_temp_thd_t* thd)
{
    if (!thd)
        return parameter_error();
    uint8_t header[16] = {0x11, 0x0D};
    uint32_t p2 = (uint32_t)thd->thd[0] << 16 | thd->thd[1];
    uint32_t p3 = (uint32_t)thd->thd[2] << 16;
    return long_cmd_write(header, 0, p2, p3, 12);
}

int tpd_show_point_temp(int16_t flag, uint8_t index, uint32_t point)
{
    if (index >= POINT_INDEX_LIMIT)
        return refuse("point_idx out of the range");
    return long_write(0x11, 0x0F, flagged_index((uint16_t)flag, index), point, 0);
}

int tpd_hide_point_temp(int16_t flag, uint8_t index)
{
    if (index >= POINT_INDEX_LIMIT)
        return refuse("point_idx out of the range");
    return long_write(0x11, 0x10, flagged_index((uint16_t)flag, index), 0, 0);
}

int tpd_show_rect_temp(uint32_t flag, uint8_t index, uint64_t rect)
{
    return long_write(0x11, 0x13, flagged_index(flag, index), first_point(rect), second_point(rect));
}

int tpd_hide_rect_temp(int16_t flag, uint8_t index)
{
    return long_write(0x11, 0x14, flagged_index((uint16_t)flag, index), 0, 0);
}

int tpd_show_frame_temp(uint16_t which, tpd_frame_temp_param_t* param)
{
    if (!param)
        return parameter_error();
    uint32_t p3 = (uint32_t)param->value[0] << 24 | (uint32_t)param->value[1] << 16 | (uint32_t)param->value[2] << 8;
    return long_write(0x11, 0x15, which, 0x7F7F7F00u, p3);
}

int tpd_hide_frame_temp(uint16_t which)
{
    return long_write(0x11, 0x16, which, 0, 0);
}

static uint16_t zoom_p1(uint16_t scale, uint8_t step)
{
    return (uint16_t)(scale << 8 | step);
}

int zoom_center_up(uint16_t scale, uint8_t step)
{
    return long_write(0x12, 0x01, zoom_p1(scale, step), 0, 0);
}

int zoom_center_down(uint16_t scale, uint8_t step)
{
    return long_write(0x12, 0x02, zoom_p1(scale, step), 0, 0);
}

int zoom_position_up(uint16_t scale, uint8_t step, uint32_t point)
{
    return long_write(0x12, 0x03, zoom_p1(scale, step), point, 0);
}

int zoom_position_down(uint16_t scale, uint8_t step, uint32_t point)
{
    return long_write(0x12, 0x04, zoom_p1(scale, step), point, 0);
}

/* ---- short commands ---- */

int xdata_read(uint16_t address, uint8_t length, uint8_t* data)
{
    if (!data)
        return parameter_error();
    uint8_t header[4] = {0x80, length};
    dz_put_be16(header + 2, address);
    return short_cmd_read(header, length, data);
}

int xdata_write(uint16_t address, uint8_t length, uint8_t* data)
{
    if (!data && length > 0)
        return parameter_error();
    uint8_t header[4] = {0x81, length};
    dz_put_be16(header + 2, address);
    return short_cmd_write(header, length, data);
}

/* ---- commands this module family does not have ---- */

int lens_vtemp_get(uint16_t* value)
{
    if (value)
        *value = 0;
    DZ_ERROR(PATH, "unsupported command\n");
    return DOZAZUVA_ERR_UNSUPPORTED;
}

int set_pn(uint8_t* data)
{
    (void)data;
    DZ_ERROR(PATH, "unsupported command\n");
    return DOZAZUVA_ERR_UNSUPPORTED;
}

int set_sn(uint8_t* data)
{
    (void)data;
    DZ_ERROR(PATH, "unsupported command\n");
    return DOZAZUVA_ERR_UNSUPPORTED;
}
