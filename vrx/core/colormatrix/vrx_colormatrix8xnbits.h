#pragma once
// The colour-matrix creator of the engines for matrices of any shape:
// what VRX_ColorMatrix hands a matrix other than 3 x 3 to.
#include "vrx/core/colormatrix/vrx_colormatrixcreator.h"

namespace vrx {

class VRX_ColorMatrix8xNbits : public VRX_ColorMatrixCreator<VRX_ColorMatrix8xNbitsEngine> {
public:
    using VRX_ColorMatrixCreator::VRX_ColorMatrixCreator;
    ~VRX_ColorMatrix8xNbits() override = default;

    // No identity shortcut. With `fixed_point` and a source that is not
    // floating, the matrix and offsets are made Q12 and the source must be
    // u_integer; otherwise u_integer and floating sources are computed in
    // double. Any other sample type is refused with 0x81000000. The
    // registered engine, or null after a report.
    VRX_Engine* engine(VRX_Engine* source, const VRX_Matrix<double>& matrix,
                       const VRX_Vector<double>* in_offsets, const VRX_Vector<double>* out_offsets,
                       const VRX_ColorType* color_type, bool fixed_point) override;
};

}  // namespace vrx
