// Crash dump file names: "assit_" + local time as yyyyMMddhhmmsszzz + ".dmp".
//
// The crash handler cannot ask the C library for the local time (localtime
// takes locks and may read time zone files), so the offset from UTC is
// measured when the handler is installed, together with the next change of
// that offset (daylight saving time) within about a year.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct LocalTimeOffsets {
    // Seconds since the epoch (UTC) at which `after` replaces `before`;
    // INT64_MAX when no change was found.
    int64_t transition = INT64_MAX;
    long before = 0; // seconds east of UTC
    long after = 0;

    // Measures the offsets in force from this moment on (uses localtime_r).
    static LocalTimeOffsets measure(int64_t utcSeconds);
    // The offset in force at this moment; async-signal-safe.
    long at(int64_t utcSeconds) const { return utcSeconds < transition ? before : after; }
};

// Writes the 17 digits yyyyMMddhhmmsszzz and a NUL for a local time given
// in milliseconds since 1970-01-01 00:00:00.000 local time. Async-signal-safe.
void formatDumpTimestamp(int64_t localMilliseconds, char (&out)[18]);

// Writes folder + "/assit_" + timestamp + ".dmp" into out. False (and an
// empty out) when it does not fit. Async-signal-safe.
bool composeDumpPath(const char* folder, const char* timestamp, char* out, size_t capacity);

} // namespace platform
