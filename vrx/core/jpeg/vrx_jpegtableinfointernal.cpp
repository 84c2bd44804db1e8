#include "vrx/core/jpeg/vrx_jpegtableinfointernal.h"

#include <cstdio>

#include "jpegdec/jpeg_decoder.h"
#include "vrx/core/jpeg/vrx_jpegregiststatus.h"
#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiate = "VRX_JPEGTableInfoInternal::initiate()";
}

VRX_JPEGTableInfoInternal* VRX_JPEGTableInfoInternal::create(VRX_Manager* manager,
                                                             VRX_InputStorage* storage) {
    auto* internal = construct<VRX_JPEGTableInfoInternal>(manager);
    if (internal && !internal->initiate(storage)) {
        internal->destroy();
        return nullptr;
    }
    return internal;
}

bool VRX_JPEGTableInfoInternal::initiate(VRX_InputStorage* storage) {
    if (!storage || storage->is_closed() || storage->is_end()) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiate, __FILE__, 111);
        return false;
    }
    storage_ = storage;
    join_library();
    const int32_t created = create_decoder();
    if (!context_) {
        report(created, "initiate()");
        return false;
    }
    if (jpegdec::ReadHeader(context_, jpegdec::kJpegColorYcbcr, 0, nullptr) == jpegdec::kJpegNoSoi) {
        manager_->report(VRX_ERROR_DATA, kInitiate, __FILE__, 143);
        return false;
    }
    return true;
}

void VRX_JPEGTableInfoInternal::report(int32_t status, const char* operation) {
    char text[96];
    std::snprintf(text, sizeof text, "VRX_JPEGTableInfoInternal::%s", operation);
    if (status == jpegdec::kJpegReadError)
        status = jpegdec::kJpegCorruptData;
    else if (status == jpegdec::kJpegCorruptData)
        status = jpegdec::kJpegBadValue;
    MapJpegStatus(manager_, status, text);
}

}  // namespace vrx
