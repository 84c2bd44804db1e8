#include "vrx/core/constantcolor/vrx_constantcolorrawengine.h"

#include <cstring>

#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class T>
bool VRX_ConstantColorRawEngine<T>::terminate() {
    manager_->deallocate(line_);
    line_ = nullptr;
    return VRX_GenerateEngine::terminate();
}

template <class T>
bool VRX_ConstantColorRawEngine<T>::execute() {
    if (lines_ >= header_.height) return false;
    unsigned char* out = dst_buffer_->get();
    if (!out) return false;
    std::memcpy(out, line_, line_bytes_);
    const bool committed = dst_buffer_->release(line_bytes_);
    ++lines_;
    return committed;
}

template <class T>
bool VRX_ConstantColorRawEngine<T>::initiate(const VRX_Header* header, VRX_DstBuffer* dst,
                                             const VRX_Vector<T>& color) {
    constexpr const char* text = "VRX_ConstantColorRawEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 43)) return false;
    if (!VRX_GenerateEngine::initiate(header, dst)) return false;
    if (!header->encode_type()->is_raw()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 52);
        return false;
    }
    if (color.size() < header->channels) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 59);
        return false;
    }
    if (!header_.line_bytes(line_bytes_)) return false;
    line_ = static_cast<unsigned char*>(manager_->allocate(line_bytes_));
    return line_ != nullptr;
}

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

template <class T>
bool VRX_ConstantColorRaw1Engine<T>::initiate(const VRX_Header* header, VRX_DstBuffer* dst,
                                              const VRX_Vector<T>& color) {
    constexpr const char* text = "VRX_ConstantColorRaw1Engine::initiate()";
    if (!this->check_version(VRX_INTERFACE_VERSION, text, __FILE__, 43)) return false;
    if (!VRX_ConstantColorRawEngine<T>::initiate(header, dst, color)) return false;
    if (header->bits != 1 || !header->data_type()->is_u_integer()) {
        this->manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 52);
        return false;
    }
    unsigned char* line = this->line_;
    const uint32_t channels = header->channels;
    if (channels == 1) {
        // Every bit of the line, padding included.
        std::memset(line, color[0] != 0 ? 0xFF : 0x00, this->line_bytes_);
    } else {
        std::memset(line, 0, this->line_bytes_);
        for (uint32_t c = 0; c < channels; ++c) {
            if (color[c] == 0) continue;
            for (uint64_t bit = c; bit < uint64_t{header->width} * channels; bit += channels)
                line[bit / 8] |= static_cast<unsigned char>(0x80u >> (bit % 8));
        }
    }
    return dst->block_bytes(this->line_bytes_);
}

template class VRX_ConstantColorRaw1Engine<uint32_t>;
#define VRX_CONSTANT_MAKE(T)                      \
    template class VRX_ConstantColorRawEngine<T>; \
    template class VRX_ConstantColorRaw8xNBitsEngine<T>;
VRX_CONSTANT_FOR_EACH_TYPE(VRX_CONSTANT_MAKE)
#undef VRX_CONSTANT_MAKE

}  // namespace vrx
