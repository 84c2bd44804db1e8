#include "vrx/core/jpeg/vrx_readjpeg.h"

#include "vrx/core/jpeg/vrx_decodejpegengine.h"
#include "vrx/core/jpeg/vrx_jpeginfo.h"
#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kEngine = "VRX_ReadJPEG::engine()";
}

VRX_Engine* VRX_ReadJPEG::engine(VRX_InputStorage* storage, uint32_t scale) {
    VRX_JPEGInfo info(manager_);
    if (!info.load(storage)) {
        manager_->report(VRX_ERROR_FORMAT_INFO, kEngine, __FILE__, 47);
        return nullptr;
    }
    return engine(storage, info, scale);
}

VRX_Engine* VRX_ReadJPEG::engine(VRX_InputStorage* storage, const VRX_JPEGInfo& info, uint32_t scale) {
    if (!info.is_loaded() || !info.is_valid() || !storage || storage->is_closed() || storage->is_end() ||
        scale == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngine, __FILE__, 65);
        return nullptr;
    }
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    VRX_DecodeJPEGEngine* made = dst ? VRX_DecodeJPEGEngine::create(manager_, storage, info, dst, scale) : nullptr;
    return regist_engine(made, nullptr, dst);
}

}  // namespace vrx
