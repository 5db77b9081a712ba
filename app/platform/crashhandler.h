// Crash dumps: a process-wide handler for fatal signals.
//
// On SIGSEGV, SIGBUS, SIGILL, SIGFPE or SIGABRT in any thread the handler
// writes a text report - the signal, the fault address, the registers, a
// backtrace and the memory map - to "assit_yyyyMMddhhmmsszzz.dmp" (local
// time) and ends the process with CrashExitCode. The report goes to the
// first of the dump folders that can be created and written; when neither
// can, the process ends without a report.
#pragma once

#include <QString>

namespace platform {

// The process's exit code after a crash. The system keeps its low byte (255).
constexpr int CrashExitCode = static_cast<int>(0x8000FFFFu);

struct DumpFolders {
    QString primary;  // tried first
    QString fallback; // tried when the primary folder cannot take the dump
};

// "dump" in the application's folder, and "dump" in the user's data folder
// for this application (QStandardPaths::AppDataLocation). Set the
// organisation and application names first: they name the data folder.
DumpFolders defaultDumpFolders();

// Installs the handler. The folders are fixed now: the handler itself only
// uses what is safe inside a signal handler. The calling thread also gets
// an alternate signal stack, so that a stack overflow still reaches the
// handler. Returns false when a signal disposition or the stack could not be
// installed, or a folder path is too long to be kept.
bool installCrashHandler(const DumpFolders& folders = defaultDumpFolders());

// Gives the calling thread its own alternate signal stack (released when the
// thread ends). Threads other than the installing one need this only to
// survive a stack overflow; other faults reach the handler without it.
bool installCrashStackForThread();

} // namespace platform
