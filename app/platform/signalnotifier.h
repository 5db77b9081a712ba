// POSIX signals as a Qt signal on the GUI thread: SIGTERM, SIGINT and SIGHUP
// close the window as its close button does; SIGUSR1 and SIGUSR2 pull and
// plug the simulated module's cable.
//
// The handler only writes the signal's number into the owning notifier's
// pipe, which is async-signal-safe; a socket notifier on the other end emits
// received() on the thread that owns the notifier.
#pragma once

#include <QObject>

#include <csignal>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace platform {

// One notifier at a time owns a signal: start() installs the handlers and
// the destructor puts the previous dispositions back.
class SignalNotifier : public QObject
{
    Q_OBJECT

public:
    SignalNotifier(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    ~SignalNotifier() override;

    // False when another notifier owns one of the signals or the pipe or a
    // handler cannot be set up (then nothing changes).
    bool start();

signals:
    // Once per signal received.
    void received(int signalNumber);

private slots:
    void onReadable();

private:
    void restore(size_t count);
    void stop();

    std::vector<int> numbers;
    std::vector<struct sigaction> previous;
    int readEnd = -1;
    int writeEnd = -1;
    QSocketNotifier* notifier = nullptr;
};

} // namespace platform
