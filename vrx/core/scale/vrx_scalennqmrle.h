#pragma once
// Nearest-neighbour scaling of run-length images: one width and one height
// stage, the shrinking axis first.
#include <cstdint>

#include "vrx/core/scale/vrx_scale.h"

namespace vrx {

class VRX_ScaleNNQMRLE : public VRX_Scale {
public:
    explicit VRX_ScaleNNQMRLE(VRX_Manager* manager) : VRX_Scale(manager) {}
    ~VRX_ScaleNNQMRLE() override = default;

    VRX_Engine* engine(VRX_Engine* source, uint32_t width, uint32_t height) override;
};

}  // namespace vrx
