// Text layout and drawing: every flag against a fixed-cell font whose cells
// can be read back from the picture, the measure-then-draw promise with the
// real font, and Japanese glyphs from fontconfig and FreeType.
#include "platform/draw_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/device_context.h"
#include "platform/font_library.h"
#include "platform/text_font.h"

namespace {

using namespace platform;

constexpr int kCellW = 4, kCellH = 8, kAscent = 6;
constexpr Color kRed{255, 0, 0};

// The picture cell by cell: '#' glyph, 'U' underlined glyph, '_' underline
// only, 'r' background colour, '.' nothing.
std::vector<std::string> cells(const Bitmap& bm, int columns, int rows) {
    std::vector<std::string> out;
    for (int r = 0; r < rows; ++r) {
        std::string line;
        for (int c = 0; c < columns; ++c) {
            const Color glyph = bm.pixel(c * kCellW + 1, r * kCellH + 1);
            const Color under = bm.pixel(c * kCellW + 1, r * kCellH + kAscent + 1);
            const bool g = glyph == kWhite, u = under == kWhite;
            line += g && u ? 'U' : g ? '#' : u ? '_' : glyph == kRed ? 'r' : '.';
        }
        while (!line.empty() && line.back() == '.') line.pop_back();
        out.push_back(line);
    }
    while (!out.empty() && out.back().empty()) out.pop_back();
    return out;
}

TEST(DrawText, FlagsOnFixedCells) {
    struct Case {
        const char16_t* text;
        int box_cells_w, box_cells_h;
        uint32_t flags;
        int calc_w, calc_h;  // cells measured with the same flags
        std::vector<std::string> picture;
    };
    const uint32_t wb = kTextWordBreak, ec = kTextEditControl;
    const Case cases[] = {
        {u"ab", 10, 4, 0, 2, 1, {"##"}},
        {u"ab cd", 3, 4, wb, 2, 2, {"##", "##"}},
        {u"ab cd", 5, 4, wb, 5, 1, {"##.##"}},      // measured 5 wide: one line in 5
        {u"ab  cd", 3, 4, wb, 2, 2, {"##", "##"}},  // blanks hang at the break
        {u"abcdef", 4, 4, wb, 6, 1, {"####"}},      // a long word overflows (clipped)
        {u"abcdef", 4, 4, wb | ec, 4, 2, {"####", "##"}},
        {u"a\tb", 20, 4, kTextExpandTabs, 9, 1, {"#.......#"}},
        {u"a\tb", 20, 4, 0, 2, 1, {"##"}},
        {u"a\r\nb\nc\rd", 10, 5, 0, 1, 4, {"#", "#", "#", "#"}},
        {u"a\r\nb\nc", 10, 5, kTextSingleLine, 3, 1, {"###"}},
        {u"a\r\n", 10, 5, 0, 1, 2, {"#"}},
        {u"&ab", 10, 4, 0, 2, 1, {"U#"}},
        {u"a&&b", 10, 4, 0, 3, 1, {"###"}},
        {u"&ab", 10, 4, kTextNoPrefix, 3, 1, {"###"}},
        {u"ab", 6, 4, kTextCenter, 2, 1, {"..##"}},
        {u"ab", 6, 4, kTextRight, 2, 1, {"....##"}},
        {u"ab", 6, 3, kTextSingleLine | kTextVCenter, 2, 1, {"", "##"}},
        {u"ab", 6, 3, kTextSingleLine | kTextBottom, 2, 1, {"", "", "##"}},
        {u"\u65e5\u672c\u8a9e", 2, 4, wb, 2, 2, {"##", "#"}},  // CJK breaks anywhere
        {u"", 6, 3, 0, 0, 1, {}},
    };
    FixedCellFont font(kCellW, kCellH, kAscent);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text)));
        Bitmap bm(12 * kCellW, 6 * kCellH);
        DeviceContext dc(&bm);
        dc.select_font(&font);
        dc.set_text_color(kWhite);
        dc.set_background_mode(BackgroundMode::transparent);
        Rect calc{0, 0, c.box_cells_w * kCellW, 0};
        DrawText(dc, c.text, calc, c.flags | kTextCalcRect);
        EXPECT_EQ(calc.width(), c.calc_w * kCellW);
        EXPECT_EQ(calc.height(), c.calc_h * kCellH);
        Rect box{0, 0, c.box_cells_w * kCellW, c.box_cells_h * kCellH};
        EXPECT_EQ(DrawText(dc, c.text, box, c.flags), c.calc_h * kCellH);
        EXPECT_EQ(cells(bm, 12, 6), c.picture);
    }
}

TEST(DrawText, BackgroundClipAndPartialLines) {
    FixedCellFont font(kCellW, kCellH, kAscent);
    Bitmap bm(12 * kCellW, 4 * kCellH);
    DeviceContext dc(&bm);
    dc.select_font(&font);
    dc.set_text_color(kWhite);
    dc.set_background_color(kRed);
    Rect box{0, 0, 10 * kCellW, 2 * kCellH};
    DrawText(dc, u"a b", box, 0);  // opaque: the blank cell takes the background
    EXPECT_EQ(cells(bm, 12, 4), std::vector<std::string>{"#r#"});

    // A line only partly inside the box: clipped, or left out by kTextEditControl.
    dc.set_background_mode(BackgroundMode::transparent);
    for (uint32_t flags : {0u, uint32_t{kTextEditControl}}) {
        bm.fill(kBlack);
        Rect half{0, 0, 10 * kCellW, kCellH + kCellH / 2};
        DrawText(dc, u"a\nb", half, flags);
        EXPECT_EQ(bm.pixel(1, 1), kWhite);
        EXPECT_EQ(bm.pixel(1, kCellH + 1), flags ? kBlack : kWhite);
        EXPECT_EQ(bm.pixel(1, kCellH + kCellH / 2), kBlack);  // below the box
    }
    // The context's clip holds even with kTextNoClip.
    bm.fill(kBlack);
    dc.set_clip({0, 0, kCellW, kCellH});
    Rect wide{0, 0, 10 * kCellW, kCellH};
    DrawText(dc, u"ab", wide, kTextNoClip);
    EXPECT_EQ(cells(bm, 12, 4), std::vector<std::string>{"#"});
    // No font: nothing measured or drawn.
    DeviceContext bare(&bm);
    EXPECT_EQ(DrawText(bare, u"ab", wide, 0), 0);
}

// A text measured w wide lays out in w without a break, with the real font,
// tabs, blanks, Japanese text and several lines.
TEST(DrawText, MeasuredWidthDrawsUnbroken) {
    std::shared_ptr<FreeTypeFont> font = open_font({u"", 13, 400});
    ASSERT_NE(font, nullptr);
    const std::u16string pieces[] = {u"R&D", u" ",  u"\t",   u"12.50mm", u"\u65e5\u672c",
                                     u"W",   u"ii", u"\r\n", u"  ",      u"\u30c6\u30ad"};
    std::mt19937 rng(7);
    for (int n = 0; n < 300; ++n) {
        std::u16string text;
        const int parts = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < parts; ++i) text += pieces[rng() % std::size(pieces)];
        const uint32_t flags = kTextExpandTabs | kTextNoPrefix;
        const TextLayout measured = LayoutText(*font, text, 0, flags);
        const TextLayout drawn =
            LayoutText(*font, text, measured.width, flags | kTextWordBreak | kTextEditControl);
        EXPECT_EQ(drawn.lines.size(), measured.lines.size()) << n;
        EXPECT_EQ(drawn.width, measured.width) << n;
    }
}

TEST(FontLibrary, FacesByNameAndJapaneseStandIn) {
    std::shared_ptr<FreeTypeFont> named = open_font({u"IPAGothic", points_to_pixels(10), 400});
    ASSERT_NE(named, nullptr);
    EXPECT_TRUE(named->found_by_name());
    EXPECT_EQ(named->family(), "IPAGothic");
    EXPECT_EQ(open_font({u"ipagothic", points_to_pixels(10), 400})->family(), "IPAGothic");
    EXPECT_EQ(open_font({u"IPAGothic", 13, 400}), named);  // shared
    EXPECT_EQ(points_to_pixels(10), 13);
    EXPECT_EQ(points_to_pixels(8), 11);
    EXPECT_EQ(points_to_pixels(9), 12);

    std::shared_ptr<FreeTypeFont> standIn = open_font({u"MS UI Gothic", 13, 400});
    ASSERT_NE(standIn, nullptr);
    EXPECT_FALSE(standIn->found_by_name());
    Bitmap bm(200, 40);
    DeviceContext dc(&bm);
    dc.select_font(standIn.get());
    dc.set_text_color(kWhite);
    dc.set_background_mode(BackgroundMode::transparent);
    Rect box{0, 0, 200, 40};
    DrawText(dc, u"\u65e5\u672c\u8a9e\u306e\u30c6\u30ad\u30b9\u30c8", box, 0);
    int lit = 0;
    for (uint8_t v : bm.bytes()) lit += v > 128;
    EXPECT_GT(lit, 150);
    EXPECT_GT(standIn->glyph(U'\u8a9e').width, 4);
    EXPECT_GE(standIn->height(), 13);

    // A character the chosen face lacks comes from another face that has it
    // (Hebrew from DejaVu Sans, which the test machines install).
    const Glyph& alef = named->glyph(U'\u05D0');
    const Glyph& missing = named->glyph(U'\U0010FFFD');  // no face has it: the missing-glyph box
    EXPECT_GT(alef.width, 2);
    EXPECT_NE(alef.coverage, missing.coverage);

    // Bold is heavier.
    auto ink = [](const Glyph& g) {
        long sum = 0;
        for (uint8_t v : g.coverage) sum += v;
        return sum;
    };
    std::shared_ptr<FreeTypeFont> bold = open_font({u"IPAGothic", 13, 700});
    EXPECT_GT(ink(bold->glyph(U'H')), ink(named->glyph(U'H')));
}

}  // namespace
