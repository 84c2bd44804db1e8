#pragma once
// Creator of a chain head that produces an image of one colour; each
// overload hands its header and colour values unchanged to the same overload
// of VRX_ConstantColorRaw. The one-bit data-type conversion uses the unsigned
// overload for images that are all 0 or all 1.
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_Engine;
class VRX_Header;

class VRX_ConstantColor : public VRX_EngineCreator {
public:
    explicit VRX_ConstantColor(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ConstantColor() override = default;

    virtual VRX_Engine* engine(const VRX_Header* header, const VRX_Vector<double>& color);
    virtual VRX_Engine* engine(const VRX_Header* header, const VRX_Vector<float>& color);
    virtual VRX_Engine* engine(const VRX_Header* header, const VRX_Vector<unsigned int>& color);
    virtual VRX_Engine* engine(const VRX_Header* header, const VRX_Vector<int>& color);
};

}  // namespace vrx
