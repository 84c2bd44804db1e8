#pragma once
// Creator of the decode engine of lossless (SOF3) JPEG streams; other frames
// are refused (0x81000000).
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_InputStorage;
class VRX_JPEGInfo;

class VRX_ReadLosslessJPEG : public VRX_EngineCreator {
public:
    explicit VRX_ReadLosslessJPEG(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ReadLosslessJPEG() override = default;

    // Null after a report: an unusable info or storage 0x80800000, a frame
    // that is not lossless 0x81000000. The lines that damage or a stream cut
    // short loses hold `lost_sample`, the middle of the frame's range.
    virtual VRX_Engine* engine(VRX_InputStorage* storage, const VRX_JPEGInfo& info, uint16_t lost_sample);
    // Loads the information first (0x80100000 when it does not load); lost
    // lines hold bytes of 128.
    virtual VRX_Engine* engine(VRX_InputStorage* storage);
};

}  // namespace vrx
