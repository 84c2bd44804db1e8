#include "Source/zebrenderchain.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "Source/frameimageinfo.h"
#include "Source/zebdibdrawing.h"
#include "Source/zebdibdrawingstorage.h"
#include "Source/zeblookuptable.h"
#include "Source/zebvrxchain.h"
#include "vrx/core/colorspace/vrx_colorspace.h"
#include "vrx/core/convertdatatype/vrx_convertdatatype.h"
#include "vrx/core/crop/vrx_crop.h"
#include "vrx/core/dib/vrx_writedib.h"
#include "vrx/core/dib/vrx_writediboption.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/core/scale/vrx_scalelifastby.h"
#include "vrx/core/scale/vrx_scalenn.h"
#include "vrx/core/scale/vrx_scaleppfastby.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/engine/vrx_rewriteheader.h"
#include "vrx/framework/include/vrx_statuscode.h"
#include "vrx/framework/io/vrx_bytearrayoutputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"
#include "vrx/framework/manager/vrx_status.h"

using vrx::VRX_ColorType;
using vrx::VRX_DataType;
using vrx::VRX_Engine;
using vrx::VRX_Header;
using vrx::VRX_Manager;

namespace {

constexpr const char* kRenderFunction = "ZEBVRXHelper::RenderFrame()";

// The scale step of the render chain: pixel projection when the image
// shows narrower than it is, linear interpolation when at least as wide.
// Projection takes unsigned samples only, interpolation unsigned and signed
// ones of 8 or 16 bits; other samples (1 or 32 bits) take the nearest
// neighbour.
VRX_Engine* ScaleForDisplay(VRX_Manager& manager, VRX_Engine* source, uint32_t width,
                            uint32_t height) {
    const VRX_Header* h = source->header();
    if (h->width == width && h->height == height) return source;
    const bool integer = h->data_type() == VRX_DataType::u_integer() ||
                         h->data_type() == VRX_DataType::s_integer();
    if (!integer || (h->bits != 8 && h->bits != 16))
        return vrx::VRX_ScaleNN(&manager).engine(source, width, height);
    if (width < h->width && h->data_type() == VRX_DataType::u_integer())
        return vrx::VRX_ScalePPFastBy<vrx::VRX_FixedReal12>(&manager).engine(source, width, height);
    return vrx::VRX_ScaleLIFastBy<vrx::VRX_FixedReal12>(&manager).engine(source, width, height);
}

}  // namespace

void ZEBRenderChain::WindowGainOffset(double center, double width, double slope,
                                      double intercept, bool invert, double& gain, double& offset) {
    // y = ((v - (c - 0.5)) / (w - 1) + 0.5) x 255 with v = s x slope +
    // intercept, below and above the window held at 0 and 255 by the
    // conversion's saturation. A width of 1 is a threshold at c - 0.5.
    const double span = width > 1.0 ? width - 1.0 : 1.0 / 4096.0;
    const double scale = 255.0 / span;
    gain = slope * scale;
    offset = (intercept - (center - 0.5)) * scale + (width > 1.0 ? 127.5 : 0.0);
    if (invert) {
        gain = -gain;
        offset = 255.0 - offset;
    }
}

bool ZEBRenderChain::RenderInto(const ZEBImageMemory& memory, const ZEBRenderRequest& request,
                                const platform::Rect& shown, const StorageOpener& open,
                                ZEBVRXError& error) {
    vrx::VRX_DefaultManager manager;
    VRX_Header header(&manager);
    if (!memory.DescribeImage(header))
        return error.Fail(vrx::VRX_ERROR_ARGUMENT, kRenderFunction, "the frame holds no image");
    if (request.sourceX < 0 || request.sourceY < 0 || request.sourceWidth < 1 ||
        request.sourceHeight < 1 || request.width < 1 || request.height < 1 ||
        uint64_t(request.sourceX) + uint64_t(request.sourceWidth) > header.width ||
        uint64_t(request.sourceY) + uint64_t(request.sourceHeight) > header.height)
        return error.Fail(vrx::VRX_ERROR_ARGUMENT, kRenderFunction, "the part to render is not in the frame");

    VRX_Engine* e = vrx::VRX_ReadMemory(&manager).engine(
        &header, memory.m_buffer.data(), static_cast<uint32_t>(memory.m_buffer.size()));
    if (e)
        e = vrx::VRX_Crop(&manager).engine(e, uint32_t(request.sourceX), uint32_t(request.sourceY),
                                           uint32_t(request.sourceWidth),
                                           uint32_t(request.sourceHeight));
    if (e) e = ScaleForDisplay(manager, e, uint32_t(request.width), uint32_t(request.height));
    if (e && shown != platform::Rect{0, 0, request.width, request.height})
        e = vrx::VRX_Crop(&manager).engine(e, uint32_t(shown.left), uint32_t(shown.top),
                                           uint32_t(shown.width()), uint32_t(shown.height()));
    if (!e) return error.Fail(manager, "cannot scale the frame");

    const VRX_DataType* u8 = VRX_DataType::u_integer();
    if (header.channels == 1) {
        const bool invert = header.color_type() == VRX_ColorType::gray_reverse();
        const ZEBLookupTable* lut = request.voiLut;
        if (lut && !lut->Empty() && (header.bits == 8 || header.bits == 16)) {
            // The entries span the 256 grey levels as dcmtk spans them:
            // entry x 256 / 2^bits, rounded down.
            const int shift = lut->Bits() - 8;
            e = MapSamples(manager, e, 8, [&](int32_t sample) {
                const double value =
                    std::clamp(std::floor(memory.ModalityValue(sample) + 0.5), -1e9, 1e9);
                const uint16_t grey = uint16_t(lut->Value(int64_t(value)) >> shift);
                return uint16_t(invert ? 255 - grey : grey);
            });
        } else {
            double gain = 0.0, offset = 0.0;
            WindowGainOffset(request.windowCenter, request.windowWidth, memory.m_rescaleSlope,
                             memory.m_rescaleIntercept, invert, gain, offset);
            if (header.bits == 1) {
                // The two values, each as the window makes it.
                const double zero = std::clamp(std::floor(offset + 0.5), 0.0, 255.0);
                const double one = std::clamp(std::floor(gain + offset + 0.5), 0.0, 255.0);
                gain = one - zero;
                offset = zero;
            }
            e = vrx::VRX_ConvertDataType(&manager).engine(e, u8, 8, gain, offset);
        }
        if (e && e->header()->color_type() != VRX_ColorType::gray()) {
            VRX_Header grey(&manager);
            if (!grey.assign(*e->header()) || !grey.color_type(VRX_ColorType::gray()))
                return error.Fail(manager, "cannot render the frame");
            e = vrx::VRX_RewriteHeader(&manager).engine(e, &grey);
        }
    } else {
        if (header.color_type() != VRX_ColorType::s_rgb())
            e = vrx::VRX_ColorSpace(&manager).engine(e, VRX_ColorType::s_rgb());
        // Samples of more than 8 bits span 0 to 255 over the range their
        // stored bits hold.
        const int32_t stored = memory.m_bitsStored > 0 ? std::min<int32_t>(memory.m_bitsStored, header.bits)
                                                       : header.bits;
        if (e && header.bits > 8)
            e = vrx::VRX_ConvertDataType(&manager).engine(e, u8, 8, 255.0 / (std::exp2(stored) - 1.0), 0.0);
    }
    if (!e) return error.Fail(manager, "cannot render the frame");

    const vrx::VRX_WriteDIBOption option;
    const uint32_t total = vrx::VRX_WriteDIB::total_bytes(e->header(), option);
    if (total == 0) return error.Fail(manager, "cannot render the frame as a bitmap");
    vrx::VRX_OutputStorage* storage =
        open(manager, total, vrx::VRX_WriteDIB::header_bytes(e->header(), option));
    VRX_Engine* writer = storage ? vrx::VRX_WriteDIB(&manager).engine(e, storage, option) : nullptr;
    vrx::destroy(storage);
    RunChain(writer);
    vrx::VRX_Status status(&manager);
    if (!writer || !manager.execute(status)) {
        if (storage || status.code != vrx::VRX_SUCCESS)
            error.Fail(status.code, status.function, "cannot render the frame");
        return false;
    }
    return true;
}

bool ZEBRenderChain::Render(const ZEBImageMemory& memory, const ZEBRenderRequest& request,
                            ZEBDIBBytes& dib, ZEBVRXError& error) {
    dib.clear();
    const auto open = [&](vrx::VRX_Manager& manager, uint32_t total,
                          uint32_t) -> vrx::VRX_OutputStorage* {
        try {
            dib.resize(total);
        } catch (const std::bad_alloc&) {
            error.Fail(vrx::VRX_ERROR_OUT_OF_MEMORY, kRenderFunction, "out of memory for the bitmap");
            return nullptr;
        }
        return vrx::VRX_ByteArrayOutputStorage::create(&manager, dib.data(),
                                                       static_cast<int32_t>(total));
    };
    if (RenderInto(memory, request, {0, 0, request.width, request.height}, open, error)) return true;
    dib.clear();
    return false;
}

bool ZEBRenderChain::Draw(platform::DeviceContext& dc, const ZEBImageMemory& memory,
                          const ZEBRenderRequest& request, const platform::Rect& shown, int32_t x,
                          int32_t y, ZEBVRXError& error, platform::Rect* drawn) {
    if (drawn) *drawn = {};
    const auto open = [&](vrx::VRX_Manager& manager, uint32_t total,
                          uint32_t headerBytes) -> vrx::VRX_OutputStorage* {
        return ZEBDIBDrawingStorage::create(&manager, dc, x, y, static_cast<int32_t>(total),
                                            static_cast<int32_t>(headerBytes));
    };
    if (!RenderInto(memory, request, shown, open, error)) return false;
    if (drawn) *drawn = ZEBDIBDrawing::Cover(dc, x, y, shown.width(), shown.height());
    return true;
}

bool ZEBRenderChain::DrawDIB(platform::DeviceContext& dc, const ZEBDIBBytes& dib,
                             int32_t x, int32_t y, platform::Rect* drawn) {
    if (drawn) *drawn = {};
    ZEBDIBDrawing drawing;
    if (!drawing.Begin(dc, dib.data(), dib.size(), x, y) ||
        drawing.RowsAt() + drawing.Stride() * drawing.Height() > dib.size())
        return false;
    for (uint32_t row = 0; row < drawing.Height(); ++row)
        drawing.DrawRow(row, 0, dib.data() + drawing.RowsAt() + drawing.Stride() * row,
                        drawing.Stride());
    if (drawn) *drawn = drawing.Area();
    return true;
}

bool ZEBRenderChain::Paint(platform::DeviceContext& dc, const FrameImageInfo& frame,
                           const ZEBViewTransform& view, ZEBVRXError& error,
                           platform::Rect* painted) {
    if (painted) *painted = {};
    if (!frame.HasImage() || !(view.zoom > 0.0))
        return error.Fail(vrx::VRX_ERROR_ARGUMENT, kRenderFunction, "the frame holds no image");
    const CZEBOverlayCommon& g = frame.m_overlay;
    const double zoomX = view.zoom, zoomY = view.zoom * g.m_verticalAspect;
    // An image pixel may cover at most this many screen pixels each way, so
    // that what is scaled beyond the clip stays within one such pixel.
    constexpr double kMaxPixelSpan = 65536.0;
    if (!(zoomX <= kMaxPixelSpan && zoomY > 0.0 && zoomY <= kMaxPixelSpan))
        return error.Fail(vrx::VRX_ERROR_ARGUMENT, kRenderFunction,
                          "the view's zoom is out of range");
    const platform::Rect clip =
        dc.clip().intersect(dc.bitmap() ? dc.bitmap()->bounds() : platform::Rect{});
    // Image columns and rows with a part inside the clip, widened until
    // their screen edges, placed as the overlays place image points, cover
    // the clip.
    const auto screen = [&](int64_t x, int64_t y) {
        return g.ImageToScreen({int32_t(x), int32_t(y)}, view.offsetX, view.offsetY, view.origin,
                               view.zoom);
    };
    // Within 0..size before the conversion: a small zoom puts the ends far
    // beyond any integer (NaN gives 0).
    const auto index = [](double v, int32_t size) {
        return v > 0.0 ? (v < size ? static_cast<int64_t>(v) : int64_t{size}) : int64_t{0};
    };
    const auto span = [&](double low, double high, double offset, double origin, double zoom,
                          int32_t size, int64_t& first, int64_t& last) {
        first = index(std::floor((low - offset) / zoom + origin), size);
        last = index(std::ceil((high - offset) / zoom + origin), size);
    };
    int64_t x0, x1, y0, y1;
    span(clip.left, clip.right, view.offsetX, view.origin.x, zoomX, frame.m_imageWidth, x0, x1);
    span(clip.top, clip.bottom, view.offsetY, view.origin.y, zoomY, frame.m_imageHeight, y0, y1);
    while (x0 > 0 && screen(x0, 0).x > clip.left) --x0;
    while (x1 < frame.m_imageWidth && screen(x1, 0).x < clip.right) ++x1;
    while (y0 > 0 && screen(0, y0).y > clip.top) --y0;
    while (y1 < frame.m_imageHeight && screen(0, y1).y < clip.bottom) ++y1;
    if (x1 <= x0 || y1 <= y0) return true;
    const platform::Point topLeft = screen(x0, y0);
    const platform::Point bottomRight = screen(x1, y1);
    // Those pixels scaled reach past the clip by up to a pixel on each side
    // (much more than the clip when a pixel is large): only the part inside
    // the clip is rendered.
    const platform::Rect shown =
        clip.intersect({topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
    const int64_t width = int64_t{bottomRight.x} - topLeft.x;
    const int64_t height = int64_t{bottomRight.y} - topLeft.y;
    if (shown.empty() || width > INT32_MAX || height > INT32_MAX) return true;
    ZEBRenderRequest request;
    request.sourceX = int32_t(x0);
    request.sourceY = int32_t(y0);
    request.sourceWidth = int32_t(x1 - x0);
    request.sourceHeight = int32_t(y1 - y0);
    request.width = int32_t(width);
    request.height = int32_t(height);
    request.windowCenter = frame.m_windowCenter;
    request.windowWidth = frame.m_windowWidth;
    request.voiLut = frame.m_voiLut.Empty() ? nullptr : &frame.m_voiLut;
    return Draw(dc, frame, request, shown.offset(-topLeft.x, -topLeft.y), shown.left, shown.top,
                error, painted);
}
