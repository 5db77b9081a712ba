#include "signalnotifier.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// The pipe each signal's handler writes to; -1 while no notifier owns it.
std::atomic<int> g_writeEnds[NSIG];

struct NoOwners
{
    NoOwners()
    {
        for (std::atomic<int>& end : g_writeEnds)
            end = -1;
    }
} const g_noOwners;

void onSignal(int number)
{
    const int savedErrno = errno;
    const int fd = g_writeEnds[number].load(std::memory_order_relaxed);
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(number);
        // A full pipe drops the signal, as the kernel would merge it anyway.
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

SignalNotifier::SignalNotifier(std::initializer_list<int> signalNumbers, QObject* parent)
    : QObject(parent)
    , numbers(signalNumbers)
    , previous(numbers.size())
{
}

SignalNotifier::~SignalNotifier()
{
    stop();
}

bool SignalNotifier::start()
{
    if (notifier)
        return true;
    for (int number : numbers)
        if (number <= 0 || number >= NSIG || g_writeEnds[number].load() >= 0)
            return false;
    int ends[2];
    if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0)
        return false;
    readEnd = ends[0];
    writeEnd = ends[1];

    struct sigaction action = {};
    action.sa_handler = &onSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < numbers.size(); ++i) {
        g_writeEnds[numbers[i]] = writeEnd;
        if (sigaction(numbers[i], &action, &previous[i]) != 0) {
            g_writeEnds[numbers[i]] = -1;
            restore(i);
            close(readEnd);
            close(writeEnd);
            readEnd = writeEnd = -1;
            return false;
        }
    }
    notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SignalNotifier::onReadable);
    return true;
}

// Puts back the first `count` signals' previous dispositions.
void SignalNotifier::restore(size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        sigaction(numbers[i], &previous[i], nullptr);
        g_writeEnds[numbers[i]] = -1;
    }
}

void SignalNotifier::stop()
{
    if (!notifier)
        return;
    restore(numbers.size());
    delete notifier;
    notifier = nullptr;
    close(writeEnd);
    close(readEnd);
    readEnd = writeEnd = -1;
}

void SignalNotifier::onReadable()
{
    unsigned char received[64];
    ssize_t count;
    while ((count = read(readEnd, received, sizeof received)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit this->received(received[i]);
    }
}

} // namespace platform
