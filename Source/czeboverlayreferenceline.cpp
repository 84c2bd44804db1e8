#include "Source/czeboverlayreferenceline.h"

#include <utility>

#include "Source/appsettings.h"
#include "Source/czebfont.h"
#include "Source/zebreferencegeometry.h"
#include "Source/zebstringutil.h"
#include "platform/device_context.h"
#include "platform/draw_text.h"

using platform::Point;
using platform::Rect;

void CZEBOverlayReferenceLine::Clear() {
    for (ReferenceLineRecord& r : m_records) r = ReferenceLineRecord{};
}

bool CZEBOverlayReferenceLine::AnyShown() const {
    return m_records[kFirst].shown || m_records[kLast].shown || m_records[kCurrent].shown;
}

void CZEBOverlayReferenceLine::DrawLine(platform::DeviceContext& dc, Point from, Point to) {
    DrawLine(dc, from, to, platform::kBlack, 1);
    DrawDottedLine(dc, from, to);
}

Rect CZEBOverlayReferenceLine::PlaceNumber(Point from, Point to, int32_t w, int32_t h,
                                           const Rect& bound) {
    Point left = from, right = to;
    if (right.x < left.x) std::swap(left, right);
    Rect boxes[2];
    if (left.y == right.y) {
        boxes[0] = {left.x - w, left.y - h / 2, left.x, left.y - h / 2 + h};
        boxes[1] = {right.x + 1, right.y - h / 2, right.x + 1 + w, right.y - h / 2 + h};
    } else if (left.x == right.x) {
        Point upper = from, lower = to;
        if (lower.y < upper.y) std::swap(upper, lower);
        boxes[0] = {upper.x - w / 2, upper.y - h, upper.x - w / 2 + w, upper.y};
        boxes[1] = {lower.x - w / 2, lower.y + 1, lower.x - w / 2 + w, lower.y + 1 + h};
    } else {
        const int64_t s = -((int64_t{right.y} - left.y) / (int64_t{right.x} - left.x));
        const int32_t leftTop = s >= 0 ? left.y + 1 : left.y - h / 2;
        const int32_t rightTop = s >= 0 ? right.y - h : right.y + 1;
        boxes[0] = {left.x - w, leftTop, left.x, leftTop + h};
        boxes[1] = {right.x + 1, rightTop, right.x + 1 + w, rightTop + h};
    }
    for (const Rect& box : boxes)
        if (RectContains(box, bound)) return box;
    Rect moved = boxes[0];
    if (FitLabelRect(from, to, moved, bound)) return moved;
    moved = boxes[1];
    FitLabelRect(from, to, moved, bound);
    return moved;
}

void CZEBOverlayReferenceLine::DrawNumber(platform::DeviceContext& dc, Point from, Point to,
                                          int32_t number, const Rect& bound) {
    const std::u16string text = FormatText(u" %ld", static_cast<long>(number));
    CZEBFont font;
    font.Create(SettingsInstance().ReferenceLineFont(), dc);
    ZEBSelectFont selected(dc, font.Get());
    const ZEBTextSize size = MeasureText(dc, text, platform::kTextSingleLine);
    Rect box = PlaceNumber(from, to, size.width, size.height, bound);
    const platform::BackgroundMode mode = dc.set_background_mode(platform::BackgroundMode::opaque);
    const platform::Color background = dc.set_background_color(platform::kBlack);
    const platform::Color ink = dc.set_text_color(platform::kWhite);
    platform::DrawText(dc, text, box, platform::kTextNoPrefix | platform::kTextSingleLine);
    dc.set_text_color(ink);
    dc.set_background_color(background);
    dc.set_background_mode(mode);
}

void CZEBOverlayReferenceLine::Draw(platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY,
                                    Point origin, double zoom, const Rect& bound) {
    Point ends[3][2];
    for (int i = 0; i < 3; ++i) {
        ends[i][0] = ImageToScreen(m_records[i].start, offsetX, offsetY, origin, zoom);
        ends[i][1] = ImageToScreen(m_records[i].end, offsetX, offsetY, origin, zoom);
    }
    const ReferenceLineRecord& current = m_records[kCurrent];
    if (current.shown) {
        DrawLine(dc, ends[kCurrent][0], ends[kCurrent][1], platform::kBlack, 3);
        DrawLine(dc, ends[kCurrent][0], ends[kCurrent][1], platform::kWhite, 2);
    }
    for (int i : {kFirst, kLast}) {
        if (!m_records[i].shown) continue;
        DrawLine(dc, ends[i][0], ends[i][1]);
        DrawNumber(dc, ends[i][0], ends[i][1], m_records[i].number, bound);
    }
    if (current.shown) DrawNumber(dc, ends[kCurrent][0], ends[kCurrent][1], current.number, bound);
}
