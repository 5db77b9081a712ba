/* Colour mapping of the live picture: 83 colour tables, one selected at a time.
 *
 * The picture arrives as an 8-bit B, G, R matrix whose pixels are grey
 * (B = G = R). Each pixel's grey level picks one of the 256 entries of the
 * selected table. For pixels that are not grey, the grey level is the integer
 * luma (77 R + 150 G + 29 B + 128) >> 8, which gives back the level itself
 * whenever B = G = R.
 *
 * Tables are numbered 1 to THERMAL_TABLE_COUNT; table 1 is white-hot, table 2
 * an iron palette. The selection is one process-wide atomic index: it may be
 * changed on one thread while another maps pictures; each call of
 * itGray2RgbAD colours a whole picture with one table.
 *
 * Errors (a table number out of range, a picture of the wrong type) are
 * printed on standard output as "thermal error [...] text" lines.
 */
#ifndef THERMAL_H
#define THERMAL_H

#include <opencv2/core.hpp>

#include <stddef.h>
#include <stdint.h>

#define THERMAL_API __attribute__((visibility("default")))

/* Number of colour tables; valid numbers are 1 to THERMAL_TABLE_COUNT. */
#define THERMAL_TABLE_COUNT 83
/* Entries of one colour table, one per grey level. */
#define THERMAL_TABLE_LEVELS 256

/* Selects table n for later itGray2RgbAD calls. A number outside 1 to
 * THERMAL_TABLE_COUNT keeps the current table and prints an error line.
 * Before the first valid call, table 1 is selected. */
THERMAL_API void itSetRgbColor(int n);

/* The number of the selected table. */
THERMAL_API int itGetRgbColor(void);

/* Colours src (8-bit, three channels, B, G, R) through the selected table
 * into dst, which becomes a new 8-bit three-channel B, G, R matrix of
 * src's size. dst may share src's memory (the mapping works in place).
 * Any other type of src, an empty src or an unusable dst prints an error
 * line and leaves dst empty. */
THERMAL_API void itGray2RgbAD(cv::Mat src, cv::OutputArray dst);

/* As itGray2RgbAD for a src whose pixels are R, G, B (the luma weighs its
 * first byte as red and its last as blue); dst is B, G, R all the same. It
 * colours a converter's R, G, B picture without a channel swap first. */
THERMAL_API void itRgbToColourTable(cv::Mat src, cv::OutputArray dst);

/* The display name of table n ("White Hot", "Iron", ...); nullptr when n is
 * out of range. The text is static. */
THERMAL_API const char* itRgbColorName(int n);

/* Table n as THERMAL_TABLE_LEVELS B, G, R byte triplets, grey level 0
 * first; nullptr when n is out of range. The data is static and never
 * changes. */
THERMAL_API const unsigned char* itRgbColorTable(int n);

/* Colouring by temperature: a fixed span of temperature words (any linear
 * temperature code, such as the module's 1/64 kelvin) is spread over the 256
 * entries of a colour table, so that a colour always means the same
 * temperature. The span table holds one entry per possible word, each a
 * 32-bit value whose bytes in memory are B, G, R and 0. */
#define THERMAL_SPAN_WORDS 65536

/* The entry of colour table n that word selects in the span low to high:
 * round(255 * (word - low) / (high - low)), clamped to 0 and 255. */
THERMAL_API int itSpanLevel(unsigned word, unsigned low, unsigned high);

/* Fills table (THERMAL_SPAN_WORDS entries) for colour table n and the span
 * low to high (low < high <= 65535): every word takes the entry itSpanLevel
 * selects. 0, or -1 with an error line (and table untouched) for a table
 * number out of range, a null table or an empty span. */
THERMAL_API int itSpanTableBuild(int n, unsigned low, unsigned high, uint32_t* table);

/* Colours count native-endian temperature words through a span table into
 * count B, G, R triplets at bgr (which must not overlap words). Uses the
 * processor's vector gathers where it has them, unless the environment
 * variable OMBRIX_CPU is "portable". 0, or -1 with an error line for a null
 * pointer. */
THERMAL_API int itSpanMap(const uint16_t* words, size_t count, const uint32_t* table, unsigned char* bgr);

#endif
