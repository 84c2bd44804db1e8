#include "vrx/framework/buffer/vrx_dstbufferimpl.h"

#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/buffer/vrx_srcbufferimpl.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_DstBufferImpl::add_reader(VRX_SrcBuffer*) { return true; }

VRX_SrcBuffer* VRX_DstBufferImpl::new_reader(VRX_DstBuffer* target) {
    auto* reader = construct<VRX_SrcBufferImpl>(manager_);
    if (!reader) return nullptr;
    if (!reader->initiate(target)) {
        reader->destroy();
        return nullptr;
    }
    reader->set_initiated();
    if (!add_reader(reader)) {
        reader->destroy();
        return nullptr;
    }
    return reader;
}

VRX_SrcBuffer* VRX_DstBufferImpl::create_src_buffer(VRX_DstBuffer* target) {
    if (sources_made_) {
        manager_->report(VRX_ERROR_STATE, "VRX_DstBufferImpl::create_src_buffer()", __FILE__,
                         __LINE__);
        return nullptr;
    }
    VRX_SrcBuffer* reader = new_reader(target);
    if (reader) sources_made_ = true;
    return reader;
}

VRX_Vector<VRX_SrcBuffer*> VRX_DstBufferImpl::create_src_buffers(VRX_DstBuffer* target,
                                                                 uint32_t count) {
    VRX_Vector<VRX_SrcBuffer*> readers(manager_);
    if (count == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_DstBufferImpl::create_src_buffer()", __FILE__,
                         __LINE__);
        return readers;
    }
    bool ok = readers.reserve(count);
    for (uint32_t i = 0; ok && i < count; ++i) {
        VRX_SrcBuffer* reader = new_reader(target);
        ok = reader != nullptr && readers.push_back(reader);
        if (reader && !ok) reader->destroy();
    }
    if (!ok) {
        for (VRX_SrcBuffer* reader : readers) reader->destroy();
        readers.clear();
        return readers;
    }
    sources_made_ = true;
    return readers;
}

VRX_Vector<VRX_SrcBuffer*> VRX_DstBufferImpl::make_src_buffers(uint32_t) {
    return VRX_Vector<VRX_SrcBuffer*>(manager_);
}

}  // namespace vrx
