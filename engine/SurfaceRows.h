// The inner step shared by the blits: one clipped row of a raster
// operation. Internal to the surface's own files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Surface.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace surface_rows {

// The bitwise operations, on one pixel and, with SSE2, on four.
struct And {
    static uint32_t One(uint32_t d, uint32_t s) { return d & s; }
#if defined(__SSE2__)
    static __m128i Four(__m128i d, __m128i s) { return _mm_and_si128(d, s); }
#endif
};
struct Or {
    static uint32_t One(uint32_t d, uint32_t s) { return d | s; }
#if defined(__SSE2__)
    static __m128i Four(__m128i d, __m128i s) { return _mm_or_si128(d, s); }
#endif
};
// XOR would clear the top byte of two opaque pixels: put it back.
struct Xor {
    static uint32_t One(uint32_t d, uint32_t s) { return (d ^ s) | Surface::Opaque; }
#if defined(__SSE2__)
    static __m128i Four(__m128i d, __m128i s) {
        return _mm_or_si128(_mm_xor_si128(d, s), _mm_set1_epi32(static_cast<int>(Surface::Opaque)));
    }
#endif
};

template <class Op>
inline void Each(uint32_t* d, const uint32_t* s, size_t n) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= n; i += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Op::Four(a, b));
    }
#endif
    for (; i < n; ++i) d[i] = Op::One(d[i], s[i]);
}

// One clipped row of a raster operation: d = d op s.
inline void RowOp(uint32_t* d, const uint32_t* s, size_t n, uint32_t rop) {
    switch (rop) {
    case SRCCOPY: std::memmove(d, s, n * sizeof(uint32_t)); break;
    case SRCAND: Each<And>(d, s, n); break;
    case SRCPAINT: Each<Or>(d, s, n); break;
    case SRCINVERT: Each<Xor>(d, s, n); break;
    default: break;
    }
}

inline bool KnownRop(uint32_t rop) { return rop == SRCCOPY || rop == SRCAND || rop == SRCPAINT || rop == SRCINVERT; }

}  // namespace surface_rows
