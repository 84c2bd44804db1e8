#include "Source/czeboverlayarrow.h"

#include <cmath>
#include <numbers>
#include <utility>

#include "platform/device_context.h"

using platform::Point;
using platform::Rect;

void CZEBOverlayArrow::HeadPoints(Point tip, Point tail, Point& left, Point& right) {
    const double back = std::atan2(double(tail.y) - tip.y, double(tail.x) - tip.x);
    const double spread = kHeadDegrees * std::numbers::pi / 180.0;
    const auto stroke = [&](double angle) {
        return Point{tip.x + TruncToInt(std::round(std::cos(angle) * kHeadLength)),
                     tip.y + TruncToInt(std::round(std::sin(angle) * kHeadLength))};
    };
    left = stroke(back - spread);
    right = stroke(back + spread);
}

void CZEBOverlayArrow::Stretch(Point point, platform::DeviceContext&, int32_t offsetX,
                               int32_t offsetY, Point origin, double zoom) {
    if (!GetImageRect(offsetX, offsetY, origin, zoom).contains(point)) return;
    m_end = point;
    m_hasLine = 1;
}

int CZEBOverlayArrow::EndEdit(int32_t offsetX, int32_t offsetY, Point origin, double zoom) {
    int result = 0;
    if (m_hasLine && m_start != m_end) {
        m_imageStart = ScreenToImage(m_start, offsetX, offsetY, origin, zoom);
        m_imageEnd = ScreenToImage(m_end, offsetX, offsetY, origin, zoom);
        result = 1;
    } else {
        m_hasLine = 0;
    }
    m_dragAnchor = {-1, -1};
    m_dragPart = kNone;
    return result;
}

int CZEBOverlayArrow::HitTest(Point p) const {
    if (!m_hasLine) return 0;
    Point left, right;
    HeadPoints(m_start, m_end, left, right);
    return HitSegment(m_start, m_end, p) || HitSegment(m_start, left, p) ||
                   HitSegment(m_start, right, p)
               ? 1
               : 0;
}

int CZEBOverlayArrow::BeginDrag(Point p) {
    m_dragAnchor = {-1, -1};
    m_selected = 0;
    m_dragPart = kNone;
    if (HitTest(p)) {
        m_selected = 1;
        m_dragAnchor = p;
        m_imageStart = m_imageEnd = {-1, -1};
        m_dragPart = GrabSegmentPart(m_start, m_end, p);
    }
    return m_selected;
}

int CZEBOverlayArrow::Drag(Point p, platform::DeviceContext&, int32_t offsetX, int32_t offsetY,
                           Point origin, double zoom) {
    const Rect r = GetImageRect(offsetX, offsetY, origin, zoom);
    DragSegment(m_dragPart, p.x - m_dragAnchor.x, p.y - m_dragAnchor.y, r, m_start, m_end);
    m_dragAnchor = ClampIntoRect(r, p);
    return m_dragPart != kNone ? 1 : 0;
}

void CZEBOverlayArrow::Draw(platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY,
                            Point origin, double zoom) {
    if (m_imageStart.x != -1) {
        m_start = ImageToScreen(m_imageStart, offsetX, offsetY, origin, zoom);
        m_end = ImageToScreen(m_imageEnd, offsetX, offsetY, origin, zoom);
    }
    if (!m_hasLine) return;
    Point left, right;
    HeadPoints(m_start, m_end, left, right);
    for (const auto& [color, width] :
         {std::pair{platform::kBlack, 2}, std::pair{platform::kWhite, 1}}) {
        DrawLine(dc, m_end, m_start, color, width);
        DrawLine(dc, m_start, left, color, width);
        DrawLine(dc, m_start, right, color, width);
    }
    if (m_selected && m_dragPart != kTip && m_dragPart != kTail) {
        DrawHandle(dc, m_start);
        DrawHandle(dc, m_end);
    }
}
