#include "vrx/core/shiftdata/vrx_shiftdatawlengine.h"

#include <limits>

#include "vrx/core/convertdatatype/vrx_pixelmath.h"
#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/core/shiftdata/vrx_shiftdata.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kInitiateText = "VRX_ShiftDataWLEngine::initiate()";

// The parameters of one line, in 32-bit words: samples are widened to 32
// bits (sign-extended for signed S); `max` is compared unsigned, `min`
// signed.
struct Limits {
    uint32_t n, half, mask, max;
    int32_t min;
};

// Sample v limited to D: above the maximum (unsigned), below the minimum (signed).
inline uint32_t clip_max(uint32_t r, const Limits& l) { return r >= l.max ? l.max : r; }
inline uint32_t clip_min(uint32_t r, const Limits& l) {
    return static_cast<int32_t>(r) <= l.min ? static_cast<uint32_t>(l.min) : r;
}
// A left shift of a value with none of the mask's bits set, else the maximum.
inline uint32_t left_up(uint32_t v, const Limits& l) {
    return (v & l.mask) != 0 ? l.max : clip_max(v << l.n, l);
}
// A rounded right shift of a positive value.
inline uint32_t right_up(uint32_t v, const Limits& l) { return clip_max((v + l.half) >> l.n, l); }

// The nine kernels: 0-2 no shift, 3-5 left, 6-8 right; within each the sign
// class (unsigned source; signed to unsigned; signed to signed).
template <int Case>
inline uint32_t limited(uint32_t v, const Limits& l) {
    const int32_t s = static_cast<int32_t>(v);
    if constexpr (Case == 0) return clip_max(v, l);
    if constexpr (Case == 1) return s <= 0 ? 0 : clip_max(v, l);
    if constexpr (Case == 2) return s <= 0 ? clip_min(v, l) : clip_max(v, l);
    if constexpr (Case == 3) return left_up(v, l);
    if constexpr (Case == 4) return s <= 0 ? 0 : left_up(v, l);
    if constexpr (Case == 5) {
        if (s >= 0) return left_up(v, l);
        return (v & l.mask) != l.mask ? static_cast<uint32_t>(l.min) : clip_min(v << l.n, l);
    }
    if constexpr (Case == 6) return clip_max(((v >> (l.n - 1)) & 1u) + (v >> l.n), l);
    if constexpr (Case == 7) return s <= 0 ? 0 : right_up(v, l);
    if constexpr (Case == 8) {
        if (s > 0) return right_up(v, l);
        return clip_min(static_cast<uint32_t>((s + static_cast<int32_t>(l.half - 1)) >> l.n), l);
    }
}

template <int Case, class S, class D>
void limited_line(const unsigned char* __restrict in, unsigned char* __restrict out, uint32_t count,
                  Limits l) {
    for (uint32_t i = 0; i < count; ++i) {
        const int32_t s = load_sample<S>(in, i);
        store_sample<D>(out, i, static_cast<D>(limited<Case>(static_cast<uint32_t>(s), l)));
    }
}

}  // namespace

template <class S, class D>
bool VRX_ShiftDataWLEngine<S, D>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                           VRX_DstBuffer* dst, const VRX_DataType* type,
                                           uint16_t bits, int16_t shift, uint8_t sign_class) {
    if (!initiate_shift(header, src, dst, type, bits, shift, sample_bits<S>, sample_bits<D>,
                        kInitiateText, {379, 389, 397, 404, 411}))
        return false;
    // The kernels rely on the class: one that does not belong to the types
    // would read signed samples as unsigned ones.
    uint8_t expected = 0;
    shift_needs_limit(header, type, bits, shift, expected);
    if (sign_class != expected) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, __LINE__);
        return false;
    }
    if (shift < 0) {
        kernel_case_ = sign_class + 6u;
        half_ = int_pow(2, magnitude_ - 1u);
    } else if (shift > 0) {
        kernel_case_ = sign_class + 3u;
        // The top n bits (n + 1 for a signed destination), arithmetically.
        const int32_t top = std::numeric_limits<int32_t>::min();
        const uint32_t by = type->is_u_integer() ? magnitude_ - 1u : magnitude_;
        mask_ = static_cast<uint32_t>(top >> by);
    } else {
        kernel_case_ = sign_class;
    }
    return true;
}

template <class S, class D>
bool VRX_ShiftDataWLEngine<S, D>::process_line(const unsigned char* src, unsigned char* dst) {
    const Limits l{magnitude_, half_, mask_, static_cast<uint32_t>(std::numeric_limits<D>::max()),
                   static_cast<int32_t>(std::numeric_limits<D>::min())};
    switch (kernel_case_) {
        case 0:
            limited_line<0, S, D>(src, dst, samples_, l);
            break;
        case 1:
            limited_line<1, S, D>(src, dst, samples_, l);
            break;
        case 2:
            limited_line<2, S, D>(src, dst, samples_, l);
            break;
        case 3:
            limited_line<3, S, D>(src, dst, samples_, l);
            break;
        case 4:
            limited_line<4, S, D>(src, dst, samples_, l);
            break;
        case 5:
            limited_line<5, S, D>(src, dst, samples_, l);
            break;
        case 6:
            limited_line<6, S, D>(src, dst, samples_, l);
            break;
        case 7:
            limited_line<7, S, D>(src, dst, samples_, l);
            break;
        default:
            limited_line<8, S, D>(src, dst, samples_, l);
            break;
    }
    return true;
}

#define VRX_SHIFT_WL_MAKE(S, D) template class VRX_ShiftDataWLEngine<S, D>;
VRX_SHIFT_FOR_EACH_PAIR(VRX_SHIFT_WL_MAKE)
#undef VRX_SHIFT_WL_MAKE

}  // namespace vrx
