#pragma once
// Base of the creators that put one engine behind one source engine: the
// source's header check and the build-initiate-register step they share.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

class VRX_StageCreator : public VRX_EngineCreator {
public:
    explicit VRX_StageCreator(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_StageCreator() override = default;

protected:
    // The header of `source`; null after reporting 0x80800000 with the
    // caller's function text, file and line when there is no source or header.
    const VRX_Header* source_header(VRX_Engine* source, const char* function, const char* file,
                                    uint32_t line) {
        const VRX_Header* header = source ? source->header() : nullptr;
        if (!header) manager_->report(VRX_ERROR_ARGUMENT, function, file, line);
        return header;
    }

    // An E behind `source`: a reader of the source and a new destination,
    // E::initiate(header, reader, destination, args...), and the
    // registration; null (buffers destroyed) when any step fails.
    template <class E, class... Args>
    VRX_Engine* build(VRX_Engine* source, const VRX_Header* header, const Args&... args) {
        VRX_SrcBuffer* src = source->src_buffer();
        VRX_DstBuffer* dst = manager_->new_dst_buffer();
        return make_engine<E>(src, dst,
                              [&](E* e) { return e->initiate(header, src, dst, args...); });
    }
};

}  // namespace vrx
