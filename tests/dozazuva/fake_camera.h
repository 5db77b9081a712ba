// A scripted device table for dozazuva's tests: devices with chosen
// descriptors, a wire log of every control transfer, scripted status bytes
// and reply bytes, frames delivered on demand from any thread, and faults.
#pragma once

#include "dozazuva.h"

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace dztest {

// One control transfer. OUT transfers keep their bytes; IN transfers keep
// none, so expected logs do not depend on replies.
struct Wire {
    uint8_t request_type = 0;
    uint8_t request = 0;
    uint16_t value = 0;
    uint16_t index = 0;
    uint16_t length = 0;
    std::vector<uint8_t> data;
    bool operator==(const Wire& other) const;
};
std::ostream& operator<<(std::ostream& out, const Wire& wire);

// Host-to-device write of `bytes` at a register address.
Wire out(uint16_t address, std::vector<uint8_t> bytes);
// Device-to-host read of `length` bytes from a register address.
Wire in(uint16_t address, uint16_t length);
// One read of the status byte.
Wire status();

constexpr uint16_t kStatusAddress = 0x0200;

struct FakeDevice {
    uint16_t vid = 0x0BDA;
    uint16_t pid = 0x5830;
    std::optional<std::string> product = std::string("Fake thermal camera");
    std::vector<dozazuva_frame_desc> frames;
    bool descriptor_fails = false;
    int refs = 0;
};

// Frame descriptor helper: YUY2 at 25 fps.
dozazuva_frame_desc yuy2_frame(uint32_t width, uint32_t height);

class FakeCamera {
public:
    static FakeCamera& instance();
    const dozazuva_backend* table() const;

    // Back to one 0x5830 device with the 256x192 and 256x384 descriptors.
    void reset();

    // ---- devices (set up before init) ----
    std::vector<FakeDevice> devices;
    bool init_fails = false;
    bool list_fails = false;
    bool open_fails = false;
    bool descriptor_fails_when_open = false;
    bool stream_ctrl_fails = false;
    bool start_fails = false;

    // ---- wire ----
    std::vector<Wire> wire() const;
    // The log without status reads.
    std::vector<Wire> commands() const;
    void clear_wire();
    // Status bytes answered in order; `status_default` once they run out.
    void script_status(std::vector<uint8_t> bytes);
    uint8_t status_default = 0x00;
    // Bytes answered to the next reads (other than status), in order; reads
    // beyond them get bytes counting up from 1.
    void script_reply(std::vector<uint8_t> bytes);
    // The nth (from 0) transfer from now moves one byte less than asked.
    void short_transfer_at(int nth);
    // Every transfer fails as on an unplugged bus.
    void set_unplugged(bool unplugged);

    // ---- streaming ----
    // Delivers a frame through the table's frame callback, as the streaming
    // thread would; false when no stream runs.
    bool deliver(const std::vector<uint8_t>& frame);
    bool streaming() const;
    int last_stream_width() const;
    int last_stream_height() const;
    int last_stream_format() const;
    int stop_count_keeping_interface() const;

    // ---- bookkeeping ----
    int open_handles() const;
    int live_contexts() const;
    int outstanding_device_refs() const;

private:
    FakeCamera();
    friend struct FakeTable;

    mutable std::mutex wire_mutex_;
    std::vector<Wire> wire_;
    std::deque<uint8_t> status_script_;
    std::deque<uint8_t> reply_script_;
    int short_transfer_countdown_ = -1;
    bool unplugged_ = false;

    mutable std::mutex stream_mutex_;
    dozazuva_frame_fn on_frame_ = nullptr;
    void* user_ = nullptr;
    bool running_ = false;
    bool have_ctrl_ = false;
    int width_ = 0;
    int height_ = 0;
    int format_ = -1;
    int keep_stops_ = 0;

    int handles_ = 0;
    int contexts_ = 0;
};

}  // namespace dztest
