// What a second instance (or any local process) may send the primary: the
// frame header, the init body and the remote command with its reply, and
// the shared block another build may have left. Garbage is refused; whatever is accepted must survive its own
// encoding unchanged.
#include "instanceprotocol.h"
#include "remotecommand.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));

    const qint64 length = decodeFrameHeader(bytes.left(FrameHeaderSize));
    if (size >= FrameHeaderSize && decodeFrameHeader(encodeFrameHeader(length)) != length)
        std::abort();

    InitMessage message;
    if (decodeInitBody(bytes, message)) {
        InitMessage again;
        if (!decodeInitBody(encodeInitBody(message), again) || again.blockName != message.blockName ||
            again.connectionType != message.connectionType || again.instanceId != message.instanceId)
            std::abort();
    }

    RemoteCommand command;
    QString problem;
    if (decodeRemoteRequest(bytes, command, problem)) {
        RemoteCommand again;
        if (!decodeRemoteRequest(encodeRemoteRequest(command), again, problem) || again.verb != command.verb ||
            again.path != command.path || again.palette != command.palette)
            std::abort();
    }
    bool ok = false;
    QString text;
    if (decodeRemoteReply(bytes, ok, text)) {
        bool okAgain = !ok;
        QString textAgain;
        if (!decodeRemoteReply(encodeRemoteReply(ok, text), okAgain, textAgain) || okAgain != ok || textAgain != text)
            std::abort();
    }

    InstanceBlock block;
    std::memset(&block, 0, sizeof block);
    std::memcpy(&block, data, size < sizeof block ? size : sizeof block);
    if (isBlockConsistent(block))
        (void)primaryUserName(block).size();
    (void)primaryUserName(block);
    return 0;
}
