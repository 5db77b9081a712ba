// How the picture is read: the colour span (automatic, or fixed low and high
// temperatures), the hot and cold markers and the isotherm alarm, remembered
// across starts in the viewer's native settings ("Scale/..." keys).
//
// Temperatures are kept in degrees Celsius whatever the unit shown, so a unit
// change never moves the span. Threads: the GUI thread sets the current
// settings; the video stream thread reads a copy each frame (under a lock).
#pragma once

#include <QString>

namespace reading {

enum class Isotherm { Off = 0, Above = 1, Below = 2 };

struct ScaleSettings
{
    bool manualSpan = false;
    float lowCelsius = 20.0f;
    float highCelsius = 40.0f;
    bool markers = false;
    Isotherm isotherm = Isotherm::Off;
    float thresholdCelsius = 50.0f;

    bool operator==(const ScaleSettings& other) const;
    bool operator!=(const ScaleSettings& other) const { return !(*this == other); }

    // The stored settings; the defaults for missing or unreadable entries.
    static ScaleSettings load();
    void save() const;

    // What the stream thread and the widgets use now.
    static ScaleSettings current();
    static void setCurrent(const ScaleSettings& settings);
};

// The module's measuring range in degrees Celsius for its gain selection
// (g_range_mode: 1 normal, 0 high).
struct CelsiusRange
{
    float low;
    float high;
};
CelsiusRange moduleRange(int rangeMode);

// Degrees in the unit shown (0 Celsius, 1 Fahrenheit) and back.
double toUnit(double celsius, int unit);
double fromUnit(double value, int unit);
// "℃" or "℉".
QString unitSign(int unit);

// Reads a temperature typed in the unit shown (the locale's decimal point or
// a dot); false for anything that is not a finite number.
bool parseTemperature(const QString& text, int unit, double* celsius);

// Why a span cannot be used, or an empty text when it can: low must lie
// below high and both inside the module's range.
QString spanProblem(double lowCelsius, double highCelsius, const CelsiusRange& range, int unit);
// Why an isotherm threshold cannot be used, or an empty text.
QString thresholdProblem(double celsius, const CelsiusRange& range, int unit);

}  // namespace reading
