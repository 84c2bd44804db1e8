#pragma once
// Text layout and drawing in a rectangle with the device context's font,
// colours and background mode.
//
//   Rect box{10, 10, 10, 10};
//   DrawText(dc, u"12.50mm", box, kTextCalcRect | kTextNoPrefix);  // measures
//   DrawText(dc, u"12.50mm", box, kTextWordBreak | kTextNoPrefix);  // draws
//
// Lines break at CR LF, CR or LF unless kTextSingleLine. With kTextWordBreak
// a line that would pass the rectangle's right edge breaks after its last
// blank, or before or after a CJK character; with kTextEditControl too a
// word wider than the rectangle breaks between characters. Blanks at a break
// hang past the edge and never start a line. A text measured w wide (and
// laid out with the same flags) therefore draws unbroken in a box w wide.
//
// Unless kTextNoPrefix, "&x" shows x underlined and "&&" shows "&".
// kTextExpandTabs puts tab stops every eight average character widths;
// otherwise tabs, like every other control character, take no room.
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/bitmap.h"

namespace platform {

class DeviceContext;
class TextFont;

enum TextFlags : uint32_t {
    kTextLeft = 0,
    kTextTop = 0,
    kTextCenter = 1u << 0,
    kTextRight = 1u << 1,
    kTextVCenter = 1u << 2,  // single line only
    kTextBottom = 1u << 3,   // single line only
    kTextWordBreak = 1u << 4,
    kTextSingleLine = 1u << 5,
    kTextExpandTabs = 1u << 6,
    kTextNoClip = 1u << 7,
    // Measures only: the rectangle's right and bottom are set to bound the
    // text (its width is the wrap width with kTextWordBreak).
    kTextCalcRect = 1u << 8,
    kTextNoPrefix = 1u << 9,
    // Lines that would show only partly at the bottom are left out (the first
    // line always shows); words wider than the box break between characters.
    kTextEditControl = 1u << 10,
};

struct TextLine {
    size_t begin = 0;  // first character (index into TextLayout::chars)
    size_t end = 0;    // one past the last
    int32_t width = 0;
};

struct TextLayout {
    std::vector<char32_t> chars;     // the text after prefix processing
    std::vector<int32_t> pen;        // pen x of each character from its line's start
    std::vector<uint8_t> underline;  // 1 for a character marked by '&'
    std::vector<TextLine> lines;     // at least one
    int32_t width = 0;               // widest line
    int32_t height = 0;              // lines x font height
};

// Lays `text` out in `font`; `wrap_width` applies with kTextWordBreak.
TextLayout LayoutText(TextFont& font, std::u16string_view text, int32_t wrap_width, uint32_t flags);

// Draws (or with kTextCalcRect measures) the text in the context's font;
// the height of the text, 0 when the context has no font.
int32_t DrawText(DeviceContext& dc, std::u16string_view text, Rect& rect, uint32_t flags);

}  // namespace platform
