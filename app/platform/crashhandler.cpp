#include "crashhandler.h"

#include "dumpfilename.h"
#include "signalsafewriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr size_t PathCapacity = 4096;
// Room left in a folder path for "/assit_" + 17 digits + ".dmp".
constexpr size_t FileNameRoom = 32;
constexpr int FatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

// Everything the handler needs, prepared at installation.
struct CrashSetup {
    char folders[2][PathCapacity] = {};
    LocalTimeOffsets offsets;
};
CrashSetup g_setup;

// Kernel thread id of the thread writing the report; 0 while none is.
std::atomic<long> g_reportingThread {0};
static_assert(std::atomic<long>::is_always_lock_free, "the handler needs a lock-free flag");

const char* signalName(int signal)
{
    switch (signal) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGILL: return "SIGILL";
    case SIGFPE: return "SIGFPE";
    case SIGABRT: return "SIGABRT";
    default: return "signal";
    }
}

[[noreturn]] void endProcess()
{
    _exit(CrashExitCode);
}

// mkdir -p: creates the missing parents, then the folder itself.
bool makeFolders(char* path)
{
    for (char* cursor = path + 1; *cursor != '\0'; ++cursor) {
        if (*cursor != '/')
            continue;
        *cursor = '\0';
        mkdir(path, 0755); // a failure shows in the final check
        *cursor = '/';
    }
    mkdir(path, 0755);
    struct stat info {};
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

int openDumpFile(const char* timestamp)
{
    for (char* folder : g_setup.folders) {
        if (folder[0] == '\0' || !makeFolders(folder))
            continue;
        char path[PathCapacity + FileNameRoom];
        if (!composeDumpPath(folder, timestamp, path, sizeof path))
            continue;
        const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd >= 0)
            return fd;
    }
    return -1;
}

void writeRegisters(SignalSafeWriter& out, const void* context)
{
    out.text("\nRegisters:\n");
    const auto* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    struct Register {
        const char* name;
        int index;
    };
    static const Register Registers[] = {
        {"rip", REG_RIP}, {"rsp", REG_RSP}, {"rbp", REG_RBP}, {"rax", REG_RAX},
        {"rbx", REG_RBX}, {"rcx", REG_RCX}, {"rdx", REG_RDX}, {"rsi", REG_RSI},
        {"rdi", REG_RDI}, {"r8", REG_R8}, {"r9", REG_R9}, {"r10", REG_R10},
        {"r11", REG_R11}, {"r12", REG_R12}, {"r13", REG_R13}, {"r14", REG_R14},
        {"r15", REG_R15}, {"eflags", REG_EFL}, {"err", REG_ERR}, {"trapno", REG_TRAPNO},
        {"cr2", REG_CR2}};
    for (const Register& reg : Registers)
        out.text(reg.name).text(" ").hex(static_cast<unsigned long long>(uc->uc_mcontext.gregs[reg.index]), 16).text("\n");
#elif defined(__aarch64__)
    for (int i = 0; i < 31; ++i)
        out.text("x").decimal(i).text(" ").hex(uc->uc_mcontext.regs[i], 16).text("\n");
    out.text("sp ").hex(uc->uc_mcontext.sp, 16).text("\n");
    out.text("pc ").hex(uc->uc_mcontext.pc, 16).text("\n");
    out.text("pstate ").hex(uc->uc_mcontext.pstate, 16).text("\n");
#else
    (void)uc;
    out.text("not recorded on this processor\n");
#endif
}

void writeBacktrace(SignalSafeWriter& out, int fd)
{
    out.text("\nBacktrace:\n");
    out.flush();
    void* frames[64];
    const int count = backtrace(frames, 64);
    backtrace_symbols_fd(frames, count, fd);
}

void writeMemoryMap(SignalSafeWriter& out)
{
    out.text("\nMemory map:\n");
    const int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (maps < 0) {
        out.text("unavailable\n");
        return;
    }
    char chunk[1024];
    for (;;) {
        const ssize_t got = read(maps, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        out.bytes(chunk, static_cast<size_t>(got));
    }
    close(maps);
}

void writeReport(int fd, int signal, const siginfo_t* info, const void* context, long thread)
{
    SignalSafeWriter out(fd);
    out.text("Ombrix crash report\n");
    out.text("Signal: ").decimal(signal).text(" ").text(signalName(signal));
    out.text(" (code ").decimal(info ? info->si_code : 0).text(")\n");
    out.text("Fault address: ").hex(reinterpret_cast<unsigned long long>(info ? info->si_addr : nullptr), 16).text("\n");
    out.text("Process: ").decimal(getpid()).text("\n");
    out.text("Thread: ").decimal(thread).text("\n");
    if (context != nullptr)
        writeRegisters(out, context);
    writeBacktrace(out, fd);
    writeMemoryMap(out);
}

// A second thread that faults while the first writes waits to be ended with
// the process; a fault inside the handler itself ends the process at once.
void waitForReportingThread(long self, long writer)
{
    if (writer == self)
        endProcess();
    const timespec pause {0, 50 * 1000 * 1000};
    for (int i = 0; i < 600; ++i)
        nanosleep(&pause, nullptr);
    endProcess();
}

void onFatalSignal(int signal, siginfo_t* info, void* context)
{
    const long self = syscall(SYS_gettid);
    long writer = 0;
    if (!g_reportingThread.compare_exchange_strong(writer, self))
        waitForReportingThread(self, writer);

    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    const int64_t utcSeconds = now.tv_sec;
    const int64_t localMilliseconds = (utcSeconds + g_setup.offsets.at(utcSeconds)) * 1000 + now.tv_nsec / 1000000;
    char timestamp[18];
    formatDumpTimestamp(localMilliseconds, timestamp);

    const int fd = openDumpFile(timestamp);
    if (fd >= 0) {
        writeReport(fd, signal, info, context, self);
        close(fd);
    }
    endProcess();
}

bool keepFolder(char (&out)[PathCapacity], const QString& folder)
{
    out[0] = '\0';
    if (folder.isEmpty())
        return true;
    const QByteArray encoded = QFile::encodeName(QDir::cleanPath(QDir::current().absoluteFilePath(folder)));
    if (static_cast<size_t>(encoded.size()) >= PathCapacity)
        return false;
    std::memcpy(out, encoded.constData(), static_cast<size_t>(encoded.size()) + 1);
    return true;
}

// Owns one thread's alternate signal stack.
class AlternateStack {
public:
    ~AlternateStack()
    {
        if (m_memory == nullptr)
            return;
        stack_t off {};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
        munmap(m_memory, m_size);
    }

    bool install()
    {
        stack_t current {};
        if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE))
            return true; // the thread has one already (ours, or a sanitizer's)
        m_size = 128 * 1024 + static_cast<size_t>(SIGSTKSZ);
        void* memory = mmap(nullptr, m_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            return false;
        stack_t stack {};
        stack.ss_sp = memory;
        stack.ss_size = m_size;
        if (sigaltstack(&stack, nullptr) != 0) {
            munmap(memory, m_size);
            return false;
        }
        m_memory = memory;
        return true;
    }

private:
    void* m_memory = nullptr;
    size_t m_size = 0;
};

thread_local AlternateStack t_alternateStack;

QString applicationFolder()
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

} // namespace

DumpFolders defaultDumpFolders()
{
    DumpFolders folders;
    folders.primary = applicationFolder() + QStringLiteral("/dump");
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!data.isEmpty())
        folders.fallback = data + QStringLiteral("/dump");
    return folders;
}

bool installCrashStackForThread()
{
    return t_alternateStack.install();
}

bool installCrashHandler(const DumpFolders& folders)
{
    bool complete = keepFolder(g_setup.folders[0], folders.primary);
    complete = keepFolder(g_setup.folders[1], folders.fallback) && complete;
    g_setup.offsets = LocalTimeOffsets::measure(static_cast<int64_t>(time(nullptr)));

    // The first backtrace() loads the unwinder, which allocates: do it now,
    // not inside the handler.
    void* warmUp[2];
    backtrace(warmUp, 2);

    complete = installCrashStackForThread() && complete;

    struct sigaction action {};
    action.sa_sigaction = onFatalSignal;
    sigemptyset(&action.sa_mask);
    // SA_NODEFER: a fault inside the handler re-enters it and ends the
    // process, instead of the kernel killing it with the signal blocked.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    for (int signal : FatalSignals)
        complete = sigaction(signal, &action, nullptr) == 0 && complete;
    return complete;
}

} // namespace platform
