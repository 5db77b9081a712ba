// The vendor register protocol as a transcript of control transfers: expected
// ones built with the protocol's own steps, logged ones read from the
// simulated or the emulated module, compared whole.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

namespace wire {

constexpr uint16_t kStatus = 0x0200;

// One transfer. `data` holds OUT bytes sent and IN bytes answered; an IN
// transfer built without data matches whatever was answered.
struct Transfer {
    bool out = true;
    uint16_t address = 0;
    uint16_t length = 0;
    std::vector<uint8_t> data;
    bool any_reply = false;

    bool operator==(const Transfer& o) const
    {
        if (out != o.out || address != o.address || length != o.length)
            return false;
        return any_reply || o.any_reply || data == o.data;
    }
};

inline std::ostream& operator<<(std::ostream& os, const Transfer& t)
{
    os << (t.out ? "OUT @" : "IN @") << std::hex << t.address << std::dec << " n" << t.length << std::hex << ":";
    for (uint8_t byte : t.data)
        os << ' ' << int(byte);
    return os << std::dec;
}

inline Transfer out(uint16_t address, std::vector<uint8_t> bytes)
{
    const auto n = static_cast<uint16_t>(bytes.size());
    return {true, address, n, std::move(bytes), false};
}
inline Transfer in(uint16_t address, std::vector<uint8_t> answer)
{
    const auto n = static_cast<uint16_t>(answer.size());
    return {false, address, n, std::move(answer), false};
}
inline Transfer in(uint16_t address, uint16_t length) { return {false, address, length, {}, true}; }
inline Transfer status() { return in(kStatus, 1); }

// Builds the transcript of whole long commands as the module answers them:
// 8 header bytes staged, 8 committing, the status polls (busy twice), then
// the reply of a read.
class Script {
public:
    Script& long_command(const std::vector<uint8_t>& header)
    {
        transfers_.push_back(out(0x9D00, {header.begin(), header.begin() + 8}));
        transfers_.push_back(out(0x1D08, {header.begin() + 8, header.end()}));
        for (uint8_t busy : {0x01, 0x01, 0x00})
            transfers_.push_back(in(kStatus, std::vector<uint8_t>{busy}));
        return *this;
    }
    Script& long_read(const std::vector<uint8_t>& header, std::vector<uint8_t> reply)
    {
        long_command(header).transfers_.push_back(in(0x1D10, std::move(reply)));
        return *this;
    }
    const std::vector<Transfer>& transfers() const { return transfers_; }

private:
    std::vector<Transfer> transfers_;
};

// Converts any log whose records have request_type, index, length and the
// moved bytes; `keep_status` false drops the status reads.
template <typename Records, typename Bytes>
std::vector<Transfer> transcript(const Records& records, Bytes bytes_of, bool keep_status = true)
{
    std::vector<Transfer> logged;
    for (const auto& r : records) {
        if (!keep_status && r.request_type != 0x41 && r.index == kStatus)
            continue;
        logged.push_back({r.request_type == 0x41, r.index, r.length, bytes_of(r), false});
    }
    return logged;
}

}  // namespace wire
