// What reached the simulated module's wire, read back from its log: the
// viewer's suites check the module commands a user action sent.
#pragma once

#include <ombrix_simulator.h>

#include <cstdint>
#include <utility>
#include <vector>

inline std::vector<ombrix_sim_transfer> wireLog()
{
    std::vector<ombrix_sim_transfer> log;
    for (size_t i = 0; i < ombrix_sim_wire_count(); ++i) {
        ombrix_sim_transfer t;
        if (ombrix_sim_wire_get(i, &t) == 0)
            log.push_back(t);
    }
    return log;
}

// The set_prop_tpd_params commands, in sending order: long writes whose
// header (class 0x14, code 0xC5, index, value) is staged at 0x9D00.
using TpdWrites = std::vector<std::pair<int, int>>;
inline TpdWrites tpdWritesOnWire()
{
    TpdWrites writes;
    for (const ombrix_sim_transfer& t : wireLog()) {
        if (t.request_type != 0x41 || t.index != 0x9D00 || t.data_bytes < 8 || t.data[0] != 0x14 || t.data[1] != 0xC5)
            continue;
        const int index = t.data[2] << 8 | t.data[3];
        const int value = int(uint32_t(t.data[4]) << 24 | uint32_t(t.data[5]) << 16 | t.data[6] << 8 | t.data[7]);
        writes.emplace_back(index, value);
    }
    return writes;
}

// Standard commands of a class and code committed on the wire (header staged
// at 0x1D00), with their first argument byte.
inline std::vector<int> standardCommandsOnWire(uint8_t commandClass, uint8_t code)
{
    std::vector<int> arguments;
    for (const ombrix_sim_transfer& t : wireLog())
        if (t.request_type == 0x41 && t.index == 0x1D00 && t.data_bytes >= 3 && t.data[0] == commandClass &&
            t.data[1] == code)
            arguments.push_back(t.data[2]);
    return arguments;
}
