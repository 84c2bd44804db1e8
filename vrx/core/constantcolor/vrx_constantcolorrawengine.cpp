#include "vrx/core/constantcolor/vrx_constantcolorrawengine.h"

#include <cstring>

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

#define VRX_CONSTANT_MAKE(T) template class VRX_ConstantColorRawEngine<T>;
VRX_CONSTANT_FOR_EACH_TYPE(VRX_CONSTANT_MAKE)
#undef VRX_CONSTANT_MAKE

}  // namespace vrx
