#include "vrx/core/qmrle/vrx_qmrlerunline.h"

#include "vrx/core/qmrle/vrx_qmrlerun.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_QMRLERunLine::VRX_QMRLERunLine(VRX_Manager* manager) : own_(manager), in_use_(&own_) {}

VRX_QMRLERunLine::VRX_QMRLERunLine(VRX_Manager* manager, const Runs* runs, uint32_t position)
    : own_(manager),
      in_use_(runs ? runs : &own_),
      position_(position),
      count_(static_cast<uint32_t>(in_use_->size())) {}

VRX_QMRLERunLine::VRX_QMRLERunLine(const VRX_QMRLERunLine& other)
    : own_(other.own_),
      in_use_(other.uses_own() ? &own_ : other.in_use_),
      position_(other.position_),
      count_(static_cast<uint32_t>(in_use_->size())) {}

VRX_QMRLERunLine& VRX_QMRLERunLine::operator=(const VRX_QMRLERunLine& other) {
    if (this == &other) return *this;
    own_.assign(other.own_);
    in_use_ = other.uses_own() ? &own_ : other.in_use_;
    position_ = other.position_;
    count_ = static_cast<uint32_t>(in_use_->size());
    return *this;
}

void VRX_QMRLERunLine::clear() {
    own_.clear();
    in_use_ = &own_;
    position_ = 0;
    count_ = 0;
}

bool VRX_QMRLERunLine::append_run(unsigned first, unsigned last) {
    if (!uses_own()) {
        if (!own_.assign(*in_use_)) return false;
        in_use_ = &own_;
    }
    if (!own_.push_back(Run(first, last))) return false;
    ++count_;
    return true;
}

bool VRX_QMRLERunLine::write_runarray(VRX_DstBuffer* dst) const {
    const Run* runs = in_use_->data();
    const uint64_t n = in_use_->size();
    const uint32_t block = dst->get_block_bytes();
    const uint32_t pairs = block / 8;
    if (pairs == 0) {
        dst->manager()->report(VRX_ERROR_ARGUMENT, "VRX_QMRLERunLine::write_runarray()", __FILE__,
                               __LINE__);
        return false;
    }
    uint64_t total = n * 8 + 8;
    uint64_t k = 0;
    while (total > block) {
        unsigned char* out = dst->get();
        if (!out) return false;
        for (uint32_t i = 0; i < pairs; ++i, ++k)
            store_run(out + size_t{i} * 8, runs[k].first, runs[k].second);
        if (!dst->release(pairs * 8)) return false;
        total -= pairs * 8;
    }
    unsigned char* out = dst->get();
    if (!out) return false;
    unsigned char* p = out;
    for (; k < n; ++k, p += 8) store_run(p, runs[k].first, runs[k].second);
    store_run(p, VRX_QMRLERun::end_value, VRX_QMRLERun::end_value);
    return dst->release(static_cast<uint32_t>(p + 8 - out));
}

}  // namespace vrx
