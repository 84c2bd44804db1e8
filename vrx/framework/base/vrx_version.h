#pragma once
// Interface version of the library's engines.
#include <cstdint>

namespace vrx {

// The version word engines pass to the test: major 0x0104, minor 0x0100.
inline constexpr uint32_t VRX_INTERFACE_VERSION = 0x01040100u;
// The word of the older engines (sign extension, min/max, interpolating scalers).
inline constexpr uint32_t VRX_INTERFACE_VERSION_BASE = 0x01040000u;

// True when the high half of the word is 0x0104 and the low half at most 256.
constexpr bool is_compatible_version(uint32_t version) {
    return (version >> 16) == 0x0104u && (version & 0xFFFFu) <= 256u;
}

}  // namespace vrx
