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
#include <QMenuBar>
#include <QtCharts/QChartView>
#include <QPushButton>
#include <QtCharts/QLineSeries>

#include <algorithm>
#include <memory>

// The eight buttons of the top bar.
inline QList<QPushButton*> topBarButtons(ThermalImager& window)
{
    Ui_ThermalImagerClass& ui = window.form();
    return {ui.pushButtonSpot,   ui.pushButtonLine, ui.pushButtonSquare,  ui.pushButtonDelete,
            ui.pushButtonNormal, ui.pushButtonHigh, ui.pushButtonRefresh, ui.pushButtonRotate};
}

// Every top-bar button enabled (or every one disabled).
inline bool controlsAre(ThermalImager& window, bool enabled)
{
    const QList<QPushButton*> buttons = topBarButtons(window);
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

// Clicks a title bar button with the mouse.
inline void clickTitleBar(ThermalImager& window, QPushButton* CTitleBar::Buttons::*which)
{
    QTest::mouseClick(window.titleBarWidget()->buttons().*which, Qt::LeftButton);
}

// Answers the next message box: records its text and presses its first
// button (or closes it when `press` is false).
struct MessageAnswer
{
    QString text;
    QString title;
    QString button;
    std::unique_ptr<ModalHandler<CMessageBox>> handler;

    explicit MessageAnswer(bool press = true)
    {
        handler = std::make_unique<ModalHandler<CMessageBox>>([this, press](CMessageBox* box) {
            text = box->findChild<QLabel*>(QStringLiteral("label"))->text();
            auto* first = box->findChild<QPushButton*>(QStringLiteral("pushButton"));
            button = first->text();
            if (press)
                QTest::mouseClick(first, Qt::LeftButton);
            else
                box->close();
        });
    }
    bool handled() const { return handler->handled(); }
};

// Every file in the folder, hidden ones too.
inline QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}
