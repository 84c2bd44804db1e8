#pragma once
// Creator of the JPEG decode engine: baseline and progressive streams (and
// lossless ones through the same engine). The engine's lines are the
// decoded pixels, channels interleaved, encode type raw.
//
//   VRX_Engine* image = VRX_ReadJPEG(manager).engine(storage, 256);
//   VRX_Engine* out = VRX_WriteMemory(manager).engine(image, pixels, size);
//   while (out && out->execute()) {}
//
// `scale` is a zoom in 1/256 units: 256 full size, 128 half, 64 a quarter,
// 32 an eighth (baseline grey, 4:4:4, 4:2:2, 4:2:0 and 4:1:1 frames coded in
// one scan).
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_InputStorage;
class VRX_JPEGInfo;

class VRX_ReadJPEG : public VRX_EngineCreator {
public:
    explicit VRX_ReadJPEG(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ReadJPEG() override = default;

    // An engine over the stream whose information was just loaded from the
    // storage; null after a report (an info not loaded or not valid, an
    // unusable storage or a scale of 0: 0x80800000).
    virtual VRX_Engine* engine(VRX_InputStorage* storage, const VRX_JPEGInfo& info, uint32_t scale);
    // Loads the information first (0x80100000 when it does not load).
    virtual VRX_Engine* engine(VRX_InputStorage* storage, uint32_t scale);
};

}  // namespace vrx
