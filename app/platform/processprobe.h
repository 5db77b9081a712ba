// What the system tells about another process, by its id.
#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

struct ProcessIdentity {
    // The process exists and has not ended (a zombie has ended).
    bool running = false;
    // Login name of the user the process runs as; empty when unknown.
    QString ownerName;
    // Full path of its executable; empty when the system does not tell us
    // (another user's process, or the process is gone).
    QString executablePath;
};

// Looks the process up; ids below 1 never name a process.
ProcessIdentity probeProcess(qint64 pid);

} // namespace platform
