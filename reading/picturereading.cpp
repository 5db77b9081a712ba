#include "picturereading.h"

#include "colourscalebar.h"
#include "globals.h"
#include "readingoverlay.h"
#include "scaledialog.h"
#include "toast.h"

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

namespace reading {
namespace {

constexpr int BarGap = 6;

QString alarmText(Isotherm mode, float thresholdCelsius)
{
    const int unit = g_temp_unit.load();
    const QString threshold = QString::number(toUnit(thresholdCelsius, unit), 'f', 1) + unitSign(unit);
    return mode == Isotherm::Above ? QCoreApplication::translate("PictureReading", "Alarm: above %1").arg(threshold)
                                   : QCoreApplication::translate("PictureReading", "Alarm: below %1").arg(threshold);
}

}  // namespace

bool IsothermAlarm::update(Isotherm mode, float thresholdCelsius, float highestCelsius, float lowestCelsius)
{
    const bool beyond = (mode == Isotherm::Above && highestCelsius > thresholdCelsius) ||
                        (mode == Isotherm::Below && lowestCelsius < thresholdCelsius);
    const bool crossed = beyond && !on;
    on = beyond;
    return crossed;
}

PictureReading::PictureReading(QWidget* pictureWidget, QWidget* containerWidget, QWidget* windowWidget)
    : QObject(windowWidget)
    , picture(pictureWidget)
    , container(containerWidget)
    , window(windowWidget)
    , bar(new ColourScaleBar(containerWidget))
    , over(new ReadingOverlay(pictureWidget))
{
    ScaleSettings::setCurrent(ScaleSettings::load());
    connect(bar->spanButton(), &QPushButton::clicked, this, &PictureReading::openSettings);
    picture->installEventFilter(this);
    refresh();
}

PictureReading::~PictureReading() = default;

ColourScaleBar* PictureReading::scaleBar() const
{
    return bar;
}

ReadingOverlay* PictureReading::overlay() const
{
    return over;
}

int PictureReading::scaleWidth() const
{
    return bar ? bar->width() + BarGap : 0;
}

bool PictureReading::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == picture && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeBar();
    return QObject::eventFilter(watched, event);
}

// Right of the picture, as high as it, inside the container.
void PictureReading::placeBar()
{
    if (!bar || !picture || !container)
        return;
    const QRect shown = picture->geometry();
    const int x = std::min(shown.right() + 1 + BarGap, container->width() - bar->width());
    bar->setGeometry(x, shown.top(), bar->width(), shown.height());
    bar->raise();
}

void PictureReading::refresh()
{
    const ScaleSettings settings = ScaleSettings::current();
    const int table = g_palette.load() + 1;
    const int unit = g_temp_unit.load();
    if (settings.manualSpan)
        bar->setScale(table, settings.lowCelsius, settings.highCelsius, unit, true);
    else if (haveExtremes)
        bar->setScale(table, lowestCelsius, highestCelsius, unit, false);
    else
        bar->setScale(table, NoSpanValue, NoSpanValue, unit, false);
    over->setMarkersShown(settings.markers);
    placeBar();
    updateAlarm();
}

void PictureReading::onExtremes(float highest, float lowest, qint64, int tempUnit)
{
    highestCelsius = float(fromUnit(highest, tempUnit));
    lowestCelsius = float(fromUnit(lowest, tempUnit));
    haveExtremes = true;
    const ScaleSettings settings = ScaleSettings::current();
    if (alarm.update(settings.isotherm, settings.thresholdCelsius, highestCelsius, lowestCelsius))
        Toast::instance()->showTip(0, alarmText(settings.isotherm, settings.thresholdCelsius));
    refresh();
}

void PictureReading::forgetExtremes()
{
    haveExtremes = false;
    alarm.update(Isotherm::Off, 0, 0, 0);
    refresh();
}

void PictureReading::updateAlarm()
{
    const ScaleSettings settings = ScaleSettings::current();
    if (settings.isotherm == Isotherm::Off)
        alarm.update(Isotherm::Off, 0, 0, 0);
    over->setAlarm(alarm.isOn() ? alarmText(settings.isotherm, settings.thresholdCelsius) : QString());
}

void PictureReading::openSettings()
{
    // Over a modal dialog (the settings panel) it must be that dialog's child.
    QWidget* parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : window;
    auto* dialog = new ScaleDialog(ScaleSettings::current(), g_temp_unit.load(), moduleRange(g_range_mode.load()),
                                   parent);
    connect(dialog, &ScaleDialog::saved, this, &PictureReading::apply);
    dialog->open();
}

void PictureReading::apply(const ScaleSettings& settings)
{
    ScaleSettings::setCurrent(settings);
    settings.save();
    // A new threshold is judged at once against the latest extremes.
    if (haveExtremes && alarm.update(settings.isotherm, settings.thresholdCelsius, highestCelsius, lowestCelsius))
        Toast::instance()->showTip(0, alarmText(settings.isotherm, settings.thresholdCelsius));
    refresh();
}

}  // namespace reading
