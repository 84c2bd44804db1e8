#pragma once
// Creator of the NOT stage: every bit of every sample inverted. The one-bit
// data-type conversion uses it to swap the two values of a binary image.
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;

class VRX_Not : public VRX_EngineCreator {
public:
    explicit VRX_Not(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_Not() override = default;

    // A new registered engine (never the source itself), or null after a
    // report: a missing source or header is refused with 0x80800000;
    // run-length coded binary images get the run-complementing engine; raw
    // unsigned images of 1, 8 or 16 bits get the byte-complementing line
    // engine, which refuses any other source.
    virtual VRX_Engine* engine(VRX_Engine* source);
};

}  // namespace vrx
