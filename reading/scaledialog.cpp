#include "scaledialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace reading {
namespace {

QString shown(double celsius, int unit)
{
    return QString::number(toUnit(celsius, unit), 'f', 1);
}

QLineEdit* temperatureEdit(double celsius, int unit, QWidget* parent)
{
    auto* edit = new QLineEdit(shown(celsius, unit), parent);
    edit->setMaximumWidth(90);
    return edit;
}

// The edit with the unit's sign after it.
QWidget* withUnit(QLineEdit* edit, int unit, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    layout->addWidget(new QLabel(unitSign(unit), row));
    layout->addStretch();
    return row;
}

}  // namespace

ScaleDialog::ScaleDialog(const ScaleSettings& settings, int shownUnit, const CelsiusRange& moduleRange,
                         QWidget* parent)
    : QDialog(parent)
    , initial(settings)
    , unit(shownUnit)
    , range(moduleRange)
{
    setWindowTitle(QCoreApplication::translate("PictureReading", "Temperature scale"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The viewer's style sheet makes labels white for its dark surfaces.
    setStyleSheet(QStringLiteral("QDialog { background: #FFFFFF; } QLabel { color: #333333; }"));

    span = new QComboBox(this);
    span->addItem(QCoreApplication::translate("PictureReading", "Auto"));
    span->addItem(QCoreApplication::translate("PictureReading", "Manual"));
    span->setCurrentIndex(settings.manualSpan ? 1 : 0);
    low = temperatureEdit(settings.lowCelsius, unit, this);
    high = temperatureEdit(settings.highCelsius, unit, this);
    markers = new QCheckBox(QCoreApplication::translate("PictureReading", "Hot and cold markers"), this);
    markers->setChecked(settings.markers);
    isotherm = new QComboBox(this);
    isotherm->addItem(QCoreApplication::translate("PictureReading", "Off"));
    isotherm->addItem(QCoreApplication::translate("PictureReading", "Above"));
    isotherm->addItem(QCoreApplication::translate("PictureReading", "Below"));
    isotherm->setCurrentIndex(int(settings.isotherm));
    threshold = temperatureEdit(settings.thresholdCelsius, unit, this);
    message = new QLabel(this);
    message->setStyleSheet(QStringLiteral("color: #D03030;"));
    message->setWordWrap(true);
    message->hide();

    auto* form = new QFormLayout;
    form->addRow(QCoreApplication::translate("PictureReading", "Span"), span);
    form->addRow(QCoreApplication::translate("PictureReading", "Low"), withUnit(low, unit, this));
    form->addRow(QCoreApplication::translate("PictureReading", "High"), withUnit(high, unit, this));
    form->addRow(markers);
    form->addRow(QCoreApplication::translate("PictureReading", "Isotherm alarm"), isotherm);
    form->addRow(QCoreApplication::translate("PictureReading", "Threshold"), withUnit(threshold, unit, this));

    auto* saveButton = new QPushButton(QCoreApplication::translate("PictureReading", "Save"), this);
    auto* cancelButton = new QPushButton(QCoreApplication::translate("PictureReading", "Cancel"), this);
    saveButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(message);
    layout->addLayout(buttons);

    connect(saveButton, &QPushButton::clicked, this, &ScaleDialog::save);
    connect(cancelButton, &QPushButton::clicked, this, &ScaleDialog::reject);
    connect(span, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ScaleDialog::updateEnabled);
    connect(isotherm, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ScaleDialog::updateEnabled);
    updateEnabled();
}

QString ScaleDialog::problem() const
{
    return message->text();
}

void ScaleDialog::updateEnabled()
{
    low->setEnabled(span->currentIndex() == 1);
    high->setEnabled(span->currentIndex() == 1);
    threshold->setEnabled(isotherm->currentIndex() != 0);
}

bool ScaleDialog::readFields(ScaleSettings* settings)
{
    *settings = initial;
    settings->manualSpan = span->currentIndex() == 1;
    settings->markers = markers->isChecked();
    settings->isotherm = Isotherm(isotherm->currentIndex());
    double lowCelsius = 0, highCelsius = 0, thresholdCelsius = 0;
    QString why;
    if (settings->manualSpan) {
        if (!parseTemperature(low->text(), unit, &lowCelsius) || !parseTemperature(high->text(), unit, &highCelsius))
            why = QCoreApplication::translate("PictureReading", "Please enter a number.");
        else
            why = spanProblem(lowCelsius, highCelsius, range, unit);
        settings->lowCelsius = float(lowCelsius);
        settings->highCelsius = float(highCelsius);
    }
    if (why.isEmpty() && settings->isotherm != Isotherm::Off) {
        if (!parseTemperature(threshold->text(), unit, &thresholdCelsius))
            why = QCoreApplication::translate("PictureReading", "Please enter a number.");
        else
            why = thresholdProblem(thresholdCelsius, range, unit);
        settings->thresholdCelsius = float(thresholdCelsius);
    }
    message->setText(why);
    message->setVisible(!why.isEmpty());
    return why.isEmpty();
}

void ScaleDialog::save()
{
    ScaleSettings settings;
    if (!readFields(&settings))
        return;
    emit saved(settings);
    accept();
}

}  // namespace reading
