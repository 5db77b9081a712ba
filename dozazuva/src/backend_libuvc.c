/* The default device table: Debian's libuvc 0.0.6 and libusb-1.0.
 *
 * The two operations dozazuva needs beyond libuvc's own calls are made here
 * from libuvc's public interface:
 * - finding the index-th device by vid, pid and product string is done by
 *   dozazuva over get_device_list and get_device_descriptor;
 * - stopping the stream while keeping the streaming interface claimed: the
 *   stream is opened with uvc_stream_open_ctrl and stopped with
 *   uvc_stream_stop, and only closed (which releases the interface) when the
 *   interface need not be kept. A kept stream is committed anew with
 *   uvc_stream_ctrl at the next start.
 * The frame descriptors of a device that is not open are read from its
 * configuration descriptor through a private libusb context.
 *
 * A device that disappears (the cable pulled while streaming) must still be
 * closed cleanly; libusb_unplug.c mends what libusb and libuvc get wrong
 * on that path. */
#include "dozazuva_internal.h"
#include "uvc_descriptors.h"

#include <libusb.h>
#include <libuvc/libuvc.h>
#include <pthread.h>
#include <stdlib.h>
#include <string.h>

enum { CC_VIDEO = 0x0E, SC_VIDEOSTREAMING = 0x02 };

typedef struct lu_handle {
    struct lu_handle* next;
    uvc_device_handle_t* devh;
    uvc_stream_ctrl_t ctrl;
    int have_ctrl;
    uvc_stream_handle_t* stream; /* open (interface claimed) while not NULL */
    int running;
    dozazuva_frame_fn on_frame;
    void* user;
} lu_handle;

/* Handles still open, so that exit can close them (the table's open gets
 * no context to hang them on; dozazuva keeps one context per process). */
static pthread_mutex_t g_handles_lock = PTHREAD_MUTEX_INITIALIZER;
static lu_handle* g_handles;

static int lu_init(void** context)
{
    uvc_context_t* uvc = NULL;
    uvc_error_t result = uvc_init(&uvc, NULL);
    *context = result == UVC_SUCCESS ? uvc : NULL;
    return result;
}

static void lu_close(void* handle);

static void lu_exit(void* context)
{
    for (;;) {
        pthread_mutex_lock(&g_handles_lock);
        lu_handle* open = g_handles;
        pthread_mutex_unlock(&g_handles_lock);
        if (!open)
            break;
        lu_close(open);
    }
    uvc_exit(context);
}

static int lu_get_device_list(void* context, void*** list)
{
    uvc_device_t** devices = NULL;
    uvc_error_t result = uvc_get_device_list(context, &devices);
    if (result != UVC_SUCCESS)
        return result;
    size_t count = 0;
    while (devices[count])
        ++count;
    void** copy = calloc(count + 1, sizeof *copy);
    if (!copy) {
        uvc_free_device_list(devices, 1);
        return UVC_ERROR_NO_MEM;
    }
    for (size_t i = 0; i < count; ++i)
        copy[i] = devices[i];
    uvc_free_device_list(devices, 0); /* the references move to the copy */
    *list = copy;
    return 0;
}

static void lu_free_device_list(void** list, int unref_devices)
{
    if (!list)
        return;
    for (size_t i = 0; unref_devices && list[i]; ++i)
        uvc_unref_device(list[i]);
    free(list);
}

static void lu_ref_device(void* device)
{
    uvc_ref_device(device);
}

static void lu_unref_device(void* device)
{
    uvc_unref_device(device);
}

static int lu_get_device_descriptor(void* device, dozazuva_device_desc* desc)
{
    uvc_device_descriptor_t* read = NULL;
    uvc_error_t result = uvc_get_device_descriptor(device, &read);
    if (result != UVC_SUCCESS)
        return result;
    desc->vid = read->idVendor;
    desc->pid = read->idProduct;
    desc->product = read->product ? strdup(read->product) : NULL;
    uvc_free_device_descriptor(read);
    return 0;
}

static void lu_free_device_descriptor(dozazuva_device_desc* desc)
{
    free(desc->product);
    desc->product = NULL;
}

/* The class-specific descriptors of the first video-streaming interface. */
static int streaming_descs_of(const struct libusb_config_descriptor* config, dozazuva_frame_desc* descs, int max)
{
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const struct libusb_interface* interface = &config->interface[i];
        if (interface->num_altsetting < 1)
            continue;
        const struct libusb_interface_descriptor* alt = &interface->altsetting[0];
        if (alt->bInterfaceClass != CC_VIDEO || alt->bInterfaceSubClass != SC_VIDEOSTREAMING)
            continue;
        const unsigned char* extra = alt->extra;
        int length = alt->extra_length;
        if (length == 0 && alt->bNumEndpoints > 0) {
            /* Some devices put them after the endpoint descriptor. */
            extra = alt->endpoint[0].extra;
            length = alt->endpoint[0].extra_length;
        }
        return dozazuva_parse_streaming_descs(extra, length, descs, max);
    }
    return UVC_ERROR_INVALID_DEVICE;
}

static int lu_get_frame_descs(void* device, dozazuva_frame_desc* descs, int max)
{
    libusb_context* usb = NULL;
    int result = libusb_init(&usb);
    if (result < 0)
        return result;
    libusb_device** list = NULL;
    ssize_t count = libusb_get_device_list(usb, &list);
    result = count < 0 ? (int)count : UVC_ERROR_NO_DEVICE;
    uint8_t bus = uvc_get_bus_number(device);
    uint8_t address = uvc_get_device_address(device);
    for (ssize_t i = 0; i < count; ++i) {
        if (libusb_get_bus_number(list[i]) != bus || libusb_get_device_address(list[i]) != address)
            continue;
        struct libusb_config_descriptor* config = NULL;
        result = libusb_get_config_descriptor(list[i], 0, &config);
        if (result == 0) {
            result = streaming_descs_of(config, descs, max);
            libusb_free_config_descriptor(config);
        }
        break;
    }
    if (count >= 0)
        libusb_free_device_list(list, 1);
    libusb_exit(usb);
    return result;
}

static int lu_open(void* device, void** handle)
{
    lu_handle* opened = calloc(1, sizeof *opened);
    if (!opened)
        return UVC_ERROR_NO_MEM;
    uvc_error_t result = uvc_open(device, &opened->devh);
    if (result != UVC_SUCCESS) {
        free(opened);
        return result;
    }
    pthread_mutex_lock(&g_handles_lock);
    opened->next = g_handles;
    g_handles = opened;
    pthread_mutex_unlock(&g_handles_lock);
    *handle = opened;
    return 0;
}

static void lu_print_diag(void* handle, FILE* stream)
{
    uvc_print_diag(((lu_handle*)handle)->devh, stream);
}

static int lu_get_stream_ctrl(void* handle, int format, int width, int height, int fps)
{
    lu_handle* h = handle;
    enum uvc_frame_format wanted = format == DOZAZUVA_FORMAT_YUYV    ? UVC_FRAME_FORMAT_YUYV
                                   : format == DOZAZUVA_FORMAT_MJPEG ? UVC_FRAME_FORMAT_MJPEG
                                                                     : UVC_FRAME_FORMAT_ANY;
    uvc_error_t result = uvc_get_stream_ctrl_format_size(h->devh, &h->ctrl, wanted, width, height, fps);
    h->have_ctrl = result == UVC_SUCCESS;
    return result;
}

static void lu_on_frame(uvc_frame_t* frame, void* user)
{
    lu_handle* h = user;
    h->on_frame(frame->data, frame->data_bytes, h->user);
}

/* Closing the stream handle releases the streaming interface. */
static void lu_release_stream(lu_handle* h)
{
    if (!h->stream)
        return;
    uvc_stream_close(h->stream);
    h->stream = NULL;
    h->running = 0;
}

static int lu_start_streaming(void* handle, dozazuva_frame_fn on_frame, void* user)
{
    lu_handle* h = handle;
    if (!h->have_ctrl)
        return UVC_ERROR_INVALID_PARAM;
    if (h->running)
        return UVC_ERROR_BUSY;
    h->on_frame = on_frame;
    h->user = user;
    if (h->stream && uvc_stream_ctrl(h->stream, &h->ctrl) != UVC_SUCCESS)
        lu_release_stream(h); /* the kept stream cannot take the new control; open afresh */
    if (!h->stream) {
        uvc_error_t result = uvc_stream_open_ctrl(h->devh, &h->stream, &h->ctrl);
        if (result != UVC_SUCCESS) {
            h->stream = NULL;
            return result;
        }
    }
    uvc_error_t result = uvc_stream_start(h->stream, lu_on_frame, h, 0);
    if (result != UVC_SUCCESS) {
        lu_release_stream(h);
        return result;
    }
    h->running = 1;
    return 0;
}

static void lu_stop_streaming(void* handle, int keep_interface)
{
    lu_handle* h = handle;
    if (h->running) {
        uvc_stream_stop(h->stream);
        h->running = 0;
    }
    if (!keep_interface)
        lu_release_stream(h);
}

static void lu_close(void* handle)
{
    lu_handle* h = handle;
    pthread_mutex_lock(&g_handles_lock);
    for (lu_handle** link = &g_handles; *link; link = &(*link)->next) {
        if (*link == h) {
            *link = h->next;
            break;
        }
    }
    pthread_mutex_unlock(&g_handles_lock);
    lu_stop_streaming(h, 0);
    uvc_close(h->devh);
    free(h);
}

static int lu_control_transfer(void* handle, uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                               uint8_t* data, uint16_t length, unsigned int timeout_ms)
{
    libusb_device_handle* usb = uvc_get_libusb_handle(((lu_handle*)handle)->devh);
    return libusb_control_transfer(usb, request_type, request, value, index, data, length, timeout_ms);
}

const dozazuva_backend dozazuva_libuvc_backend = {
    .abi = DOZAZUVA_BACKEND_ABI,
    .name = "libuvc",
    .init = lu_init,
    .exit = lu_exit,
    .get_device_list = lu_get_device_list,
    .free_device_list = lu_free_device_list,
    .ref_device = lu_ref_device,
    .unref_device = lu_unref_device,
    .get_device_descriptor = lu_get_device_descriptor,
    .free_device_descriptor = lu_free_device_descriptor,
    .get_frame_descs = lu_get_frame_descs,
    .open = lu_open,
    .print_diag = lu_print_diag,
    .get_stream_ctrl = lu_get_stream_ctrl,
    .start_streaming = lu_start_streaming,
    .stop_streaming = lu_stop_streaming,
    .close = lu_close,
    .control_transfer = lu_control_transfer,
};
