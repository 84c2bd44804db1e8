#include "vrx/core/scale/vrx_scalewidthire1bitengine.h"

#include <cstring>

#include "platform/byte_count.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
// Above this factor the line is expanded without a table: a table entry
// would be larger than a whole byte run of the output, and the table of
// 256 entries would grow to the factor's size times 256.
constexpr uint32_t kMaxTableFactor = 64;

// Sets (value true) or clears bits [first, first + count) of a packed line.
void fill_bits(unsigned char* line, uint64_t first, uint64_t count, bool value) {
    const unsigned char ones = value ? 0xFF : 0x00;
    for (; count != 0 && first % 8 != 0; ++first, --count) {
        const unsigned char bit = static_cast<unsigned char>(0x80u >> (first % 8));
        line[first / 8] =
            static_cast<unsigned char>(value ? line[first / 8] | bit : line[first / 8] & ~bit);
    }
    std::memset(line + first / 8, ones, count / 8);
    first += count / 8 * 8;
    for (count %= 8; count != 0; ++first, --count) {
        const unsigned char bit = static_cast<unsigned char>(0x80u >> (first % 8));
        line[first / 8] =
            static_cast<unsigned char>(value ? line[first / 8] | bit : line[first / 8] & ~bit);
    }
}
}  // namespace

bool VRX_ScaleWidthIRE1BitEngine::terminate() {
    if (table_) manager_->deallocate(table_);
    table_ = nullptr;
    return VRX_ProcessEngine::terminate();
}

bool VRX_ScaleWidthIRE1BitEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                           VRX_DstBuffer* dst, uint32_t factor) {
    constexpr const char* text = "VRX_ScaleWidthIRE1BitEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 97)) return false;
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (factor == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 106);
        return false;
    }
    if (!header->encode_type()->is_raw() || header->bits != 1 || header->channels != 1) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 112);
        return false;
    }
    const platform::ByteCount width = platform::ByteCount(header->width) * factor;
    if (!width.fits<uint32_t>()) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, __LINE__);
        return false;
    }
    header_.width = static_cast<uint32_t>(width.value());
    factor_ = factor;
    src_width_ = header->width;
    if (!header->line_bytes(src_line_bytes_)) return false;
    if (factor <= kMaxTableFactor) {
        const size_t table_bytes = size_t{256} * factor;
        table_ = static_cast<unsigned char*>(manager_->allocate(table_bytes));
        if (!table_) return false;
        std::memset(table_, 0, table_bytes);
    }
    for (uint32_t v = 0; table_ && v < 256; ++v) {
        unsigned char* entry = table_ + size_t{v} * factor;
        size_t bit = 0;
        for (int b = 7; b >= 0; --b)
            for (uint32_t c = 0; c < factor; ++c, ++bit)
                if ((v >> b) & 1) entry[bit / 8] |= static_cast<unsigned char>(0x80u >> (bit % 8));
    }
    // The source block is one source line whatever block the producer
    // writes: the line is copied into the start of the output line.
    uint32_t out_bytes = 0;
    return header_.line_bytes(out_bytes) && src->block_bytes(src_line_bytes_) &&
           dst->block_bytes(out_bytes);
}

bool VRX_ScaleWidthIRE1BitEngine::execute() {
    unsigned char* out = dst_buffer_->get();
    if (!out) return false;
    if (!src_buffer_->get(out)) {
        dst_buffer_->release(0);
        return false;
    }
    const bool released = src_buffer_->release();
    const size_t n = factor_;
    if (!table_) {
        // From the last pixel backwards: pixel i is read before the run of
        // pixel i + 1 (from byte 8 x (i + 1) on) can reach its byte.
        for (uint32_t i = src_width_; i-- > 0;)
            fill_bits(out, uint64_t{i} * n, n, (out[i / 8] >> (7 - i % 8)) & 1);
        const uint64_t bits = uint64_t{src_width_} * n;
        if (bits % 8 != 0) fill_bits(out, bits, 8 - bits % 8, false);
        return dst_buffer_->release(dst_buffer_->get_block_bytes()) && released;
    }
    size_t full = src_line_bytes_;
    if (const uint32_t r = src_width_ % 8; r != 0) {
        --full;
        const unsigned v = out[full] & (0xFF00u >> r) & 0xFFu;
        std::memcpy(out + full * n, table_ + v * n, (r * n + 7) / 8);
    }
    for (size_t i = full; i-- > 0;) {
        const unsigned v = out[i];
        std::memcpy(out + i * n, table_ + v * n, n);
    }
    return dst_buffer_->release(dst_buffer_->get_block_bytes()) && released;
}

}  // namespace vrx
