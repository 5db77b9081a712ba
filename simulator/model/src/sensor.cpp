#include "ombrix_sim/sensor.h"

#include <algorithm>
#include <cmath>

namespace ombrix::sim {
namespace {

constexpr double kKelvinOffset = 273.15;
constexpr double kMinEmissivity = 0.01;  // a code of 0 is taken as this

double fourth(double k) { return (k * k) * (k * k); }

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
    const double high = settings.high_range ? kHighRangeHighCelsius : kNormalRangeHighCelsius;
    return std::min(high, std::max(kRangeLowCelsius, reading));
}

uint16_t celsius_to_word(double celsius) {
    const double word = std::round((celsius + kKelvinOffset) * 64.0);
    return static_cast<uint16_t>(std::min(65535.0, std::max(0.0, word)));
}

double word_to_celsius(uint16_t word) { return word / 64.0 - kKelvinOffset; }

void measure_grid(const float* true_celsius, const MeasureSettings& settings, uint16_t* words) {
    for (int i = 0; i < kSensorPixels; ++i) words[i] = celsius_to_word(reading_celsius(true_celsius[i], settings));
}

void render_picture(const uint16_t* words, uint8_t* picture) {
    const auto [low_it, high_it] = std::minmax_element(words, words + kSensorPixels);
    const int low = *low_it, span = *high_it - *low_it;
    for (int i = 0; i < kSensorPixels; ++i) {
        const int luma = span == 0 ? 128 : (255 * (words[i] - low) + span / 2) / span;
        picture[2 * i] = static_cast<uint8_t>(luma);
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
