#include "vrx/extension/readdicomrleframe/vrx_decodepackbitsfastengine.h"

#include <algorithm>
#include <cstring>

#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_DecodePackBitsFastEngine::initiate()";
}

// ---- decode stream ----

VRX_DecodePackBitsFastEngine::DecodeStream::~DecodeStream() { close(); }

void VRX_DecodePackBitsFastEngine::DecodeStream::close() {
    if (block_) manager_->deallocate(block_);
    block_ = nullptr;
    block_bytes_ = 0;
    index_ = 0;
    valid_ = 0;
}

bool VRX_DecodePackBitsFastEngine::DecodeStream::open(VRX_SrcBuffer* source, uint32_t line_bytes) {
    close();
    if (!source || line_bytes == 0) return false;
    source_ = source;
    line_bytes_ = line_bytes;
    carry_index_ = 0;
    carry_count_ = 0;
    block_bytes_ = source->get_block_bytes();
    if (block_bytes_ == 0) return false;
    block_ = static_cast<unsigned char*>(manager_->allocate(block_bytes_));
    return block_ != nullptr;
}

bool VRX_DecodePackBitsFastEngine::DecodeStream::refill() {
    uint32_t count = 0;
    if (!block_ || !source_->get(block_, &count)) return false;
    const bool released = source_->release();
    if (count == 0 || !released) return false;
    index_ = 0;
    valid_ = count;
    return true;
}

bool VRX_DecodePackBitsFastEngine::DecodeStream::decode_line(unsigned char* out) {
    const uint32_t line = line_bytes_;
    uint32_t done = 0;
    if (carry_count_ > 0) {
        const uint32_t k = std::min<uint32_t>(carry_count_, line);
        std::memcpy(out, carry_ + carry_index_, k);
        carry_index_ = static_cast<uint8_t>(carry_index_ + k);
        carry_count_ = static_cast<uint8_t>(carry_count_ - k);
        done = k;
    }
    // The block is walked through local pointers (stores into the line cannot
    // touch them); the read index follows at every refill and at the end.
    const unsigned char* p = block_ + index_;
    const unsigned char* end = block_ + valid_;
    auto more = [&]() {
        index_ = valid_;
        if (!refill()) return false;
        p = block_;
        end = block_ + valid_;
        return true;
    };
    // Copies n stream bytes; literals inside the block go in one copy.
    auto copy = [&](unsigned char* to, uint32_t n) {
        while (n > 0) {
            if (p == end && !more()) return false;
            const uint32_t k = std::min(n, static_cast<uint32_t>(end - p));
            if (k <= 4) {
                for (uint32_t i = 0; i < k; ++i) to[i] = p[i];
            } else {
                std::memcpy(to, p, k);
            }
            p += k;
            to += k;
            n -= k;
        }
        return true;
    };
    bool ok = true;
    while (ok && done < line) {
        if (p == end && !more()) {
            ok = false;
            break;
        }
        const int control = static_cast<int8_t>(*p++);
        if (control == -128) continue;
        uint32_t count = 0;
        uint32_t fit = 0;
        if (control >= 0) {
            count = static_cast<uint32_t>(control) + 1;
            fit = std::min(count, line - done);
            ok = copy(out + done, fit) && (fit == count || copy(carry_, count - fit));
        } else {
            count = static_cast<uint32_t>(1 - control);
            if (p == end && !more()) {
                ok = false;
                break;
            }
            const unsigned char value = *p++;
            fit = std::min(count, line - done);
            std::memset(out + done, value, fit);
            if (fit < count) std::memset(carry_, value, count - fit);
        }
        done += fit;
        if (fit < count) {
            // Only the end of the line cuts a run: the rest begins the next.
            carry_index_ = 0;
            carry_count_ = static_cast<uint8_t>(count - fit);
        }
    }
    index_ = static_cast<uint32_t>(p - block_);
    return ok;
}

// ---- engine ----

bool VRX_DecodePackBitsFastEngine::terminate() {
    bool ok = true;
    if (stream_) ok = stream_->destroy();
    stream_ = nullptr;
    return VRX_ProcessEngine::terminate() && ok;
}

bool VRX_DecodePackBitsFastEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                            VRX_DstBuffer* dst) {
    if (!check_version(VRX_INTERFACE_VERSION_BASE, kInitiateText, __FILE__, 76)) return false;
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (header->encode_type() != VRX_EncodeType::pack_bits() ||
        !header->data_type()->is_u_integer()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 85);
        return false;
    }
    if (!src->block_bytes(manager_->block_bytes())) return false;
    if (!header_.line_bytes(line_bytes_)) return false;
    stream_ = construct<DecodeStream>(manager_);
    if (!stream_ || !stream_->open(src, line_bytes_)) return false;
    lines_ = header->height;
    if (!header_.encode_type(VRX_EncodeType::raw())) return false;
    return dst->block_bytes(line_bytes_);
}

bool VRX_DecodePackBitsFastEngine::execute() {
    if (lines_done_ >= lines_) return false;
    ++lines_done_;
    unsigned char* out = dst_buffer_->get();
    if (!out) return false;
    if (!stream_->decode_line(out)) {
        manager_->report(VRX_ERROR_DATA, "VRX_DecodePackBitsFastEngine::execute()", __FILE__, 46);
        dst_buffer_->release(0);
        return false;
    }
    return dst_buffer_->release(line_bytes_);
}

}  // namespace vrx
