// Self-closing notices: one toast box per process, hidden again two seconds
// after the latest request.
#pragma once

#include <QObject>
#include <memory>

class CDialogToast;

// The process-wide toast. instance() creates it on first use; it is destroyed
// when the application object goes away. It owns its CDialogToast. Use it on
// the GUI thread only.
class Toast : public QObject
{
    Q_OBJECT

public:
    static Toast* instance();

    ~Toast() override;

    // Shows `text` and (re)starts the 2000 ms timer; a call while the toast is
    // up replaces the text and restarts the timer. `kind` does not change the
    // toast.
    void showTip(int kind, const QString& text);
    // As showTip, then waits in the toast's modal loop until it has closed.
    void showTipModal(int kind, const QString& text);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    Toast();
    static void destroyInstance();

    std::unique_ptr<CDialogToast> dialog;
    int timerId = 0;
};
