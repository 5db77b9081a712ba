// What is drawn over the live picture to read it: crosshairs on the hottest
// and coldest pixel of the latest temperature frame with their values, the
// temperature of the sensor pixel under the mouse next to the cursor, and the
// isotherm alarm (a red frame with its text).
//
// Ownership: a child of the picture widget, kept over its whole area and above
// its other children; it lets every mouse event through and watches the
// mouse over the picture with an application event filter. Reads the latest
// grid from TemperatureSnapshot in the orientation shown. GUI thread only.
#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>

namespace reading {

class ReadingOverlay : public QWidget
{
    Q_OBJECT

public:
    explicit ReadingOverlay(QWidget* picture);
    ~ReadingOverlay() override;

    struct Extremes
    {
        bool valid = false;
        QPoint hot;   // widget points at the middle of the pixels
        QPoint cold;
        float hotValue = 0;  // in the unit of the grid
        float coldValue = 0;
    };
    // The hottest and coldest pixel of the latest grid as shown now.
    Extremes extremes() const;
    // The temperature of the sensor pixel under a widget point; false when
    // there is no grid yet or the point is outside the picture.
    bool readingAt(const QPoint& point, float* value) const;

    void setMarkersShown(bool shown);
    // The alarm's text; empty for no alarm.
    void setAlarm(const QString& text);
    QString alarm() const { return alarmText; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool isOverPicture(QObject* receiver) const;
    void paintMarkers(QPainter& painter);
    void paintCursorReading(QPainter& painter);
    void paintAlarm(QPainter& painter);

    QWidget* picture;
    bool markersShown = false;
    bool cursorInside = false;
    QPoint cursor;
    QString alarmText;
};

}  // namespace reading
