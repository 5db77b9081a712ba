// The scene in front of the simulated module: true surface temperatures on the
// 256 x 192 sensor grid as a function of time.
//
// A room-temperature background with gradients, a warm body that wanders slowly
// and breathes between about 34.5 and 36.5 degrees C, a hot object (80 C) and a
// cold object (5 C) that drifts a little, plus a small per-pixel noise. The
// picture at a given time is fully determined by the seed and that time, so
// tests can reproduce any frame. The elements never overlap.
#ifndef OMBRIX_SIM_SCENE_H
#define OMBRIX_SIM_SCENE_H

#include <array>
#include <cstdint>

namespace ombrix::sim {

constexpr int kSensorWidth = 256;
constexpr int kSensorHeight = 192;
constexpr int kSensorPixels = kSensorWidth * kSensorHeight;

enum class ElementId { Body = 0, Hot = 1, Cold = 2 };
constexpr int kElementCount = 3;

enum class Shape { Ellipse = 0, Rectangle = 1 };

// Where an element is and how warm it is at one moment.
struct ElementState {
    double celsius = 0;       // true surface temperature, noise excluded
    int left = 0, top = 0;    // bounding box, inclusive
    int right = 0, bottom = 0;  // bounding box, exclusive
    double centre_x = 0, centre_y = 0;
    Shape shape = Shape::Rectangle;

    bool contains(int x, int y) const;
};

class Scene {
public:
    static constexpr double kDefaultNoise = 0.1;  // +/- degrees C

    explicit Scene(uint32_t seed = 1);

    void set_seed(uint32_t seed) { seed_ = seed; }
    uint32_t seed() const { return seed_; }

    // The element's temperature before motion: the body breathes around it,
    // the hot and cold objects hold it exactly.
    void set_base_celsius(ElementId id, double celsius);
    double base_celsius(ElementId id) const;

    void set_noise_amplitude(double celsius) { noise_ = celsius < 0 ? -celsius : celsius; }
    double noise_amplitude() const { return noise_; }

    ElementState element(ElementId id, int64_t time_us) const;
    double background_celsius(int x, int y, int64_t time_us) const;
    // Uniform in [-amplitude, +amplitude], fixed by seed, time and cell.
    double noise(int x, int y, int64_t time_us) const;

    // Fills kSensorPixels true temperatures (degrees C, row-major), noise included.
    void render(int64_t time_us, float* celsius) const;

private:
    uint32_t seed_;
    double noise_ = kDefaultNoise;
    std::array<double, kElementCount> base_;
};

}  // namespace ombrix::sim

#endif
