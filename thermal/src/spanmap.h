// The per-pixel colouring of temperature words through a span table: the
// plain loop and the vector path that must equal it byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace thermal {

// One look-up per word; each pixel is written as the entry's four bytes and
// the next pixel overwrites the fourth, so only the last pixel takes three.
void spanMapPortable(const std::uint16_t* words, std::size_t count, const std::uint32_t* table,
                     std::uint8_t* bgr);

// Whether this processor has the AVX2 gathers (never under OMBRIX_CPU=portable).
bool cpuHasAvx2();

// Eight words at a time through AVX2 gathers; false (nothing written) where
// the processor lacks them.
bool spanMapAvx2(const std::uint16_t* words, std::size_t count, const std::uint32_t* table, std::uint8_t* bgr);

}  // namespace thermal
