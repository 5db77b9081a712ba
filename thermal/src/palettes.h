// The 83 colour tables behind itSetRgbColor, built once on first use.
#pragma once

#include <cstdint>

namespace thermal {

// Table n (1 to THERMAL_TABLE_COUNT) as 256 B, G, R triplets; the caller
// checks n. The tables never change once built.
const std::uint8_t* colourTable(int n);
const char* colourName(int n);
// The same table with each entry as a word whose bytes in memory are B, G, R
// and 0, for writing a pixel with one four-byte store.
const std::uint32_t* colourTableWords(int n);

}  // namespace thermal
