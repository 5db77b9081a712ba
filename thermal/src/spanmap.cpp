#include "spanmap.h"

#include "ombrix/cpu.h"

#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define THERMAL_HAS_X86 1
#endif

namespace thermal {

void spanMapPortable(const std::uint16_t* words, std::size_t count, const std::uint32_t* table,
                     std::uint8_t* bgr)
{
    if (count == 0)
        return;
    for (std::size_t i = 0; i + 1 < count; ++i)
        std::memcpy(bgr + 3 * i, &table[words[i]], 4);
    std::memcpy(bgr + 3 * (count - 1), &table[words[count - 1]], 3);
}

#ifdef THERMAL_HAS_X86

bool cpuHasAvx2()
{
    static const bool supported = [] {
        __builtin_cpu_init();
        return !ombrix_cpu_portable_only() && __builtin_cpu_supports("avx2") != 0;
    }();
    return supported;
}

__attribute__((target("avx2"))) bool spanMapAvx2(const std::uint16_t* words, std::size_t count,
                                                  const std::uint32_t* table, std::uint8_t* bgr)
{
    if (!cpuHasAvx2())
        return false;
    // Per 128-bit lane: four B, G, R, 0 entries packed into twelve bytes.
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,  //
                                          0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const int* entries = reinterpret_cast<const int*>(table);
    std::size_t i = 0;
    // Each step stores 16 bytes at 12 past the step's start; the four extra
    // bytes belong to the next step, so the loop stops while they still fit.
    for (; i + 8 + 2 <= count; i += 8) {
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + i));
        const __m256i index = _mm256_cvtepu16_epi32(w);
        const __m256i pixels = _mm256_shuffle_epi8(_mm256_i32gather_epi32(entries, index, 4), pack);
        std::uint8_t* out = bgr + 3 * i;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(pixels));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm256_extracti128_si256(pixels, 1));
    }
    spanMapPortable(words + i, count - i, table, bgr + 3 * i);
    return true;
}

#else

bool cpuHasAvx2()
{
    return false;
}

bool spanMapAvx2(const std::uint16_t*, std::size_t, const std::uint32_t*, std::uint8_t*)
{
    return false;
}

#endif

}  // namespace thermal
