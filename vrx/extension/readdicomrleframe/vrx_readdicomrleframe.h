#pragma once
// Creator of the reader of one DICOM RLE lossless frame: its segments are
// decoded and interleaved back into pixels, most significant byte plane
// first in the file, little-endian samples in the output.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

class VRX_InputStorage;

class VRX_ReadDICOMRLEFrame : public VRX_EngineCreator {
public:
    explicit VRX_ReadDICOMRLEFrame(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ReadDICOMRLEFrame() override = default;

    // An engine whose output is the frame in raw lines under `header` (the
    // image header of the DICOM file, its encode type made raw), or null
    // after a report. `storage` stands at the frame's first byte; `length` is
    // the frame's byte length.
    virtual VRX_Engine* engine(VRX_InputStorage* storage, const VRX_Header& header,
                               uint32_t length);
};

}  // namespace vrx
