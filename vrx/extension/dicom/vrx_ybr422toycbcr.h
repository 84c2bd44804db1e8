#pragma once
// Creator of the YBR_FULL_422 expansion: lines where two neighbouring pixels
// share one chroma pair (Y0 Y1 Cb Cr per pair) become three samples per
// pixel; the second pixel of a pair takes the mean of its pair's chroma and
// the next pair's.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

class VRX_InputStorage;

class VRX_YBR422ToYCbCr : public VRX_EngineCreator {
public:
    explicit VRX_YBR422ToYCbCr(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_YBR422ToYCbCr() override = default;

    // The expansion of `source`, whose header describes the expanded image
    // (three channels) while its lines hold the 4:2:2 samples; null after a
    // report (a null source, or one without header: 0x80800000). With
    // `byte_order` other than 1 multi-byte samples are swapped first.
    virtual VRX_Engine* engine(VRX_Engine* source, int32_t byte_order);

    // Native 4:2:2 pixel data: reads the lines of the frame `header` describes
    // (three channels) in their 4:2:2 size from `storage` at `position` and
    // expands them; samples are swapped per `byte_order` as by the raw
    // reader. Null after a report (a closed storage, an invalid or non-raw
    // header: 0x80800000).
    virtual VRX_Engine* engine(VRX_InputStorage* storage, const VRX_Header& header,
                               int32_t position, int32_t byte_order);

private:
    // The engine for the sample type of `header`, reading `source`'s lines.
    VRX_Engine* expand(VRX_Engine* source, const VRX_Header& header, int32_t byte_order);
};

}  // namespace vrx
