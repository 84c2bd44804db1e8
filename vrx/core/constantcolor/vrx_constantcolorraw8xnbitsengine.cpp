#include "vrx/core/constantcolor/vrx_constantcolorraw8xnbitsengine.h"

#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class T>
bool VRX_ConstantColorRaw8xNBitsEngine<T>::initiate(const VRX_Header* header, VRX_DstBuffer* dst,
                                                    const VRX_Vector<T>& color) {
    constexpr const char* text = "VRX_ConstantColorRaw8xNBitsEngine::initiate()";
    if (!this->check_version(VRX_INTERFACE_VERSION, text, __FILE__, 44)) return false;
    if (!VRX_ConstantColorRawEngine<T>::initiate(header, dst, color)) return false;
    const uint16_t bits = header->bits;
    if (bits != 8 && bits != 16 && bits != 32 && bits != 64) {
        this->manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 53);
        return false;
    }
    if (header->data_type() != sample_data_type<T>() || bits != sample_bits<T>) {
        this->manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 87);
        return false;
    }
    const uint32_t channels = header->channels;
    T* samples = reinterpret_cast<T*>(this->line_);
    for (uint32_t p = 0; p < header->width; ++p)
        for (uint32_t c = 0; c < channels; ++c) samples[size_t{p} * channels + c] = color[c];
    return dst->block_bytes(this->line_bytes_);
}

#define VRX_CONSTANT_MAKE(T) template class VRX_ConstantColorRaw8xNBitsEngine<T>;
VRX_CONSTANT_FOR_EACH_TYPE(VRX_CONSTANT_MAKE)
#undef VRX_CONSTANT_MAKE

}  // namespace vrx
