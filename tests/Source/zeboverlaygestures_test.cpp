// Measurements and texts made, moved, edited and deleted through the tile's
// gestures, commands and keyboard.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>

#include "Source/zebstringutil.h"
#include "platform/device_context.h"
#include "platform/draw_text.h"
#include "tests/Source/overlay_scene.h"

namespace {

using overlaytest::Scene;
using platform::Point;
using platform::Rect;

const CZEBOverlayMeasure& last_measure(const Scene& s) {
    return *s.overlays().Measurements().rbegin()->second;
}

CZEBOverlayText& only_text(Scene& s) {
    EXPECT_EQ(s.overlays().Texts().size(), 1u);
    return *s.overlays().Texts().begin()->second;
}

// Lengths follow the image, not the screen: unequal spacings, three zooms.
TEST(MeasureGestures, LengthsAgreeWithImageDistances) {
    std::mt19937 rng(18);
    for (double zoom : {0.5, 1.0, 2.0}) {
        Scene s(300, 200, 0.4, 0.7);
        s.zoom(zoom);
        for (int n = 0; n < 25; ++n) {
            const Point a{static_cast<int32_t>(rng() % 300), static_cast<int32_t>(rng() % 200)};
            const Point b{static_cast<int32_t>(rng() % 300), static_cast<int32_t>(rng() % 200)};
            const Point sa = s.screen(a), sb = s.screen(b);
            if (sa == sb) continue;
            s.drag(sa, sb);
            const CZEBOverlayMeasure& m = last_measure(s);
            const double expected = std::hypot((b.x - a.x) * 0.4, (b.y - a.y) * 0.7);
            // One screen pixel is 0.4 / zoom mm both across and down.
            EXPECT_NEAR(m.m_lengthMm, expected, std::sqrt(2.0) * 0.4 / zoom + 1e-9)
                << "zoom " << zoom << " case " << n;
            EXPECT_EQ(m.m_label, FormatText(u"%.2fmm", m.m_lengthMm));
            EXPECT_LE(std::abs(m.m_imageStart.x - a.x), 1 / zoom);
            EXPECT_LE(std::abs(m.m_imageEnd.y - b.y), 1 / zoom);
            if (n < 24) s.frame.m_overlay.RemoveAll();  // the next press must not grab it
        }
        // The same measurement shown at another zoom keeps its image points.
        const Point before = last_measure(s).m_imageEnd;
        s.zoom(zoom * 2);
        s.tile.Paint();
        const CZEBOverlayMeasure& m = last_measure(s);
        EXPECT_EQ(m.m_end, s.screen(before));
    }
}

TEST(MeasureGestures, ClicksMarksClampingAndDeletion) {
    Scene s(200, 100, 0.5, 0.5, /*magnified*/ 1);
    s.zoom(2.0);
    const Rect r = s.image_rect();
    // A bare click, a press outside the image and a drag that never reaches
    // the image leave nothing.
    s.tile.OnLButtonDown(s.screen({50, 50}));
    s.tile.OnLButtonUp(s.screen({50, 50}));
    s.drag({r.left - 5, r.top + 5}, {r.left + 50, r.top + 50});
    s.tile.OnLButtonDown(s.screen({50, 50}));
    s.tile.OnMouseMove({r.right + 40, r.top + 10});
    s.tile.OnLButtonUp({r.right + 40, r.top + 10});
    EXPECT_TRUE(s.overlays().Measurements().empty());

    // A magnified spacing marks the label.
    s.drag(s.screen({40, 50}), s.screen({100, 50}));
    ASSERT_EQ(s.overlays().Measurements().size(), 1u);
    const CZEBOverlayMeasure& m = last_measure(s);
    EXPECT_EQ(m.m_label, u"30.00mm *");

    // Dragging the whole segment far left stops one pixel inside the image
    // with its length and label unchanged; handles show meanwhile.
    const Point middle = s.screen({70, 50});
    s.tile.OnLButtonDown(middle);
    EXPECT_EQ(m.m_dragPart, CZEBOverlayMeasure::kWhole);
    s.tile.OnMouseMove({middle.x - 1000, middle.y});
    EXPECT_EQ(s.tile.DisplayMode(), kToolMeasure);
    EXPECT_EQ(m.m_start.x, r.left + 1);
    EXPECT_EQ(m.m_end.x - m.m_start.x, 120);
    EXPECT_EQ(m.m_label, u"30.00mm *");
    s.tile.Paint();
    EXPECT_EQ(s.tile.BackBuffer().pixel(m.m_start.x - 3, m.m_start.y - 3), platform::kWhite);
    s.tile.OnLButtonUp({middle.x - 1000, middle.y});
    EXPECT_EQ(s.tile.DisplayMode(), kToolNone);

    // Dragging an end point recomputes the length and hides the handles.
    s.tile.OnLButtonDown(m.m_end);
    EXPECT_EQ(m.m_dragPart, CZEBOverlayMeasure::kEndPoint);
    s.tile.OnMouseMove({m.m_end.x + 20, m.m_end.y});
    EXPECT_EQ(m.m_label, u"35.00mm *");
    s.tile.Paint();
    EXPECT_EQ(s.tile.BackBuffer().pixel(m.m_start.x - 3, m.m_start.y - 3), platform::kBlack);
    s.tile.OnLButtonUp({m.m_end.x, m.m_end.y});

    // The selected measurement goes with its delete command; texts have none.
    EXPECT_FALSE(s.tile.OnCommand(kCommandDeleteText));
    EXPECT_TRUE(s.tile.OnCommand(kCommandDeleteMeasure));
    EXPECT_TRUE(s.overlays().Measurements().empty());
    EXPECT_FALSE(s.tile.OnCommand(kCommandDeleteMeasure));
}

TEST(MeasureGestures, LabelPlacement) {
    struct Case {
        Point start, end, label;
    };
    const Case cases[] = {
        {{100, 20}, {50, 40}, {55, 45}},    // end left and below: right of it, below
        {{100, 20}, {50, 90}, {55, 5}},     // ... no room below: above the start
        {{100, 60}, {50, 20}, {55, 65}},    // end left and above: below the start
        {{190, 20}, {170, 40}, {125, 45}},  // no room right: left of the end
        {{50, 20}, {100, 40}, {55, 45}},    // end right and below
        {{5, 20}, {20, 40}, {10, 5}},       // ... no room left: right of the start, above
        {{50, 60}, {100, 20}, {55, 65}},    // end right and above
        {{50, 90}, {100, 20}, {55, 5}},     // ... no room below: above the end
        {{50, 90}, {100, 5}, {55, 5}},      // ... nor above it: at its height
    };
    for (const Case& c : cases)
        EXPECT_EQ(CZEBOverlayMeasure::PlaceMeasureLabel({0, 0, 200, 100}, 10, c.start, c.end, 40),
                  c.label)
            << c.start.x << "," << c.start.y << " " << c.end.x << "," << c.end.y;
}

// Sizes of a text in the font the text overlay uses.
ZEBTextSize measure(CZEBOverlayText& t, std::u16string_view text, uint32_t flags = 0) {
    platform::DeviceContext dc;
    dc.select_font(t.m_font.Get());
    return CZEBOverlayCommon::MeasureText(dc, text, platform::kTextExpandTabs | flags);
}

TEST(TextGestures, TypingGrowsTheBoxInsideTheImage) {
    Scene s(300, 200, 0.5, 0.5);
    s.zoom(1.0);
    s.tile.SetToolMode(kToolText);
    const Rect r = s.image_rect();
    // A click and an end without typing leave nothing.
    s.drag({r.left + 100, r.top + 50}, {r.left + 100, r.top + 50});
    ASSERT_NE(s.tile.FocusedEdit(), nullptr);
    s.drag({r.left + 10, r.top + 10}, {r.left + 10, r.top + 10});
    EXPECT_TRUE(s.overlays().Texts().empty());
    EXPECT_EQ(s.tile.FocusedEdit(), nullptr);

    s.drag({r.left + 150, r.top + 50}, {r.left + 150, r.top + 50});
    CZEBOverlayText& t = only_text(s);
    const int32_t centre = t.m_pos.x + t.m_width / 2;
    for (char16_t c : std::u16string(u"Hello there")) s.tile.OnChar(c);
    EXPECT_EQ(t.m_editBox->text(), u"Hello there");
    EXPECT_EQ(t.m_width, std::max(measure(t, u"Hello there").width + 4 * t.m_margin, t.m_minWidth));
    EXPECT_EQ(t.m_height, t.m_lineHeight);
    EXPECT_LE(std::abs(t.m_pos.x + t.m_width / 2 - centre), 6);  // grew to both sides
    EXPECT_EQ(t.m_editBox->rect(), t.m_boxRect);

    // Tabs disappear and the caret keeps its place.
    t.m_editBox->set_selection(5, 5);
    s.tile.OnChar(u'\t');
    EXPECT_EQ(t.m_editBox->text(), u"Hello there");
    EXPECT_EQ(t.m_editBox->selection(), (std::pair<size_t, size_t>{5, 5}));

    // A long line stops at the image's width and borders; 255 characters at most.
    t.m_editBox->set_selection(-1, -1);
    for (int i = 0; i < 300; ++i) s.tile.OnChar(u'W');
    EXPECT_EQ(t.m_editBox->text().size(), 255u);
    EXPECT_EQ(t.m_width, r.width());
    EXPECT_EQ(t.m_pos.x, r.left);

    // A paste of three lines sizes the box to three lines.
    t.m_editBox->set_selection(0, -1);
    s.tile.OnPaste(u"one\r\ntwo\tand tab\nthree");
    EXPECT_EQ(t.m_editBox->text(), u"one\r\ntwoand tab\r\nthree");
    EXPECT_EQ(t.m_height, 3 * t.m_lineHeight);

    // Ending the edit keeps the text at its image position.
    s.drag({r.left + 5, r.bottom - 5}, {r.left + 5, r.bottom - 5});
    EXPECT_EQ(t.m_editBox, nullptr);
    EXPECT_EQ(t.m_text, u"one\r\ntwoand tab\r\nthree");
    EXPECT_EQ(t.m_imagePos, s.frame.m_overlay.ScreenToImage(t.m_pos, 20, 10, {0, 0}, 1.0));
}

TEST(TextGestures, MovingReopeningAndDeleting) {
    Scene s(300, 200, 0.5, 0.5);
    s.zoom(1.0);
    s.tile.SetToolMode(kToolText);
    const Rect r = s.image_rect();
    s.drag({r.left + 100, r.top + 100}, {r.left + 100, r.top + 100});
    s.tile.OnPaste(u"R&D");
    s.drag({r.left + 5, r.top + 5}, {r.left + 5, r.top + 5});  // ends the edit
    CZEBOverlayText& t = only_text(s);
    s.tile.Paint();
    // Shown as typed: wider than "RD" would be.
    EXPECT_EQ(t.m_width, measure(t, u"R&D").width);
    EXPECT_GT(t.m_width, measure(t, u"RD").width);

    // Moved against the image border it stops two pixels inside.
    const Point grab{t.m_pos.x + 2, t.m_pos.y + 2};
    s.drag(grab, {grab.x + 5000, grab.y + 5000});
    EXPECT_EQ(t.m_pos.x + t.m_width, r.right - 2);
    EXPECT_EQ(t.m_pos.y + t.m_height, r.bottom - 2);
    EXPECT_EQ(t.m_selected, 1);

    // Reopened by a double click, typing goes on at the end.
    s.tile.OnLButtonDblClk({t.m_pos.x + 1, t.m_pos.y + 1});
    ASSERT_NE(t.m_editBox, nullptr);
    EXPECT_EQ(t.m_editBox->text(), u"R&D");
    s.tile.OnChar(u'!');
    EXPECT_EQ(t.m_editBox->text(), u"R&D!");
    // Emptied, the text is deleted when the edit ends.
    for (int i = 0; i < 4; ++i) s.tile.OnChar(0x08);
    s.drag({r.left + 5, r.top + 5}, {r.left + 5, r.top + 5});
    EXPECT_TRUE(s.overlays().Texts().empty());

    // A selected text goes with its delete command.
    s.drag({r.left + 50, r.top + 50}, {r.left + 50, r.top + 50});
    s.tile.OnChar(u'x');
    s.drag({r.left + 5, r.top + 5}, {r.left + 5, r.top + 5});
    CZEBOverlayText& x = only_text(s);
    EXPECT_FALSE(s.tile.OnCommand(kCommandDeleteText));
    s.drag({x.m_pos.x + 1, x.m_pos.y + 1}, {x.m_pos.x + 1, x.m_pos.y + 1});
    EXPECT_TRUE(s.tile.OnCommand(kCommandDeleteText));
    EXPECT_TRUE(s.overlays().Texts().empty());
}

const CZEBOverlayArrow& only_arrow(const Scene& s) {
    EXPECT_EQ(s.overlays().Arrows().size(), 1u);
    return *s.overlays().Arrows().begin()->second;
}

// The arrowhead against a model: each stroke end is the tip plus the unit
// vector toward the tail turned by 30 degrees either way, 10 pixels long,
// rounded to the nearest pixel.
TEST(ArrowGestures, HeadStrokesAgainstAModel) {
    for (int degrees = 0; degrees < 360; degrees += 5) {
        for (double length : {1.0, 7.0, 60.0}) {
            const double a = degrees * std::numbers::pi / 180;
            const Point tip{100, 80};
            const Point tail{tip.x + int32_t(std::lround(length * std::cos(a))),
                             tip.y + int32_t(std::lround(length * std::sin(a)))};
            if (tail == tip) continue;
            const double ux = tail.x - tip.x, uy = tail.y - tip.y, n = std::hypot(ux, uy);
            const double c = std::cos(std::numbers::pi / 6), sn = std::sin(std::numbers::pi / 6);
            const double model[2][2] = {
                {tip.x + 10 * (ux * c + uy * sn) / n, tip.y + 10 * (uy * c - ux * sn) / n},
                {tip.x + 10 * (ux * c - uy * sn) / n, tip.y + 10 * (uy * c + ux * sn) / n}};
            Point head[2];
            CZEBOverlayArrow::HeadPoints(tip, tail, head[0], head[1]);
            for (int i = 0; i < 2; ++i) {
                EXPECT_LE(std::abs(head[i].x - model[i][0]), 0.5 + 1e-9)
                    << degrees << " " << length;
                EXPECT_LE(std::abs(head[i].y - model[i][1]), 0.5 + 1e-9)
                    << degrees << " " << length;
            }
        }
    }
}

TEST(ArrowGestures, MadeMovedAndDeletedLikeMeasurements) {
    Scene s(200, 100, 0.5, 0.5);
    s.zoom(2.0);
    s.tile.SetToolMode(kToolArrow);
    const Rect r = s.image_rect();
    // A bare click, a press outside the image and a drag that never reaches
    // the image make no arrow.
    s.drag(s.screen({50, 50}), s.screen({50, 50}));
    s.drag({r.left - 5, r.top + 5}, {r.left + 50, r.top + 50});
    s.tile.OnLButtonDown(s.screen({50, 50}));
    s.tile.OnMouseMove({r.right + 40, r.top + 10});
    EXPECT_EQ(s.tile.DisplayMode(), kToolArrow);
    s.tile.OnLButtonUp({r.right + 40, r.top + 10});
    EXPECT_TRUE(s.overlays().Arrows().empty());

    // The press is the tip; both ends are kept in image pixels and follow
    // the zoom.
    s.drag(s.screen({40, 50}), s.screen({100, 70}));
    const CZEBOverlayArrow& a = only_arrow(s);
    EXPECT_EQ(a.m_imageStart, (Point{40, 50}));
    EXPECT_EQ(a.m_imageEnd, (Point{100, 70}));
    s.zoom(1.0, 5, 7);
    s.tile.Paint();
    EXPECT_EQ(a.m_start, s.screen({40, 50}));
    EXPECT_EQ(a.m_end, s.screen({100, 70}));
    s.zoom(2.0);
    s.tile.Paint();

    // Grabbed by its shaft the whole arrow moves, stopping one pixel inside
    // the image with its shape kept; handles show meanwhile.
    const Point middle = s.screen({70, 60});
    s.tile.OnLButtonDown(middle);
    EXPECT_EQ(a.m_dragPart, CZEBOverlayArrow::kWhole);
    EXPECT_EQ(a.m_selected, 1);
    s.tile.OnMouseMove({middle.x - 1000, middle.y});
    EXPECT_EQ(a.m_start.x, r.left + 1);
    EXPECT_EQ((Point{a.m_end.x - a.m_start.x, a.m_end.y - a.m_start.y}), (Point{120, 40}));
    s.tile.Paint();
    EXPECT_EQ(s.tile.BackBuffer().pixel(a.m_end.x - 3, a.m_end.y - 3), platform::kWhite);
    s.tile.OnLButtonUp({middle.x - 1000, middle.y});
    EXPECT_EQ(a.m_imageStart, (Point{1, 50}));

    // Grabbed by its tip only the tip moves; the handles hide.
    const Point tail = a.m_end;
    s.tile.OnLButtonDown(a.m_start);
    EXPECT_EQ(a.m_dragPart, CZEBOverlayArrow::kTip);
    s.tile.OnMouseMove({a.m_start.x + 20, a.m_start.y + 10});
    s.tile.Paint();
    EXPECT_EQ(s.tile.BackBuffer().pixel(tail.x - 3, tail.y - 3), platform::kBlack);
    s.tile.OnLButtonUp({a.m_start.x, a.m_start.y});
    EXPECT_EQ(a.m_imageStart, (Point{11, 55}));
    EXPECT_EQ(a.m_end, tail);

    // Measurements and arrows share one selection and one delete command;
    // the text command leaves arrows alone.
    s.tile.SetToolMode(kToolMeasure);
    s.drag(s.screen({20, 10}), s.screen({90, 10}));
    ASSERT_EQ(s.overlays().Measurements().size(), 1u);
    const CZEBOverlayMeasure& m = *s.overlays().Measurements().begin()->second;
    s.tile.OnLButtonDown(s.screen({50, 10}));
    s.tile.OnLButtonUp(s.screen({50, 10}));
    EXPECT_EQ(m.m_selected, 1);
    s.tile.SetToolMode(kToolArrow);
    s.tile.OnLButtonDown(a.m_end);
    s.tile.OnLButtonUp(a.m_end);
    EXPECT_EQ(m.m_selected, 0);
    EXPECT_EQ(a.m_selected, 1);
    EXPECT_FALSE(s.tile.OnCommand(kCommandDeleteText));
    EXPECT_TRUE(s.tile.OnCommand(kCommandDeleteMeasure));
    EXPECT_TRUE(s.overlays().Arrows().empty());
    EXPECT_EQ(s.overlays().Measurements().size(), 1u);
    EXPECT_FALSE(s.tile.OnCommand(kCommandDeleteMeasure));
}

}  // namespace
