#include "vrx/core/convertdatatype/vrx_convertdatatype1bit.h"

#include "vrx/core/constantcolor/vrx_constantcolor.h"
#include "vrx/core/operation/vrx_not.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ConvertDataType1bit::engine(VRX_Engine* source, double gain, double offset) {
    constexpr const char* text = "VRX_ConvertDataType1bit::engine()";
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 51);
        return nullptr;
    }
    if (!header->palette().empty()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 57);
        return nullptr;
    }
    // The bits of 0 and 1; a value that is not a number gives 0.
    const bool zero_bit = offset >= 0.5, one_bit = gain + offset >= 0.5;
    if (one_bit && !zero_bit) return source;
    if (!one_bit && zero_bit) return VRX_Not(manager_).engine(source);
    // Both values give the same bit: an image of it, which reads nothing.
    const unsigned bit = zero_bit ? 1u : 0u;
    VRX_Header format(manager_);
    if (!format.assign(*header)) return nullptr;
    VRX_Vector<unsigned int> color(manager_);
    if (!color.assign(header->channels, bit)) return nullptr;
    return VRX_ConstantColor(manager_).engine(&format, color);
}

}  // namespace vrx
