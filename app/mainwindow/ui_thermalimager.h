// The main window's form "ThermalImagerClass": its widgets with their object
// names, design geometries and inline styles, built in code the way a
// generated form class builds them. The window lays the widgets out again on
// every resize (the bars through arrangeBars); the geometries here are the
// design's starting point.
#pragma once

class QGraphicsView;
class QLabel;
class QMainWindow;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QToolBar;
class QWidget;

// The widgets are Qt children of the window passed to setupUi and die with it.
class Ui_ThermalImagerClass
{
public:
    QWidget* centralWidget = nullptr;
    QWidget* widgetTemperature = nullptr;
    QGraphicsView* graphicsView = nullptr;
    QWidget* widgetTopBar = nullptr;
    QPushButton* pushButtonSpot = nullptr;
    QPushButton* pushButtonLine = nullptr;
    QPushButton* pushButtonSquare = nullptr;
    QPushButton* pushButtonDelete = nullptr;
    QPushButton* pushButtonNormal = nullptr;
    QPushButton* pushButtonHigh = nullptr;
    QPushButton* pushButtonRefresh = nullptr;
    QPushButton* pushButtonRotate = nullptr;
    QWidget* widgetButtomBar = nullptr;
    QLabel* labelMark = nullptr;
    QLabel* labelTempTitle = nullptr;
    QLabel* labelMax = nullptr;
    QLabel* labelMin = nullptr;
    QMenuBar* menuBar = nullptr;
    QToolBar* mainToolBar = nullptr;
    QStatusBar* statusBar = nullptr;

    void setupUi(QMainWindow* ThermalImagerClass);
    void retranslateUi(QMainWindow* ThermalImagerClass);
    // Icons of the range and action buttons, and widths that fit their
    // captions: Normal and High (and Refresh and Rotate) share one width
    // while all four fit the bar; else each is as wide as its own text.
    void fitRangeButtons();
    // The top and bottom bars at a window width: the range and action
    // buttons at the right end of the one, the readings at the right end of
    // the other.
    void arrangeBars(int width);

private:
    void setupTopBar();
    void setupBottomBar();
};

namespace Ui {
class ThermalImagerClass : public Ui_ThermalImagerClass
{
};
} // namespace Ui
