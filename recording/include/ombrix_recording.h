/* ombrix_recording: radiometric recordings of the thermal camera module.
 *
 * A recording is one Matroska file with three frame-locked video streams and
 * millisecond timestamps:
 *   0  the picture as the user saw it (palette, rotation): H.264 when the
 *      FFmpeg build has an H.264 encoder, else FFV1; any video player shows it;
 *   1  the camera's picture half (YUYV 4:2:2), lossless FFV1 (yuv422p);
 *   2  the temperature half, the camera's 16-bit words (1/64 K), FFV1 gray16.
 * Container tags name the module and the settings (see ombrix_recording_tags).
 *
 * A camera frame as dozazuva delivers it is the picture half (width x height
 * YUYV, 2 bytes a pixel) followed by the temperature half (width x height
 * little-endian 16-bit words): 4 x width x height bytes.
 *
 * Writer: ombrix_recorder_open, _write for each frame, _close. It encodes on
 * the calling thread; keep it off a GUI thread. When a write fails (disk full,
 * file size limit) the file is cut back to the last whole frame, which stays
 * playable; later writes return the same error; _close reports it too.
 *
 * Reader: ombrix_recording_open checks the file is a recording of this
 * format and indexes its frames; _read returns any frame, byte for byte as it
 * was recorded.
 *
 * Playback: ombrix_playback_select opens a recording and installs a device
 * table (dozazuva_backend.h) for dozazuva's next uvc_camera_init, so the
 * viewer streams the recording as if it were the camera. Its frames come at
 * their recorded pace; while paused the current frame repeats at 25 frames a
 * second. The playback functions are thread-safe.
 *
 * Every function returns 0 (or a count) for success, or a negative
 * OMBRIX_REC_ERR_* code; ombrix_recording_error_text names the code.
 */
#ifndef OMBRIX_RECORDING_H
#define OMBRIX_RECORDING_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define OMBRIX_REC_API __attribute__((visibility("default")))

#define OMBRIX_RECORDING_FORMAT_VERSION 1

enum {
    OMBRIX_REC_ERR_ARGUMENT = -1,   /* null pointer, bad size or index */
    OMBRIX_REC_ERR_OPEN = -2,       /* the file cannot be opened or created */
    OMBRIX_REC_ERR_FORMAT = -3,     /* not a recording of this format (foreign or damaged file) */
    OMBRIX_REC_ERR_FRAME_SIZE = -4, /* a frame of another size than the recording's */
    OMBRIX_REC_ERR_WRITE = -5,      /* writing failed (disk full); the file ends at the last whole frame */
    OMBRIX_REC_ERR_DECODE = -6,     /* a frame of the file cannot be decoded */
    OMBRIX_REC_ERR_CODEC = -7,      /* the FFmpeg build lacks a needed codec */
    OMBRIX_REC_ERR_MEMORY = -8,     /* out of memory */
    OMBRIX_REC_ERR_STATE = -9       /* no recording selected for playback */
};

/* What a later analysis needs to know; texts are NUL-terminated UTF-8. */
typedef struct ombrix_recording_tags {
    char serial[64];       /* module serial number */
    char firmware[64];     /* firmware identity */
    char palette[64];      /* palette shown in stream 0 */
    char unit[8];          /* temperature unit shown: "C", "F" or "K" */
    char range_mode[16];   /* "normal" or "high" */
    double emissivity;     /* 0 .. 1 */
    double distance_m;     /* metres */
    int rotation;          /* degrees clockwise of stream 0 against the sensor */
    int64_t start_time_ms; /* ms since the epoch (UTC) of the first frame; 0: the writer's clock */
    int format_version;    /* written as OMBRIX_RECORDING_FORMAT_VERSION; filled in by the reader */
} ombrix_recording_tags;

typedef struct ombrix_recorder_params {
    int width;       /* sensor picture, e.g. 256 */
    int height;      /* e.g. 192 */
    int view_width;  /* size of stream 0 (the picture as shown, after rotation) */
    int view_height;
    ombrix_recording_tags tags;
} ombrix_recorder_params;

typedef struct ombrix_recorder ombrix_recorder;

OMBRIX_REC_API int ombrix_recorder_open(const char* path, const ombrix_recorder_params* params,
                                        ombrix_recorder** out);
/* One frame: `frame` is a camera frame of 4 x width x height bytes; `view` the
 * picture as shown, RGB24 rows of view_width x 3 bytes (scaled when its size
 * differs from the recording's view size; NULL repeats the last one, black
 * before the first). Times are ms; a time not after the previous one is moved
 * 1 ms after it. */
OMBRIX_REC_API int ombrix_recorder_write(ombrix_recorder* recorder, int64_t time_ms, const uint8_t* frame,
                                         size_t frame_bytes, const uint8_t* view, int view_width,
                                         int view_height);
/* Whole frames in the file so far. */
OMBRIX_REC_API int ombrix_recorder_frames(const ombrix_recorder* recorder);
/* Finishes the file and frees the recorder (NULL is ignored). Returns 0, or
 * the first error of the recording (the file then ends at its last whole frame). */
OMBRIX_REC_API int ombrix_recorder_close(ombrix_recorder* recorder);

typedef struct ombrix_recording_info {
    int width;
    int height;
    int frames;
    int64_t duration_ms;  /* time of the last frame after the first */
    ombrix_recording_tags tags;
} ombrix_recording_info;

typedef struct ombrix_recording ombrix_recording;

OMBRIX_REC_API int ombrix_recording_open(const char* path, ombrix_recording** out);
OMBRIX_REC_API int ombrix_recording_info_get(const ombrix_recording* recording, ombrix_recording_info* out);
/* Frame `index` (0 .. frames-1) into `frame` (4 x width x height bytes);
 * `time_ms` (may be NULL) gets its time after the first frame. */
OMBRIX_REC_API int ombrix_recording_read(ombrix_recording* recording, int index, uint8_t* frame, size_t bytes,
                                         int64_t* time_ms);
OMBRIX_REC_API void ombrix_recording_close(ombrix_recording* recording);

/* English text for a code. */
OMBRIX_REC_API const char* ombrix_recording_error_text(int code);

/* ---- Playback through dozazuva ------------------------------------------ */

struct dozazuva_backend;

/* The playback device table (one device, vid 0x0BDA, pid 0x5830). */
OMBRIX_REC_API const struct dozazuva_backend* ombrix_playback_backend(void);
/* Opens the recording (replacing one selected before, whose streams end) and
 * installs the playback table for the next uvc_camera_init. Playback starts
 * paused at the first frame. */
OMBRIX_REC_API int ombrix_playback_select(const char* path);
/* Closes the recording and gives dozazuva back its default choice. */
OMBRIX_REC_API void ombrix_playback_deselect(void);

typedef struct ombrix_playback_state {
    int index;   /* frame shown now */
    int frames;
    int64_t position_ms;
    int64_t duration_ms;
    int playing; /* 0 at the end of the recording */
} ombrix_playback_state;

OMBRIX_REC_API int ombrix_playback_set_playing(int playing);
/* Goes to frame `index` (clamped to the recording). */
OMBRIX_REC_API int ombrix_playback_seek(int index);
/* Pauses and moves `frames` frames on (negative: back). */
OMBRIX_REC_API int ombrix_playback_step(int frames);
OMBRIX_REC_API int ombrix_playback_state_get(ombrix_playback_state* out);
OMBRIX_REC_API int ombrix_playback_info_get(ombrix_recording_info* out);

#ifdef __cplusplus
}
#endif

#endif
