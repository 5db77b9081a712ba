// The colour tables: each base palette is a colour course over t in [0, 1]
// (piecewise-linear control points, a polynomial fit or a formula), sampled
// at the 256 grey levels. Reversed and banded tables are derived from the
// sampled table of their source, so a reversal is exactly the mirror of its
// source and every band colour is one of its source's colours.
#include "palettes.h"

#include "thermal.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstring>

namespace thermal {
namespace {

constexpr int kLevels = THERMAL_TABLE_LEVELS;

struct Rgb {
    double r, g, b;  // 0 to 1
};

using Course = Rgb (*)(double t);

// ---- Piecewise-linear courses -------------------------------------------

struct Stop {
    double at;
    std::uint8_t r, g, b;
};

template <std::size_t N>
Rgb interpolate(const Stop (&stops)[N], double t)
{
    static_assert(N >= 2, "a course needs two stops");
    std::size_t upper = 1;
    while (upper < N - 1 && t > stops[upper].at)
        ++upper;
    const Stop& a = stops[upper - 1];
    const Stop& b = stops[upper];
    const double f = std::clamp((t - a.at) / (b.at - a.at), 0.0, 1.0);
    auto mix = [f](std::uint8_t from, std::uint8_t to) { return (from + f * (to - from)) / 255.0; };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

template <const auto& Stops>
Rgb stops(double t)
{
    return interpolate(Stops, t);
}

constexpr Stop kGrey[] = {{0.0, 0, 0, 0}, {1.0, 255, 255, 255}};

// Black, indigo, purple, magenta, red-orange, orange, yellow, near white.
constexpr Stop kIron[] = {
    {0.00, 0, 0, 0},      {0.12, 28, 6, 102},   {0.27, 110, 10, 150}, {0.42, 186, 30, 122},
    {0.57, 228, 78, 42},  {0.72, 248, 140, 10}, {0.87, 254, 212, 52}, {1.00, 255, 255, 238}};

constexpr Stop kRainbow[] = {
    {0.00, 40, 0, 90},   {0.15, 0, 0, 255},    {0.32, 0, 200, 255}, {0.48, 0, 220, 80},
    {0.63, 240, 240, 0}, {0.80, 255, 120, 0},  {0.92, 230, 0, 0},   {1.00, 255, 255, 255}};

// Two hue cycles, the second lighter: neighbouring temperatures differ in hue.
constexpr Stop kRainbowHighContrast[] = {
    {0.00, 0, 0, 0},      {0.08, 80, 0, 160},   {0.16, 0, 0, 255},    {0.24, 0, 255, 255},
    {0.32, 0, 255, 0},    {0.40, 255, 255, 0},  {0.48, 255, 0, 0},    {0.56, 255, 0, 255},
    {0.64, 60, 60, 255},  {0.72, 60, 255, 255}, {0.80, 60, 255, 60},  {0.88, 255, 255, 60},
    {0.94, 255, 60, 60},  {1.00, 255, 255, 255}};

constexpr Stop kLava[] = {
    {0.00, 0, 0, 0},      {0.16, 20, 36, 90},   {0.32, 24, 110, 128}, {0.48, 160, 36, 52},
    {0.64, 226, 72, 20},  {0.80, 252, 168, 24}, {0.92, 255, 232, 110}, {1.00, 255, 255, 255}};

// Cold in blues, warm in golds.
constexpr Stop kArctic[] = {
    {0.00, 4, 8, 36},      {0.20, 16, 40, 120},  {0.40, 36, 96, 196},  {0.55, 110, 180, 236},
    {0.65, 200, 236, 250}, {0.75, 226, 176, 72}, {0.88, 246, 212, 64}, {1.00, 255, 250, 210}};

constexpr Stop kGlowbow[] = {
    {0.00, 0, 0, 0},    {0.25, 128, 0, 0},    {0.50, 226, 44, 0},
    {0.70, 255, 150, 0}, {0.85, 255, 228, 80}, {1.00, 255, 255, 255}};

constexpr Stop kMedical[] = {
    {0.00, 0, 0, 0},     {0.18, 0, 0, 190},   {0.33, 0, 140, 210}, {0.48, 0, 196, 90},
    {0.62, 220, 220, 0}, {0.76, 245, 120, 0}, {0.90, 220, 0, 0},   {1.00, 255, 255, 255}};

// The classic black-red-yellow-white course with one channel rising at a time.
constexpr Stop kHotMetal[] = {
    {0.000, 11, 0, 0}, {0.365, 255, 0, 0}, {0.746, 255, 255, 0}, {1.000, 255, 255, 255}};

// Grey, with the hottest fifth in red to yellow.
constexpr Stop kRedHot[] = {
    {0.00, 0, 0, 0}, {0.78, 200, 200, 200}, {0.80, 190, 20, 10}, {1.00, 255, 230, 40}};

// Grey, with the coldest and hottest parts singled out in blue and red.
constexpr Stop kHotAndCold[] = {
    {0.00, 0, 70, 255},    {0.14, 0, 30, 150},  {0.15, 40, 40, 40},
    {0.85, 215, 215, 215}, {0.86, 170, 20, 0},  {1.00, 255, 80, 20}};

constexpr Stop kAmber[] = {
    {0.00, 0, 0, 0}, {0.55, 200, 120, 0}, {0.85, 255, 190, 40}, {1.00, 255, 244, 208}};

constexpr Stop kGreenNightVision[] = {
    {0.00, 0, 8, 0}, {0.60, 20, 180, 40}, {0.85, 90, 250, 90}, {1.00, 220, 255, 220}};

constexpr Stop kSepia[] = {
    {0.00, 22, 14, 6}, {0.35, 92, 58, 28}, {0.70, 178, 132, 84}, {1.00, 250, 236, 208}};

constexpr Stop kBone[] = {
    {0.000, 0, 0, 0}, {0.375, 84, 84, 116}, {0.750, 166, 198, 198}, {1.000, 255, 255, 255}};

constexpr Stop kCopper[] = {{0.0, 0, 0, 0}, {0.8, 255, 160, 102}, {1.0, 255, 199, 127}};

constexpr Stop kOcean[] = {
    {0.00, 0, 6, 24},      {0.30, 0, 48, 110}, {0.60, 0, 136, 150},
    {0.85, 110, 214, 200}, {1.00, 236, 255, 250}};

constexpr Stop kSunset[] = {
    {0.00, 18, 10, 56},   {0.25, 92, 24, 120}, {0.50, 196, 52, 112},
    {0.75, 248, 124, 60}, {1.00, 255, 232, 124}};

// Light cyan for the coldest, through a dark middle, to yellow for the hottest.
constexpr Stop kIceFire[] = {
    {0.00, 190, 245, 255}, {0.25, 50, 120, 230}, {0.50, 16, 16, 32},
    {0.75, 210, 40, 20},   {1.00, 255, 236, 130}};

constexpr Stop kJet[] = {
    {0.000, 0, 0, 128},   {0.125, 0, 0, 255}, {0.375, 0, 255, 255},
    {0.625, 255, 255, 0}, {0.875, 255, 0, 0}, {1.000, 128, 0, 0}};

// Diverging blue-grey-red.
constexpr Stop kCoolWarm[] = {
    {0.00, 59, 76, 192},    {0.25, 141, 176, 254}, {0.50, 221, 221, 221},
    {0.75, 244, 154, 123},  {1.00, 180, 4, 38}};

// The eleven-class spectral scheme, blue for cold.
constexpr Stop kSpectral[] = {
    {0.0, 94, 79, 162},   {0.1, 50, 136, 189},  {0.2, 102, 194, 165}, {0.3, 171, 221, 164},
    {0.4, 230, 245, 152}, {0.5, 255, 255, 191}, {0.6, 254, 224, 139}, {0.7, 253, 174, 97},
    {0.8, 244, 109, 67},  {0.9, 213, 62, 79},   {1.0, 158, 1, 66}};

// Colour-vision-deficiency friendly blue-grey-yellow.
constexpr Stop kCividis[] = {
    {0.00, 0, 32, 76},      {0.25, 65, 77, 107}, {0.50, 124, 123, 120},
    {0.75, 188, 175, 111},  {1.00, 255, 233, 69}};

// ---- Polynomial fits of the perceptual maps -------------------------------

// c[k] holds the R, G, B coefficients of t^k.
struct Polynomial {
    double c[7][3];
};

template <const Polynomial& P>
Rgb polynomial(double t)
{
    double v[3];
    for (int channel = 0; channel < 3; ++channel) {
        double sum = 0.0;
        for (int k = 6; k >= 0; --k)
            sum = sum * t + P.c[k][channel];
        v[channel] = sum;
    }
    return {v[0], v[1], v[2]};
}

constexpr Polynomial kViridis = {{
    {0.2777273272234177, 0.005407344544966578, 0.3340998053353061},
    {0.1050930431085774, 1.404613529898575, 1.384590162594685},
    {-0.3308618287255563, 0.214847559468213, 0.09509516302823659},
    {-4.634230498983486, -5.799100973351585, -19.33244095627987},
    {6.228269936347081, 14.17993336680509, 56.69055260068105},
    {4.776384997670288, -13.74514537774601, -65.35303263337234},
    {-5.435455855934631, 4.645852612178535, 26.3124352495832}}};

constexpr Polynomial kMagma = {{
    {-0.002136485053939582, -0.000749655052795221, -0.005386127855323933},
    {0.2516605407371642, 0.6775232436837668, 2.494026599312351},
    {8.353717279216625, -3.577719514958484, 0.3144679030132573},
    {-27.66873308576866, 14.26473078096533, -13.64921318813922},
    {52.17613981234068, -27.94360607168351, 12.94416944238394},
    {-50.76852536473588, 29.04658282127291, 4.23415299384598},
    {18.65570506591883, -11.48977351997711, -5.601961508734096}}};

constexpr Polynomial kInferno = {{
    {0.0002189403691192265, 0.001651004631001012, -0.01948089843709184},
    {0.1065134194856116, 0.5639564367884091, 3.932712388889277},
    {11.60249308247187, -3.972853965665698, -15.9423941062914},
    {-41.70399613139459, 17.43639888205313, 44.35414519872813},
    {77.162935699427, -33.40235894210092, -81.80730925738993},
    {-71.31942824499214, 32.62606426397723, 73.20951985803202},
    {25.13112622477341, -12.24266895238567, -23.07032500287172}}};

constexpr Polynomial kPlasma = {{
    {0.05873234392399702, 0.02333670892565664, 0.5433401826748754},
    {2.176514634195958, 0.2383834171260182, 0.7539604599784036},
    {-2.689460476458034, -7.455851135738909, 3.110799939717086},
    {6.130348345893603, 42.3461881477227, -28.51885465332158},
    {-11.10743619062271, -82.66631109428045, 60.13984767418263},
    {10.02306557647065, 71.41361770095349, -54.07218655560067},
    {-3.658713842777788, -22.93153465461149, 18.19190778539828}}};

// Fifth-degree fit of the improved rainbow.
constexpr Polynomial kTurbo = {{
    {0.13572138, 0.09140261, 0.10667330},
    {4.61539260, 2.19418839, 12.64194608},
    {-42.66032258, 4.84296658, -60.58204836},
    {132.13108234, -14.18503333, 110.36276771},
    {-152.94239396, 4.27729857, -89.90310912},
    {59.28637943, 2.82956604, 27.34824973},
    {0.0, 0.0, 0.0}}};

// ---- Formulas ---------------------------------------------------------------

// A helix around the grey diagonal of the colour cube: brightness rises
// steadily while the hue turns (start 0.5, -1.5 rotations, hue 1, gamma 1).
Rgb cubehelix(double t)
{
    constexpr double kStart = 0.5, kRotations = -1.5, kHue = 1.0;
    const double angle = 2.0 * M_PI * (kStart / 3.0 + kRotations * t);
    const double amplitude = kHue * t * (1.0 - t) / 2.0;
    const double c = std::cos(angle), s = std::sin(angle);
    return {t + amplitude * (-0.14861 * c + 1.78277 * s),
            t + amplitude * (-0.29227 * c - 0.90649 * s),
            t + amplitude * (1.97294 * c)};
}

// ---- The catalogue ----------------------------------------------------------

enum class Kind { Base, Reversal, Bands };

struct Entry {
    const char* name;
    Kind kind;
    Course course;       // Base: the colour course
    const char* source;  // Reversal, Bands: name of an earlier table
    int bands;           // Bands: number of flat bands
};

constexpr Entry base(const char* name, Course course) { return {name, Kind::Base, course, nullptr, 0}; }
constexpr Entry reversal(const char* name, const char* source) { return {name, Kind::Reversal, nullptr, source, 0}; }
constexpr Entry banded(const char* name, const char* source, int bands) { return {name, Kind::Bands, nullptr, source, bands}; }

constexpr int kColourBands = 12;
constexpr int kGreyBands = 16;

// Order is the table number: 1 white-hot, 2 iron (what a new user sees).
constexpr Entry kCatalogue[] = {
    base("White Hot", &stops<kGrey>),
    base("Iron", &stops<kIron>),
    reversal("Black Hot", "White Hot"),
    base("Rainbow", &stops<kRainbow>),
    base("Rainbow HC", &stops<kRainbowHighContrast>),
    base("Lava", &stops<kLava>),
    base("Arctic", &stops<kArctic>),
    base("Glowbow", &stops<kGlowbow>),
    base("Medical", &stops<kMedical>),
    base("Hot Metal", &stops<kHotMetal>),
    base("Red Hot", &stops<kRedHot>),
    base("Hot and Cold", &stops<kHotAndCold>),
    base("Amber", &stops<kAmber>),
    base("Green Night Vision", &stops<kGreenNightVision>),
    base("Sepia", &stops<kSepia>),
    base("Bone", &stops<kBone>),
    base("Copper", &stops<kCopper>),
    base("Ocean", &stops<kOcean>),
    base("Sunset", &stops<kSunset>),
    base("Ice Fire", &stops<kIceFire>),
    base("Jet", &stops<kJet>),
    base("Cool Warm", &stops<kCoolWarm>),
    base("Spectral", &stops<kSpectral>),
    base("Viridis", &polynomial<kViridis>),
    base("Magma", &polynomial<kMagma>),
    base("Inferno", &polynomial<kInferno>),
    base("Plasma", &polynomial<kPlasma>),
    base("Cividis", &stops<kCividis>),
    base("Turbo", &polynomial<kTurbo>),
    base("Cubehelix", &cubehelix),

    reversal("Iron Reversed", "Iron"),
    reversal("Rainbow Reversed", "Rainbow"),
    reversal("Rainbow HC Reversed", "Rainbow HC"),
    reversal("Lava Reversed", "Lava"),
    reversal("Arctic Reversed", "Arctic"),
    reversal("Glowbow Reversed", "Glowbow"),
    reversal("Medical Reversed", "Medical"),
    reversal("Hot Metal Reversed", "Hot Metal"),
    reversal("Red Hot Reversed", "Red Hot"),
    reversal("Hot and Cold Reversed", "Hot and Cold"),
    reversal("Amber Reversed", "Amber"),
    reversal("Green Night Vision Reversed", "Green Night Vision"),
    reversal("Sepia Reversed", "Sepia"),
    reversal("Bone Reversed", "Bone"),
    reversal("Copper Reversed", "Copper"),
    reversal("Ocean Reversed", "Ocean"),
    reversal("Sunset Reversed", "Sunset"),
    reversal("Ice Fire Reversed", "Ice Fire"),
    reversal("Jet Reversed", "Jet"),
    reversal("Cool Warm Reversed", "Cool Warm"),
    reversal("Spectral Reversed", "Spectral"),
    reversal("Viridis Reversed", "Viridis"),
    reversal("Magma Reversed", "Magma"),
    reversal("Inferno Reversed", "Inferno"),
    reversal("Plasma Reversed", "Plasma"),
    reversal("Cividis Reversed", "Cividis"),
    reversal("Turbo Reversed", "Turbo"),
    reversal("Cubehelix Reversed", "Cubehelix"),

    banded("White Hot Banded", "White Hot", kGreyBands),
    banded("Black Hot Banded", "Black Hot", kGreyBands),
    banded("Iron Banded", "Iron", kColourBands),
    banded("Rainbow Banded", "Rainbow", kColourBands),
    banded("Lava Banded", "Lava", kColourBands),
    banded("Arctic Banded", "Arctic", kColourBands),
    banded("Glowbow Banded", "Glowbow", kColourBands),
    banded("Medical Banded", "Medical", kColourBands),
    banded("Hot Metal Banded", "Hot Metal", kColourBands),
    banded("Amber Banded", "Amber", kColourBands),
    banded("Green Night Vision Banded", "Green Night Vision", kColourBands),
    banded("Sepia Banded", "Sepia", kColourBands),
    banded("Ocean Banded", "Ocean", kColourBands),
    banded("Sunset Banded", "Sunset", kColourBands),
    banded("Ice Fire Banded", "Ice Fire", kColourBands),
    banded("Jet Banded", "Jet", kColourBands),
    banded("Cool Warm Banded", "Cool Warm", kColourBands),
    banded("Spectral Banded", "Spectral", kColourBands),
    banded("Viridis Banded", "Viridis", kColourBands),
    banded("Magma Banded", "Magma", kColourBands),
    banded("Inferno Banded", "Inferno", kColourBands),
    banded("Plasma Banded", "Plasma", kColourBands),
    banded("Cividis Banded", "Cividis", kColourBands),
    banded("Turbo Banded", "Turbo", kColourBands),
    banded("Cubehelix Banded", "Cubehelix", kColourBands),
};
static_assert(sizeof kCatalogue / sizeof kCatalogue[0] == THERMAL_TABLE_COUNT,
              "one catalogue entry per table number");

using Table = std::array<std::uint8_t, kLevels * 3>;

std::uint8_t toByte(double v)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

void sampleCourse(Course course, Table& table)
{
    for (int level = 0; level < kLevels; ++level) {
        const Rgb c = course(level / double(kLevels - 1));
        table[3 * level + 0] = toByte(c.b);
        table[3 * level + 1] = toByte(c.g);
        table[3 * level + 2] = toByte(c.r);
    }
}

void reverse(const Table& source, Table& table)
{
    for (int level = 0; level < kLevels; ++level)
        std::memcpy(&table[3 * level], &source[3 * (kLevels - 1 - level)], 3);
}

// Every level of a band takes the colour of the band's middle level.
void band(const Table& source, int bands, Table& table)
{
    for (int level = 0; level < kLevels; ++level) {
        const int index = level * bands / kLevels;
        const int middle = (2 * index + 1) * kLevels / (2 * bands);
        std::memcpy(&table[3 * level], &source[3 * middle], 3);
    }
}

using Words = std::array<std::uint32_t, kLevels>;

struct Tables {
    std::array<Table, THERMAL_TABLE_COUNT> tables{};
    std::array<Words, THERMAL_TABLE_COUNT> words{};

    Tables()
    {
        for (int i = 0; i < THERMAL_TABLE_COUNT; ++i) {
            const Entry& entry = kCatalogue[i];
            switch (entry.kind) {
            case Kind::Base: sampleCourse(entry.course, tables[i]); break;
            case Kind::Reversal: reverse(tables[indexOf(entry.source, i)], tables[i]); break;
            case Kind::Bands: band(tables[indexOf(entry.source, i)], entry.bands, tables[i]); break;
            }
            for (int level = 0; level < kLevels; ++level) {
                const std::uint8_t bytes[4] = {tables[i][3 * level], tables[i][3 * level + 1],
                                               tables[i][3 * level + 2], 0};
                std::memcpy(&words[i][level], bytes, 4);
            }
        }
    }

    // Index of the named table among the first `before` ones.
    static int indexOf(const char* name, int before)
    {
        for (int i = 0; i < before; ++i)
            if (std::strcmp(kCatalogue[i].name, name) == 0)
                return i;
        assert(!"a derived table names an earlier table");
        return 0;
    }
};

const Tables& tables()
{
    static const Tables built;  // thread-safe one-time construction
    return built;
}

}  // namespace

const std::uint8_t* colourTable(int n)
{
    return tables().tables[n - 1].data();
}

const std::uint32_t* colourTableWords(int n)
{
    return tables().words[n - 1].data();
}

const char* colourName(int n)
{
    return kCatalogue[n - 1].name;
}

}  // namespace thermal
