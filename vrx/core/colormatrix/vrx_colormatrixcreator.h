#pragma once
// What the two colour-matrix creators share: the choice of the engine
// instance by the source's sample type and the coefficient type, and the Q12
// forms of the matrix and offsets.
#include <cstdint>

#include "vrx/core/colormatrix/vrx_colormatrix.h"
#include "vrx/core/colormatrix/vrx_colormatrixengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

// Where a creator reports: its text and the lines of a missing source, of a
// fixed-point request on a source that is not u_integer, and of a double one
// on a source neither u_integer nor floating.
struct VRX_ColorMatrixTexts {
    const char* function;
    const char* file;
    uint32_t no_source_line;
    uint32_t fixed_type_line;
    uint32_t double_type_line;
};

template <template <class, class> class Engine>
class VRX_ColorMatrixCreator : public VRX_ColorMatrix {
public:
    using VRX_ColorMatrix::VRX_ColorMatrix;
    ~VRX_ColorMatrixCreator() override {
        vrx::destroy(in_q12_);
        vrx::destroy(out_q12_);
    }

protected:
    VRX_Engine* build(VRX_Engine* source, const VRX_Matrix<double>& matrix,
                      const VRX_Vector<double>* in_offsets, const VRX_Vector<double>* out_offsets,
                      const VRX_ColorType* color_type, bool fixed_point,
                      const VRX_ColorMatrixTexts& texts) {
        const VRX_Header* header = source ? source->header() : nullptr;
        if (!header) {
            manager_->report(VRX_ERROR_ARGUMENT, texts.function, texts.file, texts.no_source_line);
            return nullptr;
        }
        VRX_SrcBuffer* src = source->src_buffer();
        VRX_DstBuffer* dst = manager_->new_dst_buffer();
        const VRX_DataType* type = header->data_type();
        auto make = [&]<class C, class T>(const VRX_Matrix<C>& m, const VRX_Vector<C>* in,
                                          const VRX_Vector<C>* out, T*) -> VRX_Engine* {
            return make_engine<Engine<C, T>>(src, dst, [&](Engine<C, T>* e) {
                return e->initiate(header, src, dst, m, in, out, color_type);
            });
        };
        auto refuse = [&](uint32_t line) -> VRX_Engine* {
            manager_->report(VRX_ERROR_UNSUPPORTED, texts.function, texts.file, line);
            return regist_engine(nullptr, src, dst);
        };

        if (fixed_point && !type->is_floating()) {
            VRX_MatrixQ12 q12(manager_);
            if (!convert_matrix(matrix, q12) || !to_q12(in_offsets, in_q12_) ||
                !to_q12(out_offsets, out_q12_))
                return regist_engine(nullptr, src, dst);
            if (!type->is_u_integer()) return refuse(texts.fixed_type_line);
            if (header->bits == 8)
                return make(q12, in_q12_, out_q12_, static_cast<uint8_t*>(nullptr));
            return make(q12, in_q12_, out_q12_, static_cast<uint16_t*>(nullptr));
        }
        if (type->is_u_integer()) {
            if (header->bits == 8)
                return make(matrix, in_offsets, out_offsets, static_cast<uint8_t*>(nullptr));
            return make(matrix, in_offsets, out_offsets, static_cast<uint16_t*>(nullptr));
        }
        if (type->is_floating()) {
            if (header->bits == 32)
                return make(matrix, in_offsets, out_offsets, static_cast<float*>(nullptr));
            return make(matrix, in_offsets, out_offsets, static_cast<double*>(nullptr));
        }
        return refuse(texts.double_type_line);
    }

private:
    // The Q12 copy (each value truncated toward zero) of `offsets` in `out`;
    // `out` stays null without offsets. False when it cannot be made.
    bool to_q12(const VRX_Vector<double>* offsets, VRX_Vector<VRX_FixedReal12>*& out) {
        if (!offsets) return true;
        vrx::destroy(out);
        out = VRX_Vector<VRX_FixedReal12>::create(manager_, offsets->size(), VRX_FixedReal12{});
        if (!out) return false;
        for (size_t i = 0; i < offsets->size(); ++i)
            (*out)[i] = VRX_FixedReal12::from_raw(q12_truncated((*offsets)[i]));
        return true;
    }

    VRX_Vector<VRX_FixedReal12>* in_q12_ = nullptr;
    VRX_Vector<VRX_FixedReal12>* out_q12_ = nullptr;
};

}  // namespace vrx
