// Writes past a file-size limit (ulimit -f) fail with EFBIG instead of
// ending the process: by default the system sends SIGXFSZ, which kills the
// viewer without a word; ignored, the write reports the failure and the
// caller shows it like any other.
#pragma once

namespace platform {

// Ignores SIGXFSZ for the whole process. Returns false when the
// disposition could not be changed.
bool ignoreFileSizeSignal();

} // namespace platform
