// What the instances of the program share: the block in shared memory that
// tells whether a primary instance runs, the name under which the block and
// the primary's local server are found, and the frames sent between them.
#pragma once

#include "singleapplication.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstddef>

// The shared block. Read and written only while its lock is held; every
// writer recomputes blockChecksum before releasing the lock.
struct InstanceBlock {
    quint8 primaryRunning;   // 1 while a primary runs
    quint8 reserved0[3];
    quint32 secondaryCount;  // secondaries started since initialisation; never decreased
    qint64 primaryProcessId; // -1 when no primary runs
    char primaryUserName[128]; // UTF-8, NUL-terminated
    quint16 blockChecksum;   // qChecksum of the 144 bytes before it
    quint8 reserved1[6];
};
static_assert(sizeof(InstanceBlock) == 152, "the block is shared with other builds of the program");
static_assert(offsetof(InstanceBlock, secondaryCount) == 4, "block layout");
static_assert(offsetof(InstanceBlock, primaryProcessId) == 8, "block layout");
static_assert(offsetof(InstanceBlock, primaryUserName) == 16, "block layout");
static_assert(offsetof(InstanceBlock, blockChecksum) == 144, "block layout");

quint16 computeBlockChecksum(const InstanceBlock& block);
bool isBlockConsistent(const InstanceBlock& block);
// No primary, no secondaries; checksum updated.
void initialiseBlock(InstanceBlock& block);
// Records this process as the primary; the user name is cut to at most 127
// bytes at a character boundary.
void markPrimaryRunning(InstanceBlock& block, qint64 processId, const QString& userName);
void markPrimaryEnded(InstanceBlock& block);
// Counts one more secondary and returns its instance number.
quint32 addSecondary(InstanceBlock& block);
QString primaryUserName(const InstanceBlock& block);

// What names the block; fields left out by the options are ignored.
struct BlockNameParts {
    QString applicationName;
    QString organizationName;
    QString organizationDomain;
    QStringList userData;
    QString applicationVersion;
    QString executablePath;
    QString userName;
    quint32 options = 0; // SingleApplication::Option flags
};

// Base64 of the SHA-256 of the parts, with "/" replaced by "_" (44 characters).
QString composeBlockName(const BlockNameParts& parts);

// Frames between the instances (QDataStream, version 17, big-endian).
enum ConnectionType : qint8 {
    InvalidConnection = 0,
    ConnectNewInstance = 1, // an instance that ends because secondaries are not allowed
    ConnectSecondary = 2,   // a secondary announcing itself
    ConnectForMessage = 3,  // a secondary that sends a message
};

constexpr int FrameStreamVersion = 17;
constexpr int FrameHeaderSize = 8;
constexpr char Acknowledgement = '\n';

struct InitMessage {
    QString blockName;
    qint8 connectionType = InvalidConnection;
    quint32 instanceId = 0;
};

QByteArray encodeFrameHeader(qint64 bodyLength);
// Reads the body length from the first FrameHeaderSize bytes.
qint64 decodeFrameHeader(const QByteArray& header);
// Name (Latin-1 byte string), connection type, instance number, checksum.
QByteArray encodeInitBody(const InitMessage& message);
// False when the stream is short or garbled or the checksum is wrong. The
// name is taken up to its first NUL byte.
bool decodeInitBody(const QByteArray& body, InitMessage& message);
