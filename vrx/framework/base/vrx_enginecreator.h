#pragma once
// Base of the creators: small stack objects whose engine(...) builds one
// engine behind a source engine, initiates it and registers it with the
// manager. Each creator adds its own engine(...) overloads.
#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/base/vrx_utility.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_Engine;
class VRX_SrcBuffer;
class VRX_DstBuffer;

class VRX_EngineCreator : public VRX_Utility {
public:
    explicit VRX_EngineCreator(VRX_Manager* manager) : VRX_Utility(manager) {}
    ~VRX_EngineCreator() override = default;

    // With an engine: registers it as the producer of `dst` (null for engines
    // without output) and returns it; an engine the manager refuses is
    // destroyed and the result is null. Without an engine: destroys src and
    // dst (each when not null) and returns null.
    VRX_Engine* regist_engine(VRX_Engine* engine, VRX_SrcBuffer* src, VRX_DstBuffer* dst);
    // The same for engines with several sources; without an engine every
    // source is destroyed and the vector emptied.
    VRX_Engine* regist_engine_n(VRX_Engine* engine, VRX_Vector<VRX_SrcBuffer*>& sources,
                                VRX_DstBuffer* dst);

protected:
    // The creation pattern: makes an E through the manager and runs
    // `initiate(E*)`; on success marks it initiated and registers it, else
    // destroys it and the buffers. The registered engine or null.
    template <class E, class Initiate>
    E* make_engine(VRX_SrcBuffer* src, VRX_DstBuffer* dst, Initiate&& initiate) {
        E* engine = construct<E>(manager_);
        if (engine && initiate(engine)) {
            engine->set_initiated();
            return regist_engine(engine, src, dst) ? engine : nullptr;
        }
        vrx::destroy(engine);
        regist_engine(nullptr, src, dst);
        return nullptr;
    }
};

}  // namespace vrx
