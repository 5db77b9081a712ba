#include "savedsettings.h"

#include <dozazuva.h>

#include <QSettings>
#include <QVariant>

#include <cmath>

namespace {

const char UnitKey[] = "TempUnit";
const char DistanceKey[] = "Module/Distance";
const char EmissivityKey[] = "Module/Emissivity";
const char RangeKey[] = "Module/Range";

QSettings store()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VARNEK"), QStringLiteral("Ombrix"));
}

void write(const char* key, int value)
{
    QSettings settings = store();
    settings.setValue(QLatin1String(key), value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        qWarning("Cannot write %s to %s", key, qPrintable(settings.fileName()));
}

// Module units as the settings panel sends them.
uint16_t distanceWord(int decimetres)
{
    return uint16_t(std::ceil(decimetres * 16.3835));
}

uint16_t emissivityWord(int percent)
{
    return uint16_t(std::ceil(percent * 127.0 / 100.0));
}

// Sends the stored value of `key` through `toWord` to the module property,
// when one is stored and valid, and checks that the module keeps it.
template <typename ToWord> bool sendOne(const QSettings& settings, const char* key, int property, int low, int high,
                                        ToWord toWord)
{
    const QVariant stored = settings.value(QLatin1String(key));
    bool ok = false;
    const int value = stored.toInt(&ok);
    if (!stored.isValid() || !ok || value < low || value > high)
        return true;
    const uint16_t word = toWord(value);
    uint16_t kept = 0;
    return set_prop_tpd_params(property, word) == 0 && get_prop_tpd_params(property, &kept) == 0 && kept == word;
}

} // namespace

namespace SavedSettings {

int unit()
{
    return store().value(QLatin1String(UnitKey), 0).toInt() == 1 ? 1 : 0;
}

void saveUnit(int unit)
{
    write(UnitKey, unit == 1 ? 1 : 0);
}

void saveDistance(int decimetres)
{
    write(DistanceKey, decimetres);
}

void saveEmissivity(int percent)
{
    write(EmissivityKey, percent);
}

void saveRange(int gain)
{
    write(RangeKey, gain);
}

bool sendToModule()
{
    const QSettings settings = store();
    const auto same = [](int value) { return uint16_t(value); };
    // Every value is tried, whatever became of the one before.
    const bool distance = sendOne(settings, DistanceKey, TPD_PROP_DISTANCE, 0, 50, distanceWord);
    const bool emissivity = sendOne(settings, EmissivityKey, TPD_PROP_EMS, 1, 100, emissivityWord);
    const bool range = sendOne(settings, RangeKey, TPD_PROP_GAIN_SEL, 0, 1, same);
    return distance && emissivity && range;
}

} // namespace SavedSettings
