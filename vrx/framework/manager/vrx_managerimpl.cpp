#include "vrx/framework/manager/vrx_managerimpl.h"

namespace vrx {

template class VRX_ManagerImpl<VRX_MallocMemoryManager, VRX_FirstErrorHandler, VRX_BlockWorkflow>;

}  // namespace vrx
