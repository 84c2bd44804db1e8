#pragma once
// The probe of the pixel-value tool: the stored value of the pixel under the
// cursor with its unit ("HU" for CT images), or the three colour components
// of a colour pixel, in a label beside the cursor.
//
// The overlay manager holds one per frame; at each press or move of the tool
// it calls Sample, then Place, and paints it after the other overlays once
// it has been placed.
#include <string>

#include "Source/czeboverlaycommon.h"

class ZEBImageMemory;

class CZEBOverlayPixelValue : public CZEBOverlayCommon {
public:
    CZEBOverlayPixelValue() = default;
    ~CZEBOverlayPixelValue() override = default;

    // Reads the pixel under the screen point from the frame's memory.
    void Sample(platform::Point point, const ZEBImageMemory& memory, int32_t offsetX,
                int32_t offsetY, platform::Point origin, double zoom);
    // Sets the label and its box beside the point.
    void Place(platform::Point point, platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY,
               platform::Point origin, double zoom);
    std::u16string FormatValue() const;
    void Draw(platform::DeviceContext& dc);

    // The typed colour readers: components 0..255 of one pixel.
    struct Rgb {
        double red = 0.0, green = 0.0, blue = 0.0;
    };
    static Rgb CmykToRgb(int64_t c, int64_t m, int64_t y, int64_t k);
    static Rgb YbrToRgb(double y, double cb, double cr);

    std::u16string m_label;
    platform::Point m_labelPos;
    int32_t m_labelWidth = 0;
    int32_t m_labelHeight = 0;
    int m_shown = 0;
    int m_isColour = 0;
    double m_value = 0.0;
    double m_red = 0.0;
    double m_green = 0.0;
    double m_blue = 0.0;
};
