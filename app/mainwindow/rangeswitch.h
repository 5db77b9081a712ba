// The Normal and High buttons: a press sets the module's temperature range
// (its gain selection), saves it for the next connection, and shows the
// waiting animation while the module settles, about two seconds, on a worker.
// Presses during a switch are ignored.
//
// Ownership: the window owns it and drops it before the camera closes; the
// destructor joins the worker. The buttons and the dialog's parent are the
// window's. Threads: the worker only sends the command, sleeps and emits;
// everything else runs on the GUI thread.
#pragma once

#include <QObject>
#include <QPointer>

#include <atomic>

class CDialogWaiting;
class QAbstractButton;
class QWidget;

class RangeSwitch : public QObject
{
    Q_OBJECT

public:
    RangeSwitch(QAbstractButton* normal, QAbstractButton* high, QWidget* dialogParent);
    ~RangeSwitch() override;

    // Checks the button of the range in g_range_mode.
    void showRange();

signals:
    void settling();
    void settled();

private:
    void switchTo(int target);
    void showWaiting();
    void hideWaiting();

    QAbstractButton* normal;
    QAbstractButton* high;
    QWidget* dialogParent;
    QPointer<CDialogWaiting> waitingDialog;
    std::atomic<bool> switching{false};
};
