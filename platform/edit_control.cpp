#include "platform/edit_control.h"

#include <algorithm>

#include "platform/device_context.h"
#include "platform/draw_text.h"
#include "platform/text_font.h"

namespace platform {
namespace {

constexpr uint32_t kLayoutFlags =
    kTextWordBreak | kTextEditControl | kTextNoPrefix | kTextExpandTabs;

bool high_surrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool low_surrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The index in the laid-out characters of UTF-16 position `pos`.
size_t layout_index(std::u16string_view text, size_t pos) {
    size_t n = 0;
    for (size_t i = 0; i < pos && i < text.size(); ++i, ++n)
        if (high_surrogate(text[i]) && i + 1 < text.size() && low_surrogate(text[i + 1])) ++i;
    return n;
}

std::u16string with_crlf(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            out += u"\r\n";
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

EditControl::~EditControl() {
    if (focused_ && parent_) parent_->on_edit_focus(nullptr);
}

bool EditControl::create(EditParent* parent, uint32_t styles, const Rect& rect, int32_t id) {
    if (!parent || created()) return false;
    parent_ = parent;
    styles_ = styles;
    rect_ = rect;
    id_ = id;
    return true;
}

void EditControl::set_margins(int32_t left, int32_t right) {
    left_margin_ = std::max(left, 0);
    right_margin_ = std::max(right, 0);
}

void EditControl::set_text(std::u16string_view text) {
    text_.assign(text);
    anchor_ = caret_ = 0;
    first_line_ = 0;
}

void EditControl::set_selection(int64_t start, int64_t end) {
    const int64_t length = static_cast<int64_t>(text_.size());
    if (end < 0 || end > length) end = length;
    if (start < 0) {
        anchor_ = caret_ = std::max(anchor_, caret_);
        return;
    }
    anchor_ = static_cast<size_t>(std::min(start, length));
    caret_ = static_cast<size_t>(end);
}

std::pair<size_t, size_t> EditControl::selection() const {
    return {std::min(anchor_, caret_), std::max(anchor_, caret_)};
}

Rect EditControl::format_rect() const {
    Rect r{rect_.left + left_margin_, rect_.top, rect_.right - right_margin_, rect_.bottom};
    if (r.right < r.left) r.right = r.left;
    return r;
}

int32_t EditControl::line_count() const {
    if (!font_) {
        int32_t lines = 1;
        for (char16_t c : text_) lines += c == u'\r';
        return lines;
    }
    const uint32_t flags =
        (styles_ & kEditMultiLine) ? kLayoutFlags : kLayoutFlags | kTextSingleLine;
    const TextLayout layout = LayoutText(*font_, text_, format_rect().width(), flags);
    return static_cast<int32_t>(layout.lines.size());
}

int32_t EditControl::line_of(size_t pos) const {
    if (!font_) return 0;
    const TextLayout layout = LayoutText(*font_, text_, format_rect().width(), kLayoutFlags);
    const size_t k = layout_index(text_, pos);
    int32_t line = 0;
    for (size_t i = 0; i < layout.lines.size(); ++i)
        if (layout.lines[i].begin <= k) line = static_cast<int32_t>(i);
    return line;
}

void EditControl::scroll_caret() {
    if (!font_ || font_->height() <= 0) return;
    const int32_t line = line_of(caret_);
    const int32_t visible = std::max(1, rect_.height() / font_->height());
    if (line < first_line_) first_line_ = line;
    if (line >= first_line_ + visible) first_line_ = line - visible + 1;
}

void EditControl::set_focus() {
    if (focused_) return;
    focused_ = true;
    if (parent_) parent_->on_edit_focus(this);
}

size_t EditControl::step_back(size_t pos) const {
    if (pos == 0) return 0;
    if (pos >= 2 && ((text_[pos - 2] == u'\r' && text_[pos - 1] == u'\n') ||
                     (high_surrogate(text_[pos - 2]) && low_surrogate(text_[pos - 1]))))
        return pos - 2;
    return pos - 1;
}

size_t EditControl::step_forward(size_t pos) const {
    if (pos >= text_.size()) return text_.size();
    if (pos + 1 < text_.size() && ((text_[pos] == u'\r' && text_[pos + 1] == u'\n') ||
                                   (high_surrogate(text_[pos]) && low_surrogate(text_[pos + 1]))))
        return pos + 2;
    return pos + 1;
}

void EditControl::replace_selection(std::u16string_view text, bool all_or_nothing) {
    const auto [start, end] = selection();
    const size_t kept = text_.size() - (end - start);
    const size_t room = limit_ > kept ? limit_ - kept : 0;
    if (text.size() > room) {
        if (all_or_nothing) return;
        size_t cut = room;
        // Never split a line break or a surrogate pair.
        if (cut > 0 && (text[cut - 1] == u'\r' || high_surrogate(text[cut - 1]))) --cut;
        text = text.substr(0, cut);
    }
    if (text.empty() && start == end) return;
    text_.replace(start, end - start, text);
    anchor_ = caret_ = start + text.size();
    scroll_caret();
    if (parent_) parent_->on_edit_notify(*this, id_, kEditUpdate);
}

void EditControl::type_char(char16_t c) {
    if (c == 0x08) {
        if (anchor_ == caret_) anchor_ = step_back(caret_);
        replace_selection({}, true);
        return;
    }
    if (c == u'\r' || c == u'\n') {
        if ((styles_ & kEditMultiLine) && (styles_ & kEditWantReturn))
            replace_selection(u"\r\n", true);
        return;
    }
    if (c < 0x20 && c != u'\t') return;
    replace_selection(std::u16string_view(&c, 1), true);
}

void EditControl::type_text(std::u16string_view text) {
    for (char16_t c : text) type_char(c);
}

void EditControl::paste(std::u16string_view text) {
    std::u16string clean = with_crlf(text);
    if (!(styles_ & kEditMultiLine)) {
        const size_t eol = clean.find(u'\r');
        if (eol != std::u16string::npos) clean.resize(eol);
    }
    replace_selection(clean, false);
}

void EditControl::delete_forward() {
    if (anchor_ == caret_) caret_ = step_forward(caret_);
    replace_selection({}, true);
}

void EditControl::paint(DeviceContext& dc) const {
    if (!(styles_ & kEditVisible)) return;
    dc.fill_rect(rect_, {kWhite, false});
    if (!font_) return;
    const Rect fr = format_rect();
    const int32_t h = font_->height();
    TextFont* old_font = dc.select_font(font_);
    const Color old_ink = dc.set_text_color(kBlack);
    const BackgroundMode old_mode = dc.set_background_mode(BackgroundMode::transparent);
    const Rect old_clip = dc.clip();
    dc.set_clip(rect_.intersect(old_clip));
    const TextLayout layout = LayoutText(*font_, text_, fr.width(), kLayoutFlags);
    const int64_t top = int64_t{fr.top} - int64_t{first_line_} * h;
    Rect box{fr.left, static_cast<int32_t>(std::max<int64_t>(top, -0x3FFFFFFF)), fr.right,
             fr.bottom};
    DrawText(dc, text_, box, kLayoutFlags | kTextNoClip);
    if (focused_) {
        // Selected characters inverted, then the caret as a one-pixel bar.
        const auto [start, end] = selection();
        const size_t from = layout_index(text_, start), to = layout_index(text_, end);
        for (size_t n = 0; n < layout.lines.size(); ++n) {
            const TextLine& line = layout.lines[n];
            const int32_t y = box.top + static_cast<int32_t>(n) * h;
            for (size_t i = std::max(line.begin, from); i < std::min(line.end, to); ++i) {
                const int32_t x = fr.left + layout.pen[i];
                const int32_t next =
                    i + 1 < line.end ? fr.left + layout.pen[i + 1] : fr.left + line.width;
                dc.invert_rect({x, y, std::max(next, x + 1), y + h});
            }
        }
        const size_t k = layout_index(text_, caret_);
        const int32_t line = line_of(caret_);
        const TextLine& l = layout.lines[static_cast<size_t>(line)];
        const int32_t x = fr.left + (k < l.end && k >= l.begin ? layout.pen[k] : l.width);
        const int32_t y = box.top + line * h;
        dc.fill_rect({x, y, x + 1, y + h}, {kBlack, false});
    }
    dc.set_clip(old_clip);
    dc.set_background_mode(old_mode);
    dc.set_text_color(old_ink);
    dc.select_font(old_font);
}

}  // namespace platform
