// The inner step shared by the blits: one clipped row of a raster
// operation. Internal to the surface's own files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Surface.h"

namespace surface_rows {

// One clipped row of a raster operation: d = d op s.
inline void RowOp(uint32_t* d, const uint32_t* s, size_t n, uint32_t rop) {
    switch (rop) {
    case SRCCOPY:
        std::memmove(d, s, n * sizeof(uint32_t));
        break;
    case SRCAND:
        for (size_t i = 0; i < n; ++i) d[i] &= s[i];
        break;
    case SRCPAINT:
        for (size_t i = 0; i < n; ++i) d[i] |= s[i];
        break;
    case SRCINVERT:
        // XOR would clear the top byte of two opaque pixels: put it back.
        for (size_t i = 0; i < n; ++i) d[i] = (d[i] ^ s[i]) | Surface::Opaque;
        break;
    default:
        break;
    }
}

inline bool KnownRop(uint32_t rop) { return rop == SRCCOPY || rop == SRCAND || rop == SRCPAINT || rop == SRCINVERT; }

}  // namespace surface_rows
