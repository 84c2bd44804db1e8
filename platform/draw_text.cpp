#include "platform/draw_text.h"

#include <algorithm>
#include <limits>

#include "platform/device_context.h"
#include "platform/text_font.h"

namespace platform {
namespace {

constexpr size_t kNoBreak = std::numeric_limits<size_t>::max();

bool is_control(char32_t c) {
    return c < 0x20 || c == 0x7F;
}
bool is_blank(char32_t c) {
    return c == U' ' || c == U'\t' || c == 0x3000;
}
bool is_line_break(char32_t c) {
    return c == U'\r' || c == U'\n';
}

// Scripts written without blanks: a line may break before or after any of
// their characters.
bool is_cjk(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

// UTF-16 to code points (an unpaired surrogate becomes U+FFFD), with the
// '&' prefixes taken out unless `no_prefix`.
void decode(std::u16string_view text, bool no_prefix, TextLayout& out) {
    out.chars.reserve(text.size());
    bool mark_next = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (!no_prefix && c == U'&' && !mark_next) {
            mark_next = true;
            continue;
        }
        out.chars.push_back(c);
        out.underline.push_back(mark_next && c != U'&' ? 1 : 0);
        mark_next = false;
    }
    out.pen.assign(out.chars.size(), 0);
}

class LineBreaker {
public:
    LineBreaker(TextFont& font, TextLayout& layout, int32_t wrap_width, uint32_t flags)
        : font_(font),
          layout_(layout),
          wrap_(flags & kTextWordBreak),
          split_words_(flags & kTextEditControl),
          expand_tabs_(flags & kTextExpandTabs),
          wrap_width_(wrap_width),
          tab_width_(std::max(1, font.average_char_width() * 8)) {}

    // Lays out the paragraph [begin, end) into one or more lines.
    void paragraph(size_t begin, size_t end) {
        size_t start = begin;
        for (;;) {
            const size_t next = line(start, end);
            if (next == end) return;
            start = next;
        }
    }

private:
    int32_t advance(char32_t c, int32_t x) {
        if (c == U'\t' && expand_tabs_) return (x / tab_width_ + 1) * tab_width_ - x;
        if (is_control(c)) return 0;
        return font_.glyph(c).advance;
    }

    // Lays out one line from `start`; the start of the next line, or `end`.
    size_t line(size_t start, size_t end) {
        const std::vector<char32_t>& chars = layout_.chars;
        int32_t x = 0;
        size_t brk = kNoBreak;
        int32_t brk_width = 0;
        bool in_blanks = false;
        int32_t before_blanks = 0;
        for (size_t i = start; i < end; ++i) {
            const char32_t c = chars[i];
            const int32_t a = advance(c, x);
            if (is_blank(c)) {
                if (!in_blanks) in_blanks = true, before_blanks = x;
                layout_.pen[i] = x;
                x = add(x, a);
                continue;
            }
            if (in_blanks) {
                in_blanks = false;
                if (i > start) brk = i, brk_width = before_blanks;
            } else if (i > start && (is_cjk(c) || is_cjk(chars[i - 1]))) {
                brk = i, brk_width = x;
            }
            if (wrap_ && i > start && int64_t{x} + a > wrap_width_) {
                if (brk != kNoBreak) return finish(start, brk, brk_width);
                if (split_words_) return finish(start, i, x);
            }
            layout_.pen[i] = x;
            x = add(x, a);
        }
        finish(start, end, x);
        return end;
    }

    size_t finish(size_t begin, size_t end, int32_t width) {
        layout_.lines.push_back({begin, end, width});
        layout_.width = std::max(layout_.width, width);
        return end;
    }

    static int32_t add(int32_t x, int32_t a) {
        return static_cast<int32_t>(std::min<int64_t>(int64_t{x} + a, 0x3FFFFFFF));
    }

    TextFont& font_;
    TextLayout& layout_;
    bool wrap_;
    bool split_words_;
    bool expand_tabs_;
    int32_t wrap_width_;
    int32_t tab_width_;
};

}  // namespace

TextLayout LayoutText(TextFont& font, std::u16string_view text, int32_t wrap_width,
                      uint32_t flags) {
    TextLayout layout;
    decode(text, flags & kTextNoPrefix, layout);
    const bool single = flags & kTextSingleLine;
    LineBreaker breaker(font, layout, wrap_width, single ? flags & ~kTextWordBreak : flags);
    const std::vector<char32_t>& chars = layout.chars;
    size_t begin = 0;
    for (size_t i = 0; i <= chars.size(); ++i) {
        if (i < chars.size() && (single || !is_line_break(chars[i]))) continue;
        breaker.paragraph(begin, i);
        // CR LF is one break.
        if (i + 1 < chars.size() && chars[i] == U'\r' && chars[i + 1] == U'\n') ++i;
        begin = i + 1;
    }
    layout.height = static_cast<int32_t>(std::min<int64_t>(
        int64_t{font.height()} * static_cast<int64_t>(layout.lines.size()), 0x3FFFFFFF));
    return layout;
}

int32_t DrawText(DeviceContext& dc, std::u16string_view text, Rect& rect, uint32_t flags) {
    TextFont* font = dc.font();
    if (!font) return 0;
    const Rect box = rect;
    const TextLayout layout = LayoutText(*font, text, box.width(), flags);
    if (flags & kTextCalcRect) {
        rect.right =
            static_cast<int32_t>(std::min<int64_t>(int64_t{rect.left} + layout.width, 0x7FFFFFFF));
        rect.bottom =
            static_cast<int32_t>(std::min<int64_t>(int64_t{rect.top} + layout.height, 0x7FFFFFFF));
        return layout.height;
    }
    if (!dc.bitmap()) return layout.height;
    const Rect clip = (flags & kTextNoClip) ? dc.clip() : box.normalized().intersect(dc.clip());
    if (clip.empty()) return layout.height;

    const int64_t line_height = font->height();
    int64_t y = box.top;
    if (flags & kTextSingleLine) {
        if (flags & kTextVCenter)
            y = box.top + (int64_t{box.height()} - line_height) / 2;
        else if (flags & kTextBottom)
            y = box.bottom - line_height;
    }
    const Color ink = dc.text_color();
    for (size_t n = 0; n < layout.lines.size(); ++n, y += line_height) {
        const TextLine& line = layout.lines[n];
        if ((flags & kTextEditControl) && n > 0 && y + line_height > box.bottom) break;
        if (y >= clip.bottom) break;
        if (y + line_height <= clip.top) continue;
        int64_t x0 = box.left;
        if (flags & kTextCenter)
            x0 = box.left + (int64_t{box.width()} - line.width) / 2;
        else if (flags & kTextRight)
            x0 = int64_t{box.right} - line.width;
        const int32_t xi = static_cast<int32_t>(std::clamp<int64_t>(x0, -0x3FFFFFFF, 0x3FFFFFFF));
        const int32_t yi = static_cast<int32_t>(y);
        if (dc.background_mode() == BackgroundMode::opaque) {
            const Rect band =
                Rect{xi, yi,
                     static_cast<int32_t>(std::min<int64_t>(int64_t{xi} + line.width, 0x7FFFFFFF)),
                     static_cast<int32_t>(y + line_height)}
                    .intersect(clip);
            dc.fill_rect(band, {dc.background_color(), false});
        }
        for (size_t i = line.begin; i < line.end; ++i) {
            const char32_t c = layout.chars[i];
            if (is_control(c)) continue;
            const int64_t pen = x0 + layout.pen[i];
            if (pen >= clip.right) break;
            const Glyph& g = font->glyph(c);
            const int64_t gx = pen + g.left, gy = y + font->ascent() - g.top;
            if (g.width > 0 && gx < clip.right && gx + g.width > clip.left && gy < clip.bottom &&
                gy + g.height > clip.top)
                dc.blend_mask(static_cast<int32_t>(gx), static_cast<int32_t>(gy), g.coverage.data(),
                              g.width, g.height, g.width, ink, clip);
            if (layout.underline[i]) {
                const int32_t uy = static_cast<int32_t>(y + font->ascent() + 1);
                const int32_t from = static_cast<int32_t>(std::max<int64_t>(pen, clip.left));
                const int32_t to =
                    static_cast<int32_t>(std::min<int64_t>(pen + g.advance, clip.right));
                dc.fill_rect(Rect{from, uy, to, uy + 1}.intersect(clip), {ink, false});
            }
        }
    }
    return layout.height;
}

}  // namespace platform
