#include "Source/zebdibdrawing.h"

#include <algorithm>
#include <cstring>

#include "vrx/core/dib/vrx_bitmapinfoheader.h"
#include "vrx/framework/include/vrx_linesample.h"

namespace {

uint32_t Le32(const uint8_t* b) {
    return b[0] | b[1] << 8 | b[2] << 16 | uint32_t{b[3]} << 24;
}

}  // namespace

bool ZEBDIBDrawing::Begin(platform::DeviceContext& dc, const uint8_t* header, size_t size,
                          int32_t x, int32_t y) {
    m_target = dc.bitmap();
    m_area = {};
    if (!m_target || size < 40 || Le32(header) != 40) return false;
    const int32_t width = static_cast<int32_t>(Le32(header + 4));
    const int32_t height = static_cast<int32_t>(Le32(header + 8));
    const uint32_t depth = header[14] | header[15] << 8;
    const uint32_t colours = Le32(header + 32);
    if (width < 1 || height < 1 || (depth != 8 && depth != 24) || colours > 256) return false;
    m_rowsAt = 40 + uint64_t{colours} * 4;
    if (m_rowsAt > size) return false;
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = static_cast<uint32_t>(height);
    m_depth = depth;
    m_stride = vrx::VRX_BitmapInfoHeader::row_stride(depth, uint64_t(width));
    m_area = Cover(dc, x, y, width, height);
    for (uint32_t v = 0; v < 256; ++v) {
        uint8_t* colour = m_colours[v];
        if (v >= colours) {
            colour[0] = colour[1] = colour[2] = uint8_t(v);
            continue;
        }
        const uint8_t* entry = header + 40 + size_t{v} * 4;  // blue, green, red, 0
        colour[0] = entry[2], colour[1] = entry[1], colour[2] = entry[0];
    }
    return true;
}

platform::Rect ZEBDIBDrawing::Cover(const platform::DeviceContext& dc, int32_t x, int32_t y,
                                    int32_t width, int32_t height) {
    const platform::Rect clip =
        dc.clip().intersect(dc.bitmap() ? dc.bitmap()->bounds() : platform::Rect{});
    return clip.intersect({x, y, x + width, y + height});
}

void ZEBDIBDrawing::DrawRow(uint32_t row, uint64_t first, const uint8_t* bytes,
                            uint64_t count) const {
    if (row >= m_height || m_area.empty()) return;
    const int64_t at = int64_t{m_y} + (m_height - 1 - row);
    if (at < m_area.top || at >= m_area.bottom) return;
    const uint64_t pixelBytes = m_depth / 8;
    const uint64_t end = std::min(first + count, uint64_t(m_width) * pixelBytes);
    if (first >= end) return;
    // The bitmap's columns inside the area.
    const uint64_t left = uint64_t(m_area.left - m_x), right = uint64_t(m_area.right - m_x);
    uint8_t* line = m_target->row(static_cast<int32_t>(at));
    if (pixelBytes == 1) {
        const uint64_t from = std::max(first, left), to = std::min(end, right);
        if (from >= to) return;
        const uint8_t* s = bytes + (from - first);
        uint8_t* dst = line + (int64_t{m_x} + int64_t(from)) * 3;
        // The fourth byte of each move lands on the next pixel, which
        // overwrites it; the last pixel moves 3 bytes.
        const uint64_t n = to - from;
        for (uint64_t i = 0; i + 1 < n; ++i, dst += 3) std::memcpy(dst, m_colours[s[i]], 4);
        std::memcpy(dst, m_colours[s[n - 1]], 3);
    } else if (first % 3 == 0 && end % 3 == 0) {
        const uint64_t from = std::max(first / 3, left), to = std::min(end / 3, right);
        if (from >= to) return;
        vrx::reverse_triplets(bytes + (from * 3 - first),
                              line + (int64_t{m_x} + int64_t(from)) * 3, to - from);
    } else {
        // Byte b of a row is channel 2 - b % 3 (blue, green, red) of pixel b / 3.
        for (uint64_t b = first; b < end; ++b)
            if (b / 3 >= left && b / 3 < right)
                line[(int64_t{m_x} + int64_t(b / 3)) * 3 + 2 - int64_t(b % 3)] = bytes[b - first];
    }
}
