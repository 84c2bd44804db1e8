#include "vrx/core/scale/vrx_scaleheightppeengine.h"

#include <cmath>
#include <cstring>

#include "vrx/core/scale/vrx_ppprojection.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"

namespace vrx {

template <class T, class C>
bool VRX_ScaleHeightPPEEngine<T, C>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                              VRX_DstBuffer* dst, uint32_t height) {
    constexpr const char* text = "VRX_ScaleHeightPPEEngine::initiate()";
    if (!this->check_version(VRX_INTERFACE_VERSION_BASE, text, __FILE__, 172)) return false;
    if (!VRX_ScaleHeightPPEngine<T, C>::initiate(header, src, dst, height)) return false;
    // An interval of a line or more would have to blend more than two lines.
    if (height <= header->height) {
        this->manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 176);
        return false;
    }
    return true;
}

template <class T, class C>
bool VRX_ScaleHeightPPEEngine<T, C>::execute() {
    if (this->produced_ >= this->dst_height_) return false;
    ++this->produced_;
    T* d = reinterpret_cast<T*>(this->dst_buffer_->get());
    if (!d) return false;
    const double position = this->position_, end = position + this->ratio_;
    const uint32_t i0 = static_cast<uint32_t>(position), i1 = static_cast<uint32_t>(end);
    T* line = this->line_;
    const uint32_t n = this->samples_;
    uint32_t& read = this->consumed_;
    const uint32_t height = this->src_height_;
    if (read <= i0 && read < height && !projection::read_line(this->src_buffer_, line, read))
        return false;
    std::memcpy(d, line, size_t{n} * sizeof(T));
    // An interval that crosses into the next line blends it in; the last
    // destination line never does.
    if (i0 < i1 && static_cast<double>(i1) != end && this->produced_ != this->dst_height_ &&
        read < height) {
        if (!projection::read_line(this->src_buffer_, line, read)) return false;
        const auto w =
            projection::Coefficient<C>::of((std::ceil(position) - position) / this->ratio_);
        for (uint32_t k = 0; k < n; ++k) d[k] = projection::blend(d[k], line[k], w);
    }
    this->position_ = end;
    return this->dst_buffer_->release(this->line_bytes_);
}

template class VRX_ScaleHeightPPEEngine<unsigned char, double>;
template class VRX_ScaleHeightPPEEngine<unsigned short, double>;
template class VRX_ScaleHeightPPEEngine<unsigned char, VRX_FixedReal12>;
template class VRX_ScaleHeightPPEEngine<unsigned short, VRX_FixedReal12>;

}  // namespace vrx
