#include "zip/crc32.h"

#include <zlib.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define MARUPO_CRC32_FOLDING 1
#endif

namespace marupo::zip {
namespace {

std::uint32_t TableCrc32(std::uint32_t crc, const unsigned char* data, std::size_t size) {
    // zlib counts in uInt.
    while (size > 0) {
        const std::size_t piece = size < 0x40000000u ? size : 0x40000000u;
        crc = static_cast<std::uint32_t>(crc32(crc, data, static_cast<uInt>(piece)));
        data += piece;
        size -= piece;
    }
    return crc;
}

#ifdef MARUPO_CRC32_FOLDING
#define MARUPO_FOLDING_TARGET __attribute__((target("pclmul,sse4.1")))

MARUPO_FOLDING_TARGET __m128i Load(const unsigned char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// `lane` carried 128 bits on (by the powers of x in `k`) and added to `next`.
MARUPO_FOLDING_TARGET __m128i Fold(__m128i lane, __m128i k, __m128i next) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(lane, k, 0x11), next),
                         _mm_clmulepi64_si128(lane, k, 0x00));
}

// Folds `size` bytes (at least 64, a multiple of 16) into the inverted `crc` with carry-less
// multiplication, four 16-byte lanes at a time, then reduces to 32 bits (Barrett). The constants
// are the powers of x modulo the reflected polynomial 0x1DB710641 that the folding needs.
MARUPO_FOLDING_TARGET std::uint32_t FoldCrc32(std::uint32_t crc, const unsigned char* data,
                                              std::size_t size) {
    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    const __m128i k5k0 = _mm_set_epi64x(0, 0x0163cd6124);
    const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
    __m128i x1 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load(data + 16);
    __m128i x3 = Load(data + 32);
    __m128i x4 = Load(data + 48);
    data += 64;
    size -= 64;
    for (; size >= 64; data += 64, size -= 64) {
        x1 = Fold(x1, k1k2, Load(data));
        x2 = Fold(x2, k1k2, Load(data + 16));
        x3 = Fold(x3, k1k2, Load(data + 32));
        x4 = Fold(x4, k1k2, Load(data + 48));
    }
    x1 = Fold(x1, k3k4, x2);
    x1 = Fold(x1, k3k4, x3);
    x1 = Fold(x1, k3k4, x4);
    for (; size >= 16; data += 16, size -= 16) x1 = Fold(x1, k3k4, Load(data));

    // 128 bits to 64, then Barrett's reduction to 32.
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k3k4, 0x10));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5k0, 0x00),
                       _mm_srli_si128(x1, 4));
    __m128i x2r = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10);
    x2r = _mm_clmulepi64_si128(_mm_and_si128(x2r, low32), poly, 0x00);
    return static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, x2r), 1));
}

bool CanFold() {
    static const bool can = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return can;
}
#endif

}  // namespace

std::uint32_t Crc32(std::uint32_t crc, const unsigned char* data, std::size_t size) {
#ifdef MARUPO_CRC32_FOLDING
    if (size >= 64 && CanFold()) {
        const std::size_t folded = size & ~std::size_t{15};
        crc = ~FoldCrc32(~crc, data, folded);
        data += folded;
        size -= folded;
    }
#endif
    return TableCrc32(crc, data, size);
}

}  // namespace marupo::zip
