#pragma once
// One arrow on a frame: a segment from its tail to its tip with an arrowhead
// of two 10-pixel strokes at 30 degrees either side of the segment at the
// tip, drawn white over black like every overlay.
//
// The overlay manager creates it at a press in arrow mode (the tip := the
// press point), calls Stretch while the button is held (the tail follows the
// cursor over the image) and EndEdit at the release (an arrow whose tail
// never left its tip is deleted). Selected, it moves by BeginDrag / Drag /
// EndEdit: either end alone or the whole arrow. Its ends are kept in image
// pixels once a gesture ends.
#include "Source/czeboverlaycommon.h"

class CZEBOverlayArrow : public CZEBOverlayCommon {
public:
    // Length of an arrowhead stroke in pixels and its angle to the segment.
    static constexpr double kHeadLength = 10.0;
    static constexpr double kHeadDegrees = 30.0;

    CZEBOverlayArrow() = default;
    ~CZEBOverlayArrow() override = default;

    // The device context is not used (an arrow has no label); the
    // signatures are the measurement's.
    void Stretch(platform::Point point, platform::DeviceContext& dc, int32_t offsetX,
                 int32_t offsetY, platform::Point origin, double zoom);
    // 1 when the arrow has a tail apart from its tip (its image positions
    // are then fixed), else 0.
    int EndEdit(int32_t offsetX, int32_t offsetY, platform::Point origin, double zoom);
    int HitTest(platform::Point point) const;
    // Selects the arrow when the point hits it and picks what moves.
    int BeginDrag(platform::Point point);
    // 1 when something moved.
    int Drag(platform::Point point, platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY,
             platform::Point origin, double zoom);
    void Draw(platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY, platform::Point origin,
              double zoom);

    // The outer ends of the two arrowhead strokes of an arrow from `tail`
    // to `tip` (screen points, rounded to the nearest pixel).
    static void HeadPoints(platform::Point tip, platform::Point tail, platform::Point& left,
                           platform::Point& right);

    enum DragPart { kNone = 0, kTip = 1, kTail = 2, kWhole = 3 };

    int m_selected = 0;
    platform::Point m_start{-1, -1};  // the tip, in screen pixels
    platform::Point m_end{-1, -1};    // the tail
    platform::Point m_imageStart{-1, -1};
    platform::Point m_imageEnd{-1, -1};
    platform::Point m_dragAnchor{-1, -1};
    int m_dragPart = kNone;
    int m_hasLine = 0;
};
