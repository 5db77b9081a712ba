// The main window's title bar: the text buttons About, Settings, Upgrade and
// Save on the left, the window buttons minimise, maximise or restore ("Normal")
// and close on the right.
#pragma once

#include <QWidget>

class QPushButton;

// The bar owns its eight buttons as Qt children and only switches Maximize and
// Normal itself; the main window connects the rest to its own slots. Upgrade
// is created hidden and stays hidden.
class CTitleBar : public QWidget
{
    Q_OBJECT

public:
    struct Buttons {
        QPushButton* minimize;
        QPushButton* maximize;
        QPushButton* close;
        QPushButton* normal;
        QPushButton* setting;
        QPushButton* upgrade;
        QPushButton* about;
        QPushButton* save;
    };

    explicit CTitleBar(QWidget* parent = nullptr);

    Buttons buttons() const;

signals:
    // A left-button double click on the bar (not on a button).
    void mouseDoubleClick();

public slots:
    void onNormal();
    void onMaximized();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    void fitTextButtons();

    QPushButton* pushButtonMinimize = nullptr;
    QPushButton* pushButtonMaximize = nullptr;
    QPushButton* pushButtonClose = nullptr;
    QPushButton* pushButtonNormal = nullptr;
    QPushButton* pushButtonSetting = nullptr;
    QPushButton* pushButtonUpgrade = nullptr;
    QPushButton* pushButtonAbout = nullptr;
    QPushButton* pushButtonSave = nullptr;
};
