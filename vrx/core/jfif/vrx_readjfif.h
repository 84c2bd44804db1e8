#pragma once
// Creator of the JPEG decode engine for JFIF streams: 8-bit grey or YCbCr
// frames only (else 0x80200000); the engine is VRX_ReadJPEG's.
#include <cstdint>

#include "vrx/core/jpeg/vrx_readjpeg.h"

namespace vrx {

class VRX_JFIFInfo;

class VRX_ReadJFIF : public VRX_ReadJPEG {
public:
    explicit VRX_ReadJFIF(VRX_Manager* manager) : VRX_ReadJPEG(manager) {}
    ~VRX_ReadJFIF() override = default;

    using VRX_ReadJPEG::engine;
    // Loads a JFIF information first (0x80100000 when it does not load).
    VRX_Engine* engine(VRX_InputStorage* storage, uint32_t scale) override;
    // An engine over the stream whose JFIF information was just loaded from
    // the storage; null after a report.
    virtual VRX_Engine* engine(VRX_InputStorage* storage, const VRX_JFIFInfo& info, uint32_t scale);
};

}  // namespace vrx
