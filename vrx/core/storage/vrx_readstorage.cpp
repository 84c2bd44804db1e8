#include "vrx/core/storage/vrx_readstorage.h"

#include "vrx/core/storage/vrx_readstorageengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ReadStorage::engine(VRX_InputStorage* storage, const VRX_Header& header,
                                    int32_t position, uint32_t gap, int32_t byte_order) {
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return make_engine<VRX_ReadStorageEngine>(nullptr, dst, [&](VRX_ReadStorageEngine* e) {
        return e->initiate(storage, &header, dst, position, gap, byte_order);
    });
}

VRX_Engine* VRX_ReadStorage::bit_stream_engine(VRX_InputStorage* storage,
                                               const VRX_Header& header, int32_t position,
                                               uint32_t first_bit) {
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return make_engine<VRX_ReadStorageEngine>(nullptr, dst, [&](VRX_ReadStorageEngine* e) {
        return e->initiate_bit_stream(storage, &header, dst, position, first_bit);
    });
}

}  // namespace vrx
