#include "vrx/framework/base/vrx_object.h"

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_Object::destroy() { return manager_->end(this); }

bool VRX_Object::depend(VRX_Object* other) { return manager_->depend(this, other); }

}  // namespace vrx
