// The module's side of the vendor register protocol: a window of command
// registers that the host writes and reads with control transfers, and the
// status byte it polls.
//
// Window 0x1D00..0x1E07 (the same bytes at 0x9D00.. with bit 15 set): header at
// +0, short data at +4, standard data and the second half of a long header at
// +8, long replies at +0x10. A write with bit 15 set only stores its bytes; a
// write with bit 15 clear stores them and makes the module act on what it
// holds, decided by where that write landed and the class in header byte 0:
//   +0, short class (0x80, 0x81)   short header (a read answers at +4)
//   +0, other classes              standard header alone: a read answers at
//                                  +8, other codes act on the header
//   +8, long class (0x11..0x14)    long header complete: a read answers at +0x10
//   +8.., standard class           the last bytes of a standard write's chunk
//   short write data               at +4 (4 bytes or fewer), or after staged data
//                                  at +4 either at +0 (its last 4 bytes) or
//                                  right behind the staged bytes
// Each committing write makes the status byte (0x0200) read busy for a few
// polls, then 0x00 for success or 0x06 for a refused command.
#ifndef OMBRIX_SIM_REGISTER_PORT_H
#define OMBRIX_SIM_REGISTER_PORT_H

#include <array>
#include <cstdint>

#include "ombrix_sim/command_set.h"

namespace ombrix::sim {

// Results follow libusb: bytes moved or a negative libusb_error.
constexpr int kUsbInvalidParam = -2;
constexpr int kUsbNoDevice = -4;
constexpr int kUsbPipe = -9;

constexpr uint8_t kStatusDone = 0x00;
constexpr uint8_t kStatusBusy = 0x01;
constexpr uint8_t kStatusFailed = 0x06;

class RegisterPort {
public:
    static constexpr uint16_t kStatusAddress = 0x0200;
    static constexpr uint16_t kWindowBase = 0x1D00;
    static constexpr uint16_t kWindowBytes = 0x108;
    static constexpr uint16_t kStagedBit = 0x8000;
    static constexpr unsigned kDefaultBusyPolls = 2;

    explicit RegisterPort(CommandSet& commands) : commands_(commands) {}

    // Forgets buffered bytes and half-sent commands; status reads done.
    void power_on();

    int write(uint16_t address, const uint8_t* data, uint16_t length);
    int read(uint16_t address, uint8_t* data, uint16_t length);

    // Polls that read busy after each committing write.
    void set_busy_polls(unsigned polls) { busy_polls_ = polls; }
    // What a busy poll reads (0x01 busy, or 0x02 not yet done).
    void set_busy_status(uint8_t status) { busy_status_ = status; }
    // The module never finishes: every poll reads busy.
    void set_stay_busy(bool on) { stay_busy_ = on; }
    // The next `commands` committing writes end in `status` instead of their
    // own result (`commands` < 0: until cleared; status 0 clears).
    void set_status_error(uint8_t status, int commands);
    void clear_faults();

private:
    struct ShortWrite {
        bool pending = false;
        uint16_t address = 0;
        uint8_t length = 0;
        uint16_t staged = 0;
    };

    void stage(uint16_t offset, uint16_t length);
    void commit(uint16_t offset, uint16_t length);
    bool commit_header(uint16_t length);
    bool commit_short_tail(uint16_t offset, uint16_t length);
    bool commit_long();
    bool commit_standard_data(uint16_t offset, uint16_t length);
    bool is_short_tail(uint16_t offset, uint16_t length) const;
    void finish(bool ok);

    CommandSet& commands_;
    std::array<uint8_t, kWindowBytes> window_{};
    uint32_t data_staged_ = 0;  // contiguous standard data bytes staged since the header
    bool data_gap_ = false;     // a staged piece did not follow on
    ShortWrite short_;
    uint8_t final_status_ = kStatusDone;
    unsigned busy_left_ = 0;

    unsigned busy_polls_ = kDefaultBusyPolls;
    uint8_t busy_status_ = kStatusBusy;
    bool stay_busy_ = false;
    uint8_t error_status_ = 0;
    int error_commands_ = 0;
};

}  // namespace ombrix::sim

#endif
