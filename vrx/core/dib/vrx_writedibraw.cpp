#include "vrx/core/dib/vrx_writedibraw.h"

#include "vrx/core/dib/vrx_writedibrawengine.h"

namespace vrx {

VRX_Engine* VRX_WriteDIBRaw::engine(const VRX_Header* header, VRX_SrcBuffer* src,
                                    VRX_OutputStorage* storage, const VRX_WriteDIBOption& option) {
    return make_engine<VRX_WriteDIBRawEngine>(src, nullptr, [&](VRX_WriteDIBRawEngine* e) {
        return e->initiate(header, src, storage, option);
    });
}

}  // namespace vrx
