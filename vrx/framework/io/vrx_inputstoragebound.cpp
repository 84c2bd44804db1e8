#include "vrx/framework/io/vrx_inputstoragebound.h"

namespace vrx {

template class VRX_InputStreamBound<VRX_InputStorage>;
template class VRX_MovableInputStreamBound<VRX_InputStorage>;
template class VRX_InputStorageBound<VRX_InputStorage>;

}  // namespace vrx
