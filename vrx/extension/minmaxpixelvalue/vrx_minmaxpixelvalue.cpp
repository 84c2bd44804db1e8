#include "vrx/extension/minmaxpixelvalue/vrx_minmaxpixelvalue.h"

#include <type_traits>

#include "vrx/extension/minmaxpixelvalue/vrx_minmaxpixelvalueengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kEngineText = "VRX_MinMaxPixelValue::engine()";

// Whether the overload for A takes sources of this data type.
template <class A>
bool takes(const VRX_DataType* type) {
    if constexpr (std::is_floating_point_v<A>) return type->is_floating();
    else if constexpr (std::is_signed_v<A>) return type->is_s_integer();
    else return type->is_u_integer();
}

}  // namespace

template <class A>
VRX_Engine* VRX_MinMaxPixelValue::build(VRX_Engine* source, A* minimum, A* maximum,
                                        uint32_t source_line, uint32_t type_line) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, source_line);
        return nullptr;
    }
    VRX_SrcBuffer* src = source->src_buffer();
    if (!takes<A>(header->data_type())) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, type_line);
        regist_engine(nullptr, src, nullptr);
        return nullptr;
    }
    auto initiate = [&](auto* e) { return e->initiate(header, src, minimum, maximum); };
    if constexpr (std::is_floating_point_v<A>) {
        return make_engine<VRX_MinMaxPixelValueEngine<A, A>>(src, nullptr, initiate);
    } else if constexpr (std::is_signed_v<A>) {
        if (header->bits == 8)
            return make_engine<VRX_MinMaxPixelValueEngine<int8_t, int>>(src, nullptr, initiate);
        if (header->bits == 16)
            return make_engine<VRX_MinMaxPixelValueEngine<int16_t, int>>(src, nullptr, initiate);
        return make_engine<VRX_MinMaxPixelValueEngine<int32_t, int>>(src, nullptr, initiate);
    } else {
        using U = unsigned int;
        if (header->bits == 8)
            return make_engine<VRX_MinMaxPixelValueEngine<uint8_t, U>>(src, nullptr, initiate);
        if (header->bits == 16)
            return make_engine<VRX_MinMaxPixelValueEngine<uint16_t, U>>(src, nullptr, initiate);
        return make_engine<VRX_MinMaxPixelValueEngine<uint32_t, U>>(src, nullptr, initiate);
    }
}

VRX_Engine* VRX_MinMaxPixelValue::engine(VRX_Engine* source, double* minimum, double* maximum) {
    return build(source, minimum, maximum, 199, 218);
}

VRX_Engine* VRX_MinMaxPixelValue::engine(VRX_Engine* source, float* minimum, float* maximum) {
    return build(source, minimum, maximum, 163, 182);
}

VRX_Engine* VRX_MinMaxPixelValue::engine(VRX_Engine* source, int* minimum, int* maximum) {
    return build(source, minimum, maximum, 116, 146);
}

VRX_Engine* VRX_MinMaxPixelValue::engine(VRX_Engine* source, unsigned int* minimum,
                                         unsigned int* maximum) {
    return build(source, minimum, maximum, 69, 99);
}

}  // namespace vrx
