// ombrix-cli: the thermal camera from scripts, without a display.
#include "commands.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int)
{
    stopRequested = true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ombrix-cli"));
    // Ctrl+C and SIGTERM end a running command after its current line.
    struct sigaction action = {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A write past a file-size limit fails and is reported instead of killing us.
    std::signal(SIGXFSZ, SIG_IGN);

    QTextStream out(stdout);
    QTextStream err(stderr);
    CliContext cli{out, err, stopRequested};
    const int status = runCli(QCoreApplication::arguments().mid(1), cli);
    out.flush();
    err.flush();
    return status;
}
