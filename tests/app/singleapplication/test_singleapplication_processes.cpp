// Several instances of a small program (singleapp_probe) started side by
// side: roles, messages, framing, damaged frames and a primary that died
// without cleaning up.
#include "probeidentity.h"

#include <instanceprotocol.h>
#include <loginname.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QRandomGenerator>
#include <QSharedMemory>
#include <cstring>
#include <optional>

namespace {

constexpr int StartTimeoutMs = 30000;  // a bound for a hung probe, not a speed target

QString probePath()
{
    return QFileInfo(QStringLiteral(SINGLEAPP_PROBE)).canonicalFilePath();
}

// One running singleapp_probe and the lines it printed.
class Probe {
public:
    explicit Probe(const QString& key, const QStringList& extra = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("minimal"));
        m_process.setProcessEnvironment(environment);
        m_process.start(probePath(), QStringList {QStringLiteral("--key"), key} + extra);
    }

    ~Probe()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.write("quit\n");
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // True once the probe printed exactly this line (now or earlier).
    bool waitForLine(const QByteArray& line)
    {
        QDeadlineTimer deadline(StartTimeoutMs);
        while (!output().split('\n').contains(line)) {
            if (!m_process.waitForReadyRead(int(deadline.remainingTime())))
                return output().split('\n').contains(line);
        }
        return true;
    }

    // Ends a primary cleanly; returns its exit code.
    int quit()
    {
        m_process.write("quit\n");
        return waitForExit();
    }

    int waitForExit()
    {
        EXPECT_TRUE(m_process.waitForFinished(StartTimeoutMs));
        EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
        return m_process.exitCode();
    }

    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    qint64 pid() const { return m_process.processId(); }
    QByteArray output() { return m_output += m_process.readAllStandardOutput(); }
    QByteArray errors() { return m_errors += m_process.readAllStandardError(); }

private:
    QProcess m_process;
    QByteArray m_output;
    QByteArray m_errors;
};

// Speaks the wire protocol by hand, to send what a well-behaved instance never would.
class RawClient {
public:
    bool connectTo(const QString& name)
    {
        m_socket.connectToServer(name);
        return m_socket.waitForConnected(2000);
    }

    bool send(const QByteArray& bytes)
    {
        m_socket.write(bytes);
        return m_socket.waitForBytesWritten(2000) || m_socket.bytesToWrite() == 0;
    }

    bool acknowledged(int timeoutMs = 2000)
    {
        char reply = 0;
        if (m_socket.bytesAvailable() == 0 && !m_socket.waitForReadyRead(timeoutMs))
            return false;
        return m_socket.getChar(&reply) && reply == '\n';
    }

    bool sendFrame(const QByteArray& body)
    {
        return send(encodeFrameHeader(body.size())) && acknowledged() && send(body) && acknowledged();
    }

    bool closedByPeer(int timeoutMs = 2000)
    {
        return m_socket.state() == QLocalSocket::UnconnectedState || m_socket.waitForDisconnected(timeoutMs);
    }

private:
    QLocalSocket m_socket;
};

class SingleApplicationProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_key = QStringLiteral("%1-%2-%3")
                    .arg(QString::fromLatin1(info->name()))
                    .arg(QCoreApplication::applicationPid())
                    .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        BlockNameParts parts;
        parts.applicationName = QString::fromLatin1(ProbeApplicationName);
        parts.organizationName = QString::fromLatin1(ProbeOrganizationName);
        parts.applicationVersion = QString::fromLatin1(ProbeVersion);
        parts.userData = QStringList {m_key};
        parts.executablePath = probePath();
        parts.userName = platform::currentLoginName();
        parts.options = SingleApplication::PerUser;
        m_name = composeBlockName(parts);
    }

    void TearDown() override
    {
        // A block left by a killed probe goes away with its last attachment.
        QSharedMemory leftover(m_name);
        if (leftover.attach())
            leftover.detach();
    }

    std::optional<InstanceBlock> readBlock()
    {
        QSharedMemory memory(m_name);
        if (!memory.attach(QSharedMemory::ReadOnly) || !memory.lock())
            return std::nullopt;
        InstanceBlock block;
        std::memcpy(&block, memory.constData(), sizeof block);
        memory.unlock();
        return block;
    }

    QByteArray initBody(quint32 instanceId, qint8 type = ConnectForMessage) const
    {
        InitMessage init;
        init.blockName = m_name;
        init.connectionType = type;
        init.instanceId = instanceId;
        return encodeInitBody(init);
    }

    QString m_key;
    QString m_name;
};

TEST_F(SingleApplicationProcessTest, SecondariesAreNumberedAndTheirMessagesArrive)
{
    Probe primary(m_key);
    ASSERT_TRUE(primary.waitForLine("role primary"));
    const std::optional<InstanceBlock> started = readBlock();
    ASSERT_TRUE(started && isBlockConsistent(*started) && started->primaryRunning == 1);
    EXPECT_EQ(started->primaryProcessId, primary.pid());
    EXPECT_EQ(primaryUserName(*started), platform::currentLoginName());

    {
        Probe first(m_key, {QStringLiteral("--send"), QStringLiteral("abc")});
        EXPECT_TRUE(first.waitForLine("role secondary"));
        EXPECT_TRUE(first.waitForLine("sent 1"));
        EXPECT_EQ(first.waitForExit(), 0);
    }
    EXPECT_TRUE(primary.waitForLine("message 1 616263"));

    // The second secondary is number 2 although the first has ended.
    Probe second(m_key, {QStringLiteral("--send"), QStringLiteral("xyz")});
    EXPECT_TRUE(second.waitForLine("sent 1"));
    EXPECT_TRUE(primary.waitForLine("message 2 78797a"));
    EXPECT_EQ(readBlock()->secondaryCount, 2u);
    EXPECT_EQ(second.waitForExit(), 0);

    // After a normal end the block is whole: the next start is primary
    // without resetting it.
    EXPECT_EQ(primary.quit(), 0);
    Probe next(m_key);
    EXPECT_TRUE(next.waitForLine("role primary"));
    EXPECT_FALSE(next.errors().contains("inconsistent"));
}

// Damaged first frames: a body whose checksum is off, a body naming another
// block, a negative length. Each closes that connection only; frames are cut
// at their lengths on the next.
TEST_F(SingleApplicationProcessTest, DamagedFramesCloseTheirConnectionOnlyAndOthersAreCutAtTheirLengths)
{
    Probe primary(m_key);
    ASSERT_TRUE(primary.waitForLine("role primary"));
    QByteArray badChecksum = initBody(1);
    badChecksum[badChecksum.size() - 1] = static_cast<char>(badChecksum.at(badChecksum.size() - 1) + 1);
    InitMessage foreign;
    foreign.blockName = QString(44, QLatin1Char('A'));
    foreign.connectionType = ConnectForMessage;
    for (const QByteArray& body : {badChecksum, encodeInitBody(foreign), QByteArray()}) {
        RawClient client;
        ASSERT_TRUE(client.connectTo(m_name));
        if (body.isEmpty()) {
            ASSERT_TRUE(client.send(encodeFrameHeader(-1)));
        } else {
            ASSERT_TRUE(client.send(encodeFrameHeader(body.size())));
            ASSERT_TRUE(client.acknowledged());
            ASSERT_TRUE(client.send(body));
            EXPECT_FALSE(client.acknowledged(1000));
        }
        EXPECT_TRUE(client.closedByPeer());
    }

    // The primary still serves well-formed connections: a message sent in
    // pieces comes out once, whole; frames sent back to back come out apart.
    RawClient client;
    ASSERT_TRUE(client.connectTo(m_name));
    ASSERT_TRUE(client.sendFrame(initBody(7)));
    ASSERT_TRUE(client.send(encodeFrameHeader(5)));
    ASSERT_TRUE(client.acknowledged());
    ASSERT_TRUE(client.send("he"));
    EXPECT_FALSE(client.acknowledged(300)); // the primary waits for the rest
    ASSERT_TRUE(client.send("llo"));
    EXPECT_TRUE(client.acknowledged());
    EXPECT_TRUE(primary.waitForLine("message 7 68656c6c6f"));
    EXPECT_EQ(primary.output().count("message"), 1);

    ASSERT_TRUE(client.send(encodeFrameHeader(3) + "one" + encodeFrameHeader(3) + "two"));
    EXPECT_TRUE(primary.waitForLine("message 7 6f6e65"));
    EXPECT_TRUE(primary.waitForLine("message 7 74776f"));
}

TEST_F(SingleApplicationProcessTest, KilledPrimaryIsTakenOver)
{
    Probe primary(m_key);
    ASSERT_TRUE(primary.waitForLine("role primary"));
    // SIGKILL: no clean-up, the block still names the dead primary. (Not read
    // here: the test's own detaching would be the last and remove the block.)
    primary.kill();

    Probe successor(m_key);
    ASSERT_TRUE(successor.waitForLine("role primary"));
    // Taken over at once, not after the reset of a damaged block.
    EXPECT_TRUE(successor.errors().contains("is gone. Taking over as primary."));
    EXPECT_FALSE(successor.errors().contains("inconsistent"));
    EXPECT_EQ(readBlock()->primaryProcessId, successor.pid());

    Probe secondary(m_key, {QStringLiteral("--send"), QStringLiteral("hi")});
    EXPECT_TRUE(secondary.waitForLine("sent 1"));
    EXPECT_TRUE(successor.waitForLine("message 1 6869"));
}

} // namespace

// QProcess and QLocalSocket want an application object.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
