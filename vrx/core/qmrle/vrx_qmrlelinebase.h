#pragma once
// The sequential reader of a run-length stream: get_next_line() collects the
// runs of the next line from the source buffer, whose blocks need not
// coincide with lines (a line may continue into the next block, and the next
// line starts right behind an end pair).
#include <cstdint>

#include "vrx/core/qmrle/vrx_qmrlerun.h"
#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/base/vrx_object.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class Run, class RunVector>
class VRX_QMRLELineBase : public VRX_Object {
public:
    static constexpr const char* kInitiateText = "VRX_QMRLELineBase::initiate()";
    static constexpr const char* kGetNextLineText =
        "VRX_QMRLELineBase::get_next_line() - invalid src_buffer's block bytes.";

    explicit VRX_QMRLELineBase(VRX_Manager* manager) : VRX_Object(manager), runs_(manager) {}
    ~VRX_QMRLELineBase() override = default;

    // Forgets the source and the block it holds.
    bool terminate() override {
        if (block_) {
            src_ = nullptr;
            block_ = nullptr;
            index_ = 0;
            count_ = 0;
        }
        return true;
    }

    // Both present (0x80800000), a supported header (0x81000000); the
    // source's block size becomes the run-array size of the width, and the
    // reader keeps the source alive while it lives.
    virtual bool initiate(VRX_SrcBuffer* src, const VRX_Header* header) {
        if (!src || !header) {
            manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 264);
            return false;
        }
        if (!is_supported(header)) {
            manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 271);
            return false;
        }
        src_ = src;
        width_ = header->width;
        uint32_t bytes = 0;
        if (!run_block_bytes(manager_, width_, bytes, kInitiateText, __FILE__, __LINE__) ||
            !src->block_bytes(bytes))
            return false;
        return depend(src);
    }

    virtual bool is_supported(const VRX_Header*) { return true; }

    // Reads the next line into runs(). A block that is not whole pairs, a
    // run outside the line, reversed or not behind the run before it, and a
    // stream that ends before the line does are data errors (0x80400000).
    bool get_next_line() {
        runs_.clear();
        bool after_run = false;
        uint32_t previous_last = 0;
        for (;;) {
            if (index_ >= count_) {
                if (block_) {
                    block_ = nullptr;
                    if (!src_->release()) return false;
                }
                uint32_t bytes = 0;
                block_ = src_ ? src_->get(&bytes) : nullptr;
                if (!block_) {
                    manager_->report(VRX_ERROR_DATA, kGetNextLineText, __FILE__, __LINE__);
                    return false;
                }
                index_ = 0;
                count_ = 0;
                if (bytes % 8 != 0 || bytes == 0) {
                    manager_->report(VRX_ERROR_DATA, kGetNextLineText, __FILE__, 321);
                    return false;
                }
                count_ = bytes / 8;
            }
            const Run run = load_run(block_ + size_t{index_++} * 8);
            if (run.is_end()) return true;
            if (!is_valid_run(run, width_, after_run, previous_last)) {
                manager_->report(VRX_ERROR_DATA, kGetNextLineText, __FILE__, __LINE__);
                return false;
            }
            if (!runs_.append(run.first, run.last)) return false;
            after_run = true;
            previous_last = run.last;
        }
    }

    RunVector& runs() { return runs_; }

protected:
    RunVector runs_;
    VRX_SrcBuffer* src_ = nullptr;
    const unsigned char* block_ = nullptr;
    uint32_t index_ = 0;
    uint32_t count_ = 0;
    // The line width the runs are checked against.
    uint32_t width_ = 0;
};

}  // namespace vrx
