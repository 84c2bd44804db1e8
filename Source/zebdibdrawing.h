#pragma once
// The rows of a packed bitmap (40-byte info header; 8 bits with a colour
// table, or 24 bits; rows bottom-up, padded to 4 bytes) drawn into a device
// context's bitmap with the bitmap's top-left pixel at (x, y), within the
// context's clip: 8-bit values through their table entry (the grey level
// beyond the table), 24-bit pixels from blue, green, red.
//
//   ZEBDIBDrawing drawing;
//   if (drawing.Begin(dc, dib.data(), dib.size(), x, y))
//       for (uint32_t row = 0; row < drawing.Height(); ++row)
//           drawing.DrawRow(row, 0, dib.data() + drawing.RowsAt() + row * drawing.Stride(),
//                           drawing.Stride());
#include <cstddef>
#include <cstdint>

#include "platform/device_context.h"

class ZEBDIBDrawing {
public:
    // Reads the info header and colour table from the `size` bytes at
    // `header` (the bitmap's start; rows need not follow); false when the
    // bitmap is not one of those above, the bytes are short of its header
    // and table, or the context has no bitmap.
    bool Begin(platform::DeviceContext& dc, const uint8_t* header, size_t size, int32_t x,
               int32_t y);

    // The part of the context's clip that a bitmap of that size with its
    // top-left pixel at (x, y) covers (empty when none).
    static platform::Rect Cover(const platform::DeviceContext& dc, int32_t x, int32_t y,
                                int32_t width, int32_t height);

    uint32_t Height() const { return m_height; }
    // Bytes of one row, and where the first row (the bottom one) starts.
    uint64_t Stride() const { return m_stride; }
    uint64_t RowsAt() const { return m_rowsAt; }
    // The part of the clip the bitmap covers (empty when none).
    platform::Rect Area() const { return m_area; }

    // Draws `count` bytes of row `row` (0 the bottom row, as stored) from
    // byte `first` of the row on, taken from `bytes`; padding and what lies
    // outside the area are left out.
    void DrawRow(uint32_t row, uint64_t first, const uint8_t* bytes, uint64_t count) const;

private:
    platform::Bitmap* m_target = nullptr;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_width = 0;
    uint32_t m_height = 0;
    uint32_t m_depth = 0;
    uint64_t m_stride = 0;
    uint64_t m_rowsAt = 0;
    platform::Rect m_area;
    // The colour of each 8-bit value, and a fourth byte so that a pixel is
    // stored in one 4-byte move.
    uint8_t m_colours[256][4] = {};
};
