#include "vrx/core/operation/vrx_oppixels.h"

#include <algorithm>

#include "vrx/core/crop/vrx_crop.h"
#include "vrx/core/operation/vrx_oppixels1.h"
#include "vrx/core/operation/vrx_oppixels8xnbits.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kEngineText = "VRX_OpPixels<OPBin>::engine()";
constexpr const char* kCreateText = "VRX_OpPixelsUnMasked<OPBin, DataType>::create_engine()";

// Offsets are signed 32-bit; everything derived from them is worked out in
// 64 bits, where -x of -2147483648 does not overflow.
bool overlap(const VRX_Header& first, const VRX_Header& second, int64_t x, int64_t y) {
    return !((x > 0 && first.width <= x) || (y > 0 && first.height <= y) ||
             (x < 0 && second.width <= -x) || (y < 0 && second.height <= -y));
}

uint32_t positive_part(int64_t v) { return v > 0 ? static_cast<uint32_t>(v) : 0; }

}  // namespace

bool VRX_OpPixels::check_inputs(const VRX_Vector<VRX_Engine*>& inputs, int32_t, int32_t) {
    if (inputs.size() < 2) return false;
    for (size_t i = 0; i < 2; ++i)
        if (!inputs[i] || !inputs[i]->header()) return false;
    return true;
}

bool VRX_OpPixels::fit_inputs(VRX_Vector<VRX_Engine*>& inputs, int32_t x, int32_t y,
                              uint32_t& out_x, uint32_t& out_y) {
    const VRX_Header& first = *inputs[0]->header();
    const VRX_Header& second = *inputs[1]->header();
    const uint32_t w0 = first.width, h0 = first.height;
    out_x = positive_part(x);
    out_y = positive_part(y);
    // Cut what lies left of and above the first image, then what lies right
    // of and below it; the crop clips a rectangle past the image's edge.
    VRX_Crop crop(manager_);
    VRX_Engine* fitted =
        crop.engine(inputs[1], positive_part(-int64_t{x}), positive_part(-int64_t{y}),
                    std::min(w0, second.width), std::min(h0, second.height));
    if (fitted)
        fitted = crop.engine(fitted, 0, 0, positive_part(int64_t{w0} - out_x),
                             positive_part(int64_t{h0} - out_y));
    if (!fitted) return false;
    inputs[1] = fitted;
    return true;
}

VRX_Engine* VRX_OpPixels::engine(VRX_Engine* first, VRX_Engine* second, VRX_Engine* mask,
                                 int32_t x, int32_t y) {
    VRX_Vector<VRX_Engine*> inputs(manager_);
    if (!inputs.push_back(first) || !inputs.push_back(second) ||
        (mask && !inputs.push_back(mask)))
        return nullptr;
    if (!check_inputs(inputs, x, y)) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 134);
        return nullptr;
    }
    if (!overlap(*first->header(), *second->header(), x, y)) {
        // The result is the first image: an engine given for it as well
        // stays.
        if (second != first) second->destroy();
        if (mask && mask != first && mask != second) mask->destroy();
        return first;
    }
    uint32_t fx = 0, fy = 0;
    if (!fit_inputs(inputs, x, y, fx, fy)) return nullptr;
    return create_engine(inputs, fx, fy);
}

VRX_Engine* VRX_OpPixels::engine(VRX_Engine* first, VRX_Engine* second, int32_t x, int32_t y) {
    return engine(first, second, nullptr, x, y);
}

template <class Op>
VRX_Engine* VRX_OpPixelsUnMasked<Op>::create_engine(VRX_Vector<VRX_Engine*>& inputs, uint32_t x,
                                                    uint32_t y) {
    const VRX_Header* header = !inputs.empty() && inputs[0] ? inputs[0]->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, kCreateText, __FILE__, __LINE__);
        return nullptr;
    }
    const VRX_DataType* type = header->data_type();
    const bool u = type->is_u_integer(), s = type->is_s_integer(), f = type->is_floating();
    uint32_t line = 207;
    switch (header->bits) {
        case 1: return VRX_OpPixels1UnMasked<Op>(manager_).engine(inputs, x, y);
        case 8:
            if (u) return VRX_OpPixels8xNBitsUnMasked<Op, uint8_t>(manager_).engine(inputs, x, y);
            line = s ? 96 : 100;
            break;
        case 16:
            if (u) return VRX_OpPixels8xNBitsUnMasked<Op, uint16_t>(manager_).engine(inputs, x, y);
            line = s ? 121 : 125;
            break;
        case 32: line = u ? 146 : s ? 162 : f ? 178 : 182; break;
        case 64: line = f ? 200 : 204; break;
        default: break;
    }
    manager_->report(VRX_ERROR_UNSUPPORTED, kCreateText, __FILE__, line);
    return nullptr;
}

template class VRX_OpPixelsUnMasked<VRX_PixelOperator::And>;

}  // namespace vrx
