/* Log sinks of the camera-module libraries.
 *
 * Each library keeps an error sink and a debug sink (a printf-like function
 * pointer), both silent until its register function picks a level:
 * 0 prints errors and debug messages, 1 prints errors only, anything else
 * silences both. Messages read "<library> error [<path>:<line>/<function>] text".
 */
#ifndef OMBRIX_LOG_H
#define OMBRIX_LOG_H

#ifdef __cplusplus
extern "C" {
#endif

typedef int (*ombrix_log_sink)(const char* format, ...);

/* Formats into a zero-filled 200-byte buffer (cut to 199 characters), writes
 * it to standard output and flushes. Returns the number of bytes written. */
int ombrix_log_print(const char* format, ...) __attribute__((format(printf, 1, 2)));

/* Discards the message. */
int ombrix_log_silent(const char* format, ...) __attribute__((format(printf, 1, 2)));

typedef struct ombrix_log_sinks {
    ombrix_log_sink error;
    ombrix_log_sink debug;
} ombrix_log_sinks;

/* Installs the sinks for a level: 0 both print, 1 errors only, else both silent. */
void ombrix_log_set_level(ombrix_log_sinks* sinks, int level);

#ifdef __cplusplus
}
#endif

/* OMBRIX_LOG(sink, "zizuruziza error", "zizuruziza/src/zizuruziza", "data is NULL\n")
 * expands to the designed message with the line and function of the call site. */
#define OMBRIX_LOG(sink, prefix, path, fmt, ...) \
    (sink)(prefix " [%s:%d/%s] " fmt, path, __LINE__, __func__, ##__VA_ARGS__)

#endif
