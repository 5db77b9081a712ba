// A small program around SingleApplication for the multi-process tests.
//
//   singleapp_probe --key KEY [--send TEXT]
//
// Prints "role primary" or "role secondary" and its process id. A primary
// then prints "message <id> <hex>" for each receivedMessage(), and ends
// (cleanly) on "quit" or the end of its standard input. --send makes a
// secondary send TEXT and print "sent 1" or "sent 0".
#include "probeidentity.h"

#include <singleapplication.h>

#include <QSocketNotifier>
#include <QStringList>
#include <cstdio>
#include <unistd.h>

namespace {

void say(const QByteArray& line)
{
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

QString valueAfter(int argc, char** argv, const char* option)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], option) == 0)
            return QString::fromLocal8Bit(argv[i + 1]);
    }
    return QString();
}

// Ends the event loop on "quit" or when standard input closes.
void quitOnInput(SingleApplication& app)
{
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app, notifier]() {
        char buffer[256];
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0 || QByteArray(buffer, static_cast<int>(got)).contains("quit")) {
            notifier->setEnabled(false);
            app.quit();
        }
    });
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "minimal"); // no display, and no leaks at exit
    setProbeIdentity();
    const quint32 options = SingleApplication::PerUser;
    const QString key = valueAfter(argc, argv, "--key");
    const QString send = valueAfter(argc, argv, "--send");

    SingleApplication app(argc, argv, true, options, 1000, key);
    say(app.isSecondary() ? "role secondary" : "role primary");
    say("pid " + QByteArray::number(QCoreApplication::applicationPid()));

    if (app.isSecondary()) {
        if (!send.isNull())
            say(app.sendMessage(send.toUtf8(), 1000) ? "sent 1" : "sent 0");
        return 0;
    }
    QObject::connect(&app, &SingleApplication::receivedMessage, [](quint32 instanceId, const QByteArray& message) {
        say("message " + QByteArray::number(instanceId) + " " + message.toHex());
    });
    quitOnInput(app);
    return app.exec();
}
