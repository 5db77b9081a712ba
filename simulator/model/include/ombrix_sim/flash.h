// The module's SPI NOR flash: 16 MiB in 4096-byte sectors, erased to 0xFF.
// Like real NOR, a write can only clear bits (the stored byte becomes
// old AND new); an erase sets a whole sector back to 0xFF. Only sectors that
// were ever written are held in memory.
#ifndef OMBRIX_SIM_FLASH_H
#define OMBRIX_SIM_FLASH_H

#include <array>
#include <cstdint>
#include <map>

namespace ombrix::sim {

class Flash {
public:
    static constexpr uint32_t kSize = 16u << 20;
    static constexpr uint32_t kSectorSize = 4096;

    // Each returns false, changing nothing, when the range leaves the chip.
    bool read(uint32_t address, uint8_t* out, uint32_t length) const;
    bool write(uint32_t address, const uint8_t* data, uint32_t length);
    // Erases `count` sectors from the one holding `address`.
    bool erase_sectors(uint32_t address, uint32_t count);
    bool erase_range(uint32_t address, uint32_t length);  // whole sectors only
    void erase_all() { sectors_.clear(); }

    static bool in_range(uint32_t address, uint32_t length) {
        return address <= kSize && length <= kSize - address;
    }

private:
    using Sector = std::array<uint8_t, kSectorSize>;
    std::map<uint32_t, Sector> sectors_;  // by sector number
};

}  // namespace ombrix::sim

#endif
