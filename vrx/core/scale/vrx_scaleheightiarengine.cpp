#include "vrx/core/scale/vrx_scaleheightiarengine.h"

#include <cstring>

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
    const uint64_t sum_bytes =
        averaging::with_sum_type<T>(ratio_, []<class S>(S) { return sizeof(S); });
    sums_ = allocate_array<unsigned char>(manager_, uint64_t{samples_} * sum_bytes);
    return sums_ != nullptr;
}

namespace {

// The line operations of the average over n samples. Restrict-qualified so
// the compiler vectorizes them.
template <class S, class T>
void sum_pair(S* __restrict sums, const T* __restrict a, const T* __restrict b, uint32_t n) {
    for (uint32_t k = 0; k < n; ++k) sums[k] = S(S{a[k]} + b[k]);
}

template <class S, class T>
void add_line(S* __restrict sums, const T* __restrict line, uint32_t n) {
    for (uint32_t k = 0; k < n; ++k) sums[k] = S(sums[k] + line[k]);
}

// d = mean(first + last) in sums of S: `first` is a line of sums or of
// samples.
template <class S, bool Shift, uint32_t FixedShift = 0, class F, class T>
void finish_mean(T* __restrict d, const F* __restrict first, const T* __restrict last, uint32_t n,
                 uint32_t ratio, uint32_t shift) {
    const uint32_t k = FixedShift != 0 ? FixedShift : shift;
    const S half = static_cast<S>(ratio / 2);
    for (uint32_t i = 0; i < n; ++i) {
        const S sum = S(S(first[i]) + last[i] + half);
        d[i] = static_cast<T>(Shift ? S(sum >> k) : S(sum / ratio));
    }
}

template <class S, class F, class T>
void finish_mean(T* d, const F* first, const T* last, uint32_t n, uint32_t ratio, uint32_t shift) {
    if (ratio == 2)
        finish_mean<S, true, 1>(d, first, last, n, ratio, shift);
    else if (shift != 0)
        finish_mean<S, true>(d, first, last, n, ratio, shift);
    else
        finish_mean<S, false>(d, first, last, n, ratio, shift);
}

}  // namespace

template <class T>
template <class S>
bool VRX_ScaleHeightIAREngine<T>::average(T* d) {
    S* sums = static_cast<S*>(sums_);
    const uint32_t n = samples_;
    // The lines are taken in place; the first two are held together.
    const T* first = reinterpret_cast<const T*>(src_buffer_->get());
    if (!first) return false;
    if (ratio_ == 1) {
        std::memcpy(d, first, size_t{n} * sizeof(T));
        ++consumed_;
        return src_buffer_->release();
    }
    const T* line = reinterpret_cast<const T*>(src_buffer_->get());
    if (!line) return false;
    if (ratio_ == 2) {
        finish_mean<S>(d, first, line, n, ratio_, shift_);
    } else {
        sum_pair(sums, first, line, n);
        if (!src_buffer_->release() || !src_buffer_->release()) return false;
        consumed_ += 2;
        for (uint32_t j = 2; j + 1 < ratio_; ++j, ++consumed_) {
            if (!(line = reinterpret_cast<const T*>(src_buffer_->get()))) return false;
            add_line(sums, line, n);
            if (!src_buffer_->release()) return false;
        }
        if (!(line = reinterpret_cast<const T*>(src_buffer_->get()))) return false;
        finish_mean<S>(d, sums, line, n, ratio_, shift_);
        consumed_ += 1;
        return src_buffer_->release();
    }
    consumed_ += 2;
    return src_buffer_->release() && src_buffer_->release();
}

template <class T>
bool VRX_ScaleHeightIAREngine<T>::execute() {
    if (produced_ >= dst_height_) return false;
    ++produced_;
    T* d = reinterpret_cast<T*>(dst_buffer_->get());
    if (!d) return false;
    const bool ok = averaging::with_sum_type<T>(ratio_, [&]<class S>(S) { return average<S>(d); });
    return ok && dst_buffer_->release(line_bytes_);
}

template class VRX_ScaleHeightIAREngine<unsigned char>;
template class VRX_ScaleHeightIAREngine<unsigned short>;

}  // namespace vrx
