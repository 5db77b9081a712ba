/* The units of the module's temperature-measurement properties, as the
 * viewer's settings send them: the distance counts 1/16.3835 decimetre (at
 * most 32767), the emissivity 1/127. */
#ifndef OMBRIX_MODULE_UNITS_H
#define OMBRIX_MODULE_UNITS_H

#include <math.h>
#include <stdint.h>

#define OMBRIX_DISTANCE_WORDS_PER_DECIMETRE 16.3835
#define OMBRIX_EMISSIVITY_WORDS 127

static inline uint16_t distance_word(double decimetres)
{
    return (uint16_t)ceil(decimetres * OMBRIX_DISTANCE_WORDS_PER_DECIMETRE);
}

static inline double distance_decimetres(uint16_t word)
{
    return word / OMBRIX_DISTANCE_WORDS_PER_DECIMETRE;
}

static inline uint16_t emissivity_word(int percent)
{
    return (uint16_t)ceil(percent * (double)OMBRIX_EMISSIVITY_WORDS / 100.0);
}

/* Whole percent, cut as the settings panel shows it. */
static inline int emissivity_percent(uint16_t word)
{
    return (int)word * 100 / OMBRIX_EMISSIVITY_WORDS;
}

#endif
