#include "vrx/core/operation/vrx_oppixels8xnbitsengine.h"
#include "vrx/framework/include/vrx_linesample.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kInitiateText = "VRX_OpPixels8xNBitsEngine::initiate()";

template <class Op, class W>
constexpr W combine(W a, W b) {
    if constexpr (VRX_PixelOperator::is<Op, VRX_PixelOperator::Add>) return a + b;
    else if constexpr (VRX_PixelOperator::is<Op, VRX_PixelOperator::Sub>) return a - b;
    else return a * b;
}

// The limit of a double result that is not finite, from the operands' signs.
template <class Op>
double double_limit(double a, double b) {
    bool positive;
    if constexpr (VRX_PixelOperator::is<Op, VRX_PixelOperator::Add>) positive = a > 0 && b > 0;
    else if constexpr (VRX_PixelOperator::is<Op, VRX_PixelOperator::Sub>) positive = a > 0 && b < 0;
    else positive = (a > 0 && b > 0) || (a < 0 && b < 0);
    return positive ? DBL_MAX : -DBL_MAX;
}

// One sample of the result, by the rule of the instance.
template <class Op, class T>
inline T apply(T a, T b) {
    using P = VRX_PixelOperator;
    if constexpr (P::is<Op, P::Overwrite>) {
        return b;
    } else if constexpr (P::is<Op, P::And>) {
        return static_cast<T>(a & b);
    } else if constexpr (P::is<Op, P::MultiplyWithNormalization>) {
        return static_cast<T>(uint64_t{a} * b / 0xFFFFFFFFu);
    } else if constexpr (std::is_same_v<T, float>) {
        const double r = combine<Op>(double{a}, double{b});
        // A NaN passes both tests and is stored as it is.
        if (r > FLT_MAX) return FLT_MAX;
        if (r < -FLT_MAX) return -FLT_MAX;
        return static_cast<float>(r);
    } else if constexpr (std::is_same_v<T, double>) {
        const double r = combine<Op>(a, b);
        return std::isfinite(r) ? r : double_limit<Op>(a, b);
    } else if constexpr (std::is_same_v<T, uint32_t>) {
        if constexpr (P::is<Op, P::Sub>) return a < b ? 0u : a - b;
        const uint64_t r = combine<Op>(uint64_t{a}, uint64_t{b});
        return r > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(r);
    } else {
        // Signed: exact in the wider type, then limited to T.
        using W = std::conditional_t<(sizeof(T) < 4), int32_t, int64_t>;
        const W r = combine<Op>(W{a}, W{b});
        return static_cast<T>(std::clamp<W>(r, std::numeric_limits<T>::min(),
                                            std::numeric_limits<T>::max()));
    }
}

}  // namespace

template <class Op, class T>
bool VRX_OpPixels8xNBitsEngine<Op, T>::is_supported(const VRX_Header& base) {
    using P = VRX_PixelOperator;
    if constexpr (P::is<Op, P::MultiplyWithNormalization> || P::is<Op, P::And>) {
        // The sample width must be the instance's: the samples are read as T.
        return base.bits == sizeof(T) * 8 && base.data_type()->is_u_integer();
    } else {
        return base.bits == sizeof(T) * 8;
    }
}

template <class Op, class T>
bool VRX_OpPixels8xNBitsEngine<Op, T>::initiate(const VRX_Vector<const VRX_Header*>& headers,
                                                const VRX_Vector<VRX_SrcBuffer*>& sources,
                                                VRX_DstBuffer* dst, uint32_t x, uint32_t y) {
    if (!this->check_version(VRX_INTERFACE_VERSION, kInitiateText, __FILE__, 61)) return false;
    if (!VRX_OpPixelsEngine::initiate(headers, sources, dst)) return false;
    const VRX_Header& base = *this->header(0);
    const VRX_Header& operand = *this->header(1);
    if (!is_supported(base)) {
        this->manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 71);
        return false;
    }
    // In 64 bits: an offset near the top of its range must not wrap the end
    // of the rectangle back into the base. Every bound stays within one base
    // line or the base height, so it fits 32 bits again.
    const uint64_t c = base.channels;
    const uint64_t x_end = std::min<uint64_t>(base.width, uint64_t{operand.width} + x);
    const uint64_t y_end = std::min<uint64_t>(base.height, uint64_t{operand.height} + y);
    x0_ = static_cast<uint32_t>(c * std::min<uint64_t>(x, base.width));
    x1_ = static_cast<uint32_t>(c * x_end - 1);
    y0_ = std::min(y, base.height);
    y1_ = static_cast<uint32_t>(y_end - 1);
    return true;
}

template <class Op, class T>
bool VRX_OpPixels8xNBitsUnMaskedEngine<Op, T>::execute() {
    if (this->line_ >= this->header_.height) return false;
    unsigned char* block = this->begin_line();
    if (!block) return false;
    bool ok = true;
    const uint32_t row = this->line_;
    if (row >= this->y0_ && row <= this->y1_) {
        VRX_SrcBuffer* operand_buffer = this->src_buffer(1);
        const unsigned char* operand_line = operand_buffer->get();
        if (!operand_line) {
            ok = false;
        } else {
            unsigned char* out = block + size_t{this->x0_} * sizeof(T);
            const uint32_t count = this->x0_ <= this->x1_ ? this->x1_ + 1 - this->x0_ : 0;
            for (uint32_t i = 0; i < count; ++i)
                store_sample<T>(out, i,
                                apply<Op, T>(load_sample<T>(out, i), load_sample<T>(operand_line, i)));
            ok = operand_buffer->release();
        }
    }
    return this->end_line(ok);
}

#define VRX_OPPIXELS8XNBITS_DEFINE(op, type)                                 \
    template class VRX_OpPixels8xNBitsEngine<VRX_PixelOperator::op, type>; \
    template class VRX_OpPixels8xNBitsUnMaskedEngine<VRX_PixelOperator::op, type>;
VRX_OPPIXELS8XNBITS_INSTANCES(VRX_OPPIXELS8XNBITS_DEFINE)
#undef VRX_OPPIXELS8XNBITS_DEFINE

}  // namespace vrx
