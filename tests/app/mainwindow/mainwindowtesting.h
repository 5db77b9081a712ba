// Helpers shared by the main window tests: an isolated environment, modal
// dialogs answered from a timer, toasts, and a disk that fills up.
#pragma once

#include "cdialogtoast.h"
#include "ombrix_resources.h"
#include "../gltesting.h"
#include "../wiretesting.h"

#include <QApplication>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>
#include <functional>

// Runs a Qt test object in a process whose user folders and native settings
// are its own: HOME points into a temporary folder and QStandardPaths runs in
// test mode, so nothing of the user's is read or written. OMBRIX_CAMERA is
// set to the simulated module before anything reads it.
template <typename TestObject> int runIsolated(int argc, char** argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    qputenv("HOME", home.path().toUtf8());
    qputenv("OMBRIX_CAMERA", "simulated");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("VARNEK"));
    QApplication::setApplicationName(QStringLiteral("Ombrix"));
    ombrix_init_resources();
    TestObject test;
    const int result = QTest::qExec(&test, argc, argv);
    keepGlDriverLoaded();
    return result;
}

// Calls `act` with the next modal dialog of type Dialog once it is the active
// modal widget (polled from a timer, so it runs inside the dialog's own
// event loop). Gives up after timeoutMs; `handled` tells whether it ran.
template <typename Dialog> class ModalHandler
{
public:
    explicit ModalHandler(std::function<void(Dialog*)> act, int timeoutMs = 10000)
        : action(std::move(act))
    {
        QObject::connect(&timer, &QTimer::timeout, [this, ticksLeft = timeoutMs / 10]() mutable {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            const bool shown = dialog && dialog->isVisible();
            if (shown || --ticksLeft <= 0)
                timer.stop();
            if (shown) {
                ran = true;
                action(dialog);
            }
        });
        timer.start(10);
    }

    bool handled() const { return ran; }

private:
    std::function<void(Dialog*)> action;
    QTimer timer;
    bool ran = false;
};

// The text of the toast on screen now; empty when none is shown.
inline QString shownToast()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* toast = qobject_cast<CDialogToast*>(widget))
            return toast->isVisible() ? toast->findChild<QLabel*>(QStringLiteral("label"))->text() : QString();
    return {};
}

inline void hideToast()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<CDialogToast*>(widget))
            widget->hide();
}

// Makes writes beyond `bytes` fail while it lives, like a disk that fills up.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};
