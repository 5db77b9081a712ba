// The vendor register protocol as a transcript of control transfers, shared by
// every suite that checks what reached the module: expected transcripts are
// built with the protocol's own steps, logged ones are read from the
// simulated module (or any log of the same fields) and compared whole.
#pragma once

#include <cstdint>
#include <cstdio>
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
    char text[32];
    std::snprintf(text, sizeof text, "%s @%04X n%u:", t.out ? "OUT" : "IN", t.address, t.length);
    os << text;
    for (uint8_t byte : t.data) {
        std::snprintf(text, sizeof text, " %02X", byte);
        os << text;
    }
    return os;
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

// Builds the transcript of whole commands; `polls` lists the status bytes
// each committing write is answered with (the module reads busy twice).
class Script {
public:
    explicit Script(std::vector<uint8_t> polls = {0x01, 0x01, 0x00}) : polls_(std::move(polls)) {}
    Script& add(Transfer t)
    {
        transfers_.push_back(std::move(t));
        return *this;
    }
    Script& poll()
    {
        for (uint8_t s : polls_)
            add(in(kStatus, std::vector<uint8_t>{s}));
        return *this;
    }
    Script& commit(uint16_t address, std::vector<uint8_t> bytes) { return add(out(address, std::move(bytes))).poll(); }
    // A 16-byte long header: 8 staged, 8 committing; a read then takes the reply.
    Script& long_command(const std::vector<uint8_t>& header)
    {
        add(out(0x9D00, {header.begin(), header.begin() + 8}));
        return commit(0x1D08, {header.begin() + 8, header.end()});
    }
    Script& long_read(const std::vector<uint8_t>& header, std::vector<uint8_t> reply)
    {
        return long_command(header).add(in(0x1D10, std::move(reply)));
    }
    Script& standard_read(std::vector<uint8_t> header, std::vector<uint8_t> reply)
    {
        return commit(0x1D00, std::move(header)).add(in(0x1D08, std::move(reply)));
    }
    const std::vector<Transfer>& transfers() const { return transfers_; }

private:
    std::vector<uint8_t> polls_;
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
