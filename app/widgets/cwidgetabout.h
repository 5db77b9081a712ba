// The "About" dialog: the module's serial number, module ID and firmware
// version, handed over by the main window as texts.
#pragma once

#include <QDialog>
#include <QPointer>

class CBaseTitleBar;
class QLabel;

// Frameless, application-modal, deleted when closed. Owns its title bar and
// labels as Qt children.
class CWidgetAbout : public QDialog
{
    Q_OBJECT

public:
    explicit CWidgetAbout(QWidget* parent = nullptr);

    void setInfo(const QString& serialNumber, const QString& moduleId, const QString& firmwareVersion);

private:
    void setupUi();
    void retranslateUi();

    QPointer<CBaseTitleBar> titleBar;
    QLabel* label = nullptr;
    QLabel* label_2 = nullptr;
    QLabel* label_3 = nullptr;
    QLabel* labelSN = nullptr;
    QLabel* labelID = nullptr;
    QLabel* labelVersion = nullptr;
};
