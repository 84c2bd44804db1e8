#include "Source/czeboverlaycommon.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/device_context.h"
#include "platform/draw_text.h"

using platform::Point;
using platform::Rect;

namespace {

// Label texts are shown as typed: no '&' prefixes.
constexpr uint32_t kLabelFlags = platform::kTextWordBreak | platform::kTextExpandTabs |
                                 platform::kTextEditControl | platform::kTextNoPrefix;

}  // namespace

int32_t TruncToInt(double value) {
    constexpr double kLimit = 1073741824.0;  // 2^30
    if (std::isnan(value)) return 0;
    if (value >= kLimit) return 1073741824;
    if (value <= -kLimit) return -1073741824;
    return static_cast<int32_t>(value);
}

int32_t TruncAndShift(double value, int32_t shift) {
    return TruncToInt(double(TruncToInt(value)) + shift);
}

void CZEBOverlayCommon::CopyImageInfo(const CZEBOverlayCommon& other) {
    m_sopClassUid = other.m_sopClassUid;
    m_modality = other.m_modality;
    m_pixelSpacingX = other.m_pixelSpacingX;
    m_pixelSpacingY = other.m_pixelSpacingY;
    m_horizontalAspect = other.m_horizontalAspect;
    m_verticalAspect = other.m_verticalAspect;
    m_columns = other.m_columns;
    m_rows = other.m_rows;
    m_magnified = other.m_magnified;
    m_rescaleType = other.m_rescaleType;
    m_ultrasoundRegions = other.m_ultrasoundRegions;
}

ZEBLengthScale CZEBOverlayCommon::LengthScale(Point a, Point b) const {
    if (m_pixelSpacingX > 0.0 && m_pixelSpacingY > 0.0)
        return {m_pixelSpacingX, m_pixelSpacingY, true};
    const auto holds = [](const ZEBUltrasoundRegion& r, Point p) {
        return r.x0 <= p.x && p.x <= r.x1 && r.y0 <= p.y && p.y <= r.y1;
    };
    for (const ZEBUltrasoundRegion& r : m_ultrasoundRegions)
        if (holds(r, a) && holds(r, b)) return {r.mmPerColumn, r.mmPerRow, true};
    return {};
}

Point CZEBOverlayCommon::ImageToScreen(Point image, int32_t offsetX, int32_t offsetY, Point origin,
                                       double zoom) const {
    return {TruncAndShift((double(image.x) - origin.x) * zoom + 0.5, offsetX),
            TruncAndShift((double(image.y) - origin.y) * m_verticalAspect * zoom + 0.5, offsetY)};
}

Point CZEBOverlayCommon::ScreenToImage(Point screen, int32_t offsetX, int32_t offsetY, Point origin,
                                       double zoom) const {
    return {TruncAndShift((double(screen.x) - offsetX) / zoom + 0.5, origin.x),
            TruncAndShift((double(screen.y) - offsetY) / m_verticalAspect / zoom + 0.5, origin.y)};
}

Rect CZEBOverlayCommon::GetImageRect(int32_t offsetX, int32_t offsetY, Point origin,
                                     double zoom) const {
    const Point topLeft = ImageToScreen({0, 0}, offsetX, offsetY, origin, zoom);
    const Point bottomRight = ImageToScreen({m_columns, m_rows}, offsetX, offsetY, origin, zoom);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void CZEBOverlayCommon::DrawLine(platform::DeviceContext& dc, Point from, Point to,
                                 platform::Color color, int32_t width) {
    const platform::Pen old = dc.select_pen({platform::PenStyle::solid, width, color});
    dc.move_to(from);
    dc.line_to(to);
    dc.select_pen(old);
}

void CZEBOverlayCommon::DrawDottedLine(platform::DeviceContext& dc, Point from, Point to) {
    const platform::BackgroundMode mode =
        dc.set_background_mode(platform::BackgroundMode::transparent);
    const platform::Pen old = dc.select_pen({platform::PenStyle::dot, 1, platform::kWhite});
    dc.move_to(from);
    dc.line_to(to);
    dc.select_pen(old);
    dc.set_background_mode(mode);
}

void CZEBOverlayCommon::DrawLabel(platform::DeviceContext& dc, Point topLeft, int32_t width,
                                  int32_t height, std::u16string_view text) {
    const platform::BackgroundMode mode =
        dc.set_background_mode(platform::BackgroundMode::transparent);
    const platform::Color ink = dc.set_text_color(platform::kBlack);
    Rect shadow{topLeft.x + 1, topLeft.y + 1, topLeft.x + 1 + width, topLeft.y + 1 + height};
    platform::DrawText(dc, text, shadow, kLabelFlags);
    dc.set_text_color(platform::kWhite);
    Rect box{topLeft.x, topLeft.y, topLeft.x + width, topLeft.y + height};
    platform::DrawText(dc, text, box, kLabelFlags);
    dc.set_text_color(ink);
    dc.set_background_mode(mode);
}

void CZEBOverlayCommon::DrawHandle(platform::DeviceContext& dc, Point p) {
    const Rect square{p.x - 4, p.y - 4, p.x + 4, p.y + 4};
    dc.frame_rect(square, {platform::kWhite, false});
    dc.invert_rect(square);
}

int CZEBOverlayCommon::HitSegment(Point from, Point to, Point p) {
    const int64_t left = std::min(from.x, to.x) - int64_t{5};
    const int64_t right = std::max(from.x, to.x) + int64_t{5};
    const int64_t top = std::min(from.y, to.y) - int64_t{5};
    const int64_t bottom = std::max(from.y, to.y) + int64_t{5};
    if (p.x < left || p.x > right || p.y < top || p.y > bottom) return 0;
    const double dx = double(to.x) - from.x, dy = double(to.y) - from.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0.0) return 1;
    const double distance =
        std::fabs(dx * (double(p.y) - from.y) - dy * (double(p.x) - from.x)) / length;
    return std::trunc(distance) < 6.0 ? 1 : 0;
}

Point CZEBOverlayCommon::ClampIntoRect(const Rect& rect, Point p) {
    if (p.x <= rect.left)
        p.x = rect.left + 1;
    else if (p.x >= rect.right)
        p.x = rect.right - 1;
    if (p.y <= rect.top)
        p.y = rect.top + 1;
    else if (p.y >= rect.bottom)
        p.y = rect.bottom - 1;
    return p;
}

int CZEBOverlayCommon::GrabSegmentPart(Point start, Point end, Point p) {
    const auto near = [&](Point q) {
        return q.x - 5 <= p.x && p.x < q.x + 5 && q.y - 5 <= p.y && p.y < q.y + 5;
    };
    return near(start) ? 1 : near(end) ? 2 : 3;
}

void CZEBOverlayCommon::DragSegment(int part, int32_t dx, int32_t dy, const Rect& r, Point& start,
                                    Point& end) {
    switch (part) {
        case 1:
            start = {start.x + dx, start.y + dy};
            if (!r.contains(start)) start = ClampIntoRect(r, start);
            break;
        case 2:
            end = {end.x + dx, end.y + dy};
            if (!r.contains(end)) end = ClampIntoRect(r, end);
            break;
        case 3:
            start = {start.x + dx, start.y + dy};
            end = {end.x + dx, end.y + dy};
            if (!r.contains(start)) {
                const Point c = ClampIntoRect(r, start);
                end = {end.x + c.x - start.x, end.y + c.y - start.y};
                start = c;
            }
            if (!r.contains(end)) {
                const Point c = ClampIntoRect(r, end);
                start = {start.x + c.x - end.x, start.y + c.y - end.y};
                end = c;
            }
            break;
        default:
            break;
    }
}

ZEBTextSize CZEBOverlayCommon::MeasureText(platform::DeviceContext& dc, std::u16string_view text,
                                           uint32_t flags) {
    Rect r{0, 0, 0, 0};
    platform::DrawText(dc, text, r, platform::kTextCalcRect | platform::kTextNoPrefix | flags);
    return {r.width(), r.height()};
}
