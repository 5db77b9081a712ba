/* The simulated camera module.
 *
 * libombrix_simulator.so puts a model of the thermal camera module behind
 * dozazuva's device table (ombrix_simulator_backend(), see
 * dozazuva_backend.h): one USB device, vid 0x0BDA, pid 0x5830 (or 0x5840),
 * with two YUY2 frame descriptors, 256 x 192 and 256 x 384 at 25 frames a
 * second, that answers the vendor register protocol and streams frames of a
 * moving scene: the module's grey picture over a grid of 16-bit temperature
 * words in 1/64 K.
 *
 * The functions below steer the module from tests and tools: identity,
 * plugging, faults, the wire log of control transfers, the scene's truth and
 * the frame pacing. A second transport (a USB-level emulation) can drive the
 * same module through ombrix_sim_control_transfer() and
 * ombrix_sim_produce_frame(). Every function is thread-safe.
 *
 * Return values: 0 for success, -1 for a refused argument, unless stated.
 *
 * How the module answers (register addresses as dozazuva's transport uses them):
 * - Each committing write (address bit 15 clear) makes the status byte at
 *   0x0200 read 0x01 (busy) for 2 polls, then 0x00 (done) or 0x06 (refused:
 *   an unknown command, a bad argument, a malformed or incomplete frame).
 * - Temperature-measurement properties (16, indexes 6 to 9 reserved):
 *   0 distance (default 164, at most 32767), 3 emissivity x 127 (default 121,
 *   at most 127), 5 gain (default 1 normal range -20..150 C, 0 high range
 *   -20..550 C); the others store any value. The scene's surfaces have
 *   emissivity 121/127: at that setting the module reads true temperatures.
 *   Image, automatic shutter and over-exposure tables: 16 values, default 0.
 * - Device information: type 5 "V1.3.26", type 6 "OMX256A", type 7 the serial
 *   number, each a NUL-padded 64-byte text; other types are refused.
 * - Temperature readouts are 1/64 K words: max/min information (max, min,
 *   max x, max y, min x, min y), point (temperature, x, y, 0, 0, 0), line and
 *   rectangle (max, min, mean, max x, max y, min x, min y).
 * - Flash: 16 MiB NOR (writes clear bits, erases set 4096-byte sectors to
 *   0xFF, at most 8 sectors a command); firmware region 0..1 MiB; saved
 *   configurations in one sector per slot from 1 MiB.
 * - A flat-field refresh holds the picture for 320 ms of scene time; unplugging
 *   and plugging back powers the module up fresh (flash and scene kept).
 */
#ifndef OMBRIX_SIMULATOR_H
#define OMBRIX_SIMULATOR_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define OMBRIX_SIM_API __attribute__((visibility("default")))

#define OMBRIX_SIM_VID 0x0BDA
#define OMBRIX_SIM_PID_5830 0x5830
#define OMBRIX_SIM_PID_5840 0x5840
#define OMBRIX_SIM_WIDTH 256
#define OMBRIX_SIM_HEIGHT 192
#define OMBRIX_SIM_PICTURE_BYTES 98304 /* 256 x 192 YUYV */
#define OMBRIX_SIM_FRAME_BYTES 196608  /* picture, then 256 x 192 words */
#define OMBRIX_SIM_FRAME_INTERVAL_US 40000
#define OMBRIX_SIM_DEFAULT_PRODUCT "USB Thermal Camera"
#define OMBRIX_SIM_DEFAULT_SERIAL "OMX2312000417"

struct dozazuva_backend;

/* The device table that dozazuva loads. */
OMBRIX_SIM_API const struct dozazuva_backend* ombrix_simulator_backend(void);

/* ---- Identity and state ------------------------------------------------ */

/* Back to a fresh module: plugged in, pid 0x5830, default product string and
 * serial, seed 1, scene time 0, default scene, no faults, empty wire log,
 * erased flash, free-running pace at 25 frames a second. Hot-plug listeners
 * stay registered and hear the removal and arrival this causes. Open handles
 * stay open and a stream keeps running on the fresh module, unless the reset
 * changes the identity or plugs the device in (then they are dead). */
OMBRIX_SIM_API void ombrix_sim_reset(void);
/* ombrix_sim_reset() with another seed for the scene's noise. */
OMBRIX_SIM_API void ombrix_sim_reset_seeded(uint32_t seed);

/* 0x5830 or 0x5840. A change while plugged re-enumerates the device (removal,
 * then arrival of the new identity). */
OMBRIX_SIM_API int ombrix_sim_select_pid(uint16_t pid);
OMBRIX_SIM_API uint16_t ombrix_sim_pid(void);
/* The USB product string; NULL for a device without one. Re-enumerates. */
OMBRIX_SIM_API int ombrix_sim_set_product(const char* product);
/* The serial number (USB and device information type 7, at most 63 bytes).
 * Re-enumerates. */
OMBRIX_SIM_API int ombrix_sim_set_serial(const char* serial);

typedef struct ombrix_sim_identity {
    uint16_t vid;
    uint16_t pid;
    int has_product;
    char product[127]; /* NUL-terminated; empty without a product string */
    char serial[64];
} ombrix_sim_identity;

/* The identity the device enumerates with now. */
OMBRIX_SIM_API int ombrix_sim_get_identity(ombrix_sim_identity* out);

/* ---- Plugging ------------------------------------------------------------ */

/* Pulls the cable: the device leaves the list, every later control transfer
 * fails with LIBUSB_ERROR_NO_DEVICE (-4), opens fail with UVC_ERROR_NO_DEVICE
 * (-4) and streams stop delivering. Handles opened before stay dead even after
 * the device comes back. Returns 0, or -1 when already unplugged. */
OMBRIX_SIM_API int ombrix_sim_unplug(void);
/* Plugs it back in: a new device in the list, the module freshly powered
 * (settings back to defaults, flash and scene kept). -1 when already plugged. */
OMBRIX_SIM_API int ombrix_sim_plug(void);
OMBRIX_SIM_API int ombrix_sim_is_plugged(void);

/* Called on the thread that plugs or unplugs, outside every lock of the
 * simulator (the callback may call these functions). */
typedef void (*ombrix_sim_hotplug_fn)(uint16_t vid, uint16_t pid, const char* serial, int arrived, void* user);
/* Returns a registration id (> 0), or -1 for a NULL callback. */
OMBRIX_SIM_API int ombrix_sim_hotplug_register(ombrix_sim_hotplug_fn callback, void* user);
/* Once it returns the callback is not called again (unless it is the caller). */
OMBRIX_SIM_API int ombrix_sim_hotplug_unregister(int id);

/* ---- Faults -------------------------------------------------------------- */

/* The next `commands` committing writes end with status `status` (e.g. 0x06)
 * instead of their result; `commands` < 0: until cleared. status 0 clears. */
OMBRIX_SIM_API void ombrix_sim_fault_status_error(uint8_t status, int commands);
/* Every status poll reads busy until switched off. */
OMBRIX_SIM_API void ombrix_sim_fault_stay_busy(int on);
/* How many status polls read busy after each committing write (default 2),
 * and what they read (default 0x01; 0x02 is the "not yet done" value). */
OMBRIX_SIM_API void ombrix_sim_set_busy_polls(unsigned polls);
OMBRIX_SIM_API void ombrix_sim_set_busy_status(uint8_t status);
/* The next `transfers` control transfers move one byte fewer than asked (a
 * cut write is ignored by the module); < 0: until cleared, 0 clears. */
OMBRIX_SIM_API void ombrix_sim_fault_short_transfer(int transfers);
/* The next `transfers` control transfers fail with the libusb error `error`
 * (negative, e.g. -7 time-out); < 0: until cleared. error 0 clears. */
OMBRIX_SIM_API int ombrix_sim_fault_transfer_error(int error, int transfers);
/* Frames of `bytes` bytes (cut or zero-padded); 0 for the real size. */
OMBRIX_SIM_API void ombrix_sim_fault_frame_size(size_t bytes);
/* No frame is delivered while on (the scene goes on moving). */
OMBRIX_SIM_API void ombrix_sim_fault_no_frames(int on);
/* Calls of the device table that can be made to fail. */
typedef enum ombrix_sim_call {
    OMBRIX_SIM_CALL_INIT = 0,
    OMBRIX_SIM_CALL_LIST = 1,
    OMBRIX_SIM_CALL_OPEN = 2,
    OMBRIX_SIM_CALL_STREAM_CTRL = 3,
    OMBRIX_SIM_CALL_START = 4,
    OMBRIX_SIM_CALL_COUNT = 5
} ombrix_sim_call;
/* The table's `call` answers `error` (negative, a libuvc error) until set back
 * to 0; -1 for an unknown call or a positive error. */
OMBRIX_SIM_API int ombrix_sim_fault_call(int call, int error);
/* All faults off, busy polls and busy status back to their defaults. */
OMBRIX_SIM_API void ombrix_sim_fault_clear(void);

/* ---- Wire log ------------------------------------------------------------ */

#define OMBRIX_SIM_WIRE_DATA_MAX 512

/* One control transfer as it reached the device (or was refused because the
 * device was gone). */
typedef struct ombrix_sim_transfer {
    uint8_t request_type;
    uint8_t request;
    uint16_t value;
    uint16_t index;
    uint16_t length; /* wLength as asked */
    int result;      /* bytes moved or a negative libusb error */
    uint16_t data_bytes; /* bytes in data: OUT the bytes sent, IN the bytes answered */
    uint8_t data[OMBRIX_SIM_WIRE_DATA_MAX];
} ombrix_sim_transfer;

/* The log keeps the latest 262144 transfers. */
OMBRIX_SIM_API size_t ombrix_sim_wire_count(void);
/* -1 for an index beyond the count or a NULL record. */
OMBRIX_SIM_API int ombrix_sim_wire_get(size_t index, ombrix_sim_transfer* out);
OMBRIX_SIM_API void ombrix_sim_wire_clear(void);

/* ---- Scene truth --------------------------------------------------------- */

typedef enum ombrix_sim_element_id {
    OMBRIX_SIM_BODY = 0, /* a warm body, an ellipse, about 34.5 to 36.5 C, wandering */
    OMBRIX_SIM_HOT = 1,  /* a hot rectangle, 80 C, still */
    OMBRIX_SIM_COLD = 2  /* a cold rectangle, 5 C, drifting a little */
} ombrix_sim_element_id;

typedef enum ombrix_sim_shape { OMBRIX_SIM_ELLIPSE = 0, OMBRIX_SIM_RECTANGLE = 1 } ombrix_sim_shape;

/* An element at the module's current time (that of its latest frame). */
typedef struct ombrix_sim_element {
    double celsius;           /* true surface temperature, noise excluded */
    int left, top;            /* bounding box in sensor cells, inclusive */
    int right, bottom;        /* exclusive */
    double centre_x, centre_y;
    int shape;                /* ombrix_sim_shape; an ellipse fills its box's inscribed ellipse */
} ombrix_sim_element;

OMBRIX_SIM_API int ombrix_sim_element_get(int element, ombrix_sim_element* out);
/* The element's base temperature (the body breathes +/- 1 C around it). */
OMBRIX_SIM_API int ombrix_sim_element_set_celsius(int element, double celsius);
/* True background temperature at a cell now; NaN outside the grid. */
OMBRIX_SIM_API double ombrix_sim_background_celsius(int x, int y);
/* Amplitude of the uniform per-cell noise, degrees C (default 0.1; 0 off). */
OMBRIX_SIM_API void ombrix_sim_set_noise(double celsius);
/* The true scene now (256 x 192 degrees C, row-major, noise included).
 * `count` must be at least 49152. */
OMBRIX_SIM_API int ombrix_sim_scene_celsius(float* grid, size_t count);
/* The temperature words the module shows now (after its emissivity correction
 * and range limits; what the frame's second half carries). */
OMBRIX_SIM_API int ombrix_sim_temperature_words(uint16_t* words, size_t count);
/* What the module reads for a surface of this true temperature under its
 * current emissivity and gain range. */
OMBRIX_SIM_API double ombrix_sim_reading_celsius(double true_celsius);
/* The frame the module would send now: 196608 bytes (or 98304 for only the
 * picture when `bytes` is 98304). Returns the bytes written or -1. */
OMBRIX_SIM_API long ombrix_sim_current_frame(uint8_t* frame, size_t bytes);
/* A temperature-measurement property (index 0 distance, 3 emissivity,
 * 5 gain: 1 normal, 0 high range); -1 outside the table. */
OMBRIX_SIM_API int ombrix_sim_tpd_property(int index);
/* Reads the module's flash directly (16 MiB, erased bytes read 0xFF). */
OMBRIX_SIM_API int ombrix_sim_flash_read(uint32_t address, uint8_t* out, uint32_t length);
/* 1 while a flat-field refresh holds the picture. */
OMBRIX_SIM_API int ombrix_sim_shutter_active(void);

/* ---- Time and pacing ----------------------------------------------------- */

typedef enum ombrix_sim_pace {
    OMBRIX_SIM_PACE_REALTIME = 0, /* a frame every interval by the steady clock */
    OMBRIX_SIM_PACE_MANUAL = 1    /* a frame only when stepped */
} ombrix_sim_pace;

OMBRIX_SIM_API int ombrix_sim_set_pace(int pace);
/* The frame interval of the free-running pace and the scene time each frame
 * moves on (default 40000 us, 25 frames a second). 1000 to 10000000. */
OMBRIX_SIM_API int ombrix_sim_set_frame_interval_us(uint32_t interval_us);
/* Manual pace: lets `frames` frames go and waits until the stream has handled
 * them (up to timeout_ms). Returns how many frames reached the frame callback
 * (fewer under a no-frames fault or unplugged), 0 at once when nothing
 * streams, -1 in the free-running pace or on time-out. */
OMBRIX_SIM_API int ombrix_sim_step_frames(unsigned frames, unsigned timeout_ms);
/* Frames handed to the frame callback since the last reset. */
OMBRIX_SIM_API uint64_t ombrix_sim_frames_delivered(void);
OMBRIX_SIM_API int ombrix_sim_is_streaming(void);

/* The scene time of the latest frame, microseconds. */
OMBRIX_SIM_API int64_t ombrix_sim_time_us(void);
OMBRIX_SIM_API void ombrix_sim_set_time_us(int64_t time_us);
/* While on, frames keep coming but the scene stands still. */
OMBRIX_SIM_API void ombrix_sim_freeze_time(int on);

/* ---- The module for another transport ------------------------------------ */

/* A vendor control transfer straight to the module (as ombrix_simulator's
 * device table does): bytes moved or a negative libusb error. Logged. */
OMBRIX_SIM_API int ombrix_sim_control_transfer(uint8_t request_type, uint8_t request, uint16_t value,
                                               uint16_t index, uint8_t* data, uint16_t length);
/* The next frame for a stream of `height` 384 or 192, moving the scene on by
 * the frame interval. Returns its size (a frame-size fault changes it), 0 when
 * no frame comes (unplugged, or the no-frames fault), -1 for a bad height or
 * a frame larger than `capacity` (the frame is then lost). */
OMBRIX_SIM_API long ombrix_sim_produce_frame(int height, uint8_t* frame, size_t capacity);

#ifdef __cplusplus
}
#endif

#endif
