#pragma once
// The render chain: the part of a frame's pixel memory that a tile shows,
// under a window, into a device-independent bitmap (read memory, crop,
// scale, colour, 8 bits, bitmap), and that bitmap drawn into the tile.
//
//   std::vector<uint8_t> dib;
//   if (ZEBRenderChain::Render(frame, request, dib, error))
//       ZEBRenderChain::DrawDIB(dc, dib, x, y);
#include <cstdint>
#include <vector>

#include "platform/device_context.h"

class FrameImageInfo;
class ZEBImageMemory;
class ZEBLookupTable;
struct ZEBViewTransform;
struct ZEBVRXError;

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
                       std::vector<uint8_t>& dib, ZEBVRXError& error);
    // Renders the part of the frame the view shows in the device context's
    // clip rectangle, with the frame's window, and draws it there.
    static bool Paint(platform::DeviceContext& dc, const FrameImageInfo& frame,
                      const ZEBViewTransform& view, ZEBVRXError& error);

    // The gain and offset that map samples (modality value = sample x slope
    // + intercept) to 8 bits through DICOM's linear VOI function, inverted
    // for MONOCHROME1; a width below 1 counts as 1.
    static void WindowGainOffset(double center, double width, double slope, double intercept,
                                 bool invert, double& gain, double& offset);
    // Draws a packed bitmap of 8 (grey table) or 24 bits with its top-left
    // pixel at (x, y), within the device context's clip; false when the
    // bitmap is not one of those.
    static bool DrawDIB(platform::DeviceContext& dc, const std::vector<uint8_t>& dib, int32_t x,
                        int32_t y);

private:
    // Render, the bitmap holding only the part `shown` of the scaled image
    // (in its pixels).
    static bool RenderPart(const ZEBImageMemory& memory, const ZEBRenderRequest& request,
                           const platform::Rect& shown, std::vector<uint8_t>& dib,
                           ZEBVRXError& error);
};
