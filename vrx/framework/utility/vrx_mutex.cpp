#include "vrx/framework/utility/vrx_mutex.h"

namespace vrx {

void VRX_Mutex::lock() { mutex_.lock(); }

void VRX_Mutex::unlock() { mutex_.unlock(); }

bool VRX_Mutex::try_lock() { return mutex_.try_lock(); }

VRX_Mutex& VRX_Mutex::process() {
    static VRX_Mutex mutex;
    return mutex;
}

}  // namespace vrx
