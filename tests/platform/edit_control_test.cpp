// The edit box: limits, selection, notifications and its line count.
#include "platform/edit_control.h"

#include <gtest/gtest.h>

#include "platform/draw_text.h"
#include "platform/text_font.h"

namespace {

using namespace platform;

struct Parent : EditParent {
    int updates = 0;
    EditControl* focus = nullptr;
    void on_edit_notify(EditControl& edit, int32_t id, uint32_t code) override {
        EXPECT_EQ(id, 101);
        EXPECT_EQ(code, kEditUpdate);
        ++updates;
        // A parent rewriting the text is not called again.
        const auto [start, end] = edit.selection();
        edit.set_text(edit.text());
        edit.set_selection(static_cast<int64_t>(start), static_cast<int64_t>(end));
    }
    void on_edit_focus(EditControl* edit) override { focus = edit; }
};

constexpr uint32_t kStyles = kEditMultiLine | kEditWantReturn | kEditVisible;

TEST(EditControl, UserEditsAreLimitedAndNotified) {
    Parent parent;
    FixedCellFont font(4, 8, 6);
    {
        EditControl edit;
        ASSERT_TRUE(edit.create(&parent, kStyles, {0, 0, 40, 16}, 101));
        EXPECT_FALSE(edit.create(&parent, kStyles, {0, 0, 40, 16}, 101));
        edit.set_font(&font);
        edit.set_limit(5);
        edit.set_text(u"programmatic text beyond the limit");
        EXPECT_EQ(parent.updates, 0);
        edit.set_selection(-1, -1);  // no selection: caret at the old end (0)
        edit.set_selection(0, -1);
        edit.type_text(u"abcdefg");  // replaces everything, then stops at 5
        EXPECT_EQ(edit.text(), u"abcde");
        EXPECT_EQ(parent.updates, 5);
        edit.type_char(0x08);
        edit.type_char(u'\r');  // a line break is two characters
        EXPECT_EQ(edit.text(), u"abcd");
        edit.set_selection(1, 2);
        edit.paste(u"X\nYZ");  // room for two: CR LF is never split, "X" only
        EXPECT_EQ(edit.text(), u"aXcd");
        edit.set_selection(2, 4);
        edit.paste(u"\nY");
        EXPECT_EQ(edit.text(), u"aX\r\nY");
        edit.set_selection(4, 4);
        edit.type_char(0x08);  // the line break goes as a whole
        EXPECT_EQ(edit.text(), u"aXY");
        edit.set_selection(1, 1);
        edit.delete_forward();
        EXPECT_EQ(edit.text(), u"aY");
        edit.set_selection(100, 200);
        EXPECT_EQ(edit.selection(), (std::pair<size_t, size_t>{2, 2}));
        const int before = parent.updates;
        edit.type_char(0x07);   // other control characters are ignored
        edit.delete_forward();  // nothing after the caret: no change, no notice
        EXPECT_EQ(parent.updates, before);
        edit.set_focus();
        EXPECT_EQ(parent.focus, &edit);
    }
    EXPECT_EQ(parent.focus, nullptr);
}

TEST(EditControl, LinesWrapAsDrawTextWraps) {
    Parent parent;
    FixedCellFont font(4, 8, 6);
    EditControl edit;
    edit.create(&parent, kStyles, {0, 0, 28, 16}, 101);
    edit.set_font(&font);
    edit.set_margins(2, 2);  // 24 pixels: six cells
    struct Case {
        const char16_t* text;
        int lines;
    };
    for (const Case& c :
         {Case{u"", 1}, Case{u"abcdef", 1}, Case{u"abcdefg", 2}, Case{u"ab cd ef", 2},
          Case{u"a\r\nb\r\n", 3}, Case{u"abcdefghijklm", 3}}) {
        edit.set_text(c.text);
        EXPECT_EQ(edit.line_count(), c.lines) << static_cast<int>(c.text[0]);
        EXPECT_EQ(edit.line_count(),
                  static_cast<int>(LayoutText(font, c.text, 24,
                                              kTextWordBreak | kTextEditControl | kTextNoPrefix)
                                       .lines.size()));
    }
    edit.set_selection(13, 13);
    edit.scroll_caret();  // third line in a box two lines high
    EXPECT_EQ(edit.first_visible_line(), 1);
    EditControl single;
    single.create(&parent, kEditVisible, {0, 0, 28, 16}, 101);
    single.paste(u"one\r\ntwo");
    single.type_char(u'\r');
    EXPECT_EQ(single.text(), u"one");
}

}  // namespace
