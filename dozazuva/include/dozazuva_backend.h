/* The device layer under dozazuva.
 *
 * dozazuva reaches the camera through one table of device operations. The
 * default table drives libuvc and libusb-1.0; the simulated camera module
 * provides another (its library exports `ombrix_simulator_backend()`), which
 * dozazuva loads at uvc_camera_init when OMBRIX_CAMERA=simulated is set, and
 * which tests may install directly with dozazuva_use_backend().
 *
 * Results follow libuvc: 0 or a positive count for success, a negative
 * uvc_error_t value (UVC_ERROR_NO_DEVICE = -4, ...) for failure, so dozazuva's
 * messages print the same codes whichever table serves them. control_transfer
 * follows libusb_control_transfer: bytes moved, or a negative libusb_error.
 *
 * Ownership: device lists, devices, descriptors and handles belong to the
 * table that made them and are given back to it (free_device_list,
 * unref_device, free_device_descriptor, close). A call that fails leaves
 * nothing to give back.
 */
#ifndef DOZAZUVA_BACKEND_H
#define DOZAZUVA_BACKEND_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

#define DOZAZUVA_BACKEND_ABI 1

/* Frame formats asked of get_stream_ctrl. */
enum dozazuva_frame_format {
    DOZAZUVA_FORMAT_ANY = 0,
    DOZAZUVA_FORMAT_YUYV = 1,
    DOZAZUVA_FORMAT_MJPEG = 2
};

typedef struct dozazuva_device_desc {
    uint16_t vid;
    uint16_t pid;
    char* product; /* heap copy owned by the descriptor; NULL when the device has none */
} dozazuva_device_desc;

/* One frame descriptor of the first video-streaming interface, in descriptor order. */
typedef struct dozazuva_frame_desc {
    uint8_t format_guid[16];  /* the format descriptor's GUID ("YUY2" then zero bytes ...) */
    uint32_t width;
    uint32_t height;
    uint32_t max_frame_size;  /* dwMaxVideoFrameBufferSize */
    uint32_t intervals[33];   /* discrete intervals in 100 ns units, 0-terminated */
} dozazuva_frame_desc;

/* Called on the table's streaming thread for every complete frame. */
typedef void (*dozazuva_frame_fn)(const uint8_t* data, size_t bytes, void* user);

typedef struct dozazuva_backend {
    int abi; /* DOZAZUVA_BACKEND_ABI */
    const char* name;

    int (*init)(void** context);
    void (*exit)(void* context); /* closes any handle still open */

    /* NULL-terminated array of referenced devices. */
    int (*get_device_list)(void* context, void*** list);
    void (*free_device_list)(void** list, int unref_devices);
    void (*ref_device)(void* device);
    void (*unref_device)(void* device);
    int (*get_device_descriptor)(void* device, dozazuva_device_desc* desc);
    void (*free_device_descriptor)(dozazuva_device_desc* desc);

    /* Reads the device's description; writes at most `max` frame descriptors
     * and returns how many it wrote, or a negative error. */
    int (*get_frame_descs)(void* device, dozazuva_frame_desc* descs, int max);

    int (*open)(void* device, void** handle);
    void (*print_diag)(void* handle, FILE* stream);
    /* Negotiates the stream control for the handle's next start. */
    int (*get_stream_ctrl)(void* handle, int format, int width, int height, int fps);
    int (*start_streaming)(void* handle, dozazuva_frame_fn on_frame, void* user);
    /* keep_interface non-zero leaves the streaming interface claimed. */
    void (*stop_streaming)(void* handle, int keep_interface);
    void (*close)(void* handle);

    int (*control_transfer)(void* handle, uint8_t request_type, uint8_t request, uint16_t value,
                            uint16_t index, uint8_t* data, uint16_t length, unsigned int timeout_ms);
} dozazuva_backend;

/* Installs a table for the next uvc_camera_init (NULL: back to the default
 * choice, libuvc or OMBRIX_CAMERA=simulated). Returns 0, or -1 for a table of
 * another ABI. */
__attribute__((visibility("default"))) int dozazuva_use_backend(const dozazuva_backend* backend);

/* The table in use since the last uvc_camera_init, or NULL before it. */
__attribute__((visibility("default"))) const dozazuva_backend* dozazuva_current_backend(void);

#ifdef __cplusplus
}
#endif

#endif
