// The host side of the vendor register protocol, written from the wire rules,
// so the tests can talk to the simulated module the way dozazuva will.
#ifndef OMBRIX_TESTS_SIMULATOR_HOST_H
#define OMBRIX_TESTS_SIMULATOR_HOST_H

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace host {

constexpr int kShort = -15;   // a transfer moved fewer bytes than asked
constexpr int kStatus = -16;  // the module failed or stayed busy
constexpr int kPolls = 50;

using Transfer = std::function<int(uint8_t, uint8_t, uint16_t, uint16_t, uint8_t*, uint16_t)>;

class Host {
public:
    explicit Host(Transfer transfer) : transfer_(std::move(transfer)) {}

    uint8_t last_status = 0xFF;
    int polls = 0;  // status reads by the last poll

    int read(uint16_t address, uint8_t* data, uint16_t length) {
        const int r = transfer_(0xC1, 0x44, 0x78, address, data, length);
        return r < 0 ? r : r == length ? 0 : kShort;
    }
    int write(uint16_t address, const uint8_t* data, uint16_t length) {
        std::vector<uint8_t> copy(data, data + length);
        const int r = transfer_(0x41, 0x45, 0x78, address, copy.data(), length);
        if (r < 0) return r;
        if (r != length) return kShort;
        return address & 0x8000 ? 0 : poll();
    }
    int poll() {
        polls = 0;
        for (int i = 0; i < kPolls; ++i) {
            ++polls;
            uint8_t status = 0xFF;
            if (read(0x0200, &status, 1) == 0) last_status = status;
            if (!(status & 1)) {
                if (!(status & 2)) return 0;
                if (status & 0xFC) return kStatus;
            }
        }
        return kStatus;
    }

    static std::vector<uint8_t> header(uint8_t cls, uint8_t code, uint32_t arg = 0, uint16_t length = 0) {
        return {cls, code, uint8_t(arg >> 24), uint8_t(arg >> 16), uint8_t(arg >> 8), uint8_t(arg),
                uint8_t(length >> 8), uint8_t(length)};
    }

    int standard_read(uint8_t cls, uint8_t code, uint32_t arg, uint16_t length, uint8_t* out) {
        for (uint32_t done = 0; done < length;) {
            const uint16_t n = uint16_t(std::min<uint32_t>(length - done, 256));
            const auto h = header(cls, code, arg + done, n);
            if (int r = write(0x1D00, h.data(), 8)) return r;
            if (int r = read(0x1D08, out + done, n)) return r;
            done += n;
        }
        return 0;
    }
    // `header_arg` fills bytes 2..5; `param_length` bytes 6..7 of a header-only command.
    int standard_action(uint8_t cls, uint8_t code, uint32_t arg = 0, uint16_t param_length = 0) {
        const auto h = header(cls, code, arg, param_length);
        return write(0x1D00, h.data(), 8);
    }
    int standard_write(uint8_t cls, uint8_t code, uint32_t arg, const uint8_t* data, uint16_t length) {
        for (uint32_t done = 0; done < length;) {
            const uint16_t n = uint16_t(std::min<uint32_t>(length - done, 256));
            const auto h = header(cls, code, arg + done, n);
            if (int r = write(0x9D00, h.data(), 8)) return r;
            uint16_t o = 0;
            for (; n - o > 64; o += 64)
                if (int r = write(0x9D08 + o, data + done + o, 64)) return r;
            const uint16_t p = n - o;
            if (p > 8) {
                if (int r = write(0x9D08 + o, data + done + o, p - 8)) return r;
                if (int r = write(0x1D08 + o + p - 8, data + done + o + p - 8, 8)) return r;
            } else if (int r = write(0x1D08 + o, data + done + o, p)) {
                return r;
            }
            done += n;
        }
        return 0;
    }

    static std::vector<uint8_t> long_header(uint8_t cls, uint8_t code, uint16_t p1, uint32_t p2, uint32_t p3,
                                            uint32_t length) {
        return {cls, code, uint8_t(p1 >> 8), uint8_t(p1), uint8_t(p2 >> 24), uint8_t(p2 >> 16),
                uint8_t(p2 >> 8), uint8_t(p2), uint8_t(p3 >> 24), uint8_t(p3 >> 16), uint8_t(p3 >> 8),
                uint8_t(p3), uint8_t(length >> 24), uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length)};
    }
    int long_write(uint8_t cls, uint8_t code, uint16_t p1, uint32_t p2 = 0, uint32_t p3 = 0, uint32_t length = 0) {
        const auto h = long_header(cls, code, p1, p2, p3, length);
        if (int r = write(0x9D00, h.data(), 8)) return r;
        return write(0x1D08, h.data() + 8, 8);
    }
    int long_read(uint8_t cls, uint8_t code, uint16_t p1, uint32_t p2, uint32_t p3, uint32_t length, uint8_t* out) {
        if (int r = long_write(cls, code, p1, p2, p3, length)) return r;
        return read(0x1D10, out, uint16_t(length));
    }
    int get_tpd(uint16_t index, uint16_t& value) {
        uint8_t r[2] = {};
        const int rc = long_read(0x14, 0x85, index, 0, 0, 2, r);
        value = uint16_t(r[0] << 8 | r[1]);
        return rc;
    }
    int set_tpd(uint16_t index, uint16_t value) { return long_write(0x14, 0xC5, index, value); }

private:
    Transfer transfer_;
};

inline uint16_t be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

}  // namespace host

#endif
