#include "vrx/core/qmrle/vrx_qmrlebuffer.h"

#include <algorithm>

#include "vrx/core/qmrle/vrx_qmrlerun.h"
#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kRegistText = "VRX_QMRLEBuffer::regist_runarray()";
// Lines reserved up front at most: a height is only a claim until the lines
// arrive.
constexpr uint32_t kReserveLines = 65536;
}  // namespace

VRX_QMRLEBuffer::VRX_QMRLEBuffer(VRX_Manager* manager)
    : VRX_QMRLEBufferBase(manager), lines_(manager) {}

VRX_QMRLEBuffer* VRX_QMRLEBuffer::create(VRX_Manager* manager, VRX_SrcBuffer* src,
                                         const VRX_Header* header) {
    VRX_QMRLEBuffer* buffer = construct<VRX_QMRLEBuffer>(manager);
    if (!buffer) return nullptr;
    if (!buffer->initiate(src, header)) {
        buffer->destroy();
        return nullptr;
    }
    buffer->set_initiated();
    return buffer;
}

bool VRX_QMRLEBuffer::initiate(VRX_SrcBuffer* src, const VRX_Header* header) {
    if (!VRX_QMRLEBufferBase::initiate(src, header)) return false;
    line_count_ = header->height;
    return true;
}

bool VRX_QMRLEBuffer::append_pairs(Runs& runs, uint32_t from, uint32_t to, uint32_t report_line) {
    for (uint32_t at = from; at < to; at += 8) {
        const VRX_QMRLERun run = load_run(data_ + at);
        const bool after_run = !runs.empty();
        if (!is_valid_run(run, width_, after_run, after_run ? runs.back().second : 0)) {
            manager_->report(VRX_ERROR_DATA, kRegistText, __FILE__, report_line);
            return false;
        }
        if (!runs.push_back({run.first, run.last})) return false;
    }
    return true;
}

bool VRX_QMRLEBuffer::regist_runarray() {
    // The producer's block size, rounded up to whole words.
    const uint64_t wanted = (uint64_t{src_->get_block_bytes()} + 3) / 4 * 4;
    if (wanted == 0 || wanted > UINT32_MAX) {
        manager_->report(VRX_ERROR_ARGUMENT, kRegistText, __FILE__, __LINE__);
        return false;
    }
    const uint32_t block = static_cast<uint32_t>(wanted);
    if (!src_->block_bytes(block)) return false;
    data_ = static_cast<unsigned char*>(manager_->allocate(block));
    if (!data_) return false;
    if (!lines_.reserve(std::min(line_count_, kReserveLines))) return false;

    Runs current(manager_);
    uint32_t position = 0;  // 0: the next block is to be read
    uint32_t filled = 0;
    for (;;) {
        if (position == 0) {
            if (!src_->get(data_, &filled) || filled % 8 != 0 || filled == 0) {
                manager_->report(VRX_ERROR_DATA, kRegistText, __FILE__, 166);
                return false;
            }
            if (!src_->release()) return false;
        }
        // The end pair is sought pair by pair, so a run whose last column is
        // 0xFFFFFFFF cannot pass for one.
        uint32_t end = position;
        while (end < filled && !load_run(data_ + end).is_end()) end += 8;
        if (end == filled) {
            if (!append_pairs(current, position, filled, 183)) return false;
            position = 0;
            continue;
        }
        if (!append_pairs(current, position, end, 197)) return false;
        if (!lines_.push_back(std::move(current))) return false;
        if (lines_.size() == line_count_) {
            drop_holder();
            return true;
        }
        current = Runs(manager_);
        position = end + 8;
        if (position == filled) position = 0;
    }
}

const VRX_QMRLEBuffer::Runs* VRX_QMRLEBuffer::line(uint32_t i) {
    if (!registered_) {
        registered_ = true;
        regist_runarray();
    }
    return i < lines_.size() ? lines_.data() + i : nullptr;
}

VRX_QMRLERunLine VRX_QMRLEBuffer::line_begin(uint32_t i) {
    return VRX_QMRLERunLine(manager_, line(i), 0);
}

VRX_QMRLERunLine VRX_QMRLEBuffer::line_end(uint32_t i) {
    const Runs* runs = line(i);
    return VRX_QMRLERunLine(manager_, runs, runs ? static_cast<uint32_t>(runs->size()) : 0);
}

}  // namespace vrx
