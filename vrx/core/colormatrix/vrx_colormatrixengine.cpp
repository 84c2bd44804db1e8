#include "vrx/core/colormatrix/vrx_colormatrixengine.h"

#include <limits>
#include <type_traits>

#include "vrx/core/colormatrix/vrx_colormatrix3x3_simd.h"
#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kBaseText = "VRX_ColorMatrixEngine::initiate()";

template <class C>
constexpr bool is_q12 = std::is_same_v<C, VRX_FixedReal12>;

// The accumulator of one output sample: a double, or the Q12 raw value as an
// unsigned 32-bit word so that products and sums wrap without overflow.
template <class C>
using Acc = std::conditional_t<is_q12<C>, uint32_t, double>;

template <class C, class T>
inline Acc<C> term(C m, T s) {
    if constexpr (is_q12<C>)
        // The Q12 product of m and s << 12 is the plain product m x s.
        return static_cast<uint32_t>(m.raw()) * static_cast<uint32_t>(s);
    else
        return static_cast<double>(s) * m;
}

template <class C>
inline Acc<C> constant(C k) {
    if constexpr (is_q12<C>)
        return static_cast<uint32_t>(k.raw());
    else
        return k;
}

// The output sample of an accumulated value.
template <class C, class T>
inline T to_output(Acc<C> acc, T maximum) {
    if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(acc);
    } else if constexpr (is_q12<C>) {
        // Clamped to [0, maximum x 4096] first: (maximum x 4096 + 2048) >> 12
        // is the maximum, so one rounding serves all three cases.
        int32_t v = static_cast<int32_t>(acc);
        const int32_t top = static_cast<int32_t>(maximum) * 4096;
        v = v < 0 ? 0 : v;
        v = v > top ? top : v;
        return static_cast<T>((v + 2048) >> 12);
    } else {
        if (acc < 0) return 0;
        if (acc <= maximum) return static_cast<T>(static_cast<int32_t>(acc + 0.5));
        return maximum;
    }
}

template <class C>
C offset_at(const VRX_Vector<C>* offsets, size_t i) {
    return offsets && i < offsets->size() ? (*offsets)[i] : C{};
}

}  // namespace

template <class C, class T>
bool VRX_ColorMatrixEngine<C, T>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                           VRX_DstBuffer* dst, const Matrix& matrix,
                                           const Offsets* in_offsets, const Offsets* out_offsets,
                                           const VRX_ColorType* color_type) {
    if (!this->check_version(VRX_INTERFACE_VERSION, kBaseText, __FILE__, 52)) return false;
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    const VRX_DataType* type = header->data_type();
    const bool type_ok = std::is_floating_point_v<T> ? type->is_floating() : type->is_u_integer();
    if (!type_ok || !header->palette().empty() || header->bits != sample_bits<T>) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kBaseText, __FILE__, 62);
        return false;
    }
    in_channels_ = header->channels;
    width_ = header->width;
    maximum_ = std::numeric_limits<T>::max();
    if (matrix.rows() > std::numeric_limits<uint16_t>::max()) {
        manager_->report(VRX_ERROR_ARGUMENT, kBaseText, __FILE__, 103);
        return false;
    }
    out_channels_ = static_cast<uint16_t>(matrix.rows());
    if (in_offsets && in_offsets->size() != in_channels_) {
        manager_->report(VRX_ERROR_ARGUMENT, kBaseText, __FILE__, 80);
        return false;
    }
    header_.channels = out_channels_;
    if (out_offsets && out_offsets->size() != out_channels_) {
        manager_->report(VRX_ERROR_ARGUMENT, kBaseText, __FILE__, 91);
        return false;
    }
    if (color_type && !header_.color_type(color_type)) return false;
    if (!header_.is_valid()) {
        manager_->report(VRX_ERROR_ARGUMENT, kBaseText, __FILE__, 103);
        return false;
    }
    uint32_t bytes = 0;
    return header_.line_bytes(bytes) && dst->block_bytes(bytes);
}

template <class C, class T>
void VRX_ColorMatrixEngine<C, T>::fold(const Matrix& matrix, const Offsets* in_offsets,
                                       const Offsets* out_offsets, C* in, C* out, C* m,
                                       C* k) const {
    const uint16_t n = in_channels_;
    for (uint16_t c = 0; c < n; ++c) in[c] = offset_at(in_offsets, c);
    for (uint16_t r = 0; r < out_channels_; ++r) {
        out[r] = offset_at(out_offsets, r);
        C sum{};
        for (uint16_t c = 0; c < n; ++c) {
            m[size_t{r} * n + c] = matrix.at(r, c);
            sum = sum + m[size_t{r} * n + c] * in[c];
        }
        k[r] = sum + out[r];
    }
}

template <class C, class T>
bool VRX_ColorMatrix8xNbitsEngine<C, T>::terminate() {
    for (C** array : {&in_offsets_, &out_offsets_, &matrix_, &constants_}) {
        this->manager_->deallocate(*array);
        *array = nullptr;
    }
    return VRX_ProcessEngine::terminate();
}

template <class C, class T>
bool VRX_ColorMatrix8xNbitsEngine<C, T>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                                  VRX_DstBuffer* dst, const Matrix& matrix,
                                                  const Offsets* in_offsets,
                                                  const Offsets* out_offsets,
                                                  const VRX_ColorType* color_type) {
    if (!Base::initiate(header, src, dst, matrix, in_offsets, out_offsets, color_type))
        return false;
    const size_t n = this->in_channels_;
    const size_t m = this->out_channels_;
    auto draw = [&](size_t count) {
        return static_cast<C*>(this->manager_->allocate(sizeof(C) * (count ? count : 1)));
    };
    if (!(in_offsets_ = draw(n)) || !(out_offsets_ = draw(m)) || !(matrix_ = draw(m * n)) ||
        !(constants_ = draw(m)))
        return false;
    this->fold(matrix, in_offsets, out_offsets, in_offsets_, out_offsets_, matrix_, constants_);
    return true;
}

template <class C, class T>
bool VRX_ColorMatrix8xNbitsEngine<C, T>::process_line(const unsigned char* src,
                                                      unsigned char* dst) {
    const T* in = reinterpret_cast<const T*>(src);
    T* out = reinterpret_cast<T*>(dst);
    const uint16_t n = this->in_channels_;
    const uint16_t m = this->out_channels_;
    const T maximum = this->maximum_;
    for (uint32_t x = 0; x < this->width_; ++x, in += n) {
        const C* row = matrix_;
        for (uint16_t r = 0; r < m; ++r, row += n) {
            Acc<C> acc{};
            for (uint16_t c = 0; c < n; ++c) acc += term(row[c], in[c]);
            acc += constant(constants_[r]);
            *out++ = to_output<C>(acc, maximum);
        }
    }
    return true;
}

template <class C, class T>
bool VRX_ColorMatrix3x3_8xNbitsEngine<C, T>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                                      VRX_DstBuffer* dst, const Matrix& matrix,
                                                      const Offsets* in_offsets,
                                                      const Offsets* out_offsets,
                                                      const VRX_ColorType* color_type) {
    if (!Base::initiate(header, src, dst, matrix, in_offsets, out_offsets, color_type))
        return false;
    if (this->in_channels_ != 3 || this->out_channels_ != 3) {
        this->manager_->report(VRX_ERROR_ARGUMENT, kBaseText, __FILE__, 103);
        return false;
    }
    this->fold(matrix, in_offsets, out_offsets, in_offsets_, out_offsets_, matrix_, constants_);
    if constexpr (is_q12<C> && std::is_same_v<T, uint8_t>) {
        int32_t m[9];
        for (int i = 0; i < 9; ++i) {
            m[i] = matrix_[i].raw();
            matrix16_[i] = static_cast<int16_t>(m[i]);
        }
        for (int r = 0; r < 3; ++r) constants32_[r] = constants_[r].raw();
        kernel_ =
            colormatrix3x3_simd_suits(m, constants32_) ? colormatrix3x3_q12_u8_kernel() : nullptr;
    }
    return true;
}

template <class C, class T>
bool VRX_ColorMatrix3x3_8xNbitsEngine<C, T>::process_line(const unsigned char* src,
                                                          unsigned char* dst) {
    const T* __restrict in = reinterpret_cast<const T*>(src);
    T* __restrict out = reinterpret_cast<T*>(dst);
    uint32_t done = 0;
    if constexpr (is_q12<C> && std::is_same_v<T, uint8_t>) {
        if (kernel_) {
            done = static_cast<uint32_t>(kernel_(in, out, this->width_, matrix16_, constants32_));
            in += 3 * size_t{done};
            out += 3 * size_t{done};
        }
    }
    const C m0 = matrix_[0], m1 = matrix_[1], m2 = matrix_[2];
    const C m3 = matrix_[3], m4 = matrix_[4], m5 = matrix_[5];
    const C m6 = matrix_[6], m7 = matrix_[7], m8 = matrix_[8];
    const Acc<C> k0 = constant(constants_[0]);
    const Acc<C> k1 = constant(constants_[1]);
    const Acc<C> k2 = constant(constants_[2]);
    const T maximum = this->maximum_;
    const uint32_t width = this->width_;
    for (uint32_t x = done; x < width; ++x, in += 3, out += 3) {
        const T s0 = in[0], s1 = in[1], s2 = in[2];
        out[0] = to_output<C>(term(m0, s0) + term(m1, s1) + term(m2, s2) + k0, maximum);
        out[1] = to_output<C>(term(m3, s0) + term(m4, s1) + term(m5, s2) + k1, maximum);
        out[2] = to_output<C>(term(m6, s0) + term(m7, s1) + term(m8, s2) + k2, maximum);
    }
    return true;
}

#define VRX_COLORMATRIX_MAKE(C, T)                     \
    template class VRX_ColorMatrixEngine<C, T>;        \
    template class VRX_ColorMatrix8xNbitsEngine<C, T>; \
    template class VRX_ColorMatrix3x3_8xNbitsEngine<C, T>;
VRX_COLORMATRIX_FOR_EACH(VRX_COLORMATRIX_MAKE)

}  // namespace vrx
