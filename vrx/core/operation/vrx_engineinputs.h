#pragma once
// The inputs of a creator whose engine reads several sources: the header and
// a new source buffer of every source engine, in source order.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/include/vrx_vector.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

class VRX_DstBuffer;
class VRX_Engine;
class VRX_SrcBuffer;

class VRX_EngineInputs {
public:
    explicit VRX_EngineInputs(VRX_Manager* manager)
        : headers(manager), buffers(manager), manager_(manager) {}
    VRX_EngineInputs(const VRX_EngineInputs&) = delete;
    VRX_EngineInputs& operator=(const VRX_EngineInputs&) = delete;
    // The buffers are not destroyed here: they go to the registration step.
    ~VRX_EngineInputs() = default;

    // Takes the header and a source buffer of every source. No source, or a
    // null source, header or buffer, is reported as 0x80800000 with
    // `function`, `file` and `line`; on any failure the buffers already taken
    // are destroyed and the result is false.
    bool take(const VRX_Vector<VRX_Engine*>& sources, const char* function, const char* file,
              uint32_t line);

    // The creation pattern of a several-source creator: takes the inputs (as
    // `take`), a new destination buffer, and the engine `create` (headers,
    // buffers, destination) makes and initiates (null on failure); then the
    // creator's registration step registers it or destroys every buffer.
    template <class Create>
    VRX_Engine* build(VRX_EngineCreator& creator, const VRX_Vector<VRX_Engine*>& sources,
                      const char* function, const char* file, uint32_t line, Create&& create) {
        if (!take(sources, function, file, line)) return nullptr;
        VRX_DstBuffer* dst = manager_->new_dst_buffer();
        VRX_Engine* engine = create(headers, buffers, dst);
        return creator.regist_engine_n(engine, buffers, dst);
    }

    // `engine` marked initiated when `initiated`; otherwise it is destroyed
    // (when made) and the result is null.
    static VRX_Engine* initiated_or_null(VRX_Engine* engine, bool initiated);

    VRX_Vector<const VRX_Header*> headers;
    VRX_Vector<VRX_SrcBuffer*> buffers;

private:
    bool fail();

    VRX_Manager* manager_;
};

}  // namespace vrx
