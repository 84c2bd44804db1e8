#include "vrx/core/operation/vrx_oppixels1engine.h"

#include <algorithm>

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_OpPixels1Engine::initiate()";
}

template <class Op>
bool VRX_OpPixels1Engine<Op>::is_supported(const VRX_Header& base) {
    using P = VRX_PixelOperator;
    if constexpr (P::is<Op, P::Overwrite>) return base.bits == 1;
    else if constexpr (P::is<Op, P::MultiplyWithNormalization>) return false;
    else return base.bits == 1 && base.channels == 1;
}

template <class Op>
bool VRX_OpPixels1Engine<Op>::terminate() {
    if (operand_line_) manager_->deallocate(operand_line_);
    operand_line_ = nullptr;
    return VRX_OpPixelsEngine::terminate();
}

template <class Op>
bool VRX_OpPixels1Engine<Op>::initiate(const VRX_Vector<const VRX_Header*>& headers,
                                       const VRX_Vector<VRX_SrcBuffer*>& sources,
                                       VRX_DstBuffer* dst, uint32_t x, uint32_t y) {
    if (!check_version(VRX_INTERFACE_VERSION, kInitiateText, __FILE__, 64)) return false;
    if (!VRX_OpPixelsEngine::initiate(headers, sources, dst)) return false;
    const VRX_Header& base = *header(0);
    const VRX_Header& operand = *header(1);
    if (!is_supported(base)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 74);
        return false;
    }
    // An operand that starts at or right of the base's last column would
    // give an empty bit range, which the byte masks cannot express.
    if (x >= base.width) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, __LINE__);
        return false;
    }
    const uint64_t c = base.channels;
    first_bit_ = static_cast<uint32_t>(c * x);
    first_line_ = std::min(y, base.height);
    first_byte_ = first_bit_ / 8;
    start_bit_ = first_bit_ % 8;
    last_bit_ = static_cast<uint32_t>(
        c * std::min<uint64_t>(uint64_t{operand.width} + x, base.width) - 1);
    last_byte_ = last_bit_ / 8;
    last_line_ = static_cast<uint32_t>(
        std::min<uint64_t>(uint64_t{operand.height} + y, base.height) - 1);

    first_mask_ = static_cast<uint8_t>(0xFFu >> start_bit_);
    const uint32_t tail = (last_bit_ + 1) % 8;
    last_mask_ = static_cast<uint8_t>(tail == 0 ? 0xFFu : ~(0xFFu >> tail));
    if (first_byte_ == last_byte_) {
        first_mask_ = static_cast<uint8_t>(first_mask_ & last_mask_);
        last_mask_ = static_cast<uint8_t>(~first_mask_);
    }

    if (!operand.line_bytes(operand_line_bytes_)) return false;
    operand_line_ = static_cast<unsigned char*>(manager_->allocate(operand_line_bytes_));
    return operand_line_ != nullptr;
}

template <class Op>
void VRX_OpPixels1UnMaskedEngine<Op>::and_line(unsigned char* d) const {
    const unsigned char* o = this->operand_line_;
    const uint32_t fb = this->first_byte_;
    const uint32_t lb = this->last_byte_;
    const uint32_t s = this->start_bit_;
    const unsigned m0 = this->first_mask_;
    const unsigned m1 = this->last_mask_;
    auto byte = [](unsigned v) { return static_cast<unsigned char>(v); };
    if (fb == lb) {
        d[fb] = byte(d[fb] & (((o[0] >> s) & m0) | m1));
        return;
    }
    const uint32_t n = lb - fb;
    if (s == 0) {
        for (uint32_t k = 0; k < n; ++k) d[fb + k] = byte(d[fb + k] & o[k]);
        d[lb] = byte(d[lb] & ((o[n] & m1) | (~m1 & 0xFFu)));
        return;
    }
    // The operand bits are shifted right by s: byte k of the destination
    // range takes the tail of operand byte k - 1 and the head of byte k.
    d[fb] = byte(d[fb] & (((o[0] >> s) & m0) | (~m0 & 0xFFu)));
    for (uint32_t k = 1; k < n; ++k) {
        const unsigned v = ((o[k - 1] << (8 - s)) & ~m0) | ((o[k] >> s) & m0);
        d[fb + k] = byte(d[fb + k] & v);
    }
    const unsigned e = d[lb];
    const unsigned next = n < this->operand_line_bytes_ ? o[n] : 0xFFu;
    const unsigned v = ((o[n - 1] << (8 - s)) & ~m0 & e) | (m0 & e & (next >> s));
    d[lb] = byte((e & ~m1) | (v & m1));
}

template <class Op>
bool VRX_OpPixels1UnMaskedEngine<Op>::execute() {
    if (this->line_ >= this->header_.height) return false;
    unsigned char* block = this->begin_line();
    if (!block) return false;
    bool ok = true;
    const uint32_t row = this->line_;
    if (row >= this->first_line_ && row <= this->last_line_) {
        VRX_SrcBuffer* operand_buffer = this->src_buffer(1);
        if (!operand_buffer->get(this->operand_line_)) {
            ok = false;
        } else {
            and_line(block);
            ok = operand_buffer->release();
        }
    }
    return this->end_line(ok);
}

template class VRX_OpPixels1Engine<VRX_PixelOperator::And>;
template class VRX_OpPixels1UnMaskedEngine<VRX_PixelOperator::And>;

}  // namespace vrx
