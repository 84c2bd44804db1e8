#include "vrx/extension/dicom/vrx_ybr422toycbcrengine.h"

#include "platform/byte_count.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_YBR422ToYCbCrEngine::initiate()";
}

template <class T>
bool VRX_YBR422ToYCbCrEngine<T>::terminate() {
    if (line_) manager_->deallocate(line_);
    line_ = nullptr;
    return VRX_ProcessEngine::terminate();
}

template <class T>
bool VRX_YBR422ToYCbCrEngine<T>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                          VRX_DstBuffer* dst, int32_t byte_order) {
    if (!check_version(VRX_INTERFACE_VERSION_BASE, kInitiateText, __FILE__, 232)) return false;
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (!header->encode_type()->is_raw() || !header->palette().empty() ||
        header->bits != sizeof(T) * 8 || header->channels != 3) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 242);
        return false;
    }
    byte_order_ = byte_order;
    swapper_.set_order(byte_order);
    width_ = header->width;
    // Two samples per pixel; an odd width ends with a whole group of four.
    const platform::ByteCount s = sample_bytes_;
    const platform::ByteCount input =
        width_ % 2 == 0 ? s * 2 * width_ : s * 2 * (width_ - 1) + s * 4;
    if (!input.fits<uint32_t>() || !header_.line_bytes(output_bytes_)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 242);
        return false;
    }
    input_bytes_ = static_cast<uint32_t>(input.value());
    if (!src->block_bytes(input_bytes_)) return false;
    line_ = static_cast<unsigned char*>(manager_->allocate(input_bytes_));
    return line_ != nullptr && dst->block_bytes(output_bytes_);
}

template <class T>
bool VRX_YBR422ToYCbCrEngine<T>::execute() {
    if (lines_done_ >= header_.height) return false;
    ++lines_done_;
    if (!src_buffer_->get(line_)) return false;
    unsigned char* out = dst_buffer_->get();
    if (!out) {
        src_buffer_->release();
        return false;
    }
    if (sample_bytes_ >= 2 && !swapper_.is_machine_order())
        for (uint32_t i = 0; i + sample_bytes_ <= input_bytes_; i += sample_bytes_)
            swapper_.convert(line_ + i, sample_bytes_);
    ybr422_expand_line(reinterpret_cast<const T*>(line_), width_, reinterpret_cast<T*>(out));
    const bool released = src_buffer_->release();
    return dst_buffer_->release(output_bytes_) && released;
}

template class VRX_YBR422ToYCbCrEngine<unsigned char>;
template class VRX_YBR422ToYCbCrEngine<signed char>;
template class VRX_YBR422ToYCbCrEngine<unsigned short>;
template class VRX_YBR422ToYCbCrEngine<short>;
template class VRX_YBR422ToYCbCrEngine<unsigned int>;
template class VRX_YBR422ToYCbCrEngine<int>;
template class VRX_YBR422ToYCbCrEngine<float>;
template class VRX_YBR422ToYCbCrEngine<double>;

}  // namespace vrx
