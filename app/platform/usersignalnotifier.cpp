#include "usersignalnotifier.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// The pipe the handler writes to; -1 while no notifier is active.
std::atomic<int> g_writeEnd{-1};
int g_readEnd = -1;
struct sigaction g_previous[2];
constexpr int Signals[2] = {SIGUSR1, SIGUSR2};

void onSignal(int number)
{
    const int savedErrno = errno;
    const int fd = g_writeEnd.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(number);
        // A full pipe drops the signal, as the kernel would merge it anyway.
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

UserSignalNotifier::UserSignalNotifier(QObject* parent)
    : QObject(parent)
{
}

UserSignalNotifier::~UserSignalNotifier()
{
    stop();
}

bool UserSignalNotifier::start()
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
    for (int i = 0; i < 2; ++i) {
        if (sigaction(Signals[i], &action, &g_previous[i]) != 0) {
            for (int j = 0; j < i; ++j)
                sigaction(Signals[j], &g_previous[j], nullptr);
            g_writeEnd = -1;
            close(ends[0]);
            close(ends[1]);
            g_readEnd = -1;
            return false;
        }
    }
    notifier = new QSocketNotifier(g_readEnd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &UserSignalNotifier::onReadable);
    return true;
}

void UserSignalNotifier::stop()
{
    if (!notifier)
        return;
    for (int i = 0; i < 2; ++i)
        sigaction(Signals[i], &g_previous[i], nullptr);
    const int writeEnd = g_writeEnd.exchange(-1);
    delete notifier;
    notifier = nullptr;
    close(writeEnd);
    close(g_readEnd);
    g_readEnd = -1;
}

void UserSignalNotifier::onReadable()
{
    unsigned char numbers[64];
    ssize_t count;
    while ((count = read(g_readEnd, numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            if (numbers[i] == SIGUSR1)
                emit user1();
            else if (numbers[i] == SIGUSR2)
                emit user2();
        }
    }
}

} // namespace platform
