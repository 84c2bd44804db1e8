#pragma once
// Resolution of an image as a file format states it.
#include <cstdint>

namespace vrx {

class VRX_ResolutionInfo {
public:
    VRX_ResolutionInfo() = default;
    VRX_ResolutionInfo(double horizontal, double vertical, uint32_t unit)
        : horizontal(horizontal), vertical(vertical), unit(unit) {}
    VRX_ResolutionInfo(const VRX_ResolutionInfo&) = default;
    VRX_ResolutionInfo& operator=(const VRX_ResolutionInfo&) = default;
    virtual ~VRX_ResolutionInfo() = default;

    // Set by a reader from what it found.
    void set(double h, double v, uint32_t u) {
        horizontal = h;
        vertical = v;
        unit = u;
    }

    double horizontal = 0.0;
    double vertical = 0.0;
    uint32_t unit = 1;
};

}  // namespace vrx
