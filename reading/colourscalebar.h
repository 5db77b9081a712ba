// The colour scale beside the picture: the palette as a vertical bar, hot at
// the top, with four to six temperature ticks (as many as its height holds)
// labelled in the unit shown, and above it the quick control that names the
// span mode and opens the scale settings. GUI thread only.
#pragma once

#include <QStringList>
#include <QWidget>

#include <limits>

class QPushButton;

namespace reading {

// A span end not measured yet (no camera): its labels read "--".
constexpr double NoSpanValue = std::numeric_limits<double>::quiet_NaN();

// Tick labels from the low to the high end of a span given in degrees
// Celsius, shown in unit (0 Celsius, 1 Fahrenheit) with one decimal: both ends
// and evenly spaced values between (count >= 2); "--" each for an unknown span.
QStringList scaleTickLabels(double lowCelsius, double highCelsius, int unit, int count);

class ColourScaleBar : public QWidget
{
    Q_OBJECT

public:
    explicit ColourScaleBar(QWidget* parent = nullptr);

    // What the bar shows: colour table (1-based), span in Celsius, unit and
    // whether the span is fixed.
    void setScale(int table, double lowCelsius, double highCelsius, int unit, bool manual);

    // The tick labels painted now, bottom (low) first.
    QStringList tickLabels() const;
    QPushButton* spanButton() const { return button; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect barRect() const;
    // Wide enough for the stripe and the widest label.
    void fitWidth();
    int tickCount() const;

    QPushButton* button = nullptr;  // child
    int table = 1;
    double low = 20;
    double high = 40;
    int unit = 0;
};

}  // namespace reading
