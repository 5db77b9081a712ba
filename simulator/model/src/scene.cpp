#include "ombrix_sim/scene.h"

#include <algorithm>
#include <cmath>

namespace ombrix::sim {
namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kDefaultBase[kElementCount] = {35.5, 80.0, 5.0};

double seconds(int64_t time_us) { return static_cast<double>(time_us) / 1e6; }

// A slow oscillation with the given period in seconds.
double wave(int64_t time_us, double period_s) { return std::sin(kTwoPi * seconds(time_us) / period_s); }

// splitmix64: a well-mixed 64-bit hash, enough for reproducible sensor noise.
uint64_t mix(uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

bool ElementState::contains(int x, int y) const {
    if (x < left || x >= right || y < top || y >= bottom) return false;
    if (shape == Shape::Rectangle) return true;
    const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    const double dx = (x - centre_x) / rx, dy = (y - centre_y) / ry;
    return dx * dx + dy * dy <= 1.0;
}

Scene::Scene(uint32_t seed) : seed_(seed) {
    for (int i = 0; i < kElementCount; ++i) base_[i] = kDefaultBase[i];
}

void Scene::set_base_celsius(ElementId id, double celsius) { base_[static_cast<int>(id)] = celsius; }

double Scene::base_celsius(ElementId id) const { return base_[static_cast<int>(id)]; }

ElementState Scene::element(ElementId id, int64_t time_us) const {
    ElementState e;
    switch (id) {
    case ElementId::Body: {
        // A person-sized blob walking left and right across the middle.
        const int rx = 18, ry = 30;
        const int cx = static_cast<int>(std::lround(128 + 48 * wave(time_us, 20.0)));
        const int cy = static_cast<int>(std::lround(104 + 6 * wave(time_us, 13.0)));
        e.shape = Shape::Ellipse;
        e.left = cx - rx;
        e.right = cx + rx + 1;
        e.top = cy - ry;
        e.bottom = cy + ry + 1;
        e.celsius = base_[0] + 1.0 * wave(time_us, 30.0);
        break;
    }
    case ElementId::Hot:
        e.left = 204;
        e.right = 236;
        e.top = 20;
        e.bottom = 44;
        e.celsius = base_[1];
        break;
    case ElementId::Cold: {
        const int left = 20 + static_cast<int>(std::lround(8 * wave(time_us, 40.0)));
        e.left = left;
        e.right = left + 28;
        e.top = 150;
        e.bottom = 178;
        e.celsius = base_[2];
        break;
    }
    }
    e.centre_x = (e.left + e.right - 1) / 2.0;
    e.centre_y = (e.top + e.bottom - 1) / 2.0;
    return e;
}

// Warmer towards the ceiling and towards the right; `drift` moves it all slowly.
static double background_at(int x, int y, double drift) {
    return 22.0 + 1.5 * (1.0 - y / double(kSensorHeight - 1)) + 1.0 * x / double(kSensorWidth - 1) + drift;
}

static double background_drift(int64_t time_us) { return 0.4 * wave(time_us, 60.0); }

double Scene::background_celsius(int x, int y, int64_t time_us) const {
    return background_at(x, y, background_drift(time_us));
}

// The noise hash in two steps: the frame's part (seed and time), then the pixel's.
static uint64_t frame_key(uint32_t seed, int64_t time_us) {
    return mix(mix(seed) ^ static_cast<uint64_t>(time_us));
}

static double noise_of(double amplitude, uint64_t frame, int index) {
    if (amplitude == 0) return 0;
    const uint64_t key = mix(frame ^ static_cast<uint64_t>(index));
    const double unit = static_cast<double>(key >> 11) * (1.0 / 9007199254740992.0);  // [0, 1)
    return amplitude * (2.0 * unit - 1.0);
}

double Scene::noise(int x, int y, int64_t time_us) const {
    return noise_of(noise_, frame_key(seed_, time_us), y * kSensorWidth + x);
}

// The first element that holds a pixel gives it its temperature, so the
// elements are painted over the background row from the last to the first.
static void paint_row(const ElementState (&elements)[kElementCount], int y, double* row) {
    for (int i = kElementCount - 1; i >= 0; --i) {
        const ElementState& e = elements[i];
        if (y < e.top || y >= e.bottom) continue;
        for (int x = std::max(e.left, 0); x < std::min(e.right, kSensorWidth); ++x)
            if (e.contains(x, y)) row[x] = e.celsius;
    }
}

// As background_celsius and noise pixel by pixel, with what a row, a column
// or the frame share worked out once (the same operations in the same order,
// so the same values): the simulated module runs inside the viewer, and this
// is most of its work. The elements are painted into the row before the noise
// is added, so that the background and noise loops have no branches.
void Scene::render(int64_t time_us, float* celsius) const {
    ElementState elements[kElementCount];
    for (int i = 0; i < kElementCount; ++i) elements[i] = element(static_cast<ElementId>(i), time_us);
    const double drift = background_drift(time_us);
    const uint64_t frame = frame_key(seed_, time_us);
    double column_part[kSensorWidth];
    for (int x = 0; x < kSensorWidth; ++x) column_part[x] = 1.0 * x / double(kSensorWidth - 1);
    double row[kSensorWidth];
    for (int y = 0; y < kSensorHeight; ++y) {
        const double row_part = 22.0 + 1.5 * (1.0 - y / double(kSensorHeight - 1));
        for (int x = 0; x < kSensorWidth; ++x) row[x] = row_part + column_part[x] + drift;
        paint_row(elements, y, row);
        float* out = celsius + y * kSensorWidth;
        for (int x = 0; x < kSensorWidth; ++x)
            out[x] = static_cast<float>(row[x] + noise_of(noise_, frame, y * kSensorWidth + x));
    }
}

}  // namespace ombrix::sim
