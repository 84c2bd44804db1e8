#pragma once
// The neighbourhood of an operation: kernel size and the position of the
// current pixel inside it.
#include <cstdint>

namespace vrx {

struct VRX_KernelAttr {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t anchor_x = 0;
    uint32_t anchor_y = 0;
};

}  // namespace vrx
