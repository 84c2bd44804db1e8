#include "vrx/extension/dicom/vrx_readstorageplanar.h"

#include "platform/byte_count.h"
#include "vrx/core/channel/vrx_mergechannel.h"
#include "vrx/core/storage/vrx_readstorage.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_inputstoragebound.h"
#include "vrx/framework/io/vrx_moveinmoveoutinputstorage.h"
#include "vrx/framework/io/vrx_mutexinputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kEngineText = "VRX_ReadStoragePlanar::engine()";
}

VRX_Engine* VRX_ReadStoragePlanar::engine(VRX_InputStorage* storage, const VRX_Header& header,
                                          int32_t position, uint32_t gap, int32_t byte_order) {
    if (!storage || storage->is_closed() || !header.is_valid() || !header.encode_type()->is_raw()) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 58);
        return nullptr;
    }
    VRX_Header plane(manager_);
    if (!plane.assign(header)) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 65);
        return nullptr;
    }
    plane.channels = 1;
    if (!plane.color_type(header.channels == 1 ? header.color_type() : VRX_ColorType::gray()))
        return nullptr;
    // Whole bytes of one plane's line, times the lines; the planes must lie
    // within the positions a storage can have.
    const platform::ByteCount plane_count =
        platform::ByteCount(uint64_t{header.bits} * header.width / 8) * header.height;
    const platform::ByteCount last_end =
        platform::ByteCount::from(position) + plane_count * header.channels;
    if (!plane_count.fits<int32_t>() || !last_end.fits<int32_t>()) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 58);
        return nullptr;
    }
    const auto plane_bytes = static_cast<int32_t>(plane_count.value());

    VRX_MutexInputStorage* shared = VRX_MutexInputStorage::create(manager_, storage);
    if (!shared) return nullptr;
    VRX_Vector<VRX_Engine*> readers(manager_);
    VRX_ReadStorage read(manager_);
    uint32_t failed_line = 0;
    uint32_t failed_code = VRX_ERROR_IO;
    for (uint16_t c = 0; c < header.channels && failed_line == 0; ++c) {
        auto* reader = VRX_MoveInMoveOutInputStorage<VRX_InputStorage>::create(manager_, shared);
        if (!reader) {
            failed_line = 91;
            break;
        }
        if (!reader->seek_from_begin(position + c * plane_bytes)) {
            reader->destroy();
            failed_line = 97;
            break;
        }
        auto* window =
            VRX_InputStorageBound<VRX_InputStorage>::create(manager_, reader, plane_bytes);
        reader->destroy();
        if (!window) {
            failed_line = 105;
            break;
        }
        VRX_Engine* source = read.engine(window, plane, 0, gap, byte_order);
        window->destroy();
        if (!source) {
            failed_code = VRX_ERROR_DATA;
            failed_line = 115;
        } else if (!readers.push_back(source)) {
            source->destroy();
            failed_line = 119;
        }
    }
    VRX_Engine* result = nullptr;
    if (failed_line != 0) {
        manager_->report(failed_code, kEngineText, __FILE__, failed_line);
        for (size_t i = readers.size(); i > 0; --i) readers[i - 1]->destroy();
    } else {
        result = VRX_MergeChannel(manager_).engine(readers, header.color_type());
    }
    shared->destroy();
    return result;
}

}  // namespace vrx
