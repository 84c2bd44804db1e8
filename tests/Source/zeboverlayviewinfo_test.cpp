// Corner annotations drawn in the fixed-cell font, compared pixel for pixel
// with a model of the placement table: margins, centring, wrapping at the
// tile's width, the black shadow under the white text, the display modes.
#include "Source/zeboverlayviewinfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Source/zebimageviewctrl.h"
#include "platform/device_context.h"
#include "platform/text_font.h"

using platform::Bitmap;
using platform::Color;
using platform::Rect;

namespace {

constexpr int32_t kCellW = 5, kCellH = 9, kAscent = 7;
constexpr Color kGrey{128, 128, 128};

// One TEXT item per line.
void Fill(ZEBOverlayViewInfo& info, int32_t location, const std::vector<std::u16string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i) {
        ZEBOverlaySettingInfoItem item;
        item.kind = kOverlayItemText;
        item.text = lines[i];
        item.lineBreak = i + 1 < lines.size();
        info.LocationLines(location)->push_back(item);
    }
}

// Cells of the text lines with the top-left of their box at (x, y), each
// line placed in a box `w` wide by the alignment, clipped to that box.
void PaintCells(Bitmap& b, const std::vector<std::u16string>& lines, int32_t x, int32_t y,
                int32_t w, char align, Color color) {
    const int32_t h = static_cast<int32_t>(lines.size()) * kCellH;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int32_t width = static_cast<int32_t>(lines[i].size()) * kCellW;
        const int32_t lineX = align == 'l' ? x : align == 'c' ? x + (w - width) / 2 : x + w - width;
        for (size_t k = 0; k < lines[i].size(); ++k) {
            if (lines[i][k] == u' ') continue;
            const int32_t cx = lineX + static_cast<int32_t>(k) * kCellW;
            const int32_t cy = y + static_cast<int32_t>(i) * kCellH;
            for (int32_t py = cy; py < cy + kAscent; ++py)
                for (int32_t px = cx; px < cx + kCellW - 1; ++px)
                    if (px >= x && px < x + w && py >= y && py < y + h) b.set_pixel(px, py, color);
        }
    }
}

// The expected picture of one place from the placement table: margin 6,
// centred and middle places at half the free room (toward zero), the black
// text in the moved box and the white one a pixel up and left.
void ModelPlace(Bitmap& b, const Rect& tile, int32_t location,
                const std::vector<std::u16string>& lines) {
    int32_t w = 0;
    for (const std::u16string& line : lines)
        w = std::max(w, static_cast<int32_t>(line.size()) * kCellW);
    const int32_t h = static_cast<int32_t>(lines.size()) * kCellH;
    const int32_t W = tile.width(), H = tile.height();
    static const char kAlign[8] = {'l', 'l', 'l', 'c', 'c', 'r', 'r', 'r'};
    const int32_t dx[8] = {6, 6, 6, (W - w) / 2, (W - w) / 2, W - w - 6, W - w - 6, W - w - 6};
    const int32_t dy[8] = {6, (H - h) / 2, H - h - 6, 6, H - h - 6, 6, (H - h) / 2, H - h - 6};
    const int32_t x = tile.left + dx[location], y = tile.top + dy[location];
    PaintCells(b, lines, x, y, w, kAlign[location], platform::kBlack);
    PaintCells(b, lines, x - 1, y - 1, w, kAlign[location], platform::kWhite);
}

int32_t Differences(const Bitmap& a, const Bitmap& b) {
    int32_t count = 0;
    for (int32_t y = 0; y < a.height(); ++y)
        for (int32_t x = 0; x < a.width(); ++x) count += !(a.pixel(x, y) == b.pixel(x, y));
    return count;
}

TEST(CornerAnnotationDraw, EachPlaceAsTheTableSays) {
    struct Text {
        const char* name;
        std::vector<std::u16string> items;  // one per line
        std::vector<std::u16string> drawn;  // the lines after wrapping
    };
    const std::u16string wide(48, u'X'), exact(40, u'Y');  // 240 and 200 pixels
    const Text texts[] = {
        {"one line", {u"AB"}, {u"AB"}},
        {"three lines", {u"ABCD", u"E F", u"GHIJKLMNO"}, {u"ABCD", u"E F", u"GHIJKLMNO"}},
        {"wraps at the tile width",
         {u"AAAAAAAAAA BBBBBBBBBB CCCCCCCCCC DDDDDDDDDD"},
         {u"AAAAAAAAAA BBBBBBBBBB CCCCCCCCCC", u"DDDDDDDDDD"}},
        {"a word wider than the tile", {wide}, {wide}},
        {"as wide as the tile", {exact, u"Z"}, {exact, u"Z"}},
    };
    const Rect tiles[] = {{0, 0, 200, 120}, {10, 5, 210, 125}};
    platform::FixedCellFont font(kCellW, kCellH, kAscent);
    for (const Rect& tile : tiles) {
        for (const Text& text : texts) {
            for (int32_t location = 0; location < kOverlayLocationCount; ++location) {
                SCOPED_TRACE(std::string(text.name) + " at " + std::to_string(location) +
                             " in a tile at " + std::to_string(tile.left));
                ZEBOverlayViewInfo info;
                Fill(info, location, text.items);
                Bitmap drawn(tile.right + 20, tile.bottom + 15), expected = drawn;
                drawn.fill(kGrey);
                expected.fill(kGrey);
                platform::DeviceContext dc(&drawn);
                info.Draw(dc, tile, 0, &font);
                ModelPlace(expected, tile, location, text.drawn);
                EXPECT_EQ(Differences(drawn, expected), 0);
            }
        }
    }
}

TEST(CornerAnnotationDraw, DisplayModesShowWhatTheDragChanges) {
    ZEBOverlayViewInfo info;
    struct Item {
        int32_t kind;
        std::u16string name, prefix, suffix;
    };
    const Item items[] = {
        {kOverlayItemTag, u"", u"", u""},
        {kOverlayItemText, u"", u"", u""},
        {kOverlayItemMacro, u"Zoom Rate", u"z=", u""},
        {kOverlayItemMacro, u"Window Center", u"c=", u""},
        {kOverlayItemMacro, u"Window Width", u"w=", u""},
        {kOverlayItemMacro, u"DFOV", u"f=", u""},
        {kOverlayItemMacro, u"Page of TotalPages", u"p=", u""},
        {kOverlayItemMacro, u"Zoom", u"u=", u"!"},  // no such macro
    };
    for (const Item& i : items) {
        ZEBOverlaySettingInfoItem item;
        item.kind = i.kind;
        item.name = i.name;
        item.prefix = i.prefix;
        item.suffix = i.suffix;
        item.value = u"tag";
        item.text = u"text";
        item.lineBreak = &i != &items[7];
        info.LocationLines(kLocationLowerLeft)->push_back(item);
    }
    info.m_macroValues[kMacroZoomRate] = u"1.5";
    info.m_macroValues[kMacroWindowCenter] = u"40";
    info.m_macroValues[kMacroWindowWidth] = u"400";
    info.m_macroValues[kMacroDfov] = u"10 x 10";
    info.m_macroValues[kMacroPage] = u"1 of 2";
    const std::u16string all =
        u"tag\r\ntext\r\nz=1.5\r\nc=40\r\nw=400\r\nf=10 x 10\r\np=1 of 2\r\nu=!";
    const std::pair<int32_t, std::u16string> modes[] = {
        {0, all},
        {1, u"\r\n\r\n\r\nc=40\r\nw=400\r\n\r\n\r\n"},
        {2, u"\r\n\r\nz=1.5\r\n\r\n\r\nf=10 x 10\r\n\r\n"},
        {4, u"\r\n\r\n\r\n\r\n\r\nf=10 x 10\r\n\r\n"},
        {8, all},
        {3, all},
    };
    for (const auto& [mode, text] : modes)
        EXPECT_EQ(info.BuildLocationText(info.GetLocationLines(kLocationLowerLeft), mode), text)
            << mode;

    // Zoom and window texts lose ".00" only.
    const std::pair<const char16_t*, const char16_t*> trims[] = {
        {u"1.00", u"1"}, {u"1.05", u"1.05"}, {u"10.50", u"10.50"}, {u".00", u""}, {u"00", u"00"}};
    for (const auto& [before, after] : trims) {
        for (int32_t index = kMacroZoomRate; index <= kMacroWindowWidth; ++index) {
            info.m_macroValues[index] = before;
            info.TrimZeroDecimals(index);
            EXPECT_EQ(info.m_macroValues[index], after);
        }
    }
    info.m_macroValues[kMacroPage] = u"2.00";
    info.TrimZeroDecimals(kMacroPage);
    EXPECT_EQ(info.m_macroValues[kMacroPage], u"2.00");

    // Nothing to draw: the picture and the context stay as they were.
    ZEBOverlayViewInfo empty;
    Bitmap picture(50, 40);
    picture.fill(kGrey);
    platform::DeviceContext dc(&picture);
    platform::FixedCellFont other(2, 3, 2);
    dc.select_font(&other);
    empty.Draw(dc, picture.bounds(), 0);
    EXPECT_EQ(dc.font(), &other);
    EXPECT_EQ(dc.background_mode(), platform::BackgroundMode::opaque);
    EXPECT_EQ(Differences(picture,
                          [] {
                              Bitmap b(50, 40);
                              b.fill(kGrey);
                              return b;
                          }()),
              0);
}

TEST(CornerAnnotationDraw, TilePaintsTheFramesAnnotations) {
    FrameImageInfo frame;
    frame.m_overlay.m_columns = 100;
    frame.m_overlay.m_rows = 100;
    ZEBOverlaySettingInfoItem item;
    item.kind = kOverlayItemMacro;
    item.name = u"Page of TotalPages";
    item.lineBreak = 0;
    frame.m_annotations.LocationLines(kLocationLowerLeft)->push_back(item);
    item.name = u"Zoom Rate";
    frame.m_annotations.LocationLines(kLocationUpperRight)->push_back(item);

    platform::FixedCellFont font(kCellW, kCellH, kAscent);
    ZEBImageViewCtrl tile(160, 100);
    tile.SetFrame(&frame);  // fitted: zoom 1
    tile.SetAnnotationFont(&font);
    tile.SetPage(4, 12);
    tile.Paint();
    Bitmap expected(160, 100);
    ModelPlace(expected, expected.bounds(), kLocationLowerLeft, {u"4 of 12"});
    ModelPlace(expected, expected.bounds(), kLocationUpperRight, {u"1"});
    EXPECT_EQ(Differences(tile.BackBuffer(), expected), 0);

    // During a pan drag only the field of view would show; the page and the
    // zoom give way. Without annotations nothing is drawn.
    tile.SetDisplayMode(kToolPan);
    tile.Paint();
    EXPECT_EQ(Differences(tile.BackBuffer(), Bitmap(160, 100)), 0);
    tile.SetDisplayMode(kToolNone);
    tile.ShowAnnotations(false);
    tile.Paint();
    EXPECT_EQ(Differences(tile.BackBuffer(), Bitmap(160, 100)), 0);
    // The frame's own annotations never receive the tile's values.
    EXPECT_TRUE(frame.m_annotations.m_macroValues[kMacroPage].empty());
}

}  // namespace
