#pragma once
// The base of every overlay drawn on a frame: the frame's image geometry and
// the drawing and hit-test helpers the overlays share.
//
// Overlays keep their positions in image pixels once a gesture ends and
// recompute screen positions at every paint from the tile's view transform:
// the screen offset of the image area, the source origin (the image pixel
// shown at that offset) and the zoom.
//   screen x = trunc((image x - origin x) * zoom + 0.5) + offset x
//   screen y = trunc((image y - origin y) * vertical aspect * zoom + 0.5) + offset y
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bitmap.h"

namespace platform {
class DeviceContext;
}

// Toward zero, clamped to +-2^30 so that screen arithmetic cannot overflow
// (NaN gives 0).
int32_t TruncToInt(double value);
// TruncToInt(value) + shift, clamped the same way (screen positions from
// any view stay within +-2^30).
int32_t TruncAndShift(double value, int32_t shift);

// A region of an ultrasound image whose pixels have a physical size in
// millimetres (from the Sequence of Ultrasound Regions): columns x0..x1 and
// rows y0..y1, bounds included.
struct ZEBUltrasoundRegion {
    int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double mmPerColumn = 0.0;
    double mmPerRow = 0.0;
};

// What a length between two image points is measured in: millimetres per
// column and per row, or else image pixels (1 per column and per row).
struct ZEBLengthScale {
    double perColumn = 1.0;
    double perRow = 1.0;
    bool millimetres = false;
};

struct ZEBTextSize {
    int32_t width = 0;
    int32_t height = 0;
};

class CZEBOverlayCommon {
public:
    CZEBOverlayCommon() = default;
    virtual ~CZEBOverlayCommon() = default;

    // Copies the image geometry fields from another overlay.
    void CopyImageInfo(const CZEBOverlayCommon& other);

    // The scale of a length between two image points: the pixel spacing;
    // without one, the first ultrasound region holding both points; else
    // image pixels.
    ZEBLengthScale LengthScale(platform::Point a, platform::Point b) const;

    // Screen rectangle of the whole image.
    platform::Rect GetImageRect(int32_t offsetX, int32_t offsetY, platform::Point origin,
                                double zoom) const;
    platform::Point ImageToScreen(platform::Point image, int32_t offsetX, int32_t offsetY,
                                  platform::Point origin, double zoom) const;
    platform::Point ScreenToImage(platform::Point screen, int32_t offsetX, int32_t offsetY,
                                  platform::Point origin, double zoom) const;

    // A solid line of the colour and width.
    static void DrawLine(platform::DeviceContext& dc, platform::Point from, platform::Point to,
                         platform::Color color, int32_t width);
    // A white dotted line one pixel wide over a transparent background.
    static void DrawDottedLine(platform::DeviceContext& dc, platform::Point from,
                               platform::Point to);
    // The text in black one pixel right and down, then in white, in the box
    // (word breaks, expanded tabs, '&' shown as typed).
    static void DrawLabel(platform::DeviceContext& dc, platform::Point topLeft, int32_t width,
                          int32_t height, std::u16string_view text);
    // An 8-pixel square around the point framed in white, then inverted.
    static void DrawHandle(platform::DeviceContext& dc, platform::Point p);
    // 1 when p lies in the segment's bounding box grown by 5 pixels and its
    // distance to the line, truncated, is below 6 (a zero-length segment
    // counts by the box alone).
    static int HitSegment(platform::Point from, platform::Point to, platform::Point p);
    // The point moved strictly inside the rectangle.
    static platform::Point ClampIntoRect(const platform::Rect& rect, platform::Point p);
    // What a press at p grabs of a segment: 1 its start (p within 5 pixels
    // of it), 2 its end, else 3 the whole segment.
    static int GrabSegmentPart(platform::Point start, platform::Point end, platform::Point p);
    // Moves what was grabbed by (dx, dy): 1 the start alone, 2 the end
    // alone, 3 both with the segment keeping its shape, 0 nothing. A moved
    // point that leaves the rectangle is brought back strictly inside it
    // (for 3 both ends take each correction).
    static void DragSegment(int part, int32_t dx, int32_t dy, const platform::Rect& rect,
                            platform::Point& start, platform::Point& end);
    // Size of the text in the context's font as labels are measured; `flags`
    // are added to the measuring flags.
    static ZEBTextSize MeasureText(platform::DeviceContext& dc, std::u16string_view text,
                                   uint32_t flags = 0);

    // The frame's image geometry.
    std::u16string m_sopClassUid;
    std::u16string m_modality;
    double m_pixelSpacingX = 0.0;  // mm between columns
    double m_pixelSpacingY = 0.0;  // mm between rows
    double m_horizontalAspect = 1.0;
    double m_verticalAspect = 1.0;  // vertical-to-horizontal pixel ratio
    int32_t m_columns = 0;
    int32_t m_rows = 0;
    int32_t m_magnified = 0;  // spacing corrected by a magnification factor
    std::u16string m_rescaleType;
    // Regions with physical pixel sizes, for images without pixel spacing.
    std::vector<ZEBUltrasoundRegion> m_ultrasoundRegions;
};
