#include "signalsafewriter.h"

#include <cerrno>
#include <unistd.h>

namespace platform {

SignalSafeWriter& SignalSafeWriter::bytes(const char* data, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        if (m_used == sizeof m_buffer)
            flush();
        m_buffer[m_used++] = data[i];
    }
    return *this;
}

SignalSafeWriter& SignalSafeWriter::text(const char* text)
{
    size_t size = 0;
    while (text[size] != '\0')
        ++size;
    return bytes(text, size);
}

SignalSafeWriter& SignalSafeWriter::decimal(long long value)
{
    char digits[24];
    int count = 0;
    // Work on the magnitude as unsigned so that the smallest value stays exact.
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        digits[count++] = '-';
    while (count > 0)
        bytes(&digits[--count], 1);
    return *this;
}

SignalSafeWriter& SignalSafeWriter::hex(unsigned long long value, int minDigits)
{
    static const char Digits[] = "0123456789abcdef";
    char reversed[16];
    int count = 0;
    do {
        reversed[count++] = Digits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    text("0x");
    for (int pad = count; pad < minDigits && pad < 16; ++pad)
        bytes("0", 1);
    while (count > 0)
        bytes(&reversed[--count], 1);
    return *this;
}

void SignalSafeWriter::flush()
{
    size_t done = 0;
    while (done < m_used) {
        const ssize_t written = write(m_fd, m_buffer + done, m_used - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        done += static_cast<size_t>(written);
    }
    m_used = 0;
}

} // namespace platform
