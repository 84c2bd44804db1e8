#pragma once
// The tiles the render-chain fuzz target paints a decoded frame into: 48 x 40
// at zooms below, at and above 1 under one view, the corner annotations at
// zoom 1. Its findings are painted again the same way by the tests.
#include "Source/frameimageinfo.h"
#include "Source/zebimageviewctrl.h"
#include "Source/zebvrxhelper.h"

// False when a paint failed (the helper's last error says why).
inline bool PaintFuzzTiles(ZEBVRXHelper& helper, FrameImageInfo& frame) {
    bool painted = true;
    for (double zoom : {0.37, 1.0, 2.6}) {
        ZEBImageViewCtrl tile(48, 40);
        tile.SetFrame(&frame);
        tile.SetView({-3, 2, {0, 0}, zoom});
        tile.SetImagePainter(helper.Painter());
        tile.ShowAnnotations(zoom == 1.0);
        tile.Paint();
        painted = painted && !helper.PaintFailed();
    }
    return painted;
}
