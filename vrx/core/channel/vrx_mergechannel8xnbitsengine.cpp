#include "vrx/core/channel/vrx_mergechannel8xnbitsengine.h"

#include "platform/byte_count.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

// N one-channel planes: out[p x N + i] = plane i [p], with N known to the
// compiler so that the inner loop unrolls.
template <size_t N, class T>
void interleave(const unsigned char* const* inputs, uint32_t width, T* out) {
    const T* planes[N];
    for (size_t i = 0; i < N; ++i) planes[i] = reinterpret_cast<const T*>(inputs[i]);
    for (uint32_t p = 0; p < width; ++p)
        for (size_t i = 0; i < N; ++i) out[size_t{p} * N + i] = planes[i][p];
}

}  // namespace

template <class T>
bool VRX_MergeChannel8xNbitsEngine<T>::terminate() {
    if (lines_in_) manager_->deallocate(lines_in_);
    lines_in_ = nullptr;
    return VRX_MergeChannelEngine::terminate();
}

template <class T>
bool VRX_MergeChannel8xNbitsEngine<T>::initiate(const VRX_Vector<const VRX_Header*>& headers,
                                                const VRX_Vector<VRX_SrcBuffer*>& sources,
                                                VRX_DstBuffer* dst, const VRX_ColorType* color) {
    if (!VRX_MergeChannelEngine::initiate(headers, sources, dst, color)) return false;
    if (header(0)->bits != sizeof(T) * 8) {
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_MergeChannel8xNbitsEngine::initiate()",
                         __FILE__, 200);
        return false;
    }
    const platform::ByteCount bytes = platform::ByteCount(size()) * sizeof(const unsigned char*);
    if (!bytes.fits<size_t>()) return false;
    lines_in_ = static_cast<const unsigned char**>(manager_->allocate(bytes.value()));
    return lines_in_ != nullptr;
}

template <class T>
void VRX_MergeChannel8xNbitsEngine<T>::merge(const unsigned char* const* inputs,
                                            unsigned char* output) {
    T* out = reinterpret_cast<T*>(output);
    const size_t n = size();
    bool planes = true;
    for (size_t i = 0; i < n; ++i) planes = planes && header(i)->channels == 1;
    if (planes) {
        switch (n) {
            case 2: return interleave<2>(inputs, width_, out);
            case 3: return interleave<3>(inputs, width_, out);
            case 4: return interleave<4>(inputs, width_, out);
            case 6: return interleave<6>(inputs, width_, out);
            default: break;
        }
    }
    // General rule, one input at a time: its channels land at their offset
    // inside every output pixel.
    const size_t total = header_.channels;
    size_t offset = 0;
    for (size_t i = 0; i < n; ++i) {
        const size_t channels = header(i)->channels;
        const T* in = reinterpret_cast<const T*>(inputs[i]);
        for (uint32_t p = 0; p < width_; ++p)
            for (size_t c = 0; c < channels; ++c)
                out[p * total + offset + c] = in[p * channels + c];
        offset += channels;
    }
}

template class VRX_MergeChannel8xNbitsEngine<uint8_t>;
template class VRX_MergeChannel8xNbitsEngine<int8_t>;
template class VRX_MergeChannel8xNbitsEngine<uint16_t>;
template class VRX_MergeChannel8xNbitsEngine<int16_t>;
template class VRX_MergeChannel8xNbitsEngine<uint32_t>;
template class VRX_MergeChannel8xNbitsEngine<int32_t>;
template class VRX_MergeChannel8xNbitsEngine<float>;
template class VRX_MergeChannel8xNbitsEngine<double>;

}  // namespace vrx
