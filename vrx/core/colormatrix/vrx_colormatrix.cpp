#include "vrx/core/colormatrix/vrx_colormatrix.h"

#include <cfloat>
#include <cmath>

#include "vrx/core/colormatrix/vrx_colormatrix3x3_8xnbits.h"
#include "vrx/core/colormatrix/vrx_colormatrix8xnbits.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

// A square matrix within DBL_EPSILON of the identity, element by element.
bool is_identity(const VRX_Matrix<double>& matrix) {
    if (matrix.rows() != matrix.cols()) return false;
    for (uint32_t r = 0; r < matrix.rows(); ++r)
        for (uint32_t c = 0; c < matrix.cols(); ++c)
            if (!(std::fabs(matrix.at(r, c) - (r == c ? 1.0 : 0.0)) <= DBL_EPSILON)) return false;
    return true;
}

}  // namespace

VRX_Engine* VRX_ColorMatrix::engine(VRX_Engine* source, const VRX_Matrix<double>& matrix,
                                    const VRX_Vector<double>* in_offsets,
                                    const VRX_Vector<double>* out_offsets,
                                    const VRX_ColorType* color_type, bool fixed_point) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ColorMatrix::engine()", __FILE__, 52);
        return nullptr;
    }
    if (header->channels != matrix.cols()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ColorMatrix::engine()", __FILE__, 61);
        return nullptr;
    }
    if (!in_offsets && !out_offsets && (!color_type || color_type == header->color_type()) &&
        is_identity(matrix))
        return source;
    if (matrix.rows() == 3 && matrix.cols() == 3)
        return VRX_ColorMatrix3x3_8xNbits(manager_).engine(source, matrix, in_offsets, out_offsets,
                                                           color_type, fixed_point);
    return VRX_ColorMatrix8xNbits(manager_).engine(source, matrix, in_offsets, out_offsets,
                                                   color_type, fixed_point);
}

}  // namespace vrx
