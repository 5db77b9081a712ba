// SIGTERM, SIGINT and SIGHUP (logout, `kill`, Ctrl+C, a closed terminal) as
// a Qt signal on the GUI thread, so that the program closes the way its close
// button closes it and saves what it saves then.
//
// The handler only writes the signal's number into a pipe, which is
// async-signal-safe; a socket notifier on the other end emits
// closeRequested() on the thread that owns this object.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

// One instance at a time owns the three signals: start() installs the
// handlers and the destructor puts the previous dispositions back.
class CloseSignalNotifier : public QObject
{
    Q_OBJECT

public:
    explicit CloseSignalNotifier(QObject* parent = nullptr);
    ~CloseSignalNotifier() override;

    // False when another instance is active or the pipe or a handler cannot
    // be set up (then nothing changes).
    bool start();

signals:
    // Once per signal received; the number tells which.
    void closeRequested(int signalNumber);

private slots:
    void onReadable();

private:
    void stop();

    QSocketNotifier* notifier = nullptr;
};

} // namespace platform
