#include "vrx/core/constantcolor/vrx_constantcolor.h"

#include "vrx/core/constantcolor/vrx_constantcolorraw.h"

namespace vrx {

VRX_Engine* VRX_ConstantColor::engine(const VRX_Header* header, const VRX_Vector<double>& color) {
    return VRX_ConstantColorRaw(manager_).engine(header, color);
}

VRX_Engine* VRX_ConstantColor::engine(const VRX_Header* header, const VRX_Vector<float>& color) {
    return VRX_ConstantColorRaw(manager_).engine(header, color);
}

VRX_Engine* VRX_ConstantColor::engine(const VRX_Header* header,
                                      const VRX_Vector<unsigned int>& color) {
    return VRX_ConstantColorRaw(manager_).engine(header, color);
}

VRX_Engine* VRX_ConstantColor::engine(const VRX_Header* header, const VRX_Vector<int>& color) {
    return VRX_ConstantColorRaw(manager_).engine(header, color);
}

}  // namespace vrx
