#include "vrx/core/applypalette/vrx_applypaletteengine.h"

#include <algorithm>
#include <cstring>

#include "platform/byte_count.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_ApplyPaletteEngine::initiate()";
}

bool VRX_ApplyPaletteEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                      VRX_DstBuffer* dst) {
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    if (header->palette().empty()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 53);
        return false;
    }
    if (!palette_.assign(header->palette())) return false;
    channels_ = palette_.channels;

    // A valid palette image has at most 16 bits per index, so the full table
    // has at most 65536 entries; its size is still checked, as the channel
    // count of an entry is not limited.
    if (header->bits > 16) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, __LINE__);
        return false;
    }
    const uint32_t entries = 1u << header->bits;
    if (palette_.entries != entries) {
        const platform::ByteCount full =
            platform::ByteCount(entries) * palette_.channels * palette_.bits / 8;
        if (!full.fits<uint32_t>()) {
            manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, __LINE__);
            return false;
        }
        const uint32_t full_bytes = static_cast<uint32_t>(full.value());
        auto* table = static_cast<unsigned char*>(manager_->allocate(full_bytes));
        if (!table) return false;
        std::memset(table, 0, full_bytes);
        uint32_t brought = 0;
        if (palette_.byte_count(brought) && palette_.value())
            std::memcpy(table, palette_.value(), std::min(brought, full_bytes));
        palette_.entries = entries;
        const bool installed = palette_.value(table, full_bytes);
        manager_->deallocate(table);
        if (!installed) return false;
    }

    header_.bits = palette_.bits;
    header_.channels = palette_.channels;
    const VRX_Header::VRX_Palette none(manager_);
    if (!header_.palette(none)) return false;
    uint32_t bytes = 0;
    return header_.line_bytes(bytes) && dst->block_bytes(bytes);
}

}  // namespace vrx
