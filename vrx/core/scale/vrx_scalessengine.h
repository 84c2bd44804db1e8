#pragma once
// Sub-sampling by whole steps: destination pixel (x, y) is source pixel
// (ox + x * sx, oy + y * sy). Lines between the sampled ones are read and
// dropped without copying. What it does depends only on the sample size.
#include <cstdint>
#include <cstring>

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/engine/vrx_processengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class T>
class VRX_ScaleSSEngine : public VRX_ProcessEngine {
public:
    explicit VRX_ScaleSSEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_ScaleSSEngine() override = default;

    // One destination line per call.
    bool execute() override {
        if (produced_ >= dst_height_) return false;
        const uint64_t wanted = uint64_t{step_y_} * produced_ + offset_y_;
        for (; consumed_ < wanted && consumed_ < src_height_ - 1; ++consumed_)
            if (!src_buffer_->get() || !src_buffer_->release()) return false;
        const unsigned char* line = src_buffer_->get();
        if (!line) return false;
        ++consumed_;
        unsigned char* out = dst_buffer_->get();
        if (!out) {
            src_buffer_->release();
            return false;
        }
        ++produced_;
        const size_t pixel = size_t{channels_} * sizeof(T);
        const size_t step = size_t{step_x_} * pixel;
        const unsigned char* in = line + size_t{offset_x_} * pixel;
        const size_t width = dst_width_;  // a local: the stores cannot change it
        if (channels_ == 1) {
            for (size_t x = 0; x < width; ++x)
                std::memcpy(out + x * sizeof(T), in + x * step, sizeof(T));
        } else {
            for (size_t x = 0; x < width; ++x) std::memcpy(out + x * pixel, in + x * step, pixel);
        }
        const bool released = src_buffer_->release();
        const bool committed = dst_buffer_->release(dst_buffer_->get_block_bytes());
        return released && committed;
    }

    // Version test (0x80040000); the process initiate; raw samples of the
    // size of T (0x81000000); non-zero steps and offsets inside the image
    // (0x80800000). The output holds every sample position inside the
    // image; one line of each side as block sizes.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint32_t step_x, uint32_t step_y, uint32_t offset_x, uint32_t offset_y) {
        constexpr const char* text = "VRX_ScaleSSEngine::initiate()";
        if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 243)) return false;
        if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
        if (!header->encode_type()->is_raw() || header->bits != sizeof(T) * 8) {
            manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 253);
            return false;
        }
        if (step_x == 0 || step_y == 0) {
            manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 260);
            return false;
        }
        if (offset_x >= header->width || offset_y >= header->height) {
            manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 267);
            return false;
        }
        // Counted from the last sample position, so steps near 2^32 cannot wrap.
        dst_width_ = (header->width - offset_x - 1) / step_x + 1;
        dst_height_ = (header->height - offset_y - 1) / step_y + 1;
        header_.width = dst_width_;
        header_.height = dst_height_;
        step_x_ = step_x;
        step_y_ = step_y;
        offset_x_ = offset_x;
        offset_y_ = offset_y;
        src_height_ = header->height;
        channels_ = header->channels;
        uint32_t src_bytes = 0, dst_bytes = 0;
        if (!header->line_bytes(src_bytes) || !header_.line_bytes(dst_bytes)) return false;
        const bool src_ok = src->block_bytes(src_bytes);
        const bool dst_ok = dst->block_bytes(dst_bytes);
        return src_ok && dst_ok;
    }

private:
    uint32_t dst_height_ = 0;
    uint32_t dst_width_ = 0;
    uint32_t step_x_ = 0;
    uint32_t step_y_ = 0;
    uint32_t offset_x_ = 0;
    uint32_t offset_y_ = 0;
    uint32_t consumed_ = 0;
    uint32_t produced_ = 0;
    uint32_t src_height_ = 0;
    uint16_t channels_ = 0;
};

}  // namespace vrx
