#include "vrx/core/constantcolor/vrx_constantcolorraw.h"

#include <limits>

#include "vrx/core/constantcolor/vrx_constantcolorraw1engine.h"
#include "vrx/core/constantcolor/vrx_constantcolorraw8xnbitsengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kEngineText = "VRX_ConstantColorRaw::engine()";
}

template <class E, class T>
VRX_Engine* VRX_ConstantColorRaw::build(const VRX_Header* header, const VRX_Vector<T>& color) {
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return make_engine<E>(nullptr, dst, [&](E* e) { return e->initiate(header, dst, color); });
}

template <class N, class T>
VRX_Engine* VRX_ConstantColorRaw::narrowed(const VRX_Header* header, const VRX_Vector<T>& color,
                                           uint32_t line) {
    VRX_Vector<N> values(manager_);
    for (T v : color) {
        if (v < std::numeric_limits<N>::min() || v > std::numeric_limits<N>::max()) {
            manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, line);
            return nullptr;
        }
        if (!values.push_back(static_cast<N>(v))) return nullptr;
    }
    return build<VRX_ConstantColorRaw8xNBitsEngine<N>>(header, values);
}

VRX_Engine* VRX_ConstantColorRaw::engine(const VRX_Header* header,
                                         const VRX_Vector<double>& color) {
    return build<VRX_ConstantColorRaw8xNBitsEngine<double>>(header, color);
}

VRX_Engine* VRX_ConstantColorRaw::engine(const VRX_Header* header, const VRX_Vector<float>& color) {
    return build<VRX_ConstantColorRaw8xNBitsEngine<float>>(header, color);
}

VRX_Engine* VRX_ConstantColorRaw::engine(const VRX_Header* header,
                                         const VRX_Vector<unsigned int>& color) {
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, __LINE__);
        return nullptr;
    }
    switch (header->bits) {
        case 1:
            return build<VRX_ConstantColorRaw1Engine<uint32_t>>(header, color);
        case 8:
            return narrowed<uint8_t>(header, color, 180);
        case 16:
            return narrowed<uint16_t>(header, color, 180);
        default:
            return build<VRX_ConstantColorRaw8xNBitsEngine<uint32_t>>(header, color);
    }
}

VRX_Engine* VRX_ConstantColorRaw::engine(const VRX_Header* header, const VRX_Vector<int>& color) {
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, __LINE__);
        return nullptr;
    }
    switch (header->bits) {
        case 8:
            return narrowed<int8_t>(header, color, 122);
        case 16:
            return narrowed<int16_t>(header, color, 122);
        default:
            return build<VRX_ConstantColorRaw8xNBitsEngine<int32_t>>(header, color);
    }
}

}  // namespace vrx
