#include "ombrix_sim/flash.h"

#include <algorithm>

namespace ombrix::sim {

bool Flash::read(uint32_t address, uint8_t* out, uint32_t length) const {
    if (!in_range(address, length)) return false;
    for (uint32_t done = 0; done < length;) {
        const uint32_t at = address + done, offset = at % kSectorSize;
        const uint32_t n = std::min(length - done, kSectorSize - offset);
        auto it = sectors_.find(at / kSectorSize);
        if (it == sectors_.end())
            std::fill_n(out + done, n, uint8_t{0xFF});
        else
            std::copy_n(it->second.data() + offset, n, out + done);
        done += n;
    }
    return true;
}

bool Flash::write(uint32_t address, const uint8_t* data, uint32_t length) {
    if (!in_range(address, length)) return false;
    for (uint32_t i = 0; i < length; ++i) {
        const uint32_t at = address + i;
        auto [it, fresh] = sectors_.try_emplace(at / kSectorSize);
        if (fresh) it->second.fill(0xFF);
        it->second[at % kSectorSize] &= data[i];
    }
    return true;
}

bool Flash::erase_sectors(uint32_t address, uint32_t count) {
    const uint32_t first = address / kSectorSize;
    if (address >= kSize || count > kSize / kSectorSize - first) return false;
    for (uint32_t s = first; s < first + count; ++s) sectors_.erase(s);
    return true;
}

bool Flash::erase_range(uint32_t address, uint32_t length) {
    if (address % kSectorSize || length % kSectorSize) return false;
    return erase_sectors(address, length / kSectorSize);
}

}  // namespace ombrix::sim
