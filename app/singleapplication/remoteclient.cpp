#include "remoteclient.h"

#include "instanceprotocol.h"

#include <QElapsedTimer>
#include <QLocalSocket>

namespace {

// Replies are one line of text; anything larger is not an answer of ours.
constexpr qint64 MaxReplyBytes = 1 << 20;

int remaining(const QElapsedTimer& clock, int timeoutMs)
{
    return int(qMax<qint64>(0, timeoutMs - clock.elapsed()));
}

bool waitForBytes(QLocalSocket& socket, qint64 count, const QElapsedTimer& clock, int timeoutMs)
{
    while (socket.bytesAvailable() < count) {
        if (remaining(clock, timeoutMs) == 0 || !socket.waitForReadyRead(remaining(clock, timeoutMs)))
            return false;
    }
    return true;
}

// Writes one piece and waits for the primary's acknowledgement of it.
bool sendAcknowledged(QLocalSocket& socket, const QByteArray& data, const QElapsedTimer& clock, int timeoutMs)
{
    socket.write(data);
    socket.flush();
    char reply = 0;
    return waitForBytes(socket, 1, clock, timeoutMs) && socket.getChar(&reply) && reply == Acknowledgement;
}

} // namespace

RemoteOutcome sendRemoteRequest(const QString& blockName, const QByteArray& request, int timeoutMs, QByteArray& reply)
{
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    socket.connectToServer(blockName, QIODevice::ReadWrite);
    if (!socket.waitForConnected(remaining(clock, timeoutMs)))
        return RemoteOutcome::NoInstance;

    InitMessage init;
    init.blockName = blockName;
    init.connectionType = ConnectForMessage;
    const QByteArray initBody = encodeInitBody(init);
    const bool sent = sendAcknowledged(socket, encodeFrameHeader(initBody.size()), clock, timeoutMs)
        && sendAcknowledged(socket, initBody, clock, timeoutMs)
        && sendAcknowledged(socket, encodeFrameHeader(request.size()), clock, timeoutMs)
        && sendAcknowledged(socket, request, clock, timeoutMs);
    if (!sent || !waitForBytes(socket, FrameHeaderSize, clock, timeoutMs))
        return RemoteOutcome::NoAnswer;
    const qint64 length = decodeFrameHeader(socket.read(FrameHeaderSize));
    if (length < 0 || length > MaxReplyBytes || !waitForBytes(socket, length, clock, timeoutMs))
        return RemoteOutcome::NoAnswer;
    reply = socket.read(length);
    return RemoteOutcome::Answered;
}
