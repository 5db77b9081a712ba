// The real program on the simulated module, under the test's X server: a
// running viewer driven by further starts of the same program, which end
// with the documented exit status, and the close signals.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

QProcessEnvironment environment(const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    env.insert(QStringLiteral("OMBRIX_CAMERA"), QStringLiteral("simulated"));
    // Only exit codes are read: in a sanitizer build the leak check at exit
    // would report the platform plugin's own allocations as code 1.
    env.insert(QStringLiteral("ASAN_OPTIONS"), env.value(QStringLiteral("ASAN_OPTIONS")) + ":detect_leaks=0");
    return env;
}

Outcome ombrix(const QString& home, const QStringList& arguments)
{
    QProcess process;
    process.setProcessEnvironment(environment(home));
    process.start(QStringLiteral(OMBRIX_PROGRAM), arguments);
    Outcome outcome;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return outcome;
    }
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    outcome.err = QString::fromLocal8Bit(process.readAllStandardError());
    return outcome;
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void commandsReachTheRunningViewer();
    void closeSignalsEndTheProgramNormally();
};

void TestProgram::commandsReachTheRunningViewer()
{
    QTemporaryDir home;
    const Outcome nobody = ombrix(home.path(), {"--quit"});
    QCOMPARE(nobody.status, 3);
    QVERIFY2(nobody.err.contains(QStringLiteral("no Ombrix viewer is running")), qPrintable(nobody.err));
    QProcess viewer;
    viewer.setProcessEnvironment(environment(home.path()));
    viewer.setStandardOutputFile(QProcess::nullDevice());
    const QString viewerLog = home.filePath(QStringLiteral("viewer.log"));
    viewer.setStandardErrorFile(viewerLog);
    viewer.start(QStringLiteral(OMBRIX_PROGRAM), QStringList());
    QVERIFY(viewer.waitForStarted());

    // The viewer answers once its window is up ("still starting" before).
    const QString picture = home.filePath(QStringLiteral("seen.png"));
    Outcome snapshot;
    for (int attempt = 0; attempt < 60 && snapshot.status != 0; ++attempt) {
        QTest::qWait(500);
        snapshot = ombrix(home.path(), {"--snapshot", picture});
        QVERIFY2(snapshot.status == 0 || snapshot.status == 1 || snapshot.status == 3, qPrintable(snapshot.err));
    }
    QVERIFY(snapshot.status == 0 && snapshot.out.contains(picture) && !QImage(picture).isNull());

    const Outcome refused = ombrix(home.path(), {"--snapshot", home.filePath(QStringLiteral("gone/x.tiff"))});
    QVERIFY2(refused.status == 1 && refused.err.contains(QStringLiteral("gone/x.tiff")), qPrintable(refused.err));
    QCOMPARE(ombrix(home.path(), {"--quit", "--palette", "2"}).status, 2);
    QCOMPARE(ombrix(home.path(), {"--palette", "5"}).status, 0);

    const QString take = home.filePath(QStringLiteral("take.mkv"));
    QCOMPARE(ombrix(home.path(), {"--record", "start", take}).status, 0);
    QCOMPARE(ombrix(home.path(), {"--record", "start", take}).status, 1);  // one at a time
    QTest::qWait(500);
    QCOMPARE(ombrix(home.path(), {"--record", "stop"}).status, 0);
    QCOMPARE(ombrix(home.path(), {"--record", "stop"}).status, 1);
    QTRY_VERIFY(QFileInfo(take).size() > 0);

    // A plain second start hands over its message and ends; the running
    // window comes forward. The hand-over has 100 ms, which a slow (sanitized,
    // loaded) machine can miss, so a few starts are allowed.
    const auto viewerSaid = [&viewerLog](const char* text) {
        QFile log(viewerLog);
        return log.open(QIODevice::ReadOnly) && log.readAll().contains(text);
    };
    for (int start = 0; start < 5 && !viewerSaid("window comes forward"); ++start) {
        QCOMPARE(ombrix(home.path(), {}).status, 0);
        QCOMPARE(viewer.state(), QProcess::Running);
        QTest::qWait(1000);
    }
    QVERIFY(viewerSaid("window comes forward"));
    QCOMPARE(ombrix(home.path(), {"--quit"}).status, 0);
    QVERIFY(viewer.waitForFinished(15000));
    QCOMPARE(viewer.exitCode(), 0);
}

// Told to end (SIGTERM, SIGINT or SIGHUP) once its picture runs, the program
// closes as by its close button (exit code 0), which stores its settings on
// the way out.
void TestProgram::closeSignalsEndTheProgramNormally()
{
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        QTemporaryDir home;
        QProcess program;
        QProcessEnvironment env = environment(home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(OMBRIX_PROGRAM), QStringList());
        // The stream's start is announced on standard output. Both waits end
        // at their event; the bounds only keep a hung program from blocking
        // CTest, and are wide because a loaded machine starts it slowly.
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += program.readAllStandardOutput()).contains("width: 256"), 120000);
        QCOMPARE(::kill(pid_t(program.processId()), signalNumber), 0);
        QVERIFY(program.waitForFinished(120000));
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0, qPrintable(QString::number(signalNumber)));
        QVERIFY(QFile::exists(home.path() + "/.config/VARNEK/Ombrix.conf"));
    }
}

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
