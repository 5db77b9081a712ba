// Installs the crash handler and then fails on purpose, for the crash tests.
//
//   crash_probe <kind> <dump folder> [<fallback dump folder>]
//
// kind: segv (write to a page without access; prints "fault <address>"
// first), bus, ill, fpe, abort, overflow (endless recursion), thread (segv
// in a second thread), none (ends normally with 0). Prints "installed 1" or
// "installed 0" after installing.
#include <crashhandler.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

namespace {

void writeToInaccessiblePage()
{
    void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    std::printf("fault %p\n", page);
    std::fflush(stdout);
    *static_cast<volatile int*>(page) = 1;
}

// Reading a mapped page beyond the end of its (empty) file raises SIGBUS.
void readBeyondEndOfFile()
{
    const int fd = memfd_create("crash_probe", 0);
    void* page = mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0);
    std::printf("fault %p\n", page);
    std::fflush(stdout);
    std::printf("%d\n", *static_cast<volatile int*>(page));
}

// Recursing without end is the point: the stack overflows.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winfinite-recursion"
__attribute__((noinline)) int recurseForever(int depth)
{
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    return recurseForever(depth + 1) + frame[0];
}
#pragma GCC diagnostic pop

void failAs(const char* kind)
{
    if (std::strcmp(kind, "segv") == 0) {
        writeToInaccessiblePage();
    } else if (std::strcmp(kind, "bus") == 0) {
        readBeyondEndOfFile();
    } else if (std::strcmp(kind, "ill") == 0) {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_trap(); // ud2
#else
        raise(SIGILL);
#endif
    } else if (std::strcmp(kind, "fpe") == 0) {
        raise(SIGFPE);
    } else if (std::strcmp(kind, "abort") == 0) {
        std::abort();
    } else if (std::strcmp(kind, "overflow") == 0) {
        std::printf("%d\n", recurseForever(0));
    } else if (std::strcmp(kind, "thread") == 0) {
        std::thread(writeToInaccessiblePage).join();
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: crash_probe <kind> <dump folder> [<fallback folder>]\n");
        return 2;
    }
    platform::DumpFolders folders;
    folders.primary = QString::fromLocal8Bit(argv[2]);
    if (argc > 3)
        folders.fallback = QString::fromLocal8Bit(argv[3]);
    const bool installed = platform::installCrashHandler(folders);
    std::printf("installed %d\n", installed ? 1 : 0);
    std::fflush(stdout);
    failAs(argv[1]);
    return 0;
}
