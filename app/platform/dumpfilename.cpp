#include "dumpfilename.h"

#include <ctime>

namespace platform {
namespace {

long offsetAt(int64_t utcSeconds)
{
    const time_t moment = static_cast<time_t>(utcSeconds);
    tm local {};
    if (localtime_r(&moment, &local) == nullptr)
        return 0;
    return local.tm_gmtoff;
}

// Civil date from days since 1970-01-01 (proleptic Gregorian calendar),
// after H. Hinnant's days-to-civil algorithm.
void civilFromDays(int64_t days, int64_t& year, int& month, int& day)
{
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153; // March is 0
    day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

void putDigits(char* out, int64_t value, int count)
{
    for (int i = count - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

int64_t floorDivide(int64_t value, int64_t divisor)
{
    const int64_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

} // namespace

LocalTimeOffsets LocalTimeOffsets::measure(int64_t utcSeconds)
{
    constexpr int64_t Day = 24 * 60 * 60;
    LocalTimeOffsets offsets;
    offsets.before = offsets.after = offsetAt(utcSeconds);
    int64_t low = utcSeconds;
    int64_t high = utcSeconds;
    for (int day = 1; day <= 400 && offsetAt(high) == offsets.before; ++day) {
        low = high;
        high = utcSeconds + day * Day;
    }
    if (offsetAt(high) == offsets.before)
        return offsets;
    // The change lies in (low, high]; narrow it down to the second.
    while (high - low > 1) {
        const int64_t middle = low + (high - low) / 2;
        (offsetAt(middle) == offsets.before ? low : high) = middle;
    }
    offsets.transition = high;
    offsets.after = offsetAt(high);
    return offsets;
}

void formatDumpTimestamp(int64_t localMilliseconds, char (&out)[18])
{
    const int64_t seconds = floorDivide(localMilliseconds, 1000);
    const int64_t milliseconds = localMilliseconds - seconds * 1000;
    const int64_t days = floorDivide(seconds, 86400);
    const int64_t secondOfDay = seconds - days * 86400;
    int64_t year = 0;
    int month = 0;
    int day = 0;
    civilFromDays(days, year, month, day);
    putDigits(out, year, 4);
    putDigits(out + 4, month, 2);
    putDigits(out + 6, day, 2);
    putDigits(out + 8, secondOfDay / 3600, 2);
    putDigits(out + 10, secondOfDay / 60 % 60, 2);
    putDigits(out + 12, secondOfDay % 60, 2);
    putDigits(out + 14, milliseconds, 3);
    out[17] = '\0';
}

bool composeDumpPath(const char* folder, const char* timestamp, char* out, size_t capacity)
{
    const char* parts[] = {folder, "/assit_", timestamp, ".dmp"};
    size_t used = 0;
    for (const char* part : parts) {
        for (; *part != '\0'; ++part) {
            if (used + 1 >= capacity) {
                if (capacity > 0)
                    out[0] = '\0';
                return false;
            }
            out[used++] = *part;
        }
    }
    out[used] = '\0';
    return true;
}

} // namespace platform
