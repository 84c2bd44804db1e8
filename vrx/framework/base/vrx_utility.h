#pragma once
// Base of the library's non-engine objects (creators, headers, palettes,
// status records, containers). A utility on the heap lives in memory from its
// manager; destroy() runs the destructor and gives that memory back.
#include "vrx/framework/base/vrx_root.h"

namespace vrx {

class VRX_Manager;

class VRX_Utility : public VRX_Root {
public:
    explicit VRX_Utility(VRX_Manager* manager) : manager_(manager) {}
    VRX_Utility(const VRX_Utility&) = default;
    VRX_Utility& operator=(const VRX_Utility&) = default;
    ~VRX_Utility() override = default;

    // Runs the destructor and returns the memory through the manager. Only for
    // utilities made on the heap (vrx::construct).
    bool destroy() override;

    VRX_Manager* manager() const { return manager_; }

protected:
    VRX_Manager* manager_;
};

}  // namespace vrx
