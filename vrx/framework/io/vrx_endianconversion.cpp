#include "vrx/framework/io/vrx_endianconversion.h"

#include <utility>

namespace vrx {

VRX_EndianConversion::VRX_EndianConversion(int32_t order) : conversion_(&keep_bytes) {
    set_order(order);
}

void VRX_EndianConversion::set_order(int32_t order) {
    conversion_ = order == VRX_MACHINE_ORDER ? &keep_bytes : &reverse_bytes;
}

void VRX_EndianConversion::set_order(int32_t order, bool& was_machine_order) {
    was_machine_order = is_machine_order();
    set_order(order);
}

void VRX_EndianConversion::keep_bytes(void*, size_t) {}

void VRX_EndianConversion::reverse_bytes(void* buffer, size_t n) {
    if (n < 2) return;
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (size_t i = 0, j = n - 1; i < j; ++i, --j) std::swap(bytes[i], bytes[j]);
}

}  // namespace vrx
