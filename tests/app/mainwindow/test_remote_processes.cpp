// Remote commands between processes: a running viewer (the real program on
// the simulated module, under the test's X server) is driven by further
// starts of the same program, which end with the documented exit status.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

} // namespace

class TestRemoteProcesses : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void commandsReachTheRunningViewer();

private:
    Outcome ombrix(const QStringList& arguments, int timeoutMs = 30000);
    QProcessEnvironment environment() const;

    QTemporaryDir home;
    QProcess viewer;
};

QProcessEnvironment TestRemoteProcesses::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("OMBRIX_CAMERA"), QStringLiteral("simulated"));
    return env;
}

Outcome TestRemoteProcesses::ombrix(const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(OMBRIX_PROGRAM), arguments);
    Outcome outcome;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return outcome;
    }
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    outcome.err = QString::fromLocal8Bit(process.readAllStandardError());
    return outcome;
}

void TestRemoteProcesses::initTestCase()
{
    QVERIFY(home.isValid());
    const Outcome nobody = ombrix({QStringLiteral("--quit")});
    QCOMPARE(nobody.status, 3);
    QVERIFY2(nobody.err.contains(QStringLiteral("no Ombrix viewer is running")), qPrintable(nobody.err));

    viewer.setProcessEnvironment(environment());
    viewer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    viewer.setStandardOutputFile(QProcess::nullDevice());
    viewer.start(QStringLiteral(OMBRIX_PROGRAM), QStringList());
    QVERIFY(viewer.waitForStarted());
}

void TestRemoteProcesses::cleanupTestCase()
{
    if (viewer.state() != QProcess::NotRunning) {
        viewer.kill();
        viewer.waitForFinished();
    }
}

void TestRemoteProcesses::commandsReachTheRunningViewer()
{
    // The viewer answers once its window is up ("still starting" before).
    const QString picture = home.filePath(QStringLiteral("seen.png"));
    Outcome snapshot;
    for (int attempt = 0; attempt < 60 && snapshot.status != 0; ++attempt) {
        QTest::qWait(500);
        snapshot = ombrix({QStringLiteral("--snapshot"), picture});
        QVERIFY2(snapshot.status == 0 || snapshot.status == 1 || snapshot.status == 3, qPrintable(snapshot.err));
    }
    QCOMPARE(snapshot.status, 0);
    QVERIFY(snapshot.out.contains(picture));
    QVERIFY(!QImage(picture).isNull());

    const struct {
        QStringList arguments;
        int status;
        QString named;
    } refusals[] = {
        {{QStringLiteral("--snapshot"), home.filePath(QStringLiteral("gone/x.tiff"))}, 1, QStringLiteral("gone/x.tiff")},
        {{QStringLiteral("--palette"), QStringLiteral("0")}, 2, QStringLiteral("--palette")},
        {{QStringLiteral("--quit"), QStringLiteral("--palette"), QStringLiteral("2")}, 2, QStringLiteral("one of")},
    };
    for (const auto& refusal : refusals) {
        const Outcome outcome = ombrix(refusal.arguments);
        QCOMPARE(outcome.status, refusal.status);
        QVERIFY2(outcome.err.contains(refusal.named), qPrintable(outcome.err));
    }
    QVERIFY(!QFile::exists(home.filePath(QStringLiteral("gone"))));

    const QString take = home.filePath(QStringLiteral("take.mkv"));
    QCOMPARE(ombrix({QStringLiteral("--record"), QStringLiteral("start"), take}).status, 0);
    QTest::qWait(500);
    const Outcome stopped = ombrix({QStringLiteral("--record"), QStringLiteral("stop")});
    QCOMPARE(stopped.status, 0);
    QVERIFY(stopped.out.contains(take));
    QCOMPARE(ombrix({QStringLiteral("--record"), QStringLiteral("stop")}).status, 1);
    QTRY_VERIFY(QFileInfo(take).size() > 0);

    // A plain second start still hands over its old message and ends.
    QCOMPARE(ombrix({}).status, 0);
    QCOMPARE(viewer.state(), QProcess::Running);

    QCOMPARE(ombrix({QStringLiteral("--quit")}).status, 0);
    QVERIFY(viewer.waitForFinished(15000));
    QCOMPARE(viewer.exitCode(), 0);
    QCOMPARE(ombrix({QStringLiteral("--quit")}).status, 3);
}

QTEST_GUILESS_MAIN(TestRemoteProcesses)
#include "test_remote_processes.moc"
