#include "vrx/core/jpeg/vrx_readlosslessjpeg.h"

#include "vrx/core/jpeg/vrx_decodejpegengine.h"
#include "vrx/core/jpeg/vrx_jpeginfo.h"
#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kEngine = "VRX_ReadLosslessJPEG::engine()";
}

VRX_Engine* VRX_ReadLosslessJPEG::engine(VRX_InputStorage* storage) {
    VRX_JPEGInfo info(manager_);
    if (!info.load(storage)) {
        manager_->report(VRX_ERROR_FORMAT_INFO, kEngine, __FILE__, 47);
        return nullptr;
    }
    return engine(storage, info, VRX_DecodeJPEGEngine::kLostSampleBytes128);
}

VRX_Engine* VRX_ReadLosslessJPEG::engine(VRX_InputStorage* storage, const VRX_JPEGInfo& info,
                                         uint16_t lost_sample) {
    if (!info.is_loaded() || !info.is_valid() || !storage || storage->is_closed() || storage->is_end()) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngine, __FILE__, 64);
        return nullptr;
    }
    if (!info.is_lossless()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kEngine, __FILE__, 70);
        return nullptr;
    }
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    VRX_DecodeJPEGEngine* made =
        dst ? VRX_DecodeJPEGEngine::create(manager_, storage, info, dst, 256, lost_sample) : nullptr;
    return regist_engine(made, nullptr, dst);
}

}  // namespace vrx
