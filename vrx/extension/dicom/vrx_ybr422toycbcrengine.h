#pragma once
// Expands YBR_FULL_422 lines of samples of type T into three samples per
// pixel. Source line: for each pair of pixels Y0 Y1 Cb Cr (an odd width
// still gives the last pixel a group of four, its second Y unused). Output
// pixel 2g is (Y0, Cb, Cr) and pixel 2g + 1 is (Y1, mean of Cb and the next
// pair's Cb, mean of Cr and the next pair's Cr); the last pair repeats its
// own chroma.
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "vrx/framework/engine/vrx_processengine.h"
#include "vrx/framework/io/vrx_endianconversion.h"

namespace vrx {

// The mean of two samples, truncated: a shift for unsigned integers, a
// division rounding toward zero for signed ones, (a + b) x 0.5 for floating
// point. No sum overflows: 32-bit integers are averaged without a wider sum
// overflowing, and a floating sum that would overflow halves first.
template <class T>
inline T ybr422_mean(T a, T b) {
    if constexpr (std::is_floating_point_v<T>) {
        const T sum = a + b;
        if (std::isinf(sum) && std::isfinite(a) && std::isfinite(b)) return a * T(0.5) + b * T(0.5);
        return sum * T(0.5);
    } else if constexpr (std::is_unsigned_v<T>) {
        return static_cast<T>((a >> 1) + (b >> 1) + (a & b & 1u));
    } else {
        return static_cast<T>((int64_t{a} + int64_t{b}) / 2);
    }
}

// Expands one line: `in` holds the 4:2:2 samples of `width` pixels, `out`
// receives 3 x width samples.
template <class T>
void ybr422_expand_line(const T* in, uint32_t width, T* out) {
    const uint32_t pairs = width % 2 == 0 ? width / 2 - 1 : (width - 1) / 2;
    // Every sample is loaded before the stores that could alias it.
    T cb = in[2];
    T cr = in[3];
    for (uint32_t g = 0; g < pairs; ++g, in += 4, out += 6) {
        const T y0 = in[0];
        const T y1 = in[1];
        const T next_cb = in[6];
        const T next_cr = in[7];
        out[0] = y0;
        out[1] = cb;
        out[2] = cr;
        out[3] = y1;
        out[4] = ybr422_mean(cb, next_cb);
        out[5] = ybr422_mean(cr, next_cr);
        cb = next_cb;
        cr = next_cr;
    }
    const T y0 = in[0];
    const T y1 = in[1];
    out[0] = y0;
    out[1] = cb;
    out[2] = cr;
    if (width % 2 == 0) {
        out[3] = y1;
        out[4] = cb;
        out[5] = cr;
    }
}

template <class T>
class VRX_YBR422ToYCbCrEngine : public VRX_ProcessEngine {
public:
    explicit VRX_YBR422ToYCbCrEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_YBR422ToYCbCrEngine() override = default;

    // Gives the line buffer back, then as a process engine.
    bool terminate() override;
    // One line per call; false after the last line or when a line is missing.
    bool execute() override;

    using VRX_ProcessEngine::initiate;
    // The process initiate with the expanded image's header; it must be raw,
    // without palette, of T's depth and three channels (else 0x81000000).
    // Source lines are asked for in their 4:2:2 size.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          int32_t byte_order);

    uint32_t input_bytes() const { return input_bytes_; }
    uint32_t output_bytes() const { return output_bytes_; }

private:
    uint32_t width_ = 0;
    uint32_t sample_bytes_ = sizeof(T);
    uint32_t input_bytes_ = 0;
    uint32_t output_bytes_ = 0;
    unsigned char* line_ = nullptr;
    int32_t byte_order_ = VRX_MACHINE_ORDER;
    VRX_EndianConversion swapper_;
    uint32_t lines_done_ = 0;
};

extern template class VRX_YBR422ToYCbCrEngine<unsigned char>;
extern template class VRX_YBR422ToYCbCrEngine<signed char>;
extern template class VRX_YBR422ToYCbCrEngine<unsigned short>;
extern template class VRX_YBR422ToYCbCrEngine<short>;
extern template class VRX_YBR422ToYCbCrEngine<unsigned int>;
extern template class VRX_YBR422ToYCbCrEngine<int>;
extern template class VRX_YBR422ToYCbCrEngine<float>;
extern template class VRX_YBR422ToYCbCrEngine<double>;

}  // namespace vrx
