#pragma once
// Creator of the PackBits decoder (the run-length scheme of DICOM RLE
// segments and of TIFF): an encoded byte stream in, raw lines out.
#include "vrx/extension/readdicomrleframe/vrx_decode.h"

namespace vrx {

class VRX_DecodePackBitsFast : public VRX_Decode {
public:
    explicit VRX_DecodePackBitsFast(VRX_Manager* manager) : VRX_Decode(manager) {}
    ~VRX_DecodePackBitsFast() override = default;

    // A registered decoder behind `source`, whose header names the size of the
    // decoded image and the pack_bits encode type; `source` itself when its
    // header is raw; null after a report (a null source, or one without
    // header: 0x80800000).
    VRX_Engine* engine(VRX_Engine* source) override;
    // pack_bits.
    const VRX_EncodeType* encode_type() const override;
};

}  // namespace vrx
