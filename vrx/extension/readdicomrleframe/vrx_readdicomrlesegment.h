#pragma once
// Creator of the decoders of the segments of one DICOM RLE frame: a 64-byte
// header (segment count, then fifteen segment offsets from the frame start,
// little endian) followed by up to fifteen PackBits segments, one per byte
// plane.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

class VRX_InputStorage;

class VRX_ReadDICOMRLESegment : public VRX_EngineCreator {
public:
    explicit VRX_ReadDICOMRLESegment(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ReadDICOMRLESegment() override = default;

    // One decoding engine per segment, in segment order, each delivering one
    // byte per pixel of the frame (8-bit gray lines of the header's size); an
    // empty vector after a failure. `storage` stands at the frame's first
    // byte and `length` is the frame's byte length; the header must ask for
    // channels x bits / 8 segments. Samples that are not whole bytes (1-bit
    // images) are refused as unsupported (0x81000000).
    virtual VRX_Vector<VRX_Engine*> engine(VRX_InputStorage* storage, const VRX_Header& header,
                                           uint32_t length);
};

}  // namespace vrx
