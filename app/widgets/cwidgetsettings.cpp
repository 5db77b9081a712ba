#include "cwidgetsettings.h"

#include "cbasetitlebar.h"
#include "globals.h"
#include "savedsettings.h"
#include "profile.h"
#include "textmetrics.h"

#include <dozazuva.h>
#include <thermal.h>

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegExpValidator>
#include <QSettings>
#include <QStyledItemDelegate>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int kPaletteCount = THERMAL_TABLE_COUNT;
constexpr int kPaletteRowsShown = 10;
constexpr int kPaletteListWidth = 330;
constexpr int kDistanceMinimum = 0;      // decimetres
constexpr int kDistanceMaximum = 50;
constexpr int kEmissivityMinimum = 1;    // percent: no surface emits nothing
constexpr int kEmissivityMaximum = 100;
// Module units: the distance parameter counts 1/16.3835 dm, the emissivity
// parameter runs 0 to 127 for 0 to 100 %.
constexpr double kDistanceScale = 16.3835;
constexpr double kEmissivityScale = 127.0 / 100.0;
constexpr int kTpdDistance = 0;
constexpr int kTpdEmissivity = 3;

constexpr int kButtonHeight = 40;
constexpr int kButtonPadding = 50;
constexpr int kButtonMinimum = 200;
constexpr int kButtonGapFromCentre = 20;

const char kStyle[] =
    "QLabel#label, QLabel#label_2, QLabel#label_4, QLabel#label_6, QLabel#label_7, QLabel#label_9{"
    "font: 400 14px \"Microsoft YaHei\"; color: #999999;}"
    "QLineEdit#lineEdit, QLineEdit#lineEdit_3{border: 1px solid #DDDDDD; border-radius: 3px; color: #333333;"
    " padding-left: 10px; background: #FFFFFF;}"
    "QComboBox#comboBox{border: 1px solid #CCCCCC; border-radius: 3px; background: #FFFFFF; padding-left: 10px;"
    " combobox-popup: 0;}"
    "QComboBox#comboBox::drop-down{border: none; width: 30px;}"
    "QComboBox#comboBox::down-arrow{image: url(:/images/down_arrow.png);}"
    "QComboBox#comboBox QAbstractItemView{border: 1px solid #2B79D8; background: #FFFFFF; outline: 0px;"
    " selection-background-color: #2B79D8;}"
    "QComboBox#comboBox QAbstractItemView::item{height: 26px;}"
    "QComboBox#comboBox QAbstractItemView::item:selected{background: #2B79D8;}"
    "QPushButton#pushButtonC, QPushButton#pushButtonF{border: 1px solid #2B79D8; background: #FFFFFF;"
    " color: #999999;}"
    "QPushButton#pushButtonC{border-top-left-radius: 3px; border-bottom-left-radius: 3px;"
    " border-top-right-radius: 0px; border-bottom-right-radius: 0px;}"
    "QPushButton#pushButtonF{border-top-right-radius: 3px; border-bottom-right-radius: 3px;"
    " border-top-left-radius: 0px; border-bottom-left-radius: 0px;}"
    "QPushButton#pushButtonC:checked, QPushButton#pushButtonF:checked{background: #2B79D8; color: #FFFFFF;}"
    "QPushButton#pushButtonRestore, QPushButton#pushButtonSave{background: #2B79D8; color: #FFFFFF;"
    " font: 400 15px \"Microsoft YaHei\"; border: none; border-radius: 20px;}"
    "QPushButton#pushButtonRestore:pressed, QPushButton#pushButtonSave:pressed{background: #2669BB;}"
    "QPushButton#pushButtonRestore:disabled, QPushButton#pushButtonSave:disabled{background: #2662AB;}";

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLineEdit* makeLineEdit(QWidget* parent, const char* name, const QRect& geometry, const char* pattern)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(geometry);
    edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    edit->setValidator(new QRegExpValidator(QRegExp(QString::fromLatin1(pattern)), edit));
    return edit;
}

QPushButton* makeUnitButton(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setCheckable(true);
    // A segment of the unit switch, not a dialog action: as an auto-default
    // button it would be clicked by Return pressed in a line edit, switching
    // the unit just before the release saves.
    button->setAutoDefault(false);
    return button;
}

// The whole number in `text` when it lies in [low, high]; nothing for an
// empty field, anything not a number, or a value out of range.
std::optional<int> numberIn(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

QPushButton* makePill(QWidget* parent, const char* name)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumSize(211, kButtonHeight);
    return button;
}

}  // namespace

CWidgetSettings::CWidgetSettings(QWidget* parent)
    : QDialog(parent)
{
    setupUi();

    titleBar = new CBaseTitleBar(this);
    titleBar->move(0, 0);
    titleBar->setTitle(tr("Settings"));
    connect(titleBar->parts().close, &QPushButton::clicked, this, &CWidgetSettings::close);

    connect(pushButtonC, &QPushButton::clicked, this, &CWidgetSettings::onButtonC);
    connect(pushButtonF, &QPushButton::clicked, this, &CWidgetSettings::onButtonF);
    connect(pushButtonRestore, &QPushButton::clicked, this, &CWidgetSettings::onRestore);
    connect(pushButtonSave, &QPushButton::clicked, this, &CWidgetSettings::onSave);
    connect(pushButtonScale, &QPushButton::clicked, this, &CWidgetSettings::scaleRequested);
    // The worker emits these; delivery to this GUI-thread object is queued.
    connect(this, &CWidgetSettings::restoreStarted, this, &CWidgetSettings::onRestoreStarted);
    connect(this, &CWidgetSettings::restoreFinished, this, &CWidgetSettings::onRestoreFinished);

    pushButtonRestore->hide();

    unitGroup = new QButtonGroup(this);
    unitGroup->setExclusive(true);
    unitGroup->addButton(pushButtonC, 1);
    unitGroup->addButton(pushButtonF, 2);
    (g_temp_unit.load() == 1 ? pushButtonF : pushButtonC)->setChecked(true);

    setWindowState(Qt::WindowActive);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);

    fillPalettes();
    fitButtons();
}

CWidgetSettings::~CWidgetSettings()
{
    // The worker emits on this object: it must be done before we go.
    joinRestoreThread();
}

// The task's last act is to set restoreTaskDone; reading it after the wait
// orders everything the task did before what follows, also for a race
// checker that cannot see into QThread's own locking.
void CWidgetSettings::joinRestoreThread()
{
    if (!restoreThread)
        return;
    restoreThread->wait();
    restoreTaskDone.load(std::memory_order_acquire);
}

void CWidgetSettings::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("CWidgetSettings"));
    resize(574, 301);
    setStyleSheet(QString::fromLatin1(kStyle));

    label = makeLabel(this, "label", QRect(20, 50, 247, 20));
    comboBox = new QComboBox(this);
    comboBox->setObjectName(QStringLiteral("comboBox"));
    comboBox->setGeometry(20, 78, 247, 40);
    label_2 = makeLabel(this, "label_2", QRect(20, 129, 247, 20));
    lineEdit = makeLineEdit(this, "lineEdit", QRect(20, 157, 247, 40), "^(50|[1-4][0-9]|[0-9])$");
    label_7 = makeLabel(this, "label_7", QRect(232, 167, 30, 20));
    label_4 = makeLabel(this, "label_4", QRect(306, 50, 247, 20));
    lineEdit_3 = makeLineEdit(this, "lineEdit_3", QRect(306, 78, 247, 40), "^(100|[1-9][0-9]|[0-9])$");
    label_9 = makeLabel(this, "label_9", QRect(528, 88, 30, 20));
    label_6 = makeLabel(this, "label_6", QRect(306, 129, 247, 20));
    pushButtonC = makeUnitButton(this, "pushButtonC", QRect(306, 157, 60, 40));
    pushButtonF = makeUnitButton(this, "pushButtonF", QRect(364, 157, 60, 40));
    pushButtonScale = new QPushButton(this);
    pushButtonScale->setObjectName(QStringLiteral("pushButtonScale"));
    pushButtonScale->setGeometry(430, 157, 123, 40);
    pushButtonScale->setAutoDefault(false);
    pushButtonScale->setFlat(true);
    pushButtonScale->setCursor(Qt::PointingHandCursor);

    labelError = makeLabel(this, "labelError", QRect(20, 203, 534, 22));
    labelError->setStyleSheet(QStringLiteral("QLabel{font: 400 13px \"Microsoft YaHei\"; color: #D83B2B;}"));

    layoutWidget = new QWidget(this);
    layoutWidget->setObjectName(QStringLiteral("layoutWidget"));
    layoutWidget->setGeometry(70, 230, 434, 42);
    horizontalLayout = new QHBoxLayout(layoutWidget);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(10);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    pushButtonRestore = makePill(layoutWidget, "pushButtonRestore");
    horizontalLayout->addWidget(pushButtonRestore);
    pushButtonSave = makePill(layoutWidget, "pushButtonSave");
    horizontalLayout->addWidget(pushButtonSave);

    setTabOrder(comboBox, lineEdit_3);
    setTabOrder(lineEdit_3, lineEdit);
    setTabOrder(lineEdit, pushButtonC);
    setTabOrder(pushButtonC, pushButtonF);
    setTabOrder(pushButtonF, pushButtonRestore);
    setTabOrder(pushButtonRestore, pushButtonSave);

    retranslateUi();
}

void CWidgetSettings::retranslateUi()
{
    setWindowTitle(tr("Settings"));
    label->setText(tr("Color"));
    label_2->setText(tr("Distance"));
    label_7->setText(tr("dm"));
    label_4->setText(tr("Emissivity"));
    label_9->setText(tr("%"));
    label_6->setText(tr("Temperature unit"));
    pushButtonC->setText(tr("℃"));
    pushButtonF->setText(tr("℉"));
    pushButtonScale->setText(tr("Scale…"));
    pushButtonRestore->setText(tr("Restore defaults"));
    pushButtonSave->setText(tr("Save"));
}

// Combo index i is colour table i + 1: its preview map_NN (NN = i + 1) and
// the name the colour library gives it. The list opens as a scrolling popup
// of a few rows (combobox-popup: 0 in the style sheet lets the row limit
// apply) rather than as a strip as high as the screen.
void CWidgetSettings::fillPalettes()
{
    comboBox->setIconSize(QSize(96, 16));
    comboBox->setMaxVisibleItems(kPaletteRowsShown);
    comboBox->view()->setMinimumWidth(kPaletteListWidth);  // the longest names whole
    for (int n = 1; n <= kPaletteCount; ++n)
        comboBox->addItem(QIcon(QStringLiteral(":/colormaps/images/colormaps/map_%1.png").arg(n, 2, 10, QLatin1Char('0'))),
                          QString::fromUtf8(itRgbColorName(n)));
    comboBox->setCurrentIndex(0);
    // A styled delegate lets the style sheet's item height apply.
    comboBox->setItemDelegate(new QStyledItemDelegate(comboBox));
}

void CWidgetSettings::fitButtons()
{
    for (QPushButton* button : {pushButtonSave, pushButtonRestore}) {
        button->ensurePolished();
        const int width = captionWidth(button->font(), button->text(), kButtonHeight) + kButtonPadding;
        button->setFixedWidth(std::max(width, kButtonMinimum));
    }
}

void CWidgetSettings::setValues(int palette, int distance, int emissivity, int unit)
{
    initialPalette = palette;
    initialDistance = distance;
    initialEmissivity = emissivity;
    initialUnit = unit;
    comboBox->setCurrentIndex(palette);
    lineEdit->setText(QString::number(distance));
    lineEdit_3->setText(QString::number(emissivity));
    (unit == 1 ? pushButtonF : pushButtonC)->setChecked(true);
}

void CWidgetSettings::onSave()
{
    if (restoring)
        return;
    // A field left empty or out of range would reach the module as a wrong
    // value and spoil every reading: nothing is sent or saved then.
    const std::optional<int> distance = numberIn(lineEdit->text(), kDistanceMinimum, kDistanceMaximum);
    const std::optional<int> emissivity = numberIn(lineEdit_3->text(), kEmissivityMinimum, kEmissivityMaximum);
    if (!distance || !emissivity) {
        refuseInput(!distance ? lineEdit : lineEdit_3,
                    !distance ? tr("Enter a distance from %1 to %2 dm.").arg(kDistanceMinimum).arg(kDistanceMaximum)
                              : tr("Enter an emissivity from %1 to %2 %.")
                                    .arg(kEmissivityMinimum)
                                    .arg(kEmissivityMaximum));
        return;
    }
    labelError->clear();

    // -1 means no palette is selected (an index the combo does not have was
    // given): nothing to save then.
    const int palette = comboBox->currentIndex();
    if (palette != initialPalette && palette >= 0)
        savePalette(palette);

    const bool distanceChanged = *distance != initialDistance;
    const bool emissivityChanged = *emissivity != initialEmissivity;
    if (distanceChanged) {
        set_prop_tpd_params(kTpdDistance, uint16_t(std::ceil(*distance * kDistanceScale)));
        SavedSettings::saveDistance(*distance);
    }
    if (emissivityChanged) {
        set_prop_tpd_params(kTpdEmissivity, uint16_t(std::ceil(*emissivity * kEmissivityScale)));
        SavedSettings::saveEmissivity(*emissivity);
    }

    const int unit = pushButtonC->isChecked() ? 0 : 1;
    g_temp_unit = unit;
    if (unit != initialUnit)
        SavedSettings::saveUnit(unit);

    if (unit != initialUnit || distanceChanged || emissivityChanged)
        emit save();
    close();
}

void CWidgetSettings::refuseInput(QLineEdit* field, const QString& message)
{
    labelError->setText(message);
    field->setFocus();
    field->selectAll();
}

void CWidgetSettings::savePalette(int palette)
{
    QSettings profile(profileIniPath(), QSettings::IniFormat);
    profile.setValue(QStringLiteral("Settings/Palette"), palette);
    profile.sync();
    if (profile.status() != QSettings::NoError)
        qWarning("CWidgetSettings: cannot write the palette to %s", qPrintable(profile.fileName()));
    g_palette = palette;
}

void CWidgetSettings::onButtonC()
{
}

void CWidgetSettings::onButtonF()
{
}

void CWidgetSettings::onRestoreStarted()
{
}

void CWidgetSettings::onRestore()
{
    if (restoring)
        return;
    restoring = true;
    setInputsEnabled(false);

    // Not reused: one thread per restore, and one restore per dialog since the
    // dialog closes when it ends.
    joinRestoreThread();
    restoreTaskDone = false;
    restoreThread.reset(QThread::create([this] {
        emit restoreStarted();
        const int result = restore_default_cfg(0);
        emit restoreFinished(result == 0);
        restoreTaskDone.store(true, std::memory_order_release);
    }));
    restoreThread->setObjectName(QStringLiteral("restore defaults"));
    restoreThread->start(QThread::InheritPriority);
}

void CWidgetSettings::onRestoreFinished(bool result)
{
    Q_UNUSED(result);  // the main window reports it
    restoring = false;
    setInputsEnabled(true);
    close();
}

void CWidgetSettings::setInputsEnabled(bool enabled)
{
    for (QWidget* input : std::initializer_list<QWidget*>{pushButtonSave, pushButtonRestore, pushButtonC, pushButtonF,
                                                          comboBox, lineEdit, lineEdit_3})
        input->setEnabled(enabled);
    if (titleBar)
        titleBar->parts().close->setEnabled(enabled);
}

void CWidgetSettings::reject()
{
    if (restoring)
        return;
    QDialog::reject();
}

void CWidgetSettings::closeEvent(QCloseEvent* event)
{
    if (restoring) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CWidgetSettings::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        onSave();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

void CWidgetSettings::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (titleBar)
        titleBar->resize(width(), titleBar->height());
    pushButtonSave->move(width() / 2 + kButtonGapFromCentre, pushButtonSave->y());
    pushButtonRestore->move(width() / 2 - pushButtonRestore->width() - kButtonGapFromCentre, pushButtonRestore->y());
}
