// Ties the reading aids to the viewer: the colour scale beside the picture,
// the overlay over it, the scale settings dialog and the isotherm alarm. It
// loads the remembered settings at start, makes them current for the stream
// thread, and follows the extremes of every temperature step and the unit.
//
// Ownership: a Qt child of the window; the scale bar is a child of the
// picture's container, the overlay a child of the picture, the dialog a child
// of the window (deleted when closed). GUI thread only.
#pragma once

#include "scalesettings.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace reading {

class ColourScaleBar;
class ReadingOverlay;

// Whether the scene's extreme lies beyond the isotherm threshold, and when
// it has just crossed it.
class IsothermAlarm
{
public:
    // Takes the latest highest and lowest temperature (Celsius); true when
    // the alarm has just gone on. Isotherm::Off turns it off.
    bool update(Isotherm mode, float thresholdCelsius, float highestCelsius, float lowestCelsius);
    bool isOn() const { return on; }

private:
    bool on = false;
};

class PictureReading : public QObject
{
    Q_OBJECT

public:
    // picture: the live picture widget; container: the widget the picture sits
    // in, where the scale goes to its right; window: the dialog's parent.
    PictureReading(QWidget* picture, QWidget* container, QWidget* window);
    ~PictureReading() override;

    ColourScaleBar* scaleBar() const;
    ReadingOverlay* overlay() const;
    // The room the scale takes beside the picture, gap included.
    int scaleWidth() const;
    const IsothermAlarm& isothermAlarm() const { return alarm; }

public slots:
    // The extremes of a temperature step, in tempUnit.
    void onExtremes(float highest, float lowest, qint64 time, int tempUnit);
    // The unit, palette or module range may have changed.
    void refresh();
    // The camera is gone: the automatic span shows no values and the alarm
    // is off until the next temperature step.
    void forgetExtremes();
    void openSettings();
    void apply(const reading::ScaleSettings& settings);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeBar();
    void updateAlarm();

    QWidget* picture;
    QWidget* container;
    QWidget* window;
    QPointer<ColourScaleBar> bar;
    QPointer<ReadingOverlay> over;
    IsothermAlarm alarm;
    float highestCelsius = 0;
    float lowestCelsius = 0;
    bool haveExtremes = false;
};

}  // namespace reading
