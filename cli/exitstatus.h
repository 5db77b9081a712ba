// The command-line tool's exit codes, documented in every --help text.
#pragma once

enum ExitStatus {
    ExitOk = 0,
    ExitFailure = 1,     // a file could not be written or read
    ExitUsage = 2,       // unknown command, bad option or value
    ExitNoCamera = 3,    // no supported camera (or recording) to open
    ExitCameraError = 4, // the camera refused a command, stopped answering or was pulled
};
