#pragma once
// Creator of the constant-colour source engines: an image of the format the
// header gives (encoding raw) in which every pixel holds the colour values,
// one per channel in channel order. The engine reads no other engine.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_Engine;
class VRX_Header;

class VRX_ConstantColorRaw : public VRX_EngineCreator {
public:
    explicit VRX_ConstantColorRaw(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ConstantColorRaw() override = default;

    // Floating values go to the engine of their own type.
    virtual VRX_Engine* engine(const VRX_Header* header, const VRX_Vector<double>& color);
    virtual VRX_Engine* engine(const VRX_Header* header, const VRX_Vector<float>& color);
    // 1 bit: the one-bit engine; 8 and 16 bits: values up to 255 or 65535
    // (else 0x80800000), narrowed; other depths: the 32-bit engine.
    virtual VRX_Engine* engine(const VRX_Header* header, const VRX_Vector<unsigned int>& color);
    // 8 and 16 bits: values in -128..127 or -32768..32767 (else 0x80800000),
    // narrowed; other depths: the 32-bit engine.
    virtual VRX_Engine* engine(const VRX_Header* header, const VRX_Vector<int>& color);

private:
    // Builds, initiates and registers the engine E over a new destination.
    template <class E, class T>
    VRX_Engine* build(const VRX_Header* header, const VRX_Vector<T>& color);
    // Narrows the values to N when each lies in N's range, then builds the
    // 8xN engine of N; otherwise reports 0x80800000 at `line`.
    template <class N, class T>
    VRX_Engine* narrowed(const VRX_Header* header, const VRX_Vector<T>& color, uint32_t line);
};

}  // namespace vrx
