/* The module's temperature words and the units people read them in. Shared by
 * the viewer, the command-line tool and the snapshot writers, so that every
 * program shows the same number for the same word.
 *
 * A word counts 1/64 kelvin. The sums are taken in double precision and
 * rounded once to single precision (19200 gives 26.850006); build users with
 * -ffp-contract=off so that no step is fused. */
#ifndef OMBRIX_TEMPERATURE_UNITS_H
#define OMBRIX_TEMPERATURE_UNITS_H

#include <math.h>
#include <stdint.h>

#define OMBRIX_KELVIN_PER_WORD 0.015625
#define OMBRIX_ZERO_CELSIUS_IN_KELVIN 273.15f

static inline float raw_to_celsius(uint16_t word)
{
    return (float)(word * OMBRIX_KELVIN_PER_WORD - (double)OMBRIX_ZERO_CELSIUS_IN_KELVIN);
}

/* The word that raw_to_celsius turns into this value (nearest; clamped to
 * the word's range). */
static inline uint16_t celsius_to_raw(float celsius)
{
    const double word = nearbyint(((double)celsius + (double)OMBRIX_ZERO_CELSIUS_IN_KELVIN) / OMBRIX_KELVIN_PER_WORD);
    if (!(word > 0.0))
        return 0;
    return word >= 65535.0 ? (uint16_t)65535 : (uint16_t)word;
}

static inline float celsius_to_fahrenheit(float celsius)
{
    return (float)((double)celsius * 1.8 + 32.0);
}

#endif
