// Pixel surfaces (to be filled in).
#include "Surface.h"

#include <cstddef>

Surface::Surface(int width, int height, uint32_t colour) { Resize(width, height); Fill(colour); }
void Surface::Resize(int width, int height) {
    width_ = width < 0 ? 0 : width;
    height_ = height < 0 ? 0 : height;
    pixels_.assign(static_cast<size_t>(width_) * height_, Opaque | BackColor);
}
void Surface::ResizeKeep(int width, int height) { Resize(width, height); }
uint32_t Surface::Pixel(int, int) const { return 0; }
void Surface::SetPixel(int, int, uint32_t) {}
void Surface::Fill(uint32_t) {}
void Surface::Line(float, float, float, float, uint32_t, int) {}
void Surface::Plot(int, int, uint32_t) {}
void Surface::FillRect(int, int, int, int, uint32_t) {}
int32_t BitBlt(Surface&, int32_t, int32_t, int32_t, int32_t, const Surface&, int32_t, int32_t, uint32_t) { return 0; }
int32_t StretchBlt(Surface&, int32_t, int32_t, int32_t, int32_t, const Surface&, int32_t, int32_t, int32_t, int32_t, uint32_t) { return 0; }
