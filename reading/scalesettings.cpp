#include "scalesettings.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace reading {
namespace {

// The module's measuring ranges: one lower end, two upper ends by gain.
constexpr float RangeLowCelsius = -20.0f;
constexpr float NormalRangeHighCelsius = 150.0f;
constexpr float HighRangeHighCelsius = 550.0f;

QSettings nativeSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VARNEK"), QStringLiteral("Ombrix"));
}

float storedFloat(const QSettings& settings, const char* key, float fallback)
{
    bool ok = false;
    const float value = settings.value(QLatin1String(key)).toFloat(&ok);
    return ok && std::isfinite(value) ? value : fallback;
}

struct Shared
{
    std::mutex lock;
    ScaleSettings settings;
};

Shared& shared()
{
    static Shared instance;
    return instance;
}

QString degrees(double celsius, int unit)
{
    return QString::number(toUnit(celsius, unit), 'f', 1) + unitSign(unit);
}

QString outsideRange(const CelsiusRange& range, int unit)
{
    return QCoreApplication::translate("PictureReading", "Temperatures must lie between %1 and %2.")
        .arg(degrees(range.low, unit), degrees(range.high, unit));
}

bool inside(double celsius, const CelsiusRange& range)
{
    constexpr double Slack = 1e-6;  // typed ends survive the unit conversion
    return celsius >= range.low - Slack && celsius <= range.high + Slack;
}

}  // namespace

bool ScaleSettings::operator==(const ScaleSettings& o) const
{
    return manualSpan == o.manualSpan && lowCelsius == o.lowCelsius && highCelsius == o.highCelsius &&
           markers == o.markers && isotherm == o.isotherm && thresholdCelsius == o.thresholdCelsius;
}

ScaleSettings ScaleSettings::load()
{
    const QSettings stored = nativeSettings();
    ScaleSettings s;
    s.manualSpan = stored.value(QStringLiteral("Scale/Manual"), false).toBool();
    s.lowCelsius = storedFloat(stored, "Scale/Low", s.lowCelsius);
    s.highCelsius = storedFloat(stored, "Scale/High", s.highCelsius);
    if (s.lowCelsius >= s.highCelsius) {
        s = ScaleSettings{};
        s.manualSpan = false;
    }
    s.markers = stored.value(QStringLiteral("Scale/Markers"), false).toBool();
    const int isotherm = stored.value(QStringLiteral("Scale/Isotherm"), 0).toInt();
    s.isotherm = isotherm == 1 ? Isotherm::Above : isotherm == 2 ? Isotherm::Below : Isotherm::Off;
    s.thresholdCelsius = storedFloat(stored, "Scale/Threshold", s.thresholdCelsius);
    return s;
}

void ScaleSettings::save() const
{
    QSettings stored = nativeSettings();
    stored.setValue(QStringLiteral("Scale/Manual"), manualSpan);
    stored.setValue(QStringLiteral("Scale/Low"), double(lowCelsius));
    stored.setValue(QStringLiteral("Scale/High"), double(highCelsius));
    stored.setValue(QStringLiteral("Scale/Markers"), markers);
    stored.setValue(QStringLiteral("Scale/Isotherm"), int(isotherm));
    stored.setValue(QStringLiteral("Scale/Threshold"), double(thresholdCelsius));
}

ScaleSettings ScaleSettings::current()
{
    std::lock_guard<std::mutex> locked(shared().lock);
    return shared().settings;
}

void ScaleSettings::setCurrent(const ScaleSettings& settings)
{
    std::lock_guard<std::mutex> locked(shared().lock);
    shared().settings = settings;
}

CelsiusRange moduleRange(int rangeMode)
{
    return {RangeLowCelsius, rangeMode == 0 ? HighRangeHighCelsius : NormalRangeHighCelsius};
}

double toUnit(double celsius, int unit)
{
    return unit == 1 ? celsius * 1.8 + 32.0 : celsius;
}

double fromUnit(double value, int unit)
{
    return unit == 1 ? (value - 32.0) / 1.8 : value;
}

QString unitSign(int unit)
{
    return unit == 1 ? QStringLiteral("℉") : QStringLiteral("℃");
}

bool parseTemperature(const QString& text, int unit, double* celsius)
{
    bool ok = false;
    double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok)
        value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return false;
    *celsius = fromUnit(value, unit);
    return true;
}

QString spanProblem(double lowCelsius, double highCelsius, const CelsiusRange& range, int unit)
{
    if (!inside(lowCelsius, range) || !inside(highCelsius, range))
        return outsideRange(range, unit);
    if (lowCelsius >= highCelsius)
        return QCoreApplication::translate("PictureReading", "The low temperature must be below the high temperature.");
    return QString();
}

QString thresholdProblem(double celsius, const CelsiusRange& range, int unit)
{
    return inside(celsius, range) ? QString() : outsideRange(range, unit);
}

}  // namespace reading
