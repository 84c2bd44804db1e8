#include "vrx/core/scale/vrx_scaleheightiarengine.h"

#include "vrx/core/scale/vrx_scaleiarsupport.h"
#include "vrx/core/scale/vrx_scalesupport.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx {

template <class T>
bool VRX_ScaleHeightIAREngine<T>::terminate() {
    release_array(manager_, sums_);
    return VRX_ScaleHeightEngine::terminate();
}

template <class T>
bool VRX_ScaleHeightIAREngine<T>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                           VRX_DstBuffer* dst, uint32_t height) {
    constexpr const char* text = "VRX_ScaleHeightIAREngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 118)) return false;
    if (!VRX_ScaleHeightEngine::initiate(header, src, dst, height)) return false;
    if (!is_supported_unsigned<T>(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 130);
        return false;
    }
    samples_ = line_bytes_ / sizeof(T);
    ratio_ = src_height_ / height;
    // A height above the source's leaves no whole block.
    if (ratio_ == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 133);
        return false;
    }
    shift_ = averaging::shift_of(ratio_);
    const uint64_t sum_bytes = averaging::needs_wide_sums(ratio_) ? 8 : 4;
    sums_ = allocate_array<unsigned char>(manager_, uint64_t{samples_} * sum_bytes);
    return sums_ != nullptr;
}

template <class T>
template <class S>
bool VRX_ScaleHeightIAREngine<T>::average(T* d) {
    S* sums = static_cast<S*>(sums_);
    const uint32_t n = samples_;
    for (uint32_t j = 0; j < ratio_; ++j) {
        // Each line is read into the destination block and added up.
        if (!src_buffer_->get(d) || !src_buffer_->release()) return false;
        ++consumed_;
        if (j == 0)
            for (uint32_t k = 0; k < n; ++k) sums[k] = d[k];
        else
            for (uint32_t k = 0; k < n; ++k) sums[k] += d[k];
    }
    for (uint32_t k = 0; k < n; ++k)
        d[k] = static_cast<T>(averaging::mean(sums[k], ratio_, shift_));
    return true;
}

template <class T>
bool VRX_ScaleHeightIAREngine<T>::execute() {
    if (produced_ >= dst_height_) return false;
    ++produced_;
    T* d = reinterpret_cast<T*>(dst_buffer_->get());
    if (!d) return false;
    const bool ok = averaging::needs_wide_sums(ratio_) ? average<uint64_t>(d) : average<uint32_t>(d);
    return ok && dst_buffer_->release(line_bytes_);
}

template class VRX_ScaleHeightIAREngine<unsigned char>;
template class VRX_ScaleHeightIAREngine<unsigned short>;

}  // namespace vrx
