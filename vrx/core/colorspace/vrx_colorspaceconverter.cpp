#include "vrx/core/colorspace/vrx_colorspaceconverter.h"

#include "vrx/core/colormatrix/vrx_colormatrix.h"
#include "vrx/core/colorspace/vrx_colorspace.h"
#include "vrx/core/colorspace/vrx_colorspaceconverterptop.h"
#include "vrx/core/colorspace/vrx_csutility.h"
#include "vrx/core/dlut/vrx_dluttetrahedron.h"
#include "vrx/core/lut/vrx_lut.h"
#include "vrx/core/lut/vrx_lutdata.h"
#include "vrx/core/operation/vrx_not.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/engine/vrx_rewriteheader.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ColorSpaceConverter::lut_stage(VRX_Engine* input, const VRX_ColorType* to,
                                               const VRX_CsUtility& u, uint16_t bits) {
    if (!input) return nullptr;
    VRX_LutData table(manager_);
    table.bits = bits;
    table.channels = to->channels();
    table.entries = u.lut_entries;
    if (!u.lut || !table.value(u.lut, u.lut_bytes)) return nullptr;
    return VRX_Lut(manager_).engine(input, &table, to);
}

VRX_Engine* VRX_ColorSpaceConverter::matrix_stage(VRX_Engine* input, const VRX_ColorType* to,
                                                  const VRX_CsUtility& u, uint16_t bits) {
    if (!input || !input->header()) return nullptr;
    // YCbCr chroma is centred on half the sample range: taken off before a
    // matrix from YCbCr, put back after one to YCbCr.
    const double half = static_cast<double>(1u << (bits - 1));
    VRX_Vector<double> offsets(manager_, 3, 0.0);
    if (offsets.size() != 3) return nullptr;
    const VRX_Vector<double>* in = nullptr;
    const VRX_Vector<double>* out = nullptr;
    if (input->header()->color_type()->is_ycbcr()) {
        offsets[1] = offsets[2] = -half;
        in = &offsets;
    } else if (to->is_ycbcr()) {
        offsets[1] = offsets[2] = half;
        out = &offsets;
    }
    return VRX_ColorMatrix(manager_).engine(input, u.matrix, in, out, to, bits <= 8);
}

VRX_Engine* VRX_ColorSpaceConverter::relabel(VRX_Engine* input, const VRX_ColorType* to) {
    VRX_Header header(manager_);
    if (!header.assign(*input->header()) || !header.color_type(to)) return nullptr;
    return VRX_RewriteHeader(manager_).engine(input, &header);
}

VRX_Engine* VRX_ColorSpaceConverter::engine(VRX_Engine* source, const VRX_ColorType* target,
                                            const VRX_CsUtility& u) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header || !target) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ColorSpaceConverter::engine()", __FILE__,
                         __LINE__);
        return nullptr;
    }
    const uint16_t bits = header->bits;
    using K = VRX_CsUtility;
    switch (u.kind) {
        case K::CS_LUT:
            return lut_stage(source, target, u, bits);
        case K::CS_MATRIX:
            return matrix_stage(source, target, u, bits);
        case K::CS_DLUT:
            return VRX_DLutTetrahedron(manager_).engine(source, bits, target->channels(), K::kGrid,
                                                        1, u.dlut, target);
        case K::CS_MATRIX_LUT:
            return lut_stage(matrix_stage(source, u.via, u, bits), target, u, bits);
        case K::CS_LUT_MATRIX:
            return matrix_stage(lut_stage(source, u.via, u, bits), target, u, bits);
        case K::CS_NOT: {
            VRX_Engine* relabelled = relabel(source, target);
            return relabelled ? VRX_Not(manager_).engine(relabelled) : nullptr;
        }
        case K::CS_RELABEL:
            return relabel(source, target);
        case K::CS_POINT:
            return VRX_ColorSpaceConverterPtoP(manager_).engine(source, target);
        case K::CS_POINT_THEN_SPACE: {
            VRX_Engine* rgb = VRX_ColorSpaceConverterPtoP(manager_).engine(source, u.via);
            return rgb ? VRX_ColorSpace(manager_).engine(rgb, target) : nullptr;
        }
        case K::CS_SPACE_THEN_POINT: {
            VRX_Engine* rgb = VRX_ColorSpace(manager_).engine(source, u.via);
            return rgb ? VRX_ColorSpaceConverterPtoP(manager_).engine(rgb, target) : nullptr;
        }
        default:
            manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_ColorSpace::engine()", __FILE__, 110);
            return nullptr;
    }
}

}  // namespace vrx
