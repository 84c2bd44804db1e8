#include "vrx/core/memory/vrx_memorycallback.h"

namespace vrx {

// Defined here once: the creators compare callbacks with this address.
bool default_memory_callback(VRX_MemoryCallbackInfo*) { return false; }

}  // namespace vrx
