// The settings dialog: palette, measuring distance, emissivity and
// temperature unit, plus a factory restore of the module (button kept hidden).
#pragma once

#include <QDialog>
#include <QPointer>

#include <atomic>
#include <memory>

class CBaseTitleBar;
class QButtonGroup;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QThread;

// Frameless, application-modal, deleted when closed. Owns its title bar and
// form widgets as Qt children, and the restore worker thread, which it joins
// before it dies: the worker never outlives the dialog.
//
// onSave refuses an empty or out-of-range distance (0 to 50 dm) or
// emissivity (1 to 100 %) with a message in the dialog, saving nothing.
// Otherwise it writes a changed palette to profile.ini and g_palette, sends a
// changed distance or emissivity to the module and keeps it for the next
// connection, sets g_temp_unit, emits save() when a measurement setting
// changed, and closes.
class CWidgetSettings : public QDialog
{
    Q_OBJECT

public:
    explicit CWidgetSettings(QWidget* parent = nullptr);
    ~CWidgetSettings() override;

    // The values shown on opening: palette index, distance in decimetres,
    // emissivity in percent, unit (0 Celsius, 1 Fahrenheit). onSave sends only
    // what differs from them.
    void setValues(int palette, int distance, int emissivity, int unit);

signals:
    void save();
    // Emitted from the restore worker thread.
    void restoreStarted();
    void restoreFinished(bool result);
    // The scale settings (span, markers, isotherm) were asked for.
    void scaleRequested();

public slots:
    void onRestore();
    void onSave();
    void onButtonC();
    void onButtonF();
    void onRestoreStarted();
    void onRestoreFinished(bool result);
    // Escape does not close the dialog while a restore runs.
    void reject() override;

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    void fillPalettes();
    void fitButtons();
    void setInputsEnabled(bool enabled);
    void savePalette(int palette);
    // Shows why the field's value cannot be saved and puts the cursor there.
    void refuseInput(QLineEdit* field, const QString& message);
    void joinRestoreThread();

    QPointer<CBaseTitleBar> titleBar;
    int initialPalette = 0;
    int initialDistance = 0;
    int initialEmissivity = 0;
    int initialUnit = 0;

    QLabel* label = nullptr;
    QComboBox* comboBox = nullptr;
    QLabel* label_2 = nullptr;
    QLineEdit* lineEdit = nullptr;
    QLabel* label_7 = nullptr;
    QLabel* label_4 = nullptr;
    QLineEdit* lineEdit_3 = nullptr;
    QLabel* label_9 = nullptr;
    QLabel* label_6 = nullptr;
    QLabel* labelError = nullptr;  // why the last save was refused
    QPushButton* pushButtonC = nullptr;
    QPushButton* pushButtonF = nullptr;
    QPushButton* pushButtonScale = nullptr;
    QWidget* layoutWidget = nullptr;
    QHBoxLayout* horizontalLayout = nullptr;
    QPushButton* pushButtonRestore = nullptr;
    QPushButton* pushButtonSave = nullptr;
    QButtonGroup* unitGroup = nullptr;

    bool restoring = false;
    std::unique_ptr<QThread> restoreThread;
    std::atomic<bool> restoreTaskDone{false};
};
