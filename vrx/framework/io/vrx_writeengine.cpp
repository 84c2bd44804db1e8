#include "vrx/framework/io/vrx_writeengine.h"

namespace vrx {

bool VRX_WriteEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                               VRX_OutputStorage* storage) {
    return VRX_StorageOutputEngine::initiate(storage) &&
           VRX_BufferInputEngine::initiate(header, src);
}

}  // namespace vrx
