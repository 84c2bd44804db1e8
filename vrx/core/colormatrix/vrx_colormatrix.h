#pragma once
// Creator of the colour-matrix stage: every pixel of n channels becomes a
// pixel of m channels, out = M x (in + input offsets) + output offsets, with
// M a matrix of m rows and n columns. A 3 x 3 matrix goes to the unrolled
// engines (VRX_ColorMatrix3x3_8xNbits), any other shape to
// VRX_ColorMatrix8xNbits. With `fixed_point` an integer image is computed in
// Q12 fixed point (coefficients truncated toward zero), else in double.
#include "vrx/core/colormatrix/vrx_matrix.h"
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_Engine;
class VRX_ColorType;

class VRX_ColorMatrix : public VRX_EngineCreator {
public:
    explicit VRX_ColorMatrix(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ColorMatrix() override = default;

    // `in_offsets` (one per source channel) and `out_offsets` (one per matrix
    // row) may be null; `color_type` null keeps the source's, which must then
    // accept m channels. A missing source or header (line 52) and a source
    // whose channels differ from the matrix's columns (line 61) are refused
    // with 0x80800000. A square matrix within DBL_EPSILON of the identity,
    // without offsets and without a new colour type, needs no stage: the
    // source itself is returned. Else the registered engine, or null.
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_Matrix<double>& matrix,
                               const VRX_Vector<double>* in_offsets,
                               const VRX_Vector<double>* out_offsets,
                               const VRX_ColorType* color_type, bool fixed_point);
};

}  // namespace vrx
