#include "vrx/framework/io/vrx_moveinmoveoutinputstorage.h"

namespace vrx {

template class VRX_MoveInMoveOutMovableInputStream<VRX_InputStorage>;
template class VRX_MoveInMoveOutInputStorage<VRX_InputStorage>;

}  // namespace vrx
