/* dozazuva: camera access, streaming and vendor commands of the thermal
 * camera module.
 *
 * Camera access (one context, one open device, one stream, one frame buffer
 * per process):
 *   uvc_camera_init, uvc_camera_list, uvc_camera_info_get, uvc_camera_open,
 *   uvc_camera_stream_start, uvc_frame_get ..., uvc_camera_stream_close,
 *   uvc_camera_close, uvc_camera_release.
 * Vendor command transport: vdcmd_init after each open, then the module
 * commands below, from any thread (one process-wide mutex serialises them).
 *
 * Every function returns 0 for success or a negative code (DOZAZUVA_ERR_*).
 * Messages go to the sinks chosen with iruvc_log_register (silent until then).
 */
#ifndef DOZAZUVA_H
#define DOZAZUVA_H

#include <stddef.h>
#include <stdint.h>

#include "dozazuva_backend.h"

#define DOZAZUVA_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Error codes. */
enum {
    DOZAZUVA_ERR_PARAM = -1,             /* bad parameter */
    DOZAZUVA_ERR_INIT = -2,              /* context creation failed */
    DOZAZUVA_ERR_LIST = -3,              /* device list failed */
    DOZAZUVA_ERR_FIND = -4,              /* device not found */
    DOZAZUVA_ERR_DEVICE_INFO = -5,       /* reading the device description failed */
    DOZAZUVA_ERR_OPEN = -6,              /* device open failed */
    DOZAZUVA_ERR_DESCRIPTOR = -7,        /* reading the device descriptor failed */
    DOZAZUVA_ERR_ALREADY_OPEN = -8,      /* the device is already open */
    DOZAZUVA_ERR_STREAM_CTRL = -9,       /* no stream control for format, size and rate */
    DOZAZUVA_ERR_CALLBACK = -10,         /* callback record without a function */
    DOZAZUVA_ERR_STREAM_START = -11,     /* starting the stream failed */
    DOZAZUVA_ERR_FRAME_TIMEOUT = -12,    /* no frame within the frame wait */
    DOZAZUVA_ERR_NO_TRANSPORT = -13,     /* vdcmd_init not called */
    DOZAZUVA_ERR_TRANSPORT_TYPE = -14,   /* transport type not supported */
    DOZAZUVA_ERR_TRANSFER = -15,         /* control transfer moved fewer bytes than asked */
    DOZAZUVA_ERR_MODULE_STATUS = -16,    /* module reported a failure or stayed busy */
    DOZAZUVA_ERR_LONG_LENGTH = -17,      /* long reply length out of range */
    DOZAZUVA_ERR_UNSUPPORTED = -20       /* command this module family does not have */
};

/* ---- Camera access and streaming ---- */

/* One USB device. `name` is a malloc'd copy of the product string (NULL when
 * the device has none); the caller frees it with free() or
 * uvc_camera_list_release. */
typedef struct camera_dev_t {
    uint32_t pid;
    uint32_t vid;
    char* name;
} camera_dev_t;

#define DOZAZUVA_MAX_DEVICES 64
#define DOZAZUVA_MAX_STREAM_INFOS 32
#define DOZAZUVA_MAX_FPS 33

/* One frame descriptor of the device's first video-streaming interface.
 * `format` is a malloc'd NUL-terminated copy of the format GUID ("YUY2"); the
 * caller frees it with free() or uvc_camera_info_release. `fps` ends at the
 * first 0. */
typedef struct camera_stream_info_t {
    char* format;
    uint32_t width;
    uint32_t height;
    uint32_t frame_size;
    uint32_t fps[DOZAZUVA_MAX_FPS];
} camera_stream_info_t;

/* What the caller asks the stream for. `format` is "YUY2" or "MJPEG"; any
 * other text (NULL too) accepts any format. `timeout` is the wait of
 * uvc_frame_get in milliseconds. */
typedef struct camera_param_t {
    camera_dev_t dev;
    char* format;
    uint32_t width;
    uint32_t height;
    uint32_t frame_size;
    uint32_t fps;
    uint32_t timeout;
} camera_param_t;

/* Push callback: called on the streaming thread with the library frame's
 * data and `usr_param`. */
typedef struct iruvc_usr_func_t {
    void (*func)(void* frame_data, void* usr_param);
    void* usr_param;
} iruvc_usr_func_t;

DOZAZUVA_API int uvc_camera_init(void);
/* Fills up to 64 records of a zero-filled array; the list ends at the first
 * record with pid and vid 0. */
DOZAZUVA_API int uvc_camera_list(camera_dev_t* list);
/* Frees the names of a list's 64 records and nulls them. */
DOZAZUVA_API void uvc_camera_list_release(camera_dev_t* list);
/* Fills up to 32 records of a zero-filled array, one per frame descriptor. */
DOZAZUVA_API int uvc_camera_info_get(camera_dev_t* dev, camera_stream_info_t* infos);
/* Frees the format texts of the 32 records and nulls them. */
DOZAZUVA_API void uvc_camera_info_release(camera_stream_info_t* infos);
DOZAZUVA_API int uvc_camera_open(camera_dev_t* dev);
/* Opens the index-th (from 0) of several devices matching the record. */
DOZAZUVA_API int uvc_camera_open_same(camera_dev_t* dev, int index);
/* `callback` NULL: pull model (uvc_frame_get). Else the record must outlive
 * the stream. */
DOZAZUVA_API int uvc_camera_stream_start(camera_param_t* param, iruvc_usr_func_t* callback);
/* Copies the latest frame (frame_size bytes) into `raw`; -12 when none
 * arrived within the frame wait. */
DOZAZUVA_API int uvc_frame_get(uint8_t* raw);
/* keep_interface non-zero keeps the streaming interface claimed. */
DOZAZUVA_API int uvc_camera_stream_close(int keep_interface);
DOZAZUVA_API int uvc_camera_close(void);
DOZAZUVA_API int uvc_camera_release(void);
/* One control transfer on the open device; 0 when all `length` bytes moved.
 * NULL data or length 0 moves one zero byte. */
DOZAZUVA_API int uvc_control_cmd(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                                 uint8_t* data, uint16_t length, uint32_t timeout_ms);
DOZAZUVA_API uint8_t* uvc_frame_buf_create(camera_param_t* param);
DOZAZUVA_API void uvc_frame_buf_release(uint8_t* buf);

/* 0: errors and debug messages to standard output; 1: errors only; else silent. */
DOZAZUVA_API void iruvc_log_register(int level);
DOZAZUVA_API const char* dozazuva_version(void);
DOZAZUVA_API const char* product_type(void);

/* ---- Vendor command transport ---- */

typedef enum vdcmd_type_t {
    VDCMD_USB = 1,
    VDCMD_I2C = 2 /* not supported */
} vdcmd_type_t;

/* Register level: one control transfer each (1000 ms). Writes to an address
 * with bit 15 clear commit and are followed by the status poll. */
DOZAZUVA_API int i2c_usb_data_read(uint8_t request, uint16_t value, uint16_t address, uint16_t length,
                                   uint8_t* data);
DOZAZUVA_API int i2c_usb_data_write(uint8_t request, uint16_t value, uint16_t address, uint16_t length,
                                    uint8_t* data);
/* Polls the status byte until the module is done (0), failed or stays busy (-16). */
DOZAZUVA_API int i2c_usb_check_access_done(void);

DOZAZUVA_API int vdcmd_init(void);
DOZAZUVA_API int vdcmd_init_by_type(int type);
/* Polls of the status byte before giving up (low 16 bits; 0 allows 65536). */
DOZAZUVA_API int vdcmd_set_polling_wait_time(uint32_t count);

/* Command level: the whole command under the transport mutex. */
DOZAZUVA_API int short_cmd_read(uint8_t* header, uint8_t length, uint8_t* out);
DOZAZUVA_API int short_cmd_write(uint8_t* header, uint8_t length, uint8_t* data);
DOZAZUVA_API int standard_cmd_read(uint8_t* header, uint16_t length, uint8_t* out);
DOZAZUVA_API int standard_cmd_write(uint8_t* header, uint16_t length, uint8_t* data);
DOZAZUVA_API int long_cmd_read(uint8_t* header, uint16_t p1, uint32_t p2, uint32_t p3, int length, uint8_t* out);
DOZAZUVA_API int long_cmd_write(uint8_t* header, uint16_t p1, uint32_t p2, uint32_t p3, uint32_t length);

/* ---- Module command set ---- */

/* A point is x and y sent as one big-endian pair: x in the high 16 bits.
 * A line or rectangle is two points: the first in the high 32 bits. */
#define DOZAZUVA_POINT(x, y) ((uint32_t)(((uint32_t)(uint16_t)(x) << 16) | (uint16_t)(y)))
#define DOZAZUVA_TWO_POINTS(first, second) ((uint64_t)(((uint64_t)(first) << 32) | (uint32_t)(second)))

/* Temperature-measurement property indexes the viewer uses. */
enum {
    TPD_PROP_DISTANCE = 0, /* ceil(decimetres x 16.3835), at most 32767 */
    TPD_PROP_EMS = 3,      /* ceil(percent x 127 / 100) */
    TPD_PROP_GAIN_SEL = 5  /* 1 normal range, 0 high-temperature range */
};

/* preview_start: the module's preview settings; byte placement is fixed,
 * the meaning of the fields is the module's. */
typedef struct preview_start_param_t {
    uint8_t source;
    uint8_t flag;     /* 1 sets the top bit of the second byte */
    uint16_t width;
    uint16_t height;
    uint8_t fps;
    uint8_t mode;
} preview_start_param_t;

/* tpd_set_rect_temp_thd: three thresholds as the module defines them. */
typedef struct tpd_rect_temp_thd_t {
    uint16_t thd[3];
} tpd_rect_temp_thd_t;

/* tpd_show_frame_temp: three bytes as the module defines them. */
typedef struct tpd_frame_temp_param_t {
    uint8_t value[3];
} tpd_frame_temp_param_t;

/* Standard commands. */
DOZAZUVA_API int cur_vtemp_get(uint16_t* value);
DOZAZUVA_API int exit_capture(void);
DOZAZUVA_API int get_capture_data(void);
/* 8 bytes for every type: 5 firmware version, 6 module ID, 7 serial number. */
DOZAZUVA_API int get_device_info(uint8_t type, uint8_t* data);
DOZAZUVA_API int get_pn(uint8_t* data); /* 64 bytes */
DOZAZUVA_API int get_sn(uint8_t* data); /* 64 bytes */
DOZAZUVA_API int lens_k_cal(void);
DOZAZUVA_API int ooc_b_update(uint8_t which);
DOZAZUVA_API int preview_start(preview_start_param_t* param);
DOZAZUVA_API int preview_stop(uint8_t path);
DOZAZUVA_API int pseudo_color_get(uint8_t which, uint8_t* color);
DOZAZUVA_API int pseudo_color_set(uint8_t which, uint8_t color);
DOZAZUVA_API int restore_default_cfg(uint8_t which);
DOZAZUVA_API int rmcover_auto_calc(uint8_t zoom_scale); /* 1, 2 or 4 */
DOZAZUVA_API int rmcover_sts_switch(int en_sts);        /* 0 or 1 */
DOZAZUVA_API int shutter_manual_switch(uint8_t which);
DOZAZUVA_API int shutter_sta_get(uint8_t* first, uint8_t* second);
DOZAZUVA_API int shutter_sta_set(uint8_t which);
DOZAZUVA_API int shutter_vtemp_get(uint16_t* value);
DOZAZUVA_API int spi_config_load(int which); /* 5 and 14 refused */
DOZAZUVA_API int spi_config_save(uint8_t which);
DOZAZUVA_API int spi_erase_fw(void);
/* Erases `count` 4096-byte sectors from `addr`, at most 8 per command. */
DOZAZUVA_API int spi_erase_sector(uint32_t addr, uint16_t count);
DOZAZUVA_API int spi_read(uint32_t addr, uint16_t length, uint8_t* data);
DOZAZUVA_API int spi_read_id(uint8_t* data); /* 6 bytes */
DOZAZUVA_API int spi_read_status(uint8_t which, uint8_t* status);
DOZAZUVA_API int spi_write(uint32_t addr, uint16_t length, uint8_t* data);
DOZAZUVA_API int spi_write_status(uint8_t which, uint8_t status);
DOZAZUVA_API int spi_write_tag(void);
DOZAZUVA_API int start_capture(void);
DOZAZUVA_API int sys_reset_to_rom(void);
DOZAZUVA_API int sys_reset_to_update_fw(void);
DOZAZUVA_API int tecless_temp_area_get(uint8_t* data);
DOZAZUVA_API int tpd_distance_get(uint8_t* data); /* 2 bytes */
DOZAZUVA_API int tpd_distance_set(uint8_t* data); /* 2 bytes */
DOZAZUVA_API int tpd_ems_get(uint8_t* data);      /* 1 byte */
DOZAZUVA_API int tpd_ems_set(uint8_t ems);
DOZAZUVA_API int tpd_ktbt_recal_1point(int16_t temp);
DOZAZUVA_API int tpd_ktbt_recal_2point(int point, int16_t temp); /* point 0 or 1 */
DOZAZUVA_API int y16_preview_start(uint8_t path, uint8_t mode);
DOZAZUVA_API int y16_preview_stop(uint8_t path);

/* Long commands. */
DOZAZUVA_API int dpc_add_point(uint32_t point);
DOZAZUVA_API int dpc_remove_point(uint32_t point);
DOZAZUVA_API int get_prop_auto_shutter_params(uint16_t index, uint16_t* value);
DOZAZUVA_API int get_prop_image_params(uint16_t index, uint16_t* value);
DOZAZUVA_API int get_prop_overexposure_params(uint16_t index, uint16_t* value);
DOZAZUVA_API int get_prop_tpd_params(int index, uint16_t* value); /* 6 to 9 refused */
DOZAZUVA_API int load_prop_default_params(uint16_t which);
DOZAZUVA_API int set_prop_auto_shutter_params(uint16_t index, uint16_t value);
DOZAZUVA_API int set_prop_image_params(uint16_t index, uint16_t value);
DOZAZUVA_API int set_prop_overexposure_params(uint16_t index, uint16_t value);
DOZAZUVA_API int set_prop_tpd_params(int index, uint16_t value); /* 6 to 9 refused; distance <= 32767 */
DOZAZUVA_API int tpd_get_max_temp(uint16_t* value);
DOZAZUVA_API int tpd_get_min_temp(uint16_t* value);
DOZAZUVA_API int tpd_get_max_min_temp_info(uint16_t* values);            /* 6 values */
DOZAZUVA_API int tpd_get_point_temp_info(uint32_t point, uint16_t* value);
DOZAZUVA_API int tpd_get_line_temp_info(uint64_t line, uint16_t* values); /* 7 values */
DOZAZUVA_API int tpd_get_rect_temp_info(uint64_t rect, uint16_t* values); /* 7 values */
DOZAZUVA_API int tpd_set_rect_temp_thd(tpd_rect_temp_thd_t* thd);
DOZAZUVA_API int tpd_show_point_temp(int16_t flag, uint8_t index, uint32_t point); /* index < 12 */
DOZAZUVA_API int tpd_hide_point_temp(int16_t flag, uint8_t index);                 /* index < 12 */
DOZAZUVA_API int tpd_show_rect_temp(uint32_t flag, uint8_t index, uint64_t rect);
DOZAZUVA_API int tpd_hide_rect_temp(int16_t flag, uint8_t index);
DOZAZUVA_API int tpd_show_frame_temp(uint16_t which, tpd_frame_temp_param_t* param);
DOZAZUVA_API int tpd_hide_frame_temp(uint16_t which);
DOZAZUVA_API int zoom_center_up(uint16_t scale, uint8_t step);
DOZAZUVA_API int zoom_center_down(uint16_t scale, uint8_t step);
DOZAZUVA_API int zoom_position_up(uint16_t scale, uint8_t step, uint32_t point);
DOZAZUVA_API int zoom_position_down(uint16_t scale, uint8_t step, uint32_t point);

/* Short commands. */
DOZAZUVA_API int xdata_read(uint16_t address, uint8_t length, uint8_t* data);
DOZAZUVA_API int xdata_write(uint16_t address, uint8_t length, uint8_t* data);

/* Commands this module family does not have: -20. */
DOZAZUVA_API int lens_vtemp_get(uint16_t* value); /* sets *value to 0 */
DOZAZUVA_API int set_pn(uint8_t* data);
DOZAZUVA_API int set_sn(uint8_t* data);

#ifdef __cplusplus
}
#endif

#endif
