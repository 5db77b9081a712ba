// The scale settings: span mode with the low and high temperatures, the hot
// and cold markers, the isotherm mode and threshold. Temperatures are typed
// in the unit shown; Save refuses non-numbers, a low end not below the high
// end and values outside the module's range with a message in the dialog,
// and otherwise emits the new settings and closes. GUI thread only; the
// dialog owns its widgets as Qt children.
#pragma once

#include "scalesettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace reading {

class ScaleDialog : public QDialog
{
    Q_OBJECT

public:
    // unit: 0 Celsius, 1 Fahrenheit; range: what the module measures now.
    ScaleDialog(const ScaleSettings& settings, int unit, const CelsiusRange& range, QWidget* parent = nullptr);

    // The message of the last refused save (empty when none was refused).
    QString problem() const;

    // The fields, for callers that fill them in (tests).
    QComboBox* spanField() const { return span; }
    QLineEdit* lowField() const { return low; }
    QLineEdit* highField() const { return high; }
    QComboBox* isothermField() const { return isotherm; }
    QLineEdit* thresholdField() const { return threshold; }

signals:
    void saved(const reading::ScaleSettings& settings);

public slots:
    // Checks the fields; emits saved and accepts, or shows why not.
    void save();

private:
    bool readFields(ScaleSettings* settings);
    void updateEnabled();

    ScaleSettings initial;
    int unit;
    CelsiusRange range;
    QComboBox* span = nullptr;
    QLineEdit* low = nullptr;
    QLineEdit* high = nullptr;
    QCheckBox* markers = nullptr;
    QComboBox* isotherm = nullptr;
    QLineEdit* threshold = nullptr;
    QLabel* message = nullptr;
};

}  // namespace reading
