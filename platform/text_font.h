#pragma once
// What text drawing needs of a font: line metrics and, per character, the
// pen advance and a coverage image. Fonts over FreeType (font_library.h) and
// the fixed-cell font of the tests implement it.
#include <cstdint>
#include <vector>

namespace platform {

struct Glyph {
    int32_t advance = 0;  // pen advance in pixels
    int32_t left = 0;     // pen position to the image's left column
    int32_t top = 0;      // baseline up to the image's top row
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> coverage;  // width x height, 0 (none) .. 255 (full)
};

class TextFont {
public:
    virtual ~TextFont() = default;
    // Pixels from the top of a line to the baseline.
    virtual int32_t ascent() const = 0;
    // Pixels from one line to the next.
    virtual int32_t height() const = 0;
    // The width tab stops are counted in (eight of them to a stop).
    virtual int32_t average_char_width() const = 0;
    // The glyph of a character. The reference stays valid as long as the
    // font; a font is used by one thread at a time unless it says otherwise.
    virtual const Glyph& glyph(char32_t c) = 0;
};

// Every character is one cell: a printable character fills the cell above
// the baseline but its rightmost column, blanks fill nothing. Lets tests
// predict every pixel.
class FixedCellFont : public TextFont {
public:
    FixedCellFont(int32_t cell_width, int32_t cell_height, int32_t ascent);
    int32_t ascent() const override { return ascent_; }
    int32_t height() const override { return cell_height_; }
    int32_t average_char_width() const override { return cell_width_; }
    const Glyph& glyph(char32_t c) override;

private:
    int32_t cell_width_;
    int32_t cell_height_;
    int32_t ascent_;
    Glyph blank_;
    Glyph block_;
};

}  // namespace platform
