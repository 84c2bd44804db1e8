#pragma once
// The render chain: the part of a frame's pixel memory that a tile shows,
// under a window, into a device-independent bitmap (read memory, crop,
// scale, colour, 8 bits, bitmap), and that bitmap drawn into the tile. A
// tile's paint draws each row of the bitmap as the writer places it, so no
// bitmap of the whole picture is held.
//
//   ZEBDIBBytes dib;
//   if (ZEBRenderChain::Render(frame, request, dib, error))
//       ZEBRenderChain::DrawDIB(dc, dib, x, y);
//   ZEBRenderChain::Draw(dc, frame, request, x, y, error);   // the same, row by row
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/default_init_allocator.h"
#include "platform/device_context.h"

namespace vrx {
class VRX_Manager;
class VRX_OutputStorage;
}  // namespace vrx

class FrameImageInfo;
class ZEBImageMemory;
class ZEBLookupTable;
struct ZEBViewTransform;
struct ZEBVRXError;

// A packed bitmap's bytes; the bitmap writer writes every one of them, so
// they are not zeroed first.
using ZEBDIBBytes = std::vector<uint8_t, platform::DefaultInitAllocator<uint8_t>>;

// The part of a frame to render and the size and window it is shown at.
struct ZEBRenderRequest {
    int32_t sourceX = 0;
    int32_t sourceY = 0;
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
    int32_t width = 0;
    int32_t height = 0;
    double windowCenter = 0.0;
    double windowWidth = 0.0;
    // A VOI LUT to show grey samples of 8 or 16 bits with in place of the
    // window (not owned; null for none).
    const ZEBLookupTable* voiLut = nullptr;
};

class ZEBRenderChain {
public:
    // Renders the request's part of the memory into a packed bitmap (info
    // header, grey colour table for grey images, bottom-up rows): grey
    // images through DICOM's linear VOI function with the request's window,
    // or through its VOI LUT, whose entries span 0 to 255 as dcmtk spans
    // them (MONOCHROME1 inverted), colour images in RGB over their sample
    // range.
    static bool Render(const ZEBImageMemory& memory, const ZEBRenderRequest& request,
                       ZEBDIBBytes& dib, ZEBVRXError& error);
    // Renders the part `shown` of the request's scaled image (in its
    // pixels) and draws it as DrawDIB would draw that bitmap at (x, y), row
    // by row as the chain makes them, without holding it; `drawn` (when
    // given) is the rectangle drawn, empty when nothing was.
    static bool Draw(platform::DeviceContext& dc, const ZEBImageMemory& memory,
                     const ZEBRenderRequest& request, const platform::Rect& shown, int32_t x,
                     int32_t y, ZEBVRXError& error, platform::Rect* drawn = nullptr);
    // Renders the part of the frame the view shows in the device context's
    // clip rectangle, with the frame's window, and draws it there; `painted`
    // (when given) is the rectangle drawn, empty when nothing was.
    static bool Paint(platform::DeviceContext& dc, const FrameImageInfo& frame,
                      const ZEBViewTransform& view, ZEBVRXError& error,
                      platform::Rect* painted = nullptr);

    // The gain and offset that map samples (modality value = sample x slope
    // + intercept) to 8 bits through DICOM's linear VOI function, inverted
    // for MONOCHROME1; a width below 1 counts as 1.
    static void WindowGainOffset(double center, double width, double slope, double intercept,
                                 bool invert, double& gain, double& offset);
    // Draws a packed bitmap of 8 (grey table) or 24 bits with its top-left
    // pixel at (x, y), within the device context's clip; false when the
    // bitmap is not one of those. `drawn` (when given) is the rectangle
    // drawn, empty when nothing was.
    static bool DrawDIB(platform::DeviceContext& dc, const ZEBDIBBytes& dib, int32_t x,
                        int32_t y, platform::Rect* drawn = nullptr);

private:
    // Gives the bitmap writer's storage for a bitmap of `total` bytes whose
    // rows start at `headerBytes`; null when it cannot (having said why in
    // the error, unless the imaging library reported it).
    using StorageOpener = std::function<vrx::VRX_OutputStorage*(
        vrx::VRX_Manager& manager, uint32_t total, uint32_t headerBytes)>;
    // The render chain of the request, ended by the bitmap writer writing
    // into the storage `open` gives; the bitmap holds only the part `shown`
    // of the scaled image (in its pixels).
    static bool RenderInto(const ZEBImageMemory& memory, const ZEBRenderRequest& request,
                           const platform::Rect& shown, const StorageOpener& open,
                           ZEBVRXError& error);
};
