// A record of every control transfer that reached the module's connector, in
// order, as a bus analyser would show it.
#ifndef OMBRIX_SIM_WIRE_LOG_H
#define OMBRIX_SIM_WIRE_LOG_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace ombrix::sim {

struct WireRecord {
    uint8_t request_type = 0;
    uint8_t request = 0;
    uint16_t value = 0;
    uint16_t index = 0;
    uint16_t length = 0;        // wLength as asked
    int result = 0;             // bytes moved or a negative libusb error
    std::vector<uint8_t> data;  // OUT: the bytes sent; IN: the bytes answered
};

class WireLog {
public:
    // Beyond this many records the oldest are dropped.
    static constexpr size_t kCapacity = 1u << 18;

    void add(WireRecord record);
    size_t size() const { return records_.size(); }
    const WireRecord& at(size_t i) const { return records_.at(i); }
    void clear() { records_.clear(); }

private:
    std::deque<WireRecord> records_;
};

}  // namespace ombrix::sim

#endif
