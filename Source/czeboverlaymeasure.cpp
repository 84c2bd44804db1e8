#include "Source/czeboverlaymeasure.h"

#include <cmath>

#include "Source/appsettings.h"
#include "Source/czebfont.h"
#include "Source/zebstringutil.h"
#include "platform/device_context.h"

using platform::Point;
using platform::Rect;

void CZEBOverlayMeasure::UpdateLabel(platform::DeviceContext& dc, const Rect& imageRect,
                                     int32_t offsetX, int32_t offsetY, Point origin, double zoom) {
    GetLabelText(m_start, m_end, zoom,
                 LengthScale(ScreenToImage(m_start, offsetX, offsetY, origin, zoom),
                             ScreenToImage(m_end, offsetX, offsetY, origin, zoom)));
    // Measured in the font the label is drawn in.
    CZEBFont font;
    font.Create(SettingsInstance().MeasureFont(), dc);
    ZEBSelectFont selected(dc, font.Get());
    const ZEBTextSize size = MeasureText(dc, m_label);
    m_labelWidth = size.width;
    m_labelHeight = size.height;
    m_labelPos = PlaceMeasureLabel(imageRect, m_labelHeight, m_start, m_end, m_labelWidth);
}

void CZEBOverlayMeasure::Stretch(Point point, platform::DeviceContext& dc, int32_t offsetX,
                                 int32_t offsetY, Point origin, double zoom) {
    const Rect r = GetImageRect(offsetX, offsetY, origin, zoom);
    if (!r.contains(point)) return;
    m_end = point;
    m_lengthMm = 0.0;
    m_hasLine = 1;
    UpdateLabel(dc, r, offsetX, offsetY, origin, zoom);
}

const std::u16string& CZEBOverlayMeasure::GetLabelText(Point start, Point end, double zoom,
                                                       const ZEBLengthScale& scale) {
    if (m_lengthMm != 0.0) return m_label;
    const double dx = double(end.x) - start.x, dy = double(end.y) - start.y;
    const auto length = [&](const ZEBLengthScale& s) {
        double vy = s.perRow;
        if (m_horizontalAspect != 0.0 && m_verticalAspect != 0.0 &&
            m_horizontalAspect != m_verticalAspect)
            vy = vy / (m_verticalAspect / m_horizontalAspect);
        return std::sqrt((dx * s.perColumn) * (dx * s.perColumn) + (dy * vy) * (dy * vy)) / zoom;
    };
    m_lengthMm = length(scale);
    // A spacing so large that the length overflows counts as none.
    const bool millimetres = scale.millimetres && std::isfinite(m_lengthMm);
    if (!millimetres) m_lengthMm = length(ZEBLengthScale{});
    m_label = millimetres ? FormatText(u"%.2fmm%s", m_lengthMm, m_magnified ? u" *" : u"")
                          : FormatText(u"%.2fpx", m_lengthMm);
    return m_label;
}

Point CZEBOverlayMeasure::PlaceMeasureLabel(const Rect& rect, int32_t h, Point start, Point end,
                                            int32_t w) {
    const int32_t x1 = start.x, y1 = start.y, x2 = end.x, y2 = end.y;
    const int32_t A = x1 + 5, B = x1 - w - 5, C = x2 + 5, D = x2 - w - 5;
    const int32_t E = y1 - h - 5, F = y1 + 5, G = y2 - h - 5, H = y2 + 5;
    const int32_t Es = E < rect.top ? y1 : E;
    const int32_t Gs = G < rect.top ? y2 : G;
    Point p;
    if (x2 < x1) {
        if (y2 >= y1) {
            p = {C, H};
            if (y2 + 5 + h > rect.bottom) p = {B, Es};
        } else {
            p = {B, F};
            if (y1 + 5 + h > rect.bottom) p = {C, Gs};
        }
        if (p.x + w > rect.right) p.x = D;
        if (p.x < rect.left) p.x = A;
    } else if (y2 >= y1) {
        p = {D, H};
        if (y2 + 5 + h > rect.bottom) p = {A, Es};
        if (p.x + w > rect.right) p = {B, Es};
        if (p.x < rect.left) p = {A, Es};
    } else {
        p = {A, F};
        if (y1 + 5 + h > rect.bottom) p = {D, Gs};
        if (p.x + w > rect.right) p = {D, Gs};
        if (p.x < rect.left) p.x = C;
    }
    return p;
}

void CZEBOverlayMeasure::DrawEndMarks(platform::DeviceContext& dc, Point p1, Point p2) const {
    const double a = -(std::atan2(double(p2.y) - p1.y, double(p2.x) - p1.x) + 1.570795);
    const int32_t cx = TruncToInt(std::cos(a) * 10), cy = TruncToInt(std::sin(a) * 10);
    const int32_t hx = cx / 2, hy = cy / 2;
    const auto lines = [&](platform::Color color, int32_t width) {
        DrawLine(dc, p1, p2, color, width);
        DrawLine(dc, {p1.x + hx, p1.y - hy}, {p1.x - hx, p1.y + hy}, color, width);
        DrawLine(dc, {p2.x + hx, p2.y - hy}, {p2.x - hx, p2.y + hy}, color, width);
    };
    lines(platform::kBlack, 2);
    lines(platform::kWhite, 1);
}

void CZEBOverlayMeasure::DrawHandles(platform::DeviceContext& dc) const {
    const int32_t right = m_labelPos.x + m_labelWidth, bottom = m_labelPos.y + m_labelHeight;
    for (Point p : {m_start, m_end, m_labelPos, Point{right, m_labelPos.y},
                    Point{m_labelPos.x, bottom}, Point{right, bottom}})
        DrawHandle(dc, p);
}

void CZEBOverlayMeasure::Draw(platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY,
                              Point origin, double zoom) {
    const Rect r = GetImageRect(offsetX, offsetY, origin, zoom);
    CZEBFont font;
    font.Create(SettingsInstance().MeasureFont(), dc);
    ZEBSelectFont selected(dc, font.Get());
    if (m_imageStart.x != -1) {
        m_start = ImageToScreen(m_imageStart, offsetX, offsetY, origin, zoom);
        m_end = ImageToScreen(m_imageEnd, offsetX, offsetY, origin, zoom);
        m_labelPos = ImageToScreen(m_imageLabelPos, offsetX, offsetY, origin, zoom);
    }
    if (m_hasLine) {
        DrawEndMarks(dc, m_start, m_end);
        m_labelPos = PlaceMeasureLabel(r, m_labelHeight, m_start, m_end, m_labelWidth);
        DrawLabel(dc, m_labelPos, m_labelWidth, m_labelHeight, m_label);
    }
    if (m_selected && m_dragPart != kStartPoint && m_dragPart != kEndPoint) DrawHandles(dc);
}

int CZEBOverlayMeasure::HitTest(Point p) const {
    if (HitSegment(m_start, m_end, p)) return 1;
    return p.x >= m_labelPos.x && p.x < m_labelPos.x + m_labelWidth && p.y >= m_labelPos.y &&
                   p.y < m_labelPos.y + m_labelHeight
               ? 1
               : 0;
}

int CZEBOverlayMeasure::BeginDrag(Point p) {
    m_dragAnchor = {-1, -1};
    m_selected = 0;
    m_dragPart = kNone;
    if (HitTest(p)) {
        m_selected = 1;
        m_dragAnchor = p;
        m_imageStart = m_imageEnd = m_imageLabelPos = {-1, -1};
        m_dragPart = GrabSegmentPart(m_start, m_end, p);
    }
    return m_selected;
}

int CZEBOverlayMeasure::Drag(Point p, platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY,
                             Point origin, double zoom) {
    const Rect r = GetImageRect(offsetX, offsetY, origin, zoom);
    const int32_t dx = p.x - m_dragAnchor.x, dy = p.y - m_dragAnchor.y;
    // Moving an end changes the length; moving the whole keeps it.
    if (m_dragPart == kStartPoint || m_dragPart == kEndPoint) m_lengthMm = 0.0;
    int moved = 0;
    if (m_dragPart != kNone) {
        DragSegment(m_dragPart, dx, dy, r, m_start, m_end);
        UpdateLabel(dc, r, offsetX, offsetY, origin, zoom);
        moved = 1;
    }
    m_dragAnchor = ClampIntoRect(r, p);
    return moved;
}

int CZEBOverlayMeasure::EndEdit(int32_t offsetX, int32_t offsetY, Point origin, double zoom) {
    int result = 0;
    if (m_hasLine && m_lengthMm >= 0.0) {
        m_imageStart = ScreenToImage(m_start, offsetX, offsetY, origin, zoom);
        m_imageEnd = ScreenToImage(m_end, offsetX, offsetY, origin, zoom);
        m_imageLabelPos = ScreenToImage(m_labelPos, offsetX, offsetY, origin, zoom);
        result = 1;
    } else {
        m_hasLine = 0;
    }
    m_dragAnchor = {-1, -1};
    m_dragPart = kNone;
    return result;
}
