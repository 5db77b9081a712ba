// The working part of SingleApplication: the shared block, the primary's
// local server and the secondary's connection to it.
#pragma once

#include "instanceprotocol.h"

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QStringList>

#include <functional>

class QLocalServer;
class QLocalSocket;
class QSharedMemory;
class SingleApplication;

// What the primary knows about one accepted connection.
struct ConnectionRecord {
    enum Stage : quint8 {
        AwaitInitHeader = 0,
        AwaitInitBody = 1,
        AwaitMessageHeader = 2,
        AwaitMessageBody = 3,
    };
    quint64 frameLength = 0; // body length announced by the last header
    quint32 instanceId = 0;  // from the init message
    quint8 stage = AwaitInitHeader;
};

class SingleApplicationPrivate : public QObject {
    Q_OBJECT

public:
    explicit SingleApplicationPrivate(SingleApplication* q);
    ~SingleApplicationPrivate() override;

    // Construction steps, in the order the constructor takes them.
    void computeBlockName(quint32 options, const QString& userData);
    void createOrAttachBlock();
    void awaitConsistentBlock();
    bool primaryIsRunning();
    void startPrimary();
    void startSecondary();
    // Releases the block's lock; a failure is logged at debug level with this text.
    void unlockBlock(const char* failureText);

    // Secondary side.
    bool connectToPrimary(int timeout, ConnectionType type);
    bool sendFramed(const QByteArray& body, int timeout);

    static void randomSleep();
    static QString blockNameFor(quint32 options, const QString& userData);

    SingleApplication* const q_ptr;
    QSharedMemory* memory = nullptr; // owned
    QLocalSocket* socket = nullptr;  // owned; secondary side, made on first connection
    QLocalServer* server = nullptr;  // owned; primary only
    quint32 instanceNumber = 0;
    QString blockName;
    quint32 options = 0;
    QMap<QLocalSocket*, ConnectionRecord> connectionMap;
    QStringList appData;
    std::function<QByteArray(const QByteArray&)> requestHandler;

public Q_SLOTS:
    void slotConnectionEstablished();
    void slotDataAvailable(QLocalSocket* dataSocket, quint32 instanceId);
    void slotClientConnectionClosed(QLocalSocket* closedSocket, quint32 instanceId);

private:
    InstanceBlock* block() const;
    [[noreturn]] void failStart(const char* text);
    bool primaryProcessAlive(const InstanceBlock& block) const;
    bool isSameProgram(const QString& executablePath) const;
    bool writeAndAwaitAck(const QByteArray& data, const QElapsedTimer& clock, int timeout);

    // Primary side, per connection.
    void readFrames(QLocalSocket* connection);
    bool readHeader(QLocalSocket* connection, ConnectionRecord& record);
    bool readInitBody(QLocalSocket* connection, ConnectionRecord& record);
    void dropConnection(QLocalSocket* connection);
    void acknowledge(QLocalSocket* connection);
    void answerRequest(QLocalSocket* connection, const QByteArray& request);
};
