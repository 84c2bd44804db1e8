#pragma once
// One distance measurement on a frame: a segment between two image points
// with a perpendicular tick at each end and its length in millimetres as a
// label ("%.2fmm", " *" behind when the spacing was corrected by a
// magnification factor), or in image pixels ("%.2fpx") when the image gives
// no physical size of its pixels there.
//
// The overlay manager creates it at a press in measure mode (start := the
// press point), calls Stretch while the button is held and EndEdit at the
// release (a measurement that never got a line is deleted). Selected, it
// moves by BeginDrag / Drag / EndEdit: an end point alone or the whole
// segment.
#include <string>

#include "Source/czeboverlaycommon.h"

class CZEBOverlayMeasure : public CZEBOverlayCommon {
public:
    CZEBOverlayMeasure() = default;
    ~CZEBOverlayMeasure() override = default;

    void Stretch(platform::Point point, platform::DeviceContext& dc, int32_t offsetX,
                 int32_t offsetY, platform::Point origin, double zoom);
    // 1 when the overlay holds a line (its image positions are then fixed).
    int EndEdit(int32_t offsetX, int32_t offsetY, platform::Point origin, double zoom);
    int HitTest(platform::Point point) const;
    // Selects the measurement when the point hits it and picks what moves.
    int BeginDrag(platform::Point point);
    // 1 when something moved.
    int Drag(platform::Point point, platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY,
             platform::Point origin, double zoom);
    void Draw(platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY, platform::Point origin,
              double zoom);
    // The label of the segment between two screen points at the zoom, its
    // length in the scale's unit (computed once: kept while m_lengthMm is
    // not 0).
    const std::u16string& GetLabelText(platform::Point start, platform::Point end, double zoom,
                                       const ZEBLengthScale& scale);

    // Where the label box goes for a segment within the rectangle.
    static platform::Point PlaceMeasureLabel(const platform::Rect& rect, int32_t labelHeight,
                                             platform::Point start, platform::Point end,
                                             int32_t labelWidth);

    enum DragPart { kNone = 0, kStartPoint = 1, kEndPoint = 2, kWhole = 3 };

    int m_selected = 0;
    platform::Point m_start{-1, -1};
    platform::Point m_end{-1, -1};
    platform::Point m_labelPos{-1, -1};
    platform::Point m_imageStart{-1, -1};
    platform::Point m_imageEnd{-1, -1};
    platform::Point m_imageLabelPos{-1, -1};
    std::u16string m_label;
    int32_t m_labelWidth = 60;
    int32_t m_labelHeight = 16;
    platform::Point m_dragAnchor{-1, -1};
    int m_dragPart = kNone;
    int m_hasLine = 0;
    double m_lengthMm = 0.0;  // in the label's unit (millimetres or pixels)

private:
    void UpdateLabel(platform::DeviceContext& dc, const platform::Rect& imageRect, int32_t offsetX,
                     int32_t offsetY, platform::Point origin, double zoom);
    void DrawEndMarks(platform::DeviceContext& dc, platform::Point p1, platform::Point p2) const;
    void DrawHandles(platform::DeviceContext& dc) const;
};
