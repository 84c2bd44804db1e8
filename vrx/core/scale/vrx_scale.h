#pragma once
// The two-axis scaling creators the application uses interchangeably.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_Scale : public VRX_StageCreator {
public:
    explicit VRX_Scale(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_Scale() override = default;

    // Builds the engines that scale the source to width x height and returns
    // the last of them, the source itself when nothing is to be done, or null
    // after a report.
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t width, uint32_t height) = 0;
};

}  // namespace vrx
