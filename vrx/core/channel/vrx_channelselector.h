#pragma once
// Base of the channel-selection creators: the steps every one of them shares
// (the source check, the whole-image shortcut and the making of the engine).
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

class VRX_ChannelSelector : public VRX_EngineCreator {
public:
    explicit VRX_ChannelSelector(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ChannelSelector() override = default;

protected:
    // The header of `source`; a null source or header is reported as
    // 0x80800000 with `function`, `file` and `line` and gives null.
    const VRX_Header* source_header(VRX_Engine* source, const char* function, const char* file,
                                    uint32_t line) {
        const VRX_Header* header = source ? source->header() : nullptr;
        if (!header) manager_->report(VRX_ERROR_ARGUMENT, function, file, line);
        return header;
    }

    // Whether selecting `count` channels from `first` leaves the image as it
    // is: a one-channel image (whatever is asked) or every channel from 0.
    static bool selects_all(const VRX_Header& header, uint16_t first, uint16_t count) {
        return header.channels == 1 || (first == 0 && count == header.channels);
    }

    // An E reading `source`, initiated with (header, source buffer,
    // destination buffer, args...) and registered; null when that fails.
    template <class E, class... Args>
    VRX_Engine* build(VRX_Engine* source, const VRX_Header* header, Args... args) {
        VRX_SrcBuffer* src = source->src_buffer();
        VRX_DstBuffer* dst = manager_->new_dst_buffer();
        return make_engine<E>(src, dst,
                              [&](E* e) { return e->initiate(header, src, dst, args...); });
    }
};

}  // namespace vrx
