// SIGUSR1 and SIGUSR2 as Qt signals on the GUI thread.
//
// The signal handler only writes the signal's number into a pipe (which is
// async-signal-safe); a socket notifier on the pipe's other end turns each
// byte into user1() or user2() on the thread that owns the notifier.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

// One instance at a time owns the two signals: start() installs the handlers
// and the destructor puts the previous dispositions back.
class UserSignalNotifier : public QObject
{
    Q_OBJECT

public:
    explicit UserSignalNotifier(QObject* parent = nullptr);
    ~UserSignalNotifier() override;

    // False when another instance is active or the pipe or a handler cannot
    // be set up (then nothing changes).
    bool start();
    bool isActive() const { return notifier != nullptr; }

signals:
    void user1();
    void user2();

private slots:
    void onReadable();

private:
    void stop();

    QSocketNotifier* notifier = nullptr;
};

} // namespace platform
