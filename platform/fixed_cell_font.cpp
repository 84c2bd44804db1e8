#include <algorithm>

#include "platform/text_font.h"

namespace platform {

FixedCellFont::FixedCellFont(int32_t cell_width, int32_t cell_height, int32_t ascent)
    : cell_width_(std::max(cell_width, 1)),
      cell_height_(std::max(cell_height, 1)),
      ascent_(std::clamp(ascent, 0, cell_height_)) {
    blank_.advance = cell_width_;
    block_.advance = cell_width_;
    block_.top = ascent_;
    block_.width = cell_width_ - 1;
    block_.height = ascent_;
    block_.coverage.assign(static_cast<size_t>(block_.width) * block_.height, 255);
}

const Glyph& FixedCellFont::glyph(char32_t c) {
    const bool blank = c == U' ' || c == U'\t' || c == 0x3000 || c < 0x20;
    return blank ? blank_ : block_;
}

}  // namespace platform
