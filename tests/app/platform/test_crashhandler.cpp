// The crash handler in a child process that fails on purpose: the report's
// place, name and content, and the exit code.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <iostream>

namespace {

constexpr int CrashExitByte = 0xFF; // what the system keeps of 0x8000FFFF

struct CrashRun {
    int exitCode = -1;
    bool normalExit = false;
    QByteArray output;
    QByteArray errors;
    QDateTime before;
    QDateTime after;
};

CrashRun runProbe(const QString& kind, const QStringList& folders)
{
    CrashRun run;
    QProcess process;
    run.before = QDateTime::currentDateTime();
    process.start(QStringLiteral(CRASH_PROBE), QStringList {kind} + folders);
    EXPECT_TRUE(process.waitForFinished(60000)) << "crash_probe did not end";
    run.after = QDateTime::currentDateTime();
    run.normalExit = process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    return run;
}

QStringList dumpsIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The hexadecimal number after `label` in `text`; `missing` when there is none.
quint64 hexAfter(const QByteArray& text, const char* label, quint64 missing)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QLatin1String(label) + QStringLiteral(" (0x[0-9a-f]+)")).match(QString::fromLatin1(text));
    return match.hasMatch() ? match.captured(1).toULongLong(nullptr, 16) : missing;
}

class CrashHandlerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_temp.isValid()); }

    QString path(const QString& relative) const { return m_temp.filePath(relative); }

    // Runs the probe and returns the one report it wrote into folder. A
    // sanitizer run with options that keep the fatal signals for itself
    // (ASAN_OPTIONS=allow_user_segv_handler=0, for instance) writes its own
    // report instead; the test is then skipped, saying so.
    QByteArray crashInto(const QString& kind, const QString& folder, CrashRun& run)
    {
        run = runProbe(kind, {folder});
        if (dumpsIn(folder).isEmpty() && run.errors.contains("Sanitizer")) {
            m_skipReason = "the sanitizer of this build handled the fault itself: " + run.errors.left(300);
            return QByteArray();
        }
        EXPECT_TRUE(run.output.contains("installed 1")) << run.output.constData() << run.errors.constData();
        EXPECT_TRUE(run.normalExit) << "ended by a signal, not by the handler";
        EXPECT_EQ(run.exitCode, CrashExitByte);
        const QStringList dumps = dumpsIn(folder);
        EXPECT_EQ(dumps.size(), 1) << dumps.join(QLatin1Char(' ')).toStdString();
        return dumps.isEmpty() ? QByteArray() : readAll(folder + QLatin1Char('/') + dumps.first());
    }

    QByteArray m_skipReason;
    QTemporaryDir m_temp;
};

TEST_F(CrashHandlerTest, SegmentationFaultWritesAFullReport)
{
    const QString folder = path(QStringLiteral("app/dump")); // parents are created too
    CrashRun run;
    const QByteArray report = crashInto(QStringLiteral("segv"), folder, run);
    if (!m_skipReason.isEmpty())
        GTEST_SKIP() << m_skipReason.constData();

    const QStringList dumps = dumpsIn(folder);
    ASSERT_EQ(dumps.size(), 1);
    const QRegularExpressionMatch name = QRegularExpression(QStringLiteral("^assit_(\\d{17})\\.dmp$")).match(dumps.first());
    ASSERT_TRUE(name.hasMatch()) << dumps.first().toStdString();
    const QDateTime stamp = QDateTime::fromString(name.captured(1), QStringLiteral("yyyyMMddhhmmsszzz"));
    ASSERT_TRUE(stamp.isValid());
    EXPECT_GE(stamp, run.before.addSecs(-1));
    EXPECT_LE(stamp, run.after.addSecs(1));

    EXPECT_TRUE(report.contains("Signal: 11 SIGSEGV"));
    const quint64 fault = hexAfter(run.output, "fault", 0);
    ASSERT_NE(fault, 0u);
    EXPECT_EQ(hexAfter(report, "Fault address:", ~0ULL), fault);
#if defined(__x86_64__)
    EXPECT_TRUE(report.contains("\nrip 0x"));
    EXPECT_TRUE(report.contains("\ncr2 0x"));
#endif
    const int backtrace = report.indexOf("\nBacktrace:\n");
    const int memoryMap = report.indexOf("\nMemory map:\n");
    ASSERT_GE(backtrace, 0);
    ASSERT_GT(memoryMap, backtrace);
    EXPECT_TRUE(report.mid(backtrace, memoryMap - backtrace).contains("crash_probe"));
    EXPECT_TRUE(report.mid(memoryMap).contains(QFileInfo(QStringLiteral(CRASH_PROBE)).fileName().toUtf8()));
    EXPECT_TRUE(report.mid(memoryMap).contains("[stack]"));
}

// Each fatal signal, a fault in a second thread (reported from that thread)
// and a stack overflow (reported from the alternate stack) give a whole report.
TEST_F(CrashHandlerTest, EveryFatalSignalIsCaughtWhereverItHappens)
{
    const struct {
        const char* kind;
        int signal;
        const char* name;
    } cases[] = {{"bus", SIGBUS, "SIGBUS"},      {"ill", SIGILL, "SIGILL"},       {"fpe", SIGFPE, "SIGFPE"},
                 {"abort", SIGABRT, "SIGABRT"}, {"thread", SIGSEGV, "SIGSEGV"}, {"overflow", SIGSEGV, "SIGSEGV"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        CrashRun run;
        const QByteArray report = crashInto(QString::fromLatin1(c.kind), path(QString::fromLatin1(c.kind)), run);
        if (!m_skipReason.isEmpty()) {
            std::cout << "not checked: " << c.kind << ", " << m_skipReason.constData() << std::endl;
            m_skipReason.clear();
            continue;
        }
        EXPECT_TRUE(report.contains("Signal: " + QByteArray::number(c.signal) + " " + c.name + " (code"));
        EXPECT_TRUE(report.contains("\nMemory map:\n"));
        if (qstrcmp(c.kind, "thread") != 0)
            continue;
        const QString text = QString::fromLatin1(report);
        const QString process = QRegularExpression(QStringLiteral("Process: (\\d+)")).match(text).captured(1);
        const QString thread = QRegularExpression(QStringLiteral("Thread: (\\d+)")).match(text).captured(1);
        EXPECT_FALSE(process.isEmpty() || thread.isEmpty() || process == thread) << process.toStdString();
        EXPECT_EQ(hexAfter(report, "Fault address:", ~0ULL), hexAfter(run.output, "fault", 0));
    }
}

// A file stands where the first folder would have to be: the fallback
// takes the report; with no usable folder at all the process still ends.
TEST_F(CrashHandlerTest, FallbackFolderNoneAtAllAndNoCrash)
{
    QFile blocker(path(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString fallback = path(QStringLiteral("data/dump"));
    CrashRun run = runProbe(QStringLiteral("abort"), {path(QStringLiteral("file/dump")), fallback});
    EXPECT_EQ(run.exitCode, CrashExitByte);
    ASSERT_EQ(dumpsIn(fallback).size(), 1);
    EXPECT_TRUE(readAll(fallback + QLatin1Char('/') + dumpsIn(fallback).first()).contains("SIGABRT"));

    QDir(path(QStringLiteral("data"))).removeRecursively();
    run = runProbe(QStringLiteral("abort"), {path(QStringLiteral("file/a")), path(QStringLiteral("file/b"))});
    EXPECT_TRUE(run.normalExit);
    EXPECT_EQ(run.exitCode, CrashExitByte);
    EXPECT_EQ(QDir(m_temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList {QStringLiteral("file")});

    // A normal end writes nothing, and makes no folder.
    run = runProbe(QStringLiteral("none"), {path(QStringLiteral("dump"))});
    EXPECT_TRUE(run.output.contains("installed 1"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("dump"))));
}

} // namespace
