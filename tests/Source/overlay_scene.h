#pragma once
// A tile showing a frame of chosen geometry, for gesture tests.
#include <cstdint>

#include "Source/frameimageinfo.h"
#include "Source/zebimageviewctrl.h"

namespace overlaytest {

struct Scene {
    FrameImageInfo frame;
    ZEBImageViewCtrl tile{640, 480};

    Scene(int32_t columns, int32_t rows, double spacingX, double spacingY, int32_t magnified = 0) {
        CZEBOverlayCommon& g = frame.m_overlay;
        g.m_columns = columns;
        g.m_rows = rows;
        g.m_pixelSpacingX = spacingX;
        g.m_pixelSpacingY = spacingY;
        g.m_verticalAspect = spacingY / spacingX;
        g.m_magnified = magnified;
        frame.m_overlay.SyncPixelValueInfo();
        tile.SetFrame(&frame);
    }
    void zoom(double z, int32_t offsetX = 20, int32_t offsetY = 10) {
        tile.SetView({offsetX, offsetY, {0, 0}, z});
    }
    platform::Point screen(platform::Point image) const {
        const ZEBViewTransform& v = tile.View();
        return frame.m_overlay.ImageToScreen(image, v.offsetX, v.offsetY, v.origin, v.zoom);
    }
    platform::Rect image_rect() const {
        const ZEBViewTransform& v = tile.View();
        return frame.m_overlay.GetImageRect(v.offsetX, v.offsetY, v.origin, v.zoom);
    }
    void drag(platform::Point from, platform::Point to) {
        tile.OnLButtonDown(from);
        tile.OnMouseMove(to);
        tile.OnLButtonUp(to);
    }
    const ZEBOverlayManager& overlays() const { return frame.m_overlay; }
};

}  // namespace overlaytest
