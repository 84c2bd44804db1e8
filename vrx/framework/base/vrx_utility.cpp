#include "vrx/framework/base/vrx_utility.h"

#include "vrx/framework/base/vrx_construct.h"

namespace vrx {

bool VRX_Utility::destroy() {
    dispose(manager_, this);
    return true;
}

}  // namespace vrx
