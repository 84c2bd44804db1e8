#include "vrx/core/qmrle/vrx_qmrlebufferbase.h"

#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

void VRX_QMRLEBufferBase::drop_holder() {
    SrcBufHolder* holder = holder_;
    holder_ = nullptr;
    vrx::destroy(holder);
}

bool VRX_QMRLEBufferBase::finish() {
    if (data_) manager_->deallocate(data_);
    data_ = nullptr;
    drop_holder();
    return true;
}

bool VRX_QMRLEBufferBase::initiate(VRX_SrcBuffer* src, const VRX_Header* header) {
    constexpr const char* text = "VRX_QMRLEBufferBase::initiate()";
    if (!src || !header) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 49);
        return false;
    }
    if (header->encode_type() != VRX_EncodeType::qm_rle() || !header->data_type()->is_u_integer() ||
        header->channels != 1 || header->bits != 1) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 63);
        return false;
    }
    src_ = src;
    width_ = header->width;
    height_ = header->height;
    holder_ = construct<SrcBufHolder>(manager_);
    return holder_ && holder_->depend(src);
}

}  // namespace vrx
