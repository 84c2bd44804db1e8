#pragma once
// Base of the one-axis averaging creators: the checks of the ratio and the
// build of one averaging engine.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"
#include "vrx/core/scale/vrx_scalesupport.h"

namespace vrx {

class VRX_ScaleIARStage : public VRX_StageCreator {
public:
    explicit VRX_ScaleIARStage(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScaleIARStage() override = default;

protected:
    // An E<T> that averages blocks of `ratio` along an axis of `extent` of
    // the source (the new size extent / ratio, at least 1), T by the bits
    // per sample; the source itself for ratio 1. A missing source or header
    // (line 53) and ratio 0 (line 56): 0x80800000; other than 8 or 16 bits
    // (line 82): 0x81000000.
    template <template <class> class E, class Extent>
    VRX_Engine* averaging_stage(VRX_Engine* source, uint32_t ratio, Extent extent, const char* text,
                                const char* file) {
        const VRX_Header* h = source_header(source, text, file, 53);
        if (!h) return nullptr;
        if (ratio == 0) {
            manager_->report(VRX_ERROR_ARGUMENT, text, file, 56);
            return nullptr;
        }
        if (ratio == 1) return source;
        const uint32_t size = extent(*h) / ratio != 0 ? extent(*h) / ratio : 1;
        return by_unsigned_sample(manager_, *h, text, file, 82,
                                  [&]<class T>(T*) { return build<E<T>>(source, h, size); });
    }
};

}  // namespace vrx
