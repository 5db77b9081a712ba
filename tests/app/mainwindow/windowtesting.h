// Helpers for the suites that drive the real main window against the
// simulated module.
#pragma once

#include "cameracontroller.h"
#include "cglwidgetimage.h"
#include "cmessagebox.h"
#include "cthreadvideostream.h"
#include "ctitlebar.h"
#include "globals.h"
#include "mainwindowtesting.h"
#include "temperaturechart.h"
#include "thermalimager.h"
#include "ui_thermalimager.h"

#include <QDir>
#include <QGraphicsView>
#include <QPushButton>
#include <QtCharts/QLineSeries>

#include <algorithm>
#include <memory>

// Every button of the top bar enabled (or every one disabled).
inline bool controlsAre(ThermalImager& window, bool enabled)
{
    Ui_ThermalImagerClass& ui = window.form();
    const QList<QPushButton*> buttons{ui.pushButtonSpot,   ui.pushButtonLine, ui.pushButtonSquare,
                                      ui.pushButtonDelete, ui.pushButtonNormal, ui.pushButtonHigh,
                                      ui.pushButtonRefresh, ui.pushButtonRotate};
    return std::all_of(buttons.begin(), buttons.end(), [enabled](QPushButton* b) { return b->isEnabled() == enabled; });
}
inline bool controlsEnabled(ThermalImager& window) { return controlsAre(window, true); }
inline bool controlsDisabled(ThermalImager& window) { return controlsAre(window, false); }

inline bool pictureRunning(ThermalImager& window)
{
    return window.imageWidget()->videoStream()->isRunning();
}

// Points of the chart since its last reset.
inline int chartPoints(ThermalImager& window)
{
    return window.profileChart().maxSeries()->count();
}

inline void clickTitleBar(ThermalImager& window, QPushButton* CTitleBar::Buttons::*which)
{
    QTest::mouseClick(window.titleBarWidget()->buttons().*which, Qt::LeftButton);
}

// Answers the next message box: records its text and presses its first
// button.
struct MessageAnswer
{
    QString text;
    ModalHandler<CMessageBox> handler{[this](CMessageBox* box) {
        text = box->findChild<QLabel*>(QStringLiteral("label"))->text();
        QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("pushButton")), Qt::LeftButton);
    }};
    bool handled() const { return handler.handled(); }
};
