#include "vrx/core/shiftdata/vrx_shiftdatanlengine.h"

#include <type_traits>

#include "vrx/core/convertdatatype/vrx_pixelmath.h"
#include "vrx/core/convertdatatype/vrx_sampletype.h"

namespace vrx {

template <class S, class D>
bool VRX_ShiftDataNLEngine<S, D>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                           VRX_DstBuffer* dst, const VRX_DataType* type,
                                           uint16_t bits, int16_t shift) {
    if (!initiate_shift(header, src, dst, type, bits, shift, sample_bits<S>, sample_bits<D>,
                        "VRX_ShiftDataNLEngine::initiate()", {174, 184, 192, 199, 206}))
        return false;
    rounding_ = left_ ? 0 : int_pow(2, magnitude_ - 1u) - 1u;
    return true;
}

template <class S, class D>
bool VRX_ShiftDataNLEngine<S, D>::process_line(const unsigned char* src, unsigned char* dst) {
    const uint32_t count = samples_, n = magnitude_;
    // Samples widened to 32 bits (sign-extended when S is signed); shifts of
    // the unsigned bits, so that nothing overflows; the store truncates.
    auto each = [&](auto shifted) {
        for (uint32_t i = 0; i < count; ++i)
            store_sample<D>(dst, i, static_cast<D>(shifted(load_sample<S>(src, i))));
    };
    if (n == 0) {
        each([](S s) { return s; });
    } else if (left_) {
        each([n](S s) { return static_cast<uint32_t>(static_cast<int32_t>(s)) << n; });
    } else if constexpr (std::is_unsigned_v<S>) {
        each([n](S s) {
            const uint32_t v = s;
            return ((v >> (n - 1)) & 1u) + (v >> n);
        });
    } else {
        const uint32_t rounding = rounding_;
        each([n, rounding](S s) {
            const uint32_t v = static_cast<uint32_t>(static_cast<int32_t>(s));
            const uint32_t positive = ((v >> (n - 1)) & 1u) + (v >> n);
            // Both forms are computed for every sample; the sum wraps (unused)
            // for positive ones only.
            const uint32_t negative =
                static_cast<uint32_t>(static_cast<int32_t>(v + rounding) >> n);
            return s < 0 ? negative : positive;
        });
    }
    return true;
}

#define VRX_SHIFT_NL_MAKE(S, D) template class VRX_ShiftDataNLEngine<S, D>;
VRX_SHIFT_FOR_EACH_PAIR(VRX_SHIFT_NL_MAKE)
#undef VRX_SHIFT_NL_MAKE

}  // namespace vrx
