#include "singleapplication.h"

#include "singleapplication_p.h"

#include <cstdlib>

SingleApplication::SingleApplication(int& argc, char** argv, bool allowSecondary, quint32 options,
                                     int timeout, const QString& userData)
    : QApplication(argc, argv)
    , m_private(new SingleApplicationPrivate(this))
{
    SingleApplicationPrivate* const d = m_private;
    d->computeBlockName(options, userData);
    // Instances started together would otherwise all race for the lock at once.
    SingleApplicationPrivate::randomSleep();
    d->createOrAttachBlock();
    d->awaitConsistentBlock();

    if (!d->primaryIsRunning()) {
        d->startPrimary();
        d->unlockBlock("SingleApplication: Unable to unlock memory after primary start.");
        return;
    }

    if (!allowSecondary) {
        d->unlockBlock("SingleApplication: Unable to unlock memory at end of execution.");
        d->connectToPrimary(timeout, ConnectNewInstance);
        delete d;
        m_private = nullptr;
        ::exit(EXIT_SUCCESS);
    }

    d->startSecondary();
    if (options & NotifySecondary)
        d->connectToPrimary(timeout, ConnectSecondary);
    d->unlockBlock("SingleApplication: Unable to unlock memory after secondary start.");
}

SingleApplication::~SingleApplication()
{
    delete m_private;
}

bool SingleApplication::isSecondary() const
{
    return m_private->server == nullptr;
}

bool SingleApplication::sendMessage(const QByteArray& message, int timeout)
{
    if (!isSecondary())
        return false;
    if (!m_private->connectToPrimary(timeout, ConnectForMessage))
        return false;
    return m_private->sendFramed(message, timeout);
}

void SingleApplication::setRequestHandler(RequestHandler handler)
{
    m_private->requestHandler = std::move(handler);
}

QString SingleApplication::blockNameFor(quint32 options, const QString& userData)
{
    return SingleApplicationPrivate::blockNameFor(options, userData);
}
