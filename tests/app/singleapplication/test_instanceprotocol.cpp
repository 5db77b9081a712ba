// The shared block's bytes, the block name and the frames, checked against
// values worked out independently of the code under test.
#include <instanceprotocol.h>

#include <gtest/gtest.h>

#include <QDataStream>
#include <cstring>

namespace {

InstanceBlock blankBlock()
{
    InstanceBlock block;
    std::memset(&block, 0, sizeof block);
    initialiseBlock(block);
    return block;
}

BlockNameParts aliceParts()
{
    BlockNameParts parts;
    parts.applicationName = QStringLiteral("Ombrix");
    parts.organizationName = QStringLiteral("VARNEK");
    parts.applicationVersion = QStringLiteral("1.0.20");
    parts.executablePath = QStringLiteral("/usr/bin/ombrix");
    parts.userName = QStringLiteral("alice");
    parts.options = SingleApplication::PerUser;
    return parts;
}

QByteArray streamedBody(const QByteArray& name, qint8 type, quint32 instanceId)
{
    QByteArray body;
    QDataStream stream(&body, QIODevice::WriteOnly);
    stream.setVersion(17);
    stream << name << type << instanceId;
    stream << qChecksum(body.constData(), static_cast<uint>(body.size()));
    return body;
}

} // namespace

// The block's bytes against a block laid out by hand: running flag, count,
// process id, user name, and the checksum of the bytes before it.
TEST(InstanceBlockTest, FieldsSitAtTheirOffsets)
{
    InstanceBlock block = blankBlock();
    block.secondaryCount = 0x01020304;
    markPrimaryRunning(block, 0x1122334455667788LL, QStringLiteral("alice"));
    ASSERT_EQ(sizeof block, 152u);
    char expected[152] = {1};
    const quint32 count = 0x01020304;
    const qint64 pid = 0x1122334455667788LL;
    std::memcpy(expected + 4, &count, 4);
    std::memcpy(expected + 8, &pid, 8);
    std::memcpy(expected + 16, "alice", 5);
    const quint16 checksum = qChecksum(expected, 144);
    std::memcpy(expected + 144, &checksum, 2);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(&block), 152).toHex(), QByteArray(expected, 152).toHex());
}

// Every change rewrites the checksum; a change without it shows.
TEST(InstanceBlockTest, EveryChangeKeepsTheBlockConsistent)
{
    InstanceBlock block = blankBlock();
    markPrimaryRunning(block, 1234, QStringLiteral("carol"));
    EXPECT_EQ(addSecondary(block), 1u);
    EXPECT_EQ(addSecondary(block), 2u);
    EXPECT_TRUE(isBlockConsistent(block));
    markPrimaryEnded(block);
    EXPECT_TRUE(isBlockConsistent(block));
    EXPECT_EQ(block.secondaryCount, 2u);  // never decreased
    EXPECT_EQ(block.primaryProcessId, -1);

    markPrimaryRunning(block, 42, QStringLiteral("bob"));
    initialiseBlock(block);
    EXPECT_EQ(block.primaryRunning, 0);
    EXPECT_EQ(block.secondaryCount, 0u);
    EXPECT_TRUE(primaryUserName(block).isEmpty());
    EXPECT_TRUE(isBlockConsistent(block));
    block.primaryUserName[1] ^= 0x01;
    EXPECT_FALSE(isBlockConsistent(block));
}

TEST(InstanceBlockTest, LongUserNameIsCutAtACharacterBoundary)
{
    InstanceBlock block = blankBlock();
    markPrimaryRunning(block, 1, QString(200, QLatin1Char('a')));
    EXPECT_EQ(qstrnlen(block.primaryUserName, 128), 127u);

    // 126 ASCII bytes and a two-byte character do not fit into 127 bytes.
    markPrimaryRunning(block, 1, QString(126, QLatin1Char('b')) + QChar(0x00E9));
    EXPECT_EQ(primaryUserName(block), QString(126, QLatin1Char('b')));
    EXPECT_TRUE(isBlockConsistent(block));
}

TEST(BlockNameTest, MatchesIndependentlyComputedDigests)
{
    EXPECT_EQ(composeBlockName(aliceParts()), QStringLiteral("_fQ76KFGZUlLFSpF2r4O+8tmoWMHAa90UxDvIPcjCrw="));

    BlockNameParts parts = aliceParts();
    parts.userName = QStringLiteral("bob");
    parts.userData = QStringList {QStringLiteral("x"), QStringLiteral("y")};
    parts.options = SingleApplication::PerUser | SingleApplication::IgnoreVersion | SingleApplication::IgnorePath;
    EXPECT_EQ(composeBlockName(parts), QStringLiteral("+l651AOmDgC8khwLGvoZHccn_d6qB88R8r5he_q4yxg="));
}

// Two starts share a block exactly when their names agree: the path counts
// without case and unless ignored, the user only per user.
TEST(BlockNameTest, WhatTheNameDependsOn)
{
    const struct {
        const char* path;
        const char* user;
        quint32 options;
        bool same;
    } cases[] = {
        {"/USR/Bin/Ombrix", "alice", SingleApplication::PerUser, true},
        {"/opt/thermal/ombrix", "alice", SingleApplication::PerUser, false},
        {"/opt/thermal/ombrix", "alice", SingleApplication::PerUser | SingleApplication::IgnorePath, true},
        {"/usr/bin/ombrix", "bob", SingleApplication::PerUser, false},
        {"/usr/bin/ombrix", "bob", 0, true},
    };
    for (const auto& c : cases) {
        BlockNameParts parts = aliceParts();
        parts.executablePath = QString::fromLatin1(c.path);
        parts.userName = QString::fromLatin1(c.user);
        parts.options = c.options;
        BlockNameParts reference = aliceParts();
        reference.options = c.options;
        EXPECT_EQ(composeBlockName(parts) == composeBlockName(reference), c.same) << c.path << " " << c.user;
    }
}

// The frame header is a big-endian int64; the first frame's body is its
// name, type and id as QDataStream (version 17) writes them, followed by a
// checksum of what comes before.
TEST(FrameTest, FramesAreWhatQDataStreamWrites)
{
    EXPECT_EQ(encodeFrameHeader(55), QByteArray::fromHex("0000000000000037"));
    EXPECT_EQ(decodeFrameHeader(encodeFrameHeader(55)), 55);
    EXPECT_EQ(decodeFrameHeader(QByteArray::fromHex("00000000")), -1);

    InitMessage init;
    init.blockName = composeBlockName(aliceParts());
    init.connectionType = ConnectForMessage;
    init.instanceId = 0x01020304;
    const QByteArray body = encodeInitBody(init);
    EXPECT_EQ(body, streamedBody(init.blockName.toLatin1(), ConnectForMessage, 0x01020304));
    InitMessage decoded;
    ASSERT_TRUE(decodeInitBody(body, decoded));
    EXPECT_EQ(decoded.blockName, init.blockName);
    EXPECT_EQ(decoded.connectionType, ConnectForMessage);
    EXPECT_EQ(decoded.instanceId, 0x01020304u);

    // The name ends at its first NUL.
    ASSERT_TRUE(decodeInitBody(streamedBody(QByteArray("name\0tail", 9), 1, 5), decoded));
    EXPECT_EQ(decoded.blockName, QStringLiteral("name"));
    EXPECT_EQ(decoded.instanceId, 5u);

    // Damaged: the checksum off by one, a byte short, nothing, a length prefix
    // far beyond the data.
    QByteArray offByOne = body;
    offByOne[offByOne.size() - 1] = static_cast<char>(offByOne.at(offByOne.size() - 1) + 1);
    for (const QByteArray& damaged : {offByOne, body.left(body.size() - 1), QByteArray(), QByteArray::fromHex("7fffffff41")})
        EXPECT_FALSE(decodeInitBody(damaged, decoded)) << damaged.toHex().left(20).constData();
}
