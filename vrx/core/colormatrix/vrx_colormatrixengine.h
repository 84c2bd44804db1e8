#pragma once
// Colour-matrix engines: every pixel of n channels becomes m channels by
// out = M x (in + input offsets) + output offsets, folded at initiate into
// out[r] = sum over c of M(r, c) x in[c] + constant[r]. C is the coefficient
// type (double, or the Q12 fixed-point real for u_integer samples), T the
// sample type of source and output (uint8_t, uint16_t, float, double).
//
// Integer outputs are clamped to 0 and the sample maximum and rounded: in
// double by truncating v + 0.5, in Q12 by (v + 2048) >> 12. Q12 products and
// sums wrap in 32 bits; float and double outputs are neither rounded nor
// clamped.
#include <cstdint>

#include "vrx/core/colormatrix/vrx_matrix.h"
#include "vrx/framework/engine/vrx_processlinetolineengine.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_ColorType;

template <class C, class T>
class VRX_ColorMatrixEngine : public VRX_ProcessLineToLineEngine {
public:
    using Matrix = VRX_Matrix<C>;
    using Offsets = VRX_Vector<C>;

    explicit VRX_ColorMatrixEngine(VRX_Manager* manager) : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_ColorMatrixEngine() override = default;

    // Version test; the line-engine initiate; a source of T's data type and
    // width without palette (else 0x81000000); offsets, when given, of one
    // value per input (line 80) or output channel (line 91); an output of
    // the matrix's rows and the given colour type that is a valid image
    // (line 103, all 0x80800000). The engine families then copy the
    // coefficients.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          const Matrix& matrix, const Offsets* in_offsets,
                          const Offsets* out_offsets, const VRX_ColorType* color_type);
    using VRX_ProcessLineToLineEngine::initiate;

protected:
    // Fills the offsets, the matrix copy and the constants: in[c] and out[r]
    // from the vectors (0 without one), m row by row from the matrix (0 where
    // it has no element), k[r] = sum of m(r, c) x in[c] from c = 0 up, plus
    // out[r].
    void fold(const Matrix& matrix, const Offsets* in_offsets, const Offsets* out_offsets, C* in,
              C* out, C* m, C* k) const;

    uint16_t in_channels_ = 0;
    uint16_t out_channels_ = 0;
    uint32_t width_ = 0;
    T maximum_{};
};

// Any shape: coefficient arrays drawn from the manager.
template <class C, class T>
class VRX_ColorMatrix8xNbitsEngine : public VRX_ColorMatrixEngine<C, T> {
public:
    using Base = VRX_ColorMatrixEngine<C, T>;
    using Base::Base;
    using typename Base::Matrix;
    using typename Base::Offsets;

    // Gives the four arrays back, then ends as a process engine.
    bool terminate() override;
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  const Matrix& matrix, const Offsets* in_offsets, const Offsets* out_offsets,
                  const VRX_ColorType* color_type) override;
    using Base::initiate;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

    C* in_offsets_ = nullptr;
    C* out_offsets_ = nullptr;
    C* matrix_ = nullptr;
    C* constants_ = nullptr;
};

// A 3 x 3 matrix on three channels, the coefficients held in the engine and
// the rows unrolled.
template <class C, class T>
class VRX_ColorMatrix3x3_8xNbitsEngine : public VRX_ColorMatrixEngine<C, T> {
public:
    using Base = VRX_ColorMatrixEngine<C, T>;
    using Base::Base;
    using typename Base::Matrix;
    using typename Base::Offsets;

    // The base initiate, then three input channels and three matrix rows
    // (else 0x80800000, line 103).
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  const Matrix& matrix, const Offsets* in_offsets, const Offsets* out_offsets,
                  const VRX_ColorType* color_type) override;
    using Base::initiate;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

    C in_offsets_[3]{};
    C out_offsets_[3]{};
    C matrix_[9]{};
    C constants_[3]{};
    // Q12 on 8-bit samples within the bounds of the vector kernels: the
    // fastest one the processor runs takes the line's whole steps.
    size_t (*kernel_)(const uint8_t*, uint8_t*, size_t, const int16_t*, const int32_t*) = nullptr;
    int16_t matrix16_[9]{};
    int32_t constants32_[3]{};
};

// X(C, T) for the six instances of each family.
#define VRX_COLORMATRIX_FOR_EACH(X) \
    X(double, uint8_t)              \
    X(double, uint16_t)             \
    X(double, float)                \
    X(double, double)               \
    X(VRX_FixedReal12, uint8_t)     \
    X(VRX_FixedReal12, uint16_t)
#define VRX_COLORMATRIX_EXTERN(C, T)                          \
    extern template class VRX_ColorMatrixEngine<C, T>;        \
    extern template class VRX_ColorMatrix8xNbitsEngine<C, T>; \
    extern template class VRX_ColorMatrix3x3_8xNbitsEngine<C, T>;
VRX_COLORMATRIX_FOR_EACH(VRX_COLORMATRIX_EXTERN)
#undef VRX_COLORMATRIX_EXTERN

}  // namespace vrx
