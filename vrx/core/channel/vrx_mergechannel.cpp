#include "vrx/core/channel/vrx_mergechannel.h"

#include "vrx/core/channel/vrx_mergechannel1bit.h"
#include "vrx/core/channel/vrx_mergechannel8xnbits.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_MergeChannel::engine(const VRX_Vector<VRX_Engine*>& sources,
                                     const VRX_ColorType* color) {
    VRX_Engine* first = sources.empty() ? nullptr : sources.data()[0];
    const VRX_Header* header = first ? first->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_MergeChannel::engine()", __FILE__, 50);
        return nullptr;
    }
    if (sources.size() == 1) return first;
    if (header->bits == 1) return VRX_MergeChannel1bit(manager_).engine(sources, color);
    return VRX_MergeChannel8xNbits(manager_).engine(sources, color);
}

}  // namespace vrx
