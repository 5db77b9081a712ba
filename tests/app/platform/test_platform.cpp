// The platform pieces that need no crash: dump names and local time, the
// signal-safe writer, login names, the process probe, USB identifiers.
#include <crashhandler.h>
#include <dumpfilename.h>
#include <filesizesignal.h>
#include <loginname.h>
#include <processprobe.h>
#include <signalsafewriter.h>
#include <usbdevicepath.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray timestampOf(int64_t localMilliseconds)
{
    char out[18];
    platform::formatDumpTimestamp(localMilliseconds, out);
    return QByteArray(out);
}

// Sets an environment variable (unsets it, for null) until the scope ends.
struct ScopedEnvironment {
    ScopedEnvironment(const char* name, const char* value)
        : name(name), old(qgetenv(name)), had(qEnvironmentVariableIsSet(name))
    {
        value ? qputenv(name, value) : qunsetenv(name);
    }
    ~ScopedEnvironment() { had ? qputenv(name, old) : qunsetenv(name); }
    const char* name;
    QByteArray old;
    bool had;
};

QByteArray writtenBy(void (*write)(platform::SignalSafeWriter&))
{
    std::FILE* file = std::tmpfile();
    {
        platform::SignalSafeWriter writer(fileno(file));
        write(writer);
    }
    std::rewind(file);
    char all[4096];
    const size_t got = std::fread(all, 1, sizeof all, file);
    std::fclose(file);
    return QByteArray(all, int(got));
}

uid_t unknownUserId()
{
    for (uid_t uid = 61000; uid < 65000; ++uid) {
        if (getpwuid(uid) == nullptr)
            return uid;
    }
    return static_cast<uid_t>(-2);
}

} // namespace

TEST(DumpFileNameTest, LocalTimeBecomesSeventeenDigits)
{
    // 2024-01-31 23:59:59.123, the example a crash at that moment must produce.
    EXPECT_EQ(timestampOf(1706745599123LL), "20240131235959123");
    EXPECT_EQ(timestampOf(1709208000000LL), "20240229120000000"); // leap day
    EXPECT_EQ(timestampOf(0), "19700101000000000");
    EXPECT_EQ(timestampOf(-1), "19691231235959999");
}

TEST(DumpFileNameTest, PathIsFolderAndNameOrNothing)
{
    char path[64];
    ASSERT_TRUE(platform::composeDumpPath("/a/dump", "20240131235959123", path, sizeof path));
    EXPECT_STREQ(path, "/a/dump/assit_20240131235959123.dmp");
    EXPECT_FALSE(platform::composeDumpPath("/a/dump", "20240131235959123", path, 20));
    EXPECT_STREQ(path, "");
}

TEST(DumpFileNameTest, OffsetFollowsTheNextDaylightSavingChange)
{
    if (!QFileInfo::exists(QStringLiteral("/usr/share/zoneinfo/Europe/Berlin")))
        GTEST_SKIP() << "time zone data (tzdata) is not installed";
    ScopedEnvironment zone("TZ", "Europe/Berlin");
    tzset();
    // From 2024-03-01 00:00 UTC; summer time starts 2024-03-31 01:00 UTC.
    const platform::LocalTimeOffsets offsets = platform::LocalTimeOffsets::measure(1709251200);
    EXPECT_EQ(offsets.before, 3600);
    EXPECT_EQ(offsets.transition, 1711846800);
    EXPECT_EQ(offsets.after, 7200);
    EXPECT_EQ(offsets.at(1711846799), 3600);
    EXPECT_EQ(offsets.at(1711846800), 7200);

    ScopedEnvironment utc("TZ", "UTC");
    tzset();
    const platform::LocalTimeOffsets none = platform::LocalTimeOffsets::measure(1709251200);
    EXPECT_EQ(none.at(1709251200), 0);
    EXPECT_EQ(none.transition, INT64_MAX);
}

// Under a file-size limit a write past it fails and the process lives on
// to report it, whatever the file.
TEST(FileSizeSignalTest, WritePastTheLimitFailsInsteadOfKilling)
{
    const QByteArray path = QFile::encodeName(QDir::tempPath()) + "/ombrix_fsize_" + QByteArray::number(getpid());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{1000, RLIM_INFINITY};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0 || !platform::ignoreFileSizeSignal())
            _exit(2);
        const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        char block[4096] = {};
        const ssize_t first = write(fd, block, sizeof block);  // stops at the limit
        const ssize_t second = write(fd, block, sizeof block);  // refused
        _exit(fd >= 0 && first == 1000 && second < 0 && errno == EFBIG ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    QFile::remove(QFile::decodeName(path));
    ASSERT_FALSE(WIFSIGNALED(status)) << "signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(SignalSafeWriterTest, NumbersAndLongText)
{
    EXPECT_EQ(writtenBy([](platform::SignalSafeWriter& out) {
                  out.decimal(0).text(" ").decimal(-42).text(" ").decimal(LLONG_MIN).text(" ").decimal(LLONG_MAX);
              }),
              "0 -42 -9223372036854775808 9223372036854775807");
    EXPECT_EQ(writtenBy([](platform::SignalSafeWriter& out) {
                  out.hex(0).text(" ").hex(0xAB, 4).text(" ").hex(~0ULL, 16).text(" ").hex(0x1234, 2);
              }),
              "0x0 0x00ab 0xffffffffffffffff 0x1234");
    EXPECT_EQ(writtenBy([](platform::SignalSafeWriter& out) { out.bytes(QByteArray(1000, 'x').constData(), 1000); }),
              QByteArray(1000, 'x'));
}

// The password database first, then USERNAME, then USER.
TEST(LoginNameTest, DatabaseThenEnvironment)
{
    const passwd* entry = getpwuid(geteuid());
    ASSERT_NE(entry, nullptr);
    ScopedEnvironment username("USERNAME", "from-username");
    EXPECT_EQ(platform::currentLoginName(), QString::fromLocal8Bit(entry->pw_name));

    const uid_t unknown = unknownUserId();
    EXPECT_TRUE(platform::passwordDatabaseName(unknown).isEmpty());
    ScopedEnvironment user("USER", "from-user");
    EXPECT_EQ(platform::loginName(unknown), QStringLiteral("from-username"));
    qunsetenv("USERNAME");
    EXPECT_EQ(platform::loginName(unknown), QStringLiteral("from-user"));
    qunsetenv("USER");
    EXPECT_TRUE(platform::loginName(unknown).isEmpty());
}

// Our own process runs as us; impossible ids name no process.
TEST(ProcessProbeTest, OwnProcessIsRunningAsUs)
{
    const platform::ProcessIdentity self = platform::probeProcess(getpid());
    EXPECT_TRUE(self.running);
    EXPECT_EQ(self.ownerName, platform::currentLoginName());
    EXPECT_EQ(self.executablePath, QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    for (qint64 pid : {qint64(0), qint64(-1), qint64(1) << 40})
        EXPECT_FALSE(platform::probeProcess(pid).running) << pid;
}

TEST(ProcessProbeTest, EndedChildIsNotRunningBeforeOrAfterReaping)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(0);
    // Until it is reaped the child is a zombie: it exists but has ended.
    siginfo_t info {};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT), 0);
    EXPECT_FALSE(platform::probeProcess(child).running);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    EXPECT_FALSE(platform::probeProcess(child).running);
}

// The identifiers from udev's properties, else from the kernel's PRODUCT;
// anything that is not four hexadecimal digits or fewer is no identifier.
TEST(UsbDevicePathTest, IdentifiersFromWhatUdevSays)
{
    const struct {
        const char *vendor, *model, *product;
        int expectedVendor, expectedProduct;  // -1: no identifiers
    } cases[] = {
        {"0bda", "5830", "", 0x0BDA, 0x5830},
        {"", "", "bda/5840/100", 0x0BDA, 0x5840},
        {"0bda", "", "bda/5830/1", 0x0BDA, 0x5830},
        {"", "", "1bda0/5830/100", -1, -1},
        {"", "", "bda", -1, -1},
        {"xyz", "5830", "", -1, -1},
        {"", "", "", -1, -1},
    };
    for (const auto& c : cases) {
        const auto ids = platform::usbIdsFromProperties(c.vendor, c.model, c.product);
        ASSERT_EQ(ids.has_value(), c.expectedVendor >= 0) << c.product;
        if (ids) {
            EXPECT_EQ(ids->vendor, c.expectedVendor);
            EXPECT_EQ(ids->product, c.expectedProduct);
        }
    }
}
