// What the module makes of the scene: its temperature reading per cell (with
// the emissivity it is told and the limits of its gain range), the 1/64 K
// temperature words, and its own grey picture.
#ifndef OMBRIX_SIM_SENSOR_H
#define OMBRIX_SIM_SENSOR_H

#include <cstddef>
#include <cstdint>

#include "ombrix_sim/scene.h"

namespace ombrix::sim {

constexpr size_t kPictureBytes = size_t(kSensorPixels) * 2;  // YUYV, 2 bytes a pixel
constexpr size_t kWordsBytes = size_t(kSensorPixels) * 2;
constexpr size_t kFrameBytes = kPictureBytes + kWordsBytes;  // 256 x 384 YUY2

// Limits of the two gain ranges, degrees C.
constexpr double kRangeLowCelsius = -20.0;
constexpr double kNormalRangeHighCelsius = 150.0;
constexpr double kHighRangeHighCelsius = 550.0;

// The emissivity code (emissivity x 127) of every surface in the scene; at this
// setting the module reads true temperatures.
constexpr uint16_t kSceneEmissivityCode = 121;
// The reflected ambient the module's emissivity correction assumes.
constexpr double kReflectedCelsius = 22.0;

struct MeasureSettings {
    uint16_t emissivity_code = kSceneEmissivityCode;  // 0..127, emissivity x 127
    bool high_range = false;                           // gain selection 0
};

// The module's reading for a surface of true temperature `celsius`: radiance
// of a surface of the scene's emissivity, corrected with the set emissivity,
// then held to the gain range.
double reading_celsius(double celsius, const MeasureSettings& settings);

// A temperature as the module's 16-bit word in 1/64 K (rounded, held to 0..65535).
uint16_t celsius_to_word(double celsius);
double word_to_celsius(uint16_t word);

// Readings of a whole true grid, as words.
void measure_grid(const float* true_celsius, const MeasureSettings& settings, uint16_t* words);

// The module's automatic gain control: the grid's readings from lowest to
// highest in at most kAgcBins bins, each bin weighted by its pixel count held
// between kAgcFloor and kAgcPlateau (about 1.5 % of the grid).
constexpr int kAgcBins = 1024;
constexpr int kAgcPlateau = kSensorPixels * 3 / 200;
constexpr int kAgcFloor = kAgcPlateau / 32;

// The module's grey picture of its words: a plateau-limited histogram
// equalisation of the grid onto luma 0..255, the lowest reading at 0 and the
// highest at 255 (all 128 on a flat grid), chroma 128, packed YUYV. `picture`
// holds kPictureBytes.
void render_picture(const uint16_t* words, uint8_t* picture);

// Little-endian words into the temperature half of a frame.
void store_words(const uint16_t* words, uint8_t* out);

}  // namespace ombrix::sim

#endif
