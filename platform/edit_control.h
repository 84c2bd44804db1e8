#pragma once
// A multi-line edit box without a window system: it holds its text,
// selection, margins and font, takes typed and pasted text, and tells its
// parent when the user changed the text.
//
//   EditControl edit;
//   edit.create(&parent, kEditMultiLine | kEditWantReturn, {10, 10, 60, 26}, 101);
//   edit.set_font(font);
//   edit.set_limit(255);
//   edit.type_text(u"abc");  // parent.on_edit_notify(edit, 101, kEditUpdate) per character
//
// Only changes made by the user (typing, pasting, deleting) are notified;
// set_text() is not, so a parent may rewrite the text from its notification
// without being called again. Lines wrap at the width between the margins
// as DrawText wraps them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "platform/bitmap.h"

namespace platform {

class DeviceContext;
class EditControl;
class TextFont;

// The text was changed by the user and is about to be shown.
inline constexpr uint32_t kEditUpdate = 0x400;

enum EditStyle : uint32_t {
    kEditMultiLine = 1u << 0,
    kEditAutoVScroll = 1u << 1,
    kEditWantReturn = 1u << 2,  // Enter inserts a line break
    kEditVisible = 1u << 3,
};

class EditParent {
public:
    virtual ~EditParent() = default;
    // Notification `code` of the control with identifier `id`.
    virtual void on_edit_notify(EditControl& edit, int32_t id, uint32_t code) = 0;
    // The control that now takes the keyboard, null when it gave it up.
    virtual void on_edit_focus(EditControl* edit) { (void)edit; }
    // The surface the parent and its children draw on (null: none).
    virtual Bitmap* surface() { return nullptr; }
};

class EditControl {
public:
    static constexpr size_t kDefaultLimit = 30000;

    EditControl() = default;
    EditControl(const EditControl&) = delete;
    EditControl& operator=(const EditControl&) = delete;
    // Gives the keyboard back to the parent when it had it.
    virtual ~EditControl();

    bool create(EditParent* parent, uint32_t styles, const Rect& rect, int32_t id);
    bool created() const { return parent_ != nullptr; }
    EditParent* parent() const { return parent_; }
    int32_t id() const { return id_; }
    uint32_t styles() const { return styles_; }

    const Rect& rect() const { return rect_; }
    void move(const Rect& rect) { rect_ = rect; }

    void set_font(TextFont* font) { font_ = font; }
    TextFont* font() const { return font_; }
    // Most characters the user can bring in; 0 sets the default.
    void set_limit(size_t limit) { limit_ = limit == 0 ? kDefaultLimit : limit; }
    size_t limit() const { return limit_; }
    void set_margins(int32_t left, int32_t right);
    int32_t left_margin() const { return left_margin_; }
    int32_t right_margin() const { return right_margin_; }

    // Sets the text (not limited, not notified); the caret goes to its start.
    void set_text(std::u16string_view text);
    const std::u16string& text() const { return text_; }

    // Selects [start, end) in UTF-16 units, clamped to the text; a negative
    // end means the text's end, a negative start drops the selection and
    // leaves the caret at its end.
    void set_selection(int64_t start, int64_t end);
    // Start and end of the selection, start <= end; the caret is at end.
    std::pair<size_t, size_t> selection() const;

    // Lines of the text as shown (at least 1).
    int32_t line_count() const;
    // Scrolls so that the caret's line shows.
    void scroll_caret();
    int32_t first_visible_line() const { return first_line_; }

    void set_focus();
    bool has_focus() const { return focused_; }

    // User input. A typed character replaces the selection: printable
    // characters and tabs are inserted, '\r' (or '\n') inserts a line break
    // when the box is multi-line and wants returns, 0x08 deletes backwards;
    // a character that does not fit within the limit is refused.
    void type_char(char16_t c);
    void type_text(std::u16string_view text);
    // Pastes over the selection as much as the limit leaves room for; line
    // breaks become CR LF.
    void paste(std::u16string_view text);
    // Deletes the selection, or the character after the caret.
    void delete_forward();

    // White box, black text from the first visible line, the selection
    // inverted and a caret while focused.
    void paint(DeviceContext& dc) const;

private:
    Rect format_rect() const;
    // Replaces the selection by `text`; notifies when the text changed.
    void replace_selection(std::u16string_view text, bool all_or_nothing);
    size_t step_back(size_t pos) const;
    size_t step_forward(size_t pos) const;
    int32_t line_of(size_t pos) const;

    EditParent* parent_ = nullptr;
    uint32_t styles_ = 0;
    int32_t id_ = 0;
    Rect rect_;
    TextFont* font_ = nullptr;
    size_t limit_ = kDefaultLimit;
    int32_t left_margin_ = 0;
    int32_t right_margin_ = 0;
    std::u16string text_;
    size_t anchor_ = 0;
    size_t caret_ = 0;
    int32_t first_line_ = 0;
    bool focused_ = false;
};

}  // namespace platform
