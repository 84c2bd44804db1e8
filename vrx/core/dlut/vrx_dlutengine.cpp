#include "vrx/core/dlut/vrx_dlutengine.h"

#include <algorithm>
#include <cstring>

#include "platform/byte_count.h"
#include "vrx/core/convertdatatype/vrx_pixelmath.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kText = "VRX_DLutEngine::initiate()";

}  // namespace

bool VRX_DLutEngine::terminate() {
    manager_->deallocate(table_);
    table_ = nullptr;
    manager_->deallocate(cell_);
    cell_ = nullptr;
    return VRX_ProcessEngine::terminate();
}

bool VRX_DLutEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                              uint16_t bits, uint16_t outputs, uint16_t grid, uint8_t first_slowest,
                              const void* table, const VRX_ColorType* color_type) {
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    const uint16_t source_bits = header->bits;
    if (!header->data_type()->is_u_integer() || !header->palette().empty() ||
        (source_bits != 8 && source_bits != 16) || header->channels == 0 ||
        header->channels > kMaxChannels) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kText, __FILE__, 74);
        return false;
    }
    // Samples and bytes of the caller's table and of the copy, in 64 bits.
    const platform::ByteCount samples = int_pow_count(grid, header->channels) * outputs;
    const platform::ByteCount bytes = samples * (std::max(bits, source_bits) / 8u);
    if ((bits != 8 && bits != 16) || outputs == 0 || outputs > kMaxChannels || !table || grid < 2 ||
        grid > 65 || !bytes.fits<uint32_t>()) {
        manager_->report(VRX_ERROR_ARGUMENT, kText, __FILE__, 94);
        return false;
    }
    header_.channels = outputs;
    if (color_type && !header_.color_type(color_type)) return false;
    if (!header_.is_valid()) {
        manager_->report(VRX_ERROR_ARGUMENT, kText, __FILE__, 108);
        return false;
    }

    inputs_ = header->channels;
    outputs_ = outputs;
    grid_ = grid;
    const size_t count = samples.value();
    table_ = static_cast<unsigned char*>(manager_->allocate(count * (source_bits / 8u)));
    if (!table_) return false;
    if (bits == source_bits) {
        std::memcpy(table_, table, count * (source_bits / 8u));
    } else if (source_bits == 8) {
        const uint16_t* from = static_cast<const uint16_t*>(table);
        for (size_t i = 0; i < count; ++i)
            table_[i] = static_cast<uint8_t>((uint64_t{from[i]} * 2139127681u) >> 39);
    } else {
        const uint8_t* from = static_cast<const uint8_t*>(table);
        uint16_t* to = reinterpret_cast<uint16_t*>(table_);
        for (size_t i = 0; i < count; ++i) to[i] = static_cast<uint16_t>(from[i] * 257u);
    }

    max_ = (1u << source_bits) - 1;
    scale_ = static_cast<double>(grid_ - 1) / max_;
    cell_ = static_cast<uint32_t*>(manager_->allocate(sizeof(uint32_t) * (size_t{max_} + 1)));
    if (!cell_) {
        manager_->deallocate(table_);
        table_ = nullptr;
        return false;
    }
    // The samples are checked to fit 32 bits, so every stride does too.
    const uint32_t n = inputs_;
    if (first_slowest) {
        stride_[n - 1] = outputs_;
        for (uint32_t i = n - 1; i-- > 0;) stride_[i] = stride_[i + 1] * grid_;
        stride_[n] = stride_[0] * grid_;
    } else {
        stride_[0] = outputs_;
        for (uint32_t i = 1; i <= n; ++i) stride_[i] = stride_[i - 1] * grid_;
    }
    uint32_t line = 0;
    return header_.line_bytes(line) && dst->block_bytes(line);
}

}  // namespace vrx
