#include "singleapplication_p.h"

#include "remotecommand.h"
#include "singleapplication.h"

#include <loginname.h>
#include <processprobe.h>

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QRandomGenerator>
#include <QSharedMemory>
#include <QThread>

#include <cstdlib>

namespace {

constexpr qint64 InconsistencyLimitMs = 5000;
// Frames are command lines and short notes; anything near QByteArray's limit is garbage.
constexpr qint64 MaxFrameLength = qint64(1) << 30;

int remainingOf(const QElapsedTimer& clock, int timeout)
{
    // Qt's waits read a negative time as "forever".
    return static_cast<int>(qMax<qint64>(0, timeout - clock.elapsed()));
}

} // namespace

SingleApplicationPrivate::SingleApplicationPrivate(SingleApplication* q)
    : q_ptr(q)
{
}

SingleApplicationPrivate::~SingleApplicationPrivate()
{
    if (socket != nullptr) {
        socket->close();
        delete socket;
        socket = nullptr;
    }
    if (memory == nullptr)
        return;
    const bool locked = memory->isAttached() && memory->lock();
    if (server != nullptr) {
        // Teardown: pending bytes of the accepted sockets are not delivered any more.
        for (QLocalSocket* connection : connectionMap.keys())
            connection->disconnect(this);
        server->close();
        delete server;
        server = nullptr;
        if (locked)
            markPrimaryEnded(*block());
    }
    if (locked)
        memory->unlock();
    delete memory;
    memory = nullptr;
}

InstanceBlock* SingleApplicationPrivate::block() const
{
    return static_cast<InstanceBlock*>(memory->data());
}

void SingleApplicationPrivate::computeBlockName(quint32 flags, const QString& userData)
{
    options = flags;
    if (!userData.isEmpty())
        appData << userData;
    blockName = blockNameFor(options, userData);
}

QString SingleApplicationPrivate::blockNameFor(quint32 flags, const QString& userData)
{
    BlockNameParts parts;
    parts.applicationName = QCoreApplication::applicationName();
    parts.organizationName = QCoreApplication::organizationName();
    parts.organizationDomain = QCoreApplication::organizationDomain();
    if (!userData.isEmpty())
        parts.userData << userData;
    parts.applicationVersion = QCoreApplication::applicationVersion();
    parts.executablePath = QCoreApplication::applicationFilePath();
    parts.userName = platform::currentLoginName();
    parts.options = flags;
    return composeBlockName(parts);
}

void SingleApplicationPrivate::randomSleep()
{
    const quint64 random = QRandomGenerator::global()->generate();
    QThread::msleep(static_cast<unsigned long>(8 + (random * 10) / (quint64(1) << 32)));
}

void SingleApplicationPrivate::failStart(const char* text)
{
    qCritical("%s", text);
    qCritical().noquote().nospace() << "SingleApplication: " << memory->error() << " " << memory->errorString();
    delete this;
    ::exit(EXIT_FAILURE);
}

void SingleApplicationPrivate::createOrAttachBlock()
{
    memory = new QSharedMemory(blockName);
    if (memory->create(sizeof(InstanceBlock), QSharedMemory::ReadWrite)) {
        if (!memory->lock())
            failStart("SingleApplication: Unable to lock memory block after create.");
        initialiseBlock(*block());
        return;
    }
    if (memory->error() != QSharedMemory::AlreadyExists)
        failStart("SingleApplication: Unable to create block.");
    if (!memory->attach(QSharedMemory::ReadWrite))
        failStart("SingleApplication: Unable to attach to shared memory block.");
    if (memory->size() < static_cast<int>(sizeof(InstanceBlock)))
        failStart("SingleApplication: Unable to attach to shared memory block.");
    if (!memory->lock())
        failStart("SingleApplication: Unable to lock memory block after attach.");
}

void SingleApplicationPrivate::awaitConsistentBlock()
{
    QElapsedTimer clock;
    clock.start();
    while (!isBlockConsistent(*block())) {
        if (clock.elapsed() > InconsistencyLimitMs) {
            qWarning("SingleApplication: Shared memory block has been in an inconsistent state from more than 5s. Assuming primary instance failure.");
            initialiseBlock(*block());
        }
        unlockBlock("SingleApplication: Unable to unlock memory for random wait.");
        randomSleep();
        if (!memory->lock())
            failStart("SingleApplication: Unable to lock memory after random wait.");
    }
}

void SingleApplicationPrivate::unlockBlock(const char* failureText)
{
    if (!memory->unlock())
        qDebug().noquote() << failureText << memory->errorString();
}

bool SingleApplicationPrivate::primaryIsRunning()
{
    const InstanceBlock& shared = *block();
    if (shared.primaryRunning == 0)
        return false;
    if (primaryProcessAlive(shared))
        return true;
    // The primary died without releasing the block (killed, crashed): without
    // this every later start would wait for a primary that never answers.
    qWarning().noquote() << QStringLiteral("SingleApplication: Primary instance (process %1) is gone. Taking over as primary.")
                                .arg(shared.primaryProcessId);
    return false;
}

// The recorded primary counts as running while a process of that id runs as
// the recorded user and runs this program. A mismatch means the id was given
// to another process after the primary ended.
bool SingleApplicationPrivate::primaryProcessAlive(const InstanceBlock& shared) const
{
    const qint64 pid = shared.primaryProcessId;
    if (pid < 1 || pid == QCoreApplication::applicationPid())
        return false;
    const platform::ProcessIdentity process = platform::probeProcess(pid);
    if (!process.running)
        return false;
    const QString recordedUser = primaryUserName(shared);
    if (!process.ownerName.isEmpty() && !recordedUser.isEmpty() && process.ownerName != recordedUser)
        return false;
    return process.executablePath.isEmpty() || isSameProgram(process.executablePath);
}

bool SingleApplicationPrivate::isSameProgram(const QString& executablePath) const
{
    const QString ours = QCoreApplication::applicationFilePath();
    // With the path left out of the block name, copies elsewhere are the same program.
    if (options & SingleApplication::IgnorePath)
        return QFileInfo(executablePath).fileName() == QFileInfo(ours).fileName();
    return executablePath.toLower() == ours.toLower();
}

void SingleApplicationPrivate::startPrimary()
{
    markPrimaryRunning(*block(), QCoreApplication::applicationPid(), platform::currentLoginName());
    instanceNumber = 0;

    QLocalServer::removeServer(blockName);
    server = new QLocalServer();
    server->setSocketOptions((options & SingleApplication::PerUser) ? QLocalServer::UserAccessOption
                                                       : QLocalServer::WorldAccessOption);
    if (!server->listen(blockName))
        qWarning().noquote() << "SingleApplication: Unable to listen for other instances." << server->errorString();
    connect(server, &QLocalServer::newConnection, this, &SingleApplicationPrivate::slotConnectionEstablished);
}

void SingleApplicationPrivate::startSecondary()
{
    instanceNumber = addSecondary(*block());
}

bool SingleApplicationPrivate::connectToPrimary(int timeout, ConnectionType type)
{
    QElapsedTimer clock;
    clock.start();
    if (socket == nullptr)
        socket = new QLocalSocket();
    if (socket->state() == QLocalSocket::ConnectedState)
        return true;

    for (;;) {
        randomSleep();
        if (socket->state() != QLocalSocket::ConnectingState)
            socket->connectToServer(blockName, QIODevice::ReadWrite);
        if (socket->state() == QLocalSocket::ConnectingState)
            socket->waitForConnected(remainingOf(clock, timeout));
        if (socket->state() == QLocalSocket::ConnectedState)
            break;
        if (clock.elapsed() >= timeout)
            return false;
    }

    InitMessage init;
    init.blockName = blockName;
    init.connectionType = type;
    init.instanceId = instanceNumber;
    const QByteArray body = encodeInitBody(init);
    return writeAndAwaitAck(encodeFrameHeader(body.size()), clock, timeout)
        && writeAndAwaitAck(body, clock, timeout);
}

bool SingleApplicationPrivate::sendFramed(const QByteArray& body, int timeout)
{
    QElapsedTimer clock;
    clock.start();
    return writeAndAwaitAck(encodeFrameHeader(body.size()), clock, timeout)
        && writeAndAwaitAck(body, clock, timeout);
}

// A frame without its acknowledgement leaves the primary somewhere inside the
// frame; the connection is dropped so that the next attempt starts afresh.
bool SingleApplicationPrivate::writeAndAwaitAck(const QByteArray& data, const QElapsedTimer& clock, int timeout)
{
    socket->write(data);
    socket->flush();
    char reply = 0;
    const bool acknowledged = (socket->bytesAvailable() > 0 || socket->waitForReadyRead(remainingOf(clock, timeout)))
        && socket->getChar(&reply) && reply == Acknowledgement;
    if (!acknowledged)
        socket->abort();
    return acknowledged;
}

void SingleApplicationPrivate::slotConnectionEstablished()
{
    while (QLocalSocket* connection = server->nextPendingConnection()) {
        connectionMap.insert(connection, ConnectionRecord());
        connect(connection, &QLocalSocket::aboutToClose, this, [this, connection]() {
            const auto found = connectionMap.constFind(connection);
            if (found != connectionMap.constEnd())
                slotClientConnectionClosed(connection, found->instanceId);
        });
        connect(connection, &QLocalSocket::disconnected, connection, &QLocalSocket::deleteLater);
        connect(connection, &QLocalSocket::destroyed, this, [this, connection]() {
            connectionMap.remove(connection);
        });
        connect(connection, &QLocalSocket::readyRead, this, [this, connection]() {
            readFrames(connection);
        });
        if (connection->bytesAvailable() > 0)
            readFrames(connection);
    }
}

// Works through every complete frame the connection holds; a frame's body is
// exactly the announced length, so a frame sent right behind another is kept.
void SingleApplicationPrivate::readFrames(QLocalSocket* connection)
{
    for (;;) {
        const auto found = connectionMap.find(connection);
        if (found == connectionMap.end())
            return;
        ConnectionRecord& record = *found;
        switch (record.stage) {
        case ConnectionRecord::AwaitInitHeader:
        case ConnectionRecord::AwaitMessageHeader:
            if (!readHeader(connection, record))
                return;
            break;
        case ConnectionRecord::AwaitInitBody:
            if (!readInitBody(connection, record))
                return;
            break;
        case ConnectionRecord::AwaitMessageBody: {
            slotDataAvailable(connection, record.instanceId);
            const auto after = connectionMap.constFind(connection);
            if (after == connectionMap.constEnd() || after->stage == ConnectionRecord::AwaitMessageBody)
                return;
            break;
        }
        default:
            dropConnection(connection);
            return;
        }
    }
}

bool SingleApplicationPrivate::readHeader(QLocalSocket* connection, ConnectionRecord& record)
{
    if (connection->bytesAvailable() < FrameHeaderSize)
        return false;
    const qint64 length = decodeFrameHeader(connection->read(FrameHeaderSize));
    if (length < 0 || length > MaxFrameLength) {
        dropConnection(connection);
        return false;
    }
    record.frameLength = static_cast<quint64>(length);
    record.stage = record.stage == ConnectionRecord::AwaitInitHeader ? ConnectionRecord::AwaitInitBody
                                                                      : ConnectionRecord::AwaitMessageBody;
    acknowledge(connection);
    return true;
}

bool SingleApplicationPrivate::readInitBody(QLocalSocket* connection, ConnectionRecord& record)
{
    if (static_cast<quint64>(connection->bytesAvailable()) < record.frameLength)
        return false;
    InitMessage init;
    if (!decodeInitBody(connection->read(static_cast<qint64>(record.frameLength)), init) || init.blockName != blockName) {
        dropConnection(connection);
        return false;
    }
    record.instanceId = init.instanceId;
    record.stage = ConnectionRecord::AwaitMessageHeader;
    const bool announce = init.connectionType == ConnectNewInstance
        || (init.connectionType == ConnectSecondary && (options & SingleApplication::NotifySecondary));
    if (announce)
        Q_EMIT q_ptr->instanceStarted();
    acknowledge(connection);
    return true;
}

void SingleApplicationPrivate::slotDataAvailable(QLocalSocket* dataSocket, quint32 instanceId)
{
    const auto found = connectionMap.find(dataSocket);
    if (found == connectionMap.end() || found->stage != ConnectionRecord::AwaitMessageBody)
        return;
    if (static_cast<quint64>(dataSocket->bytesAvailable()) < found->frameLength)
        return;
    const QByteArray message = dataSocket->read(static_cast<qint64>(found->frameLength));
    // The record is done with before writing: a failed write closes the
    // socket, and closing reads on from the record's stage.
    found->stage = ConnectionRecord::AwaitMessageHeader;
    acknowledge(dataSocket);
    if (isRemoteRequest(message)) {
        answerRequest(dataSocket, message);
        return;
    }
    Q_EMIT q_ptr->receivedMessage(instanceId, message);
}

// The reply is one more frame on the connection, after the acknowledgement.
void SingleApplicationPrivate::answerRequest(QLocalSocket* connection, const QByteArray& request)
{
    const QPointer<QLocalSocket> guard(connection);
    const QByteArray reply = requestHandler ? requestHandler(request)
                                            : encodeRemoteReply(false, QStringLiteral("the viewer is still starting; try again"));
    if (!guard)
        return;
    connection->write(encodeFrameHeader(reply.size()) + reply);
    connection->flush();
}

// Bytes that came in together with the disconnection are still read.
void SingleApplicationPrivate::slotClientConnectionClosed(QLocalSocket* closedSocket, quint32 instanceId)
{
    Q_UNUSED(instanceId)
    if (closedSocket->bytesAvailable() > 0)
        readFrames(closedSocket);
}

void SingleApplicationPrivate::dropConnection(QLocalSocket* connection)
{
    // Forget the record first: closing reports aboutToClose, which must not
    // read the rejected bytes again.
    connectionMap.remove(connection);
    connection->close();
    connection->deleteLater();
}

void SingleApplicationPrivate::acknowledge(QLocalSocket* connection)
{
    connection->putChar(Acknowledgement);
    connection->flush();
}
