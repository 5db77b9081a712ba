// The application object of the viewer: a QApplication that keeps one
// primary instance per program (and per user, with PerUser) and lets later
// instances hand messages to it.
//
// While it is constructed, the instance looks at a block of shared memory
// named after the program. The first instance becomes the primary: it marks
// itself in the block and listens on a local server of the same name. A later
// instance becomes a secondary, or - when secondaries are not allowed - tells
// the primary it was started and ends the process with exit code 0. A
// primary that has died without releasing the block is detected by its
// process id and replaced by the next instance.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QString>

#include <functional>

class SingleApplicationPrivate;

class SingleApplication : public QApplication {
    Q_OBJECT

public:
    enum Option : quint32 {
        // The block name includes the user's login name, and the local server
        // accepts only that user's connections.
        PerUser = 1,
        // A starting secondary announces itself; the primary emits instanceStarted().
        NotifySecondary = 4,
        // The application version is not part of the block name.
        IgnoreVersion = 8,
        // The executable's path is not part of the block name.
        IgnorePath = 16,
    };

    // timeout bounds each connection attempt made during construction (ms).
    // userData, when not empty, becomes part of the block name.
    SingleApplication(int& argc, char** argv, bool allowSecondary = false,
                      quint32 options = PerUser, int timeout = 1000,
                      const QString& userData = QString());
    ~SingleApplication() override;

    // True when this instance is not the primary.
    bool isSecondary() const;

    // Sends a message to the primary; true when the primary acknowledged it
    // within the timeout (ms). A primary sends nothing and returns false.
    bool sendMessage(const QByteArray& message, int timeout = 100);

    // Primary side: answers remote commands (messages that start with
    // RemoteRequestMagic, see remotecommand.h). The handler gets the request
    // and returns the reply, which goes back on the same connection; such
    // messages are not emitted as receivedMessage. Until a handler is set (the
    // viewer starting) they are answered with an error.
    using RequestHandler = std::function<QByteArray(const QByteArray& request)>;
    void setRequestHandler(RequestHandler handler);

    // The name of the shared block and the primary's server for these
    // constructor arguments, from the application's current names, path and
    // user: what a process that only sends commands connects to.
    static QString blockNameFor(quint32 options = PerUser, const QString& userData = QString());

Q_SIGNALS:
    // Primary side: an instance started that is not allowed to stay, or a
    // secondary announced itself (NotifySecondary).
    void instanceStarted();
    // Primary side: a secondary's message, with that secondary's instance number.
    void receivedMessage(quint32 instanceId, QByteArray message);

private:
    Q_DISABLE_COPY(SingleApplication)
    SingleApplicationPrivate* m_private; // owned
};
