// Text output for signal handlers: no allocation, no locks, only write(2).
#pragma once

#include <cstddef>

namespace platform {

// Collects text in a fixed buffer and writes it to a file descriptor when the
// buffer fills, on flush() and on destruction. Write errors are ignored: in a
// crash there is nobody left to tell.
class SignalSafeWriter {
public:
    explicit SignalSafeWriter(int fd) : m_fd(fd) {}
    ~SignalSafeWriter() { flush(); }
    SignalSafeWriter(const SignalSafeWriter&) = delete;
    SignalSafeWriter& operator=(const SignalSafeWriter&) = delete;

    SignalSafeWriter& text(const char* text);
    SignalSafeWriter& bytes(const char* data, size_t size);
    SignalSafeWriter& decimal(long long value);
    // "0x" followed by at least minDigits lower-case hex digits.
    SignalSafeWriter& hex(unsigned long long value, int minDigits = 1);
    void flush();

private:
    int m_fd;
    char m_buffer[256];
    size_t m_used = 0;
};

} // namespace platform
