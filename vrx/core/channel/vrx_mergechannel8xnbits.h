#pragma once
// Creator of the channel merge engines for samples of 8 to 64 bits (reached
// through VRX_MergeChannel).
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_ColorType;
class VRX_Engine;

class VRX_MergeChannel8xNbits : public VRX_EngineCreator {
public:
    explicit VRX_MergeChannel8xNbits(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_MergeChannel8xNbits() override = default;

    // The engine instance follows the depth and data type of the last
    // source; 8, 16 or 32 bits of a data type without an instance are
    // refused with 0x81000000. The registered engine, or null.
    virtual VRX_Engine* engine(const VRX_Vector<VRX_Engine*>& sources, const VRX_ColorType* color);
};

}  // namespace vrx
