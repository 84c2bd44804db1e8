#include "vrx/extension/readdicomrleframe/vrx_readdicomrleframe.h"

#include "vrx/core/channel/vrx_mergechannel.h"
#include "vrx/extension/readdicomrleframe/vrx_readdicomrlesegment.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/engine/vrx_rewriteheader.h"
#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kEngineText = "VRX_ReadDICOMRLEFrame::engine()";
}

VRX_Engine* VRX_ReadDICOMRLEFrame::engine(VRX_InputStorage* storage, const VRX_Header& header,
                                          uint32_t length) {
    if (!storage || storage->is_closed() || !header.is_valid()) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 48);
        return nullptr;
    }
    VRX_Vector<VRX_Engine*> segments =
        VRX_ReadDICOMRLESegment(manager_).engine(storage, header, length);
    const size_t bytes = header.bits / 8;
    if (segments.empty() || bytes == 0) {
        manager_->report(VRX_ERROR_DATA, kEngineText, __FILE__, 57);
        return nullptr;
    }
    // Each sample's planes go least significant first, so that the merged
    // pixels hold little-endian samples in sample order.
    const size_t samples = segments.size() / bytes;
    VRX_Vector<VRX_Engine*> planes(manager_);
    if (!planes.reserve(segments.size())) return nullptr;
    for (size_t s = 0; s < samples; ++s)
        for (size_t b = bytes; b > 0; --b)
            if (!planes.push_back(segments[s * bytes + b - 1])) return nullptr;
    VRX_Engine* merged = VRX_MergeChannel(manager_).engine(planes, VRX_ColorType::unknown());
    if (!merged) return nullptr;
    VRX_Header raw(manager_);
    if (!raw.assign(header)) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 82);
        return nullptr;
    }
    if (!raw.encode_type(VRX_EncodeType::raw())) return nullptr;
    return VRX_RewriteHeader(manager_).engine(merged, &raw);
}

}  // namespace vrx
