/* snapshot: one temperature frame written as files that other programs open.
 *
 *  - TIFF: the module's 16-bit temperature words (1/64 kelvin), uncompressed
 *    grey, with a description saying the unit and scale (key=value lines; an
 *    ImageJ calibration, so that it shows degrees Celsius directly);
 *  - CSV: one line per row, values separated by commas, "." as decimal point
 *    whatever the locale, in degrees Celsius or Fahrenheit;
 *  - RAW: little-endian 32-bit floats in degrees Celsius, nothing else;
 *  - PNG: an 8-bit RGB picture.
 *
 * Every file is written whole or not at all: the bytes go to a temporary file
 * in the same folder, which replaces the target only once complete. Each
 * function returns 0, or -1 with a message naming the file and the problem
 * in `error` (cut to error_size bytes, NUL-terminated; error may be NULL).
 * All functions are re-entrant. */
#ifndef OMBRIX_SNAPSHOT_H
#define OMBRIX_SNAPSHOT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum snapshot_unit { SNAPSHOT_CELSIUS = 0, SNAPSHOT_FAHRENHEIT = 1 } snapshot_unit;

/* Decimals of the CSV values: finer than a word (1/64 K) is not measured. */
#define SNAPSHOT_CSV_DECIMALS 2

int snapshot_write_tiff(const char* path, const uint16_t* words, int width, int height, char* error,
                        size_t error_size);
int snapshot_write_csv(const char* path, const float* celsius, int width, int height, snapshot_unit unit,
                       char* error, size_t error_size);
int snapshot_write_raw(const char* path, const float* celsius, int width, int height, char* error,
                       size_t error_size);
/* rgb: height rows of `stride` bytes, each starting with width R, G, B triples. */
int snapshot_write_png(const char* path, const uint8_t* rgb, int width, int height, int stride, char* error,
                       size_t error_size);

#ifdef __cplusplus
}
#endif

#endif
