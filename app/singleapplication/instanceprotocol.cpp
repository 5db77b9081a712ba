#include "instanceprotocol.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>
#include <cstring>

namespace {

constexpr int ChecksummedBytes = offsetof(InstanceBlock, blockChecksum);

quint16 checksumOf(const char* data, int size)
{
    return qChecksum(data, static_cast<uint>(size));
}

// Longest prefix of at most `limit` bytes that does not split a character.
QByteArray cutUtf8(const QByteArray& text, int limit)
{
    if (text.size() <= limit)
        return text;
    int end = limit;
    // Continuation bytes are 10xxxxxx; step back to the start of the character.
    while (end > 0 && (static_cast<unsigned char>(text.at(end)) & 0xC0) == 0x80)
        --end;
    return text.left(end);
}

} // namespace

quint16 computeBlockChecksum(const InstanceBlock& block)
{
    return checksumOf(reinterpret_cast<const char*>(&block), ChecksummedBytes);
}

bool isBlockConsistent(const InstanceBlock& block)
{
    return block.blockChecksum == computeBlockChecksum(block);
}

void initialiseBlock(InstanceBlock& block)
{
    block.primaryRunning = 0;
    block.secondaryCount = 0;
    block.primaryProcessId = -1;
    block.primaryUserName[0] = '\0';
    block.blockChecksum = computeBlockChecksum(block);
}

void markPrimaryRunning(InstanceBlock& block, qint64 processId, const QString& userName)
{
    const QByteArray name = cutUtf8(userName.toUtf8(), sizeof block.primaryUserName - 1);
    block.primaryRunning = 1;
    block.primaryProcessId = processId;
    std::memcpy(block.primaryUserName, name.constData(), static_cast<size_t>(name.size()));
    block.primaryUserName[name.size()] = '\0';
    block.blockChecksum = computeBlockChecksum(block);
}

void markPrimaryEnded(InstanceBlock& block)
{
    block.primaryRunning = 0;
    block.primaryProcessId = -1;
    block.primaryUserName[0] = '\0';
    block.blockChecksum = computeBlockChecksum(block);
}

quint32 addSecondary(InstanceBlock& block)
{
    block.secondaryCount += 1;
    block.blockChecksum = computeBlockChecksum(block);
    return block.secondaryCount;
}

QString primaryUserName(const InstanceBlock& block)
{
    return QString::fromUtf8(block.primaryUserName, static_cast<int>(qstrnlen(block.primaryUserName, sizeof block.primaryUserName)));
}

QString composeBlockName(const BlockNameParts& parts)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData("SingleApplication", 17);
    hash.addData(parts.applicationName.toUtf8());
    hash.addData(parts.organizationName.toUtf8());
    hash.addData(parts.organizationDomain.toUtf8());
    if (!parts.userData.isEmpty())
        hash.addData(parts.userData.join(QString()).toUtf8());
    if (!(parts.options & SingleApplication::IgnoreVersion))
        hash.addData(parts.applicationVersion.toUtf8());
    if (!(parts.options & SingleApplication::IgnorePath))
        hash.addData(parts.executablePath.toLower().toUtf8());
    if (parts.options & SingleApplication::PerUser)
        hash.addData(parts.userName.toUtf8());
    // "/" cannot appear in a server name, which becomes a file name.
    return QString::fromLatin1(hash.result().toBase64()).replace(QLatin1Char('/'), QLatin1Char('_'));
}

QByteArray encodeFrameHeader(qint64 bodyLength)
{
    QByteArray header;
    QDataStream stream(&header, QIODevice::WriteOnly);
    stream.setVersion(FrameStreamVersion);
    stream << bodyLength;
    return header;
}

qint64 decodeFrameHeader(const QByteArray& header)
{
    QDataStream stream(header);
    stream.setVersion(FrameStreamVersion);
    qint64 length = -1;
    stream >> length;
    return stream.status() == QDataStream::Ok ? length : -1;
}

QByteArray encodeInitBody(const InitMessage& message)
{
    QByteArray body;
    QDataStream stream(&body, QIODevice::WriteOnly);
    stream.setVersion(FrameStreamVersion);
    stream << message.blockName.toLatin1() << message.connectionType << message.instanceId;
    stream << checksumOf(body.constData(), body.size());
    return body;
}

bool decodeInitBody(const QByteArray& body, InitMessage& message)
{
    QDataStream stream(body);
    stream.setVersion(FrameStreamVersion);
    QByteArray name;
    qint8 type = InvalidConnection;
    quint32 instanceId = 0;
    quint16 checksum = 0;
    stream >> name >> type >> instanceId >> checksum;
    if (stream.status() != QDataStream::Ok || body.size() < 2)
        return false;
    if (checksum != checksumOf(body.constData(), body.size() - 2))
        return false;
    const int nul = name.indexOf('\0');
    message.blockName = QString::fromLatin1(nul < 0 ? name : name.left(nul));
    message.connectionType = type;
    message.instanceId = instanceId;
    return true;
}
