// The viewer's entry point: one instance per user, the application's
// identity, style, crash dumps and language, the splash while the main window
// is built, then the event loop.
#include "ceventfilter.h"
#include "signalnotifier.h"
#include "crashhandler.h"
#include "recordingsession.h"
#include "csplashscreen.h"
#include "filesizesignal.h"
#include "openglrenderer.h"
#include "ombrix_resources.h"
#include "remotecontrol.h"
#include "singleapplication.h"
#include "thermalimager.h"
#include "toast.h"
#include "translationloader.h"

#include <QDesktopWidget>
#include <QFile>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QTranslator>

namespace {

constexpr int InstanceTimeoutMs = 1000;
constexpr int HandOverTimeoutMs = 100;
constexpr int SplashMinimumMs = 1300;
constexpr quint32 SplashTurnMs = 1000;

void applyStyleSheet(QApplication& app)
{
    QFile style(QStringLiteral(":/css/style.css"));
    if (style.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(style.readAll()));
}

// The splash in the middle of the (whole virtual) desktop.
void centreOnDesktop(QWidget& splash)
{
    const QWidget* desktop = QApplication::desktop();
    splash.move((desktop->width() - splash.width()) / 2, (desktop->height() - splash.height()) / 2);
}

} // namespace

int main(int argc, char* argv[])
{
    // "ombrix --snapshot", "--palette N", "--quit": for the running viewer.
    // Before the application object, so that it needs no display; the names
    // set below come after the instance's own, so both find the same server.
    const int remoteStatus = runRemoteCommandLine(argc, argv, SingleApplication::PerUser);
    if (remoteStatus >= 0)
        return remoteStatus;
    settleDrawingPathBeforeApplication(argc, argv);
    auto* app = new SingleApplication(argc, argv, true, SingleApplication::PerUser, InstanceTimeoutMs);
    QApplication::setOrganizationName(QStringLiteral("VARNEK"));
    QApplication::setApplicationName(QStringLiteral("Ombrix"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.20"));
    ombrix_init_resources();
    applyStyleSheet(*app);
    platform::installCrashHandler();
    platform::ignoreFileSizeSignal();

    // Lives until the process ends.
    auto* translator = new QTranslator;
    if (loadTranslation(*translator, QApplication::arguments()))
        QApplication::installTranslator(translator);

    if (app->isSecondary()) {
        app->sendMessage(QApplication::arguments().join(QLatin1Char(' ')).toUtf8(), HandOverTimeoutMs);
        Toast::instance()->showTipModal(0, QObject::tr("Thermal imager program is running!"));
        QApplication::exit(0);
        delete translator;
        delete app;
        return 0;
    }

    // Logout, `kill` and Ctrl+C close the window as its close button does,
    // so that everything it saves on closing is saved; a request that
    // arrives during start-up closes the window as soon as it is there.
    QPointer<ThermalImager> window;
    bool closeRequested = false;
    platform::SignalNotifier closeSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&closeSignals, &platform::SignalNotifier::received, [&window, &closeRequested] {
        closeRequested = true;
        if (window)
            QTimer::singleShot(0, window, &QWidget::close);
    });
    if (!closeSignals.start())
        qWarning("SIGTERM/SIGINT/SIGHUP are taken: they will end the program without saving");

    auto* splash = new CSplashScreen;
    splash->setPixmap(QPixmap(QStringLiteral(":/images/splash.png")));
    centreOnDesktop(*splash);
    splash->setMessage(QObject::tr("Loading..."));
    splash->setDuration(SplashTurnMs);
    splash->start();
    splash->holdAtLeast(SplashMinimumMs);
    splash->setMessage(QObject::tr("Done"));

    auto* dragFilter = new CEventFilter;
    app->installEventFilter(dragFilter);

    window = new ThermalImager;
    app->setRequestHandler([window](const QByteArray& request) { return answerRemoteRequest(window, request); });
    window->show();
    splash->finish(window);
    // "ombrix recording.mkv" plays the recording instead of the camera.
    for (const QString& argument : QApplication::arguments().mid(1))
        if (argument.endsWith(QLatin1String(".mkv"), Qt::CaseInsensitive)) {
            window->recording()->openRecording(argument);
            break;
        }
    // A second start hands over its command line, shows its toast and ends;
    // this window comes forward.
    QObject::connect(app, &SingleApplication::receivedMessage, window, [window] {
        qInfo("Started again: the running window comes forward");
        window->bringToFront();
    });
    if (closeRequested)
        QTimer::singleShot(0, window, &QWidget::close);

    const int exitCode = QApplication::exec();

    app->setRequestHandler(nullptr);
    delete window;
    delete dragFilter;
    delete splash;
    delete translator;
    delete app;
    return exitCode;
}
