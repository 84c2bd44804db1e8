#include "vrx/core/scale/vrx_scaleppstage.h"

#include "vrx/core/scale/vrx_scaleheightppeby.h"
#include "vrx/core/scale/vrx_scaleheightppfastrby.h"
#include "vrx/core/scale/vrx_scaleheightpprby.h"
#include "vrx/core/scale/vrx_scaleiar.h"
#include "vrx/core/scale/vrx_scalenn.h"
#include "vrx/core/scale/vrx_scaleppby.h"
#include "vrx/core/scale/vrx_scalewidthppeby.h"
#include "vrx/core/scale/vrx_scalewidthppfastrby.h"
#include "vrx/core/scale/vrx_scalewidthpprby.h"

namespace vrx {
namespace {

bool is_fractional_reduction(uint32_t s, uint32_t n) {
    return s != 1 && s > n && (n == 0 || s % n != 0);
}

}  // namespace

bool is_fractional_height_reduction(const VRX_Header& header, uint32_t height) {
    return is_fractional_reduction(header.height, height);
}

bool is_fractional_width_reduction(const VRX_Header& header, uint32_t width) {
    return is_fractional_reduction(header.width, width);
}

VRX_Engine* VRX_ScalePPStageCreator::nearest(VRX_Engine* source, const VRX_Header& h,
                                             VRX_ScaleAxis axis, uint32_t size) {
    if (axis == VRX_ScaleAxis::height) return VRX_ScaleNN(manager_).engine(source, h.width, size);
    return VRX_ScaleNN(manager_).engine(source, size, h.height);
}

const VRX_Header* VRX_ScalePPStageCreator::sized_source(VRX_Engine* source, uint32_t size,
                                                        const char* text, const char* file,
                                                        uint32_t null_line, uint32_t zero_line) {
    const VRX_Header* h = source_header(source, text, file, null_line);
    if (h && size == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, text, file, zero_line);
        return nullptr;
    }
    return h;
}

template <class C>
VRX_Engine* VRX_ScalePPStageCreator::projection(VRX_Engine* source, uint32_t size,
                                                VRX_ScaleAxis axis, const char* text,
                                                const char* file, uint32_t null_line,
                                                uint32_t zero_line) {
    const VRX_Header* h = sized_source(source, size, text, file, null_line, zero_line);
    if (!h) return nullptr;
    const uint32_t s = extent(*h, axis);
    const bool height = axis == VRX_ScaleAxis::height;
    if (s == size) return source;
    if (s == 1) return nearest(source, *h, axis, size);
    if (s < size)
        return height ? VRX_ScaleHeightPPEBy<C>(manager_).engine(source, size)
                      : VRX_ScaleWidthPPEBy<C>(manager_).engine(source, size);
    if (s % size != 0)
        return height ? VRX_ScaleHeightPPRBy<C>(manager_).engine(source, size)
                      : VRX_ScaleWidthPPRBy<C>(manager_).engine(source, size);
    return height ? VRX_ScaleIAR(manager_).engine(source, 1, s / size)
                  : VRX_ScaleIAR(manager_).engine(source, s / size, 1);
}

template <class C>
VRX_Engine* VRX_ScalePPStageCreator::fast_projection(VRX_Engine* source, uint32_t size,
                                                     VRX_ScaleAxis axis, const char* text,
                                                     const char* file, uint32_t null_line,
                                                     uint32_t zero_line) {
    const VRX_Header* h = sized_source(source, size, text, file, null_line, zero_line);
    if (!h) return nullptr;
    if (extent(*h, axis) == size) return source;
    if (axis == VRX_ScaleAxis::height) {
        if (is_fractional_height_reduction(*h, size))
            return VRX_ScaleHeightPPFastRBy<C>(manager_).engine(source, size);
        return VRX_ScalePPBy<C>(manager_).engine(source, h->width, size);
    }
    if (is_fractional_width_reduction(*h, size))
        return VRX_ScaleWidthPPFastRBy<C>(manager_).engine(source, size);
    return VRX_ScalePPBy<C>(manager_).engine(source, size, h->height);
}

template VRX_Engine* VRX_ScalePPStageCreator::projection<double>(VRX_Engine*, uint32_t,
                                                                 VRX_ScaleAxis, const char*,
                                                                 const char*, uint32_t, uint32_t);
template VRX_Engine* VRX_ScalePPStageCreator::projection<VRX_FixedReal12>(VRX_Engine*, uint32_t,
                                                                          VRX_ScaleAxis,
                                                                          const char*, const char*,
                                                                          uint32_t, uint32_t);
template VRX_Engine* VRX_ScalePPStageCreator::fast_projection<double>(VRX_Engine*, uint32_t,
                                                                      VRX_ScaleAxis, const char*,
                                                                      const char*, uint32_t,
                                                                      uint32_t);
template VRX_Engine* VRX_ScalePPStageCreator::fast_projection<VRX_FixedReal12>(
    VRX_Engine*, uint32_t, VRX_ScaleAxis, const char*, const char*, uint32_t, uint32_t);

}  // namespace vrx
