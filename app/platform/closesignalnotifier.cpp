#include "closesignalnotifier.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int SignalCount = int(sizeof Signals / sizeof Signals[0]);

// The pipe the handler writes to; -1 while no notifier is active.
std::atomic<int> g_writeEnd{-1};
int g_readEnd = -1;
struct sigaction g_previous[SignalCount];

void onSignal(int number)
{
    const int savedErrno = errno;
    const int fd = g_writeEnd.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(number);
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = savedErrno;
}

void restoreHandlers(int count)
{
    for (int i = 0; i < count; ++i)
        sigaction(Signals[i], &g_previous[i], nullptr);
}

} // namespace

CloseSignalNotifier::CloseSignalNotifier(QObject* parent)
    : QObject(parent)
{
}

CloseSignalNotifier::~CloseSignalNotifier()
{
    stop();
}

bool CloseSignalNotifier::start()
{
    if (notifier)
        return true;
    if (g_writeEnd.load() >= 0)
        return false;
    int ends[2];
    if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0)
        return false;

    struct sigaction action = {};
    action.sa_handler = &onSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    g_writeEnd = ends[1];
    g_readEnd = ends[0];
    for (int i = 0; i < SignalCount; ++i) {
        if (sigaction(Signals[i], &action, &g_previous[i]) != 0) {
            restoreHandlers(i);
            g_writeEnd = -1;
            g_readEnd = -1;
            close(ends[0]);
            close(ends[1]);
            return false;
        }
    }
    notifier = new QSocketNotifier(g_readEnd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &CloseSignalNotifier::onReadable);
    return true;
}

void CloseSignalNotifier::stop()
{
    if (!notifier)
        return;
    restoreHandlers(SignalCount);
    const int writeEnd = g_writeEnd.exchange(-1);
    delete notifier;
    notifier = nullptr;
    close(writeEnd);
    close(g_readEnd);
    g_readEnd = -1;
}

void CloseSignalNotifier::onReadable()
{
    unsigned char numbers[64];
    ssize_t count;
    while ((count = read(g_readEnd, numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit closeRequested(numbers[i]);
    }
}

} // namespace platform
