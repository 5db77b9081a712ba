#include "ombrix_sim/sensor.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace ombrix::sim {
namespace {

constexpr double kKelvinOffset = 273.15;
constexpr double kMinEmissivity = 0.01;  // a code of 0 is taken as this

double fourth(double k) { return (k * k) * (k * k); }

// The reading held to the limits of the gain range.
inline double in_range(double reading, bool high_range) {
    const double high = high_range ? kHighRangeHighCelsius : kNormalRangeHighCelsius;
    return std::min(high, std::max(kRangeLowCelsius, reading));
}

// The word, rounded half away from zero and held to 0..65535. Holding before
// rounding gives the same word for every input (NaN becomes 0 either way) and
// keeps the rounding in 32-bit integers, which the compiler vectorises.
inline uint16_t word_of(double celsius) {
    const double x = std::min(65535.0, std::max(0.0, (celsius + kKelvinOffset) * 64.0));
    const int32_t whole = static_cast<int32_t>(x);
    return static_cast<uint16_t>(whole + static_cast<int32_t>(x - whole >= 0.5));
}

}  // namespace

double reading_celsius(double celsius, const MeasureSettings& settings) {
    double reading = celsius;
    if (settings.emissivity_code != kSceneEmissivityCode) {
        // Grey-body radiance seen by the sensor (scene emissivity, reflected
        // ambient), inverted with the emissivity the module was told.
        const double scene_e = kSceneEmissivityCode / 127.0;
        const double set_e = std::max(kMinEmissivity, std::min(1.0, settings.emissivity_code / 127.0));
        const double reflected = fourth(kReflectedCelsius + kKelvinOffset);
        const double radiance = scene_e * fourth(celsius + kKelvinOffset) + (1.0 - scene_e) * reflected;
        const double object = std::max(0.0, (radiance - (1.0 - set_e) * reflected) / set_e);
        reading = std::sqrt(std::sqrt(object)) - kKelvinOffset;
    }
    return in_range(reading, settings.high_range);
}

uint16_t celsius_to_word(double celsius) { return word_of(celsius); }

double word_to_celsius(uint16_t word) { return word / 64.0 - kKelvinOffset; }

void measure_grid(const float* true_celsius, const MeasureSettings& settings, uint16_t* words) {
    if (settings.emissivity_code != kSceneEmissivityCode) {
        for (int i = 0; i < kSensorPixels; ++i) words[i] = word_of(reading_celsius(true_celsius[i], settings));
        return;
    }
    // True temperatures (the usual setting): one loop the compiler vectorises.
    for (int i = 0; i < kSensorPixels; ++i) words[i] = word_of(in_range(true_celsius[i], settings.high_range));
}

// Automatic gain control as the module does it: a plateau-limited histogram
// equalisation of the temperature words. A plain linear stretch lets the hot
// and cold objects take the ends of the grey scale and squeezes the room and
// the body into a few shades; equalising gives each temperature band luma in
// proportion to how much of the picture it covers. The plateau (a cap on every
// bin's count) stops the large background from taking the whole scale, and the
// floor (every bin between the extremes counts at least that much, filled or
// not) keeps some luma for the gaps between bands, so the body stands apart
// from the hot object and the background from the cold one.
//
// A word's luma is the weighted count up to and including its bin, less the
// lowest bin's, over the weighted total less the lowest bin's, scaled to
// 0..255 and rounded: the coldest pixels get 0, the hottest 255, and luma
// never falls as the temperature rises. Integer arithmetic only, so a frame is
// fully determined by its words; a few tenths of a millisecond a frame.
void render_picture(const uint16_t* words, uint8_t* picture) {
    uint16_t lowest = 0xFFFF, highest = 0;  // one pass the compiler vectorises
    for (int i = 0; i < kSensorPixels; ++i) {
        lowest = std::min(lowest, words[i]);
        highest = std::max(highest, words[i]);
    }
    const int low = lowest, span = highest - lowest;
    if (span == 0) {
        for (int i = 0; i < kSensorPixels; ++i) {
            picture[2 * i] = 128;
            picture[2 * i + 1] = 128;
        }
        return;
    }
    // Bins a power of two words wide, as few words as keep them within
    // kAgcBins; the lowest word is in the first bin and the highest in the last.
    int shift = 0;
    while ((span >> shift) >= kAgcBins) ++shift;
    const int bins = (span >> shift) + 1;

    std::array<int, kAgcBins> count{};
    for (int i = 0; i < kSensorPixels; ++i) ++count[(words[i] - low) >> shift];

    std::array<uint8_t, kAgcBins> luma{};
    const auto weight = [](int n) { return std::min(std::max(n, kAgcFloor), kAgcPlateau); };
    const int first = weight(count[0]);
    int total = 0;
    for (int b = 0; b < bins; ++b) total += weight(count[b]);
    const int range = total - first;  // > 0: there are at least two bins
    int below = 0;
    for (int b = 0; b < bins; ++b) {
        below += weight(count[b]);
        luma[b] = static_cast<uint8_t>((255 * (below - first) + range / 2) / range);
    }

    for (int i = 0; i < kSensorPixels; ++i) {
        picture[2 * i] = luma[(words[i] - low) >> shift];
        picture[2 * i + 1] = 128;  // U for even pixels, V for odd ones
    }
}

void store_words(const uint16_t* words, uint8_t* out) {
    for (int i = 0; i < kSensorPixels; ++i) {
        out[2 * i] = static_cast<uint8_t>(words[i] & 0xFF);
        out[2 * i + 1] = static_cast<uint8_t>(words[i] >> 8);
    }
}

}  // namespace ombrix::sim
