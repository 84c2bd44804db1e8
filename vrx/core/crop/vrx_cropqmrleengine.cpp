#include "vrx/core/crop/vrx_cropqmrleengine.h"

#include <algorithm>

#include "vrx/core/qmrle/vrx_qmrleline.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_CropQMRLEEngine::initiate()";
}

bool VRX_CropQMRLEEngine::terminate() {
    VRX_QMRLELine* reader = reader_;
    reader_ = nullptr;
    const bool ended = vrx::destroy(reader);
    return VRX_ProcessEngine::terminate() && ended;
}

bool VRX_CropQMRLEEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                                   uint32_t x, uint32_t y, uint32_t width, uint32_t height) {
    if (!check_version(VRX_INTERFACE_VERSION, kInitiateText, __FILE__, 111)) return false;
    if (!header || x >= header->width || y >= header->height || width == 0 || height == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 120);
        return false;
    }
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (header->bits != 1 || header->channels != 1 ||
        header->encode_type() != VRX_EncodeType::qm_rle()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 131);
        return false;
    }
    // Compared as differences: x + width and y + height may wrap.
    width = std::min(width, header->width - x);
    height = std::min(height, header->height - y);
    x0_ = x;
    x1_ = x + width - 1;
    y0_ = y;
    y1_ = y + height - 1;
    header_.width = width;
    header_.height = height;
    reader_ = VRX_QMRLELine::create(manager_, src, header);
    if (!reader_) return false;
    uint32_t bytes = 0;
    return run_block_bytes(manager_, width, bytes, kInitiateText, __FILE__, __LINE__) &&
           dst->block_bytes(bytes);
}

bool VRX_CropQMRLEEngine::execute() {
    if (row_ > y1_) return false;
    // The block workflow stops a step that writes nothing, so the lines above
    // the rectangle are all read in the step that writes the first line.
    for (; row_ < y0_; ++row_)
        if (!reader_->get_next_line()) return false;
    if (!reader_->get_next_line()) reader_->runs().clear();
    // Only an error ends the image; a warning recorded earlier does not.
    if (!is_good()) return false;
    ++row_;
    out_.clear();
    const VRX_QMRLERun* runs = reader_->runs().data();
    for (size_t i = 0, n = reader_->runs().size(); i < n; ++i) {
        const uint32_t first = runs[i].first;
        const uint32_t last = std::min(runs[i].last, x1_);
        if (first > x0_) {
            if (first <= x1_ && !out_.append_run(first - x0_, last - x0_)) return false;
        } else if (runs[i].last >= x0_) {
            if (!out_.append_run(0, last - x0_)) return false;
        }
    }
    return out_.write_runarray(dst_buffer_);
}

}  // namespace vrx
