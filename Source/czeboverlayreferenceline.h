#pragma once
// Reference lines on a frame: where the first, the last and the current
// image of another series cross the shown image, each with the other
// image's number beside it. The tile computes the records
// (ComputeReferenceLine) and the frame's overlay manager draws them.
#include <cstdint>

#include "Source/czeboverlaycommon.h"

struct ReferenceLineRecord {
    int shown = 0;
    platform::Point start;  // pixel (column, row) of the shown image
    platform::Point end;
    int32_t number = 0;  // image number of the other image
};

class CZEBOverlayReferenceLine : public CZEBOverlayCommon {
public:
    enum Record { kFirst = 0, kLast = 1, kCurrent = 2 };

    CZEBOverlayReferenceLine() = default;
    ~CZEBOverlayReferenceLine() override = default;

    void Clear();
    bool AnyShown() const;
    // Lines and numbers over the image; numbers stay within `bound`.
    void Draw(platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY, platform::Point origin,
              double zoom, const platform::Rect& bound);

    using CZEBOverlayCommon::DrawLine;
    // A first- or last-image line: black, then white dotted over it.
    static void DrawLine(platform::DeviceContext& dc, platform::Point from, platform::Point to);
    // The number beside the line, placed within the bound, white on black.
    static void DrawNumber(platform::DeviceContext& dc, platform::Point from, platform::Point to,
                           int32_t number, const platform::Rect& bound);
    // The box DrawNumber draws the number's text of the given size in.
    static platform::Rect PlaceNumber(platform::Point from, platform::Point to, int32_t width,
                                      int32_t height, const platform::Rect& bound);

    ReferenceLineRecord m_records[3];
};
