#include "vrx/core/colormatrix/vrx_colormatrix8xnbits.h"

namespace vrx {

VRX_Engine* VRX_ColorMatrix8xNbits::engine(VRX_Engine* source, const VRX_Matrix<double>& matrix,
                                           const VRX_Vector<double>* in_offsets,
                                           const VRX_Vector<double>* out_offsets,
                                           const VRX_ColorType* color_type, bool fixed_point) {
    return build(source, matrix, in_offsets, out_offsets, color_type, fixed_point,
                 {"VRX_ColorMatrix8xNbits::engine()", __FILE__, 83, 136, 161});
}

}  // namespace vrx
