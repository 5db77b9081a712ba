/* Camera access and streaming: the process-wide context, the one open
 * device, its stream and the library frame, over the device table chosen at
 * uvc_camera_init. */
#include "dozazuva_internal.h"

#include <pthread.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#define PATH "dozazuva/src/dozazuva"

enum { INITIAL_FRAME_WAIT_MS = 2000 };

ombrix_log_sinks dozazuva_log = {ombrix_log_silent, ombrix_log_silent};

/* The latest frame of the stream, shared between the table's streaming
 * thread (writer) and uvc_frame_get (reader). `lock` guards data, bytes and
 * exists; `arrivals` may also be peeked without it. `arrived` is signalled
 * with every arrival, so a reader sleeps until a frame comes instead of
 * polling. */
typedef struct library_frame {
    pthread_mutex_t lock;
    pthread_cond_t arrived; /* on the monotonic clock, set up by frame_wait_setup */
    uint8_t* data;
    size_t bytes;
    int exists;
    atomic_int arrivals; /* stored by the callback, not yet taken by uvc_frame_get */
} library_frame;

static struct {
    const dozazuva_backend* backend;
    void* context;
    void* device; /* referenced while open */
    void* handle;
    int streaming;
    atomic_int frame_wait_ms;
    uint32_t pid;
    uint32_t vid;
    char* name;
    library_frame frame;
} g_camera = {
    .frame_wait_ms = INITIAL_FRAME_WAIT_MS,
    .frame = {.lock = PTHREAD_MUTEX_INITIALIZER},
};

static char* copy_text(const char* text)
{
    return text ? strdup(text) : NULL;
}

static pthread_once_t frame_wait_once = PTHREAD_ONCE_INIT;

/* The frame wait is a span of time: a monotonic clock, so that setting the
 * wall clock neither cuts it short nor stretches it. */
static void frame_wait_setup(void)
{
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    pthread_cond_init(&g_camera.frame.arrived, &attributes);
    pthread_condattr_destroy(&attributes);
}

static struct timespec monotonic_after_ms(int ms)
{
    struct timespec at;
    clock_gettime(CLOCK_MONOTONIC, &at);
    at.tv_sec += ms / 1000;
    at.tv_nsec += (long)(ms % 1000) * 1000000L;
    if (at.tv_nsec >= 1000000000L) {
        at.tv_sec += 1;
        at.tv_nsec -= 1000000000L;
    }
    return at;
}

/* ---- context ---- */

/* Serialises initialisations: threads that init at once share one context. */
static pthread_mutex_t g_init_lock = PTHREAD_MUTEX_INITIALIZER;

/* The table's result: 0 or above on success (kept context included), a
 * libuvc error code otherwise. */
static int camera_init_locked(void)
{
    const dozazuva_backend* backend = dozazuva_select_backend();
    if (!backend)
        return DZ_UVC_ERROR_NOT_FOUND;
    /* A second init (the controller inits before every open attempt) keeps
     * the context instead of leaking it. */
    if (g_camera.context && backend == g_camera.backend)
        return DZ_UVC_SUCCESS;
    if (g_camera.context)
        uvc_camera_release();
    int result = backend->init(&g_camera.context);
    if (result < 0) {
        g_camera.context = NULL;
        return result;
    }
    g_camera.backend = backend;
    dozazuva_set_current_backend(backend);
    return result;
}

int uvc_camera_init(void)
{
    pthread_mutex_lock(&g_init_lock);
    int result = camera_init_locked();
    pthread_mutex_unlock(&g_init_lock);
    if (result < 0) {
        DZ_ERROR(PATH, "uvc camera init failed (uvc_error_code:%d)\n", result);
        return DOZAZUVA_ERR_INIT;
    }
    DZ_DEBUG(PATH, "uvc camera init success (uvc_error_code:%d)\n", result);
    return 0;
}

/* Arrivals of a freed frame are forgotten with it: counted on, they would
 * hand the next stream's first reader a frame that never arrived. */
static void library_frame_free(void)
{
    pthread_mutex_lock(&g_camera.frame.lock);
    free(g_camera.frame.data);
    g_camera.frame.data = NULL;
    g_camera.frame.bytes = 0;
    g_camera.frame.exists = 0;
    atomic_store(&g_camera.frame.arrivals, 0);
    pthread_mutex_unlock(&g_camera.frame.lock);
}

int uvc_camera_release(void)
{
    if (g_camera.handle)
        uvc_camera_close();
    library_frame_free();
    if (g_camera.context) {
        g_camera.backend->exit(g_camera.context);
        g_camera.context = NULL;
    }
    DZ_DEBUG(PATH, "UVC exited\n");
    return 0;
}

/* ---- devices ---- */

int uvc_camera_list(camera_dev_t* list)
{
    if (!list) {
        DZ_ERROR(PATH, "parameter error\n");
        return DOZAZUVA_ERR_PARAM;
    }
    void** devices = NULL;
    int result = g_camera.context ? g_camera.backend->get_device_list(g_camera.context, &devices)
                                  : DZ_UVC_ERROR_INVALID_PARAM;
    if (result < 0) {
        DZ_ERROR(PATH, "uvc camera get device list failed (uvc_error_code:%d)\n", result);
        return DOZAZUVA_ERR_LIST;
    }
    memset(&list[0], 0, sizeof list[0]);
    int count = 0;
    for (size_t i = 0; devices[i] && count < DOZAZUVA_MAX_DEVICES; ++i) {
        dozazuva_device_desc desc = {0};
        if (g_camera.backend->get_device_descriptor(devices[i], &desc) < 0)
            continue;
        list[count].pid = desc.pid;
        list[count].vid = desc.vid;
        list[count].name = copy_text(desc.product);
        if (!desc.product)
            DZ_DEBUG(PATH, "product name is null!\n");
        g_camera.backend->free_device_descriptor(&desc);
        ++count;
    }
    g_camera.backend->free_device_list(devices, 1);
    DZ_DEBUG(PATH, "uvc camera devices listed\n");
    return 0;
}

void uvc_camera_list_release(camera_dev_t* list)
{
    if (!list)
        return;
    for (int i = 0; i < DOZAZUVA_MAX_DEVICES; ++i) {
        free(list[i].name);
        list[i].name = NULL;
    }
}

static int device_matches(const camera_dev_t* want, const dozazuva_device_desc* desc)
{
    if (want->vid != 0 && want->vid != desc->vid)
        return 0;
    if (want->pid != 0 && want->pid != desc->pid)
        return 0;
    return !want->name || (desc->product && strcmp(want->name, desc->product) == 0);
}

/* The index-th (from 0) device matching the record, referenced. */
static int find_device(const camera_dev_t* want, int index, void** found)
{
    if (!g_camera.context)
        return DZ_UVC_ERROR_INVALID_PARAM;
    void** devices = NULL;
    int result = g_camera.backend->get_device_list(g_camera.context, &devices);
    if (result < 0)
        return result;
    result = DZ_UVC_ERROR_NO_DEVICE;
    int matches = 0;
    for (size_t i = 0; devices[i]; ++i) {
        dozazuva_device_desc desc = {0};
        if (g_camera.backend->get_device_descriptor(devices[i], &desc) < 0)
            continue;
        int match = device_matches(want, &desc);
        g_camera.backend->free_device_descriptor(&desc);
        if (match && matches++ == index) {
            g_camera.backend->ref_device(devices[i]);
            *found = devices[i];
            result = 0;
            break;
        }
    }
    g_camera.backend->free_device_list(devices, 1);
    return result;
}

static void fill_stream_info(camera_stream_info_t* info, const dozazuva_frame_desc* desc)
{
    info->format = malloc(sizeof desc->format_guid + 1);
    if (info->format) {
        memcpy(info->format, desc->format_guid, sizeof desc->format_guid);
        info->format[sizeof desc->format_guid] = '\0';
    }
    info->width = desc->width;
    info->height = desc->height;
    info->frame_size = desc->max_frame_size;
    memset(info->fps, 0, sizeof info->fps);
    for (int i = 0; i < DOZAZUVA_MAX_FPS && desc->intervals[i] != 0; ++i)
        info->fps[i] = 10000000u / desc->intervals[i];
}

int uvc_camera_info_get(camera_dev_t* dev, camera_stream_info_t* infos)
{
    if (!dev || !infos) {
        DZ_ERROR(PATH, "parameter error\n");
        return DOZAZUVA_ERR_PARAM;
    }
    void* device = NULL;
    int result = find_device(dev, 0, &device);
    if (result < 0) {
        DZ_ERROR(PATH, "uvc camera find device failed (uvc_error_code:%d)\n", result);
        return DOZAZUVA_ERR_FIND;
    }
    dozazuva_frame_desc* descs = calloc(DOZAZUVA_MAX_STREAM_INFOS, sizeof *descs);
    result = descs ? g_camera.backend->get_frame_descs(device, descs, DOZAZUVA_MAX_STREAM_INFOS)
                   : DZ_UVC_ERROR_OTHER;
    g_camera.backend->unref_device(device);
    if (result < 0) {
        free(descs);
        DZ_ERROR(PATH, "uvc camera get device info failed (uvc_error_code:%d)\n", result);
        return DOZAZUVA_ERR_DEVICE_INFO;
    }
    memset(&infos[0], 0, sizeof infos[0]);
    for (int i = 0; i < result && i < DOZAZUVA_MAX_STREAM_INFOS; ++i)
        fill_stream_info(&infos[i], &descs[i]);
    free(descs);
    return 0;
}

void uvc_camera_info_release(camera_stream_info_t* infos)
{
    if (!infos)
        return;
    for (int i = 0; i < DOZAZUVA_MAX_STREAM_INFOS; ++i) {
        free(infos[i].format);
        infos[i].format = NULL;
    }
}

/* ---- open and close ---- */

static int open_device(const char* fn, camera_dev_t* dev, int index, const char* already_open_text)
{
    if (!dev) {
        DZ_ERROR_IN(PATH, fn, "parameter error\n");
        return DOZAZUVA_ERR_PARAM;
    }
    if (g_camera.handle) {
        /* One device per process: a second open, of this device or another,
         * would lose the open handle. */
        DZ_ERROR_IN(PATH, fn, "%s\n", already_open_text);
        return DOZAZUVA_ERR_ALREADY_OPEN;
    }
    void* device = NULL;
    int result = find_device(dev, index, &device);
    if (result < 0) {
        DZ_ERROR_IN(PATH, fn, "uvc camera find device failed (uvc_error_code:%d)\n", result);
        return DOZAZUVA_ERR_FIND;
    }
    void* handle = NULL;
    result = g_camera.backend->open(device, &handle);
    if (result < 0) {
        g_camera.backend->unref_device(device);
        DZ_ERROR_IN(PATH, fn, "uvc camera open device failed (uvc_error_code:%d)\n", result);
        return DOZAZUVA_ERR_OPEN;
    }
    dozazuva_device_desc desc = {0};
    result = g_camera.backend->get_device_descriptor(device, &desc);
    if (result < 0) {
        g_camera.backend->close(handle);
        g_camera.backend->unref_device(device);
        DZ_ERROR_IN(PATH, fn, "uvc get device descriptor failed (uvc_error_code:%d)\n", result);
        return DOZAZUVA_ERR_DESCRIPTOR;
    }
    g_camera.device = device;
    g_camera.handle = handle;
    g_camera.pid = desc.pid;
    g_camera.vid = desc.vid;
    g_camera.name = copy_text(desc.product);
    if (!desc.product)
        DZ_ERROR_IN(PATH, fn, "product name is empty!\n");
    g_camera.backend->free_device_descriptor(&desc);
    g_camera.backend->print_diag(handle, stderr);
    DZ_DEBUG_IN(PATH, fn, "uvc camera opened success\n");
    return 0;
}

int uvc_camera_open(camera_dev_t* dev)
{
    return open_device(__func__, dev, 0, "dev already opened!");
}

int uvc_camera_open_same(camera_dev_t* dev, int index)
{
    return open_device(__func__, dev, index, "uvc camera already opened!");
}

int uvc_camera_close(void)
{
    if (!g_camera.handle)
        return 0;
    if (g_camera.streaming) {
        g_camera.backend->stop_streaming(g_camera.handle, 0);
        g_camera.streaming = 0;
    }
    g_camera.backend->close(g_camera.handle);
    g_camera.handle = NULL;
    DZ_DEBUG(PATH, "uvc camera closed\n");
    g_camera.backend->unref_device(g_camera.device);
    g_camera.device = NULL;
    g_camera.pid = 0;
    g_camera.vid = 0;
    free(g_camera.name);
    g_camera.name = NULL;
    return 0;
}

/* ---- streaming ---- */

/* Runs on the table's streaming thread for every complete frame. */
static void on_frame(const uint8_t* data, size_t bytes, void* user)
{
    library_frame* frame = &g_camera.frame;
    pthread_mutex_lock(&frame->lock);
    if (!frame->exists || bytes != frame->bytes) {
        pthread_mutex_unlock(&frame->lock);
        DZ_ERROR(PATH, "frame size error:%d\n", (int)bytes);
        return;
    }
    if (bytes)
        memcpy(frame->data, data, bytes);
    if (!user) {
        atomic_fetch_add(&frame->arrivals, 1);
        pthread_cond_broadcast(&frame->arrived);
        pthread_mutex_unlock(&frame->lock);
        return;
    }
    pthread_mutex_unlock(&frame->lock);
    /* Only this thread rewrites the frame, so the callback reads it unlocked. */
    const iruvc_usr_func_t* callback = user;
    callback->func(frame->data, callback->usr_param);
}

/* Makes the library frame frame_size bytes long (keeps one of that size). */
static int library_frame_make(size_t bytes)
{
    library_frame* frame = &g_camera.frame;
    int result = 0;
    pthread_mutex_lock(&frame->lock);
    if (!frame->exists || frame->bytes != bytes) {
        uint8_t* data = malloc(bytes ? bytes : 1);
        if (data) {
            free(frame->data);
            frame->data = data;
            frame->bytes = bytes;
            frame->exists = 1;
        } else {
            result = -1;
        }
    }
    pthread_mutex_unlock(&frame->lock);
    return result;
}

static int frame_format_of(const char* text)
{
    if (text && strcmp(text, "YUY2") == 0)
        return DOZAZUVA_FORMAT_YUYV;
    if (text && strcmp(text, "MJPEG") == 0)
        return DOZAZUVA_FORMAT_MJPEG;
    return DOZAZUVA_FORMAT_ANY;
}

int uvc_camera_stream_start(camera_param_t* param, iruvc_usr_func_t* callback)
{
    if (!param) {
        DZ_ERROR(PATH, "parameter error\n");
        return DOZAZUVA_ERR_PARAM;
    }
    atomic_store(&g_camera.frame_wait_ms, (int)param->timeout);
    pthread_once(&frame_wait_once, frame_wait_setup); /* before the first arrival signals */
    int format = frame_format_of(param->format);
    if (library_frame_make(param->frame_size) < 0) {
        DZ_ERROR(PATH, "start streaming failed (uvc_error_code:%d)\n", DZ_UVC_ERROR_OTHER);
        return DOZAZUVA_ERR_STREAM_START;
    }
    if (!g_camera.handle) {
        DZ_ERROR(PATH, "get stream format failed (uvc_error_code:%d)\n", DZ_UVC_ERROR_INVALID_DEVICE);
        return DOZAZUVA_ERR_STREAM_CTRL;
    }
    if (g_camera.streaming) {
        DZ_ERROR(PATH, "start streaming failed (uvc_error_code:%d)\n", DZ_UVC_ERROR_BUSY);
        return DOZAZUVA_ERR_STREAM_START;
    }
    int result = g_camera.backend->get_stream_ctrl(g_camera.handle, format, (int)param->width,
                                                   (int)param->height, (int)param->fps);
    if (result < 0) {
        DZ_ERROR(PATH, "get stream format failed (uvc_error_code:%d)\n", result);
        return DOZAZUVA_ERR_STREAM_CTRL;
    }
    if (!callback) {
        result = g_camera.backend->start_streaming(g_camera.handle, on_frame, NULL);
        DZ_DEBUG(PATH, "uvc_start_streaming without usr callback (uvc_error_code:%d)\n", result);
    } else if (!callback->func) {
        DZ_ERROR(PATH, "user's callback fucntion is empty! (uvc_error_code:%d)\n", result);
        return DOZAZUVA_ERR_CALLBACK;
    } else {
        result = g_camera.backend->start_streaming(g_camera.handle, on_frame, callback);
    }
    if (result < 0) {
        DZ_ERROR(PATH, "start streaming failed (uvc_error_code:%d)\n", result);
        return DOZAZUVA_ERR_STREAM_START;
    }
    g_camera.streaming = 1;
    DZ_DEBUG(PATH, "streaming...(uvc_error_code:%d)\n", result);
    return 0;
}

int uvc_frame_get(uint8_t* raw)
{
    if (!raw) {
        DZ_ERROR(PATH, "raw_data is empty!\n");
        return DOZAZUVA_ERR_PARAM;
    }
    pthread_once(&frame_wait_once, frame_wait_setup);
    library_frame* frame = &g_camera.frame;
    const int wait_ms = atomic_load(&g_camera.frame_wait_ms);
    int taken = 0;
    if (wait_ms > 0) {
        const struct timespec deadline = monotonic_after_ms(wait_ms);
        pthread_mutex_lock(&frame->lock);
        int timed_out = 0;
        while (atomic_load(&frame->arrivals) <= 0 && !timed_out)
            timed_out = pthread_cond_timedwait(&frame->arrived, &frame->lock, &deadline) != 0;
        /* As a poll that ran out: a frame that came with the time-out is
         * left for the next call. */
        taken = !timed_out && atomic_load(&frame->arrivals) > 0;
        if (taken) {
            if (frame->exists && frame->data && frame->bytes)
                memcpy(raw, frame->data, frame->bytes);
            atomic_fetch_sub(&frame->arrivals, 1);
        }
        pthread_mutex_unlock(&frame->lock);
    }
    if (taken)
        return 0;
    DZ_DEBUG(PATH, "overtime!\n");
    return DOZAZUVA_ERR_FRAME_TIMEOUT;
}

int uvc_camera_stream_close(int keep_interface)
{
    if (g_camera.handle && g_camera.streaming) {
        g_camera.backend->stop_streaming(g_camera.handle, keep_interface);
        g_camera.streaming = 0;
    }
    library_frame_free();
    DZ_DEBUG(PATH, "streaming done\n");
    return 0;
}

/* ---- raw transfers and buffers ---- */

int uvc_control_cmd(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                    uint16_t length, uint32_t timeout_ms)
{
    uint8_t zero = 0;
    if (!data || length == 0) {
        /* The module still expects one byte; a NULL buffer never receives it. */
        data = &zero;
        length = 1;
    }
    if (!g_camera.handle)
        return DOZAZUVA_ERR_TRANSFER;
    int moved = g_camera.backend->control_transfer(g_camera.handle, request_type, request, value, index, data,
                                                   length, timeout_ms);
    return moved == (int)length ? 0 : DOZAZUVA_ERR_TRANSFER;
}

uint8_t* uvc_frame_buf_create(camera_param_t* param)
{
    if (!param)
        return NULL;
    return malloc(param->frame_size ? param->frame_size : 1);
}

void uvc_frame_buf_release(uint8_t* buf)
{
    free(buf);
}

/* ---- identity and logging ---- */

void iruvc_log_register(int level)
{
    ombrix_log_set_level(&dozazuva_log, level);
}

const char* dozazuva_version(void)
{
    return "dozazuva 1.7.0";
}

const char* product_type(void)
{
    return "RURUZA";
}
