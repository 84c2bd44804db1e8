#include "vrx/core/operation/vrx_notqmrleengine.h"

#include "vrx/core/qmrle/vrx_qmrlebuffer.h"
#include "vrx/core/qmrle/vrx_qmrlerun.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_NotQMRLEEngine::initiate()";
}

bool VRX_NotQMRLEEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                  VRX_DstBuffer* dst) {
    if (!check_version(VRX_INTERFACE_VERSION, kInitiateText, __FILE__, 95)) return false;
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (header->encode_type() != VRX_EncodeType::qm_rle() || header->bits != 1 ||
        header->channels != 1) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 104);
        return false;
    }
    last_column_ = header->width - 1;
    buffer_ = VRX_QMRLEBuffer::create(manager_, src, header);
    if (!buffer_) return false;
    uint32_t bytes = 0;
    return run_block_bytes(manager_, header->width, bytes, kInitiateText, __FILE__, __LINE__) &&
           dst->block_bytes(bytes);
}

bool VRX_NotQMRLEEngine::terminate() {
    VRX_QMRLEBuffer* buffer = buffer_;
    buffer_ = nullptr;
    const bool ended = vrx::destroy(buffer);
    return VRX_ProcessEngine::terminate() && ended;
}

bool VRX_NotQMRLEEngine::execute() {
    if (line_ >= buffer_->line_count()) return false;
    out_.clear();
    // The buffer has checked the runs: first <= last <= width, each behind
    // the one before. A run may end at the width itself, past the last
    // column: the first column no run covers yet is kept in 64 bits and
    // nothing is appended beyond the last column.
    uint64_t free_from = 0;
    for (auto it = buffer_->line_begin(line_), end = buffer_->line_end(line_); it != end; ++it) {
        const auto [first, last] = *it;
        if (first > free_from && !out_.append_run(static_cast<uint32_t>(free_from), first - 1))
            return false;
        free_from = uint64_t{last} + 1;
    }
    if (free_from <= last_column_ &&
        !out_.append_run(static_cast<uint32_t>(free_from), last_column_))
        return false;
    ++line_;
    return out_.write_runarray(dst_buffer_);
}

}  // namespace vrx
