#pragma once
// What the unsigned and signed lookup creators share: the choice of the
// engine instance by the source depth and the table's entry type.
#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/core/lut/vrx_lutdata.h"
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

// Engine is the engine family, S8 and S16 its 8- and 16-bit source types.
template <template <class, class> class Engine, class S8, class S16>
class VRX_Lut8xNbitsCreator : public VRX_EngineCreator {
public:
    using VRX_EngineCreator::VRX_EngineCreator;

protected:
    // A missing source or header is reported with (function, file, line).
    // The engine reads S8 from an 8-bit source and S16 from any other (whose
    // depth the engine then refuses) and writes the sample type of the
    // table's bits and data type (a table that does not suit it is refused
    // by its initiate). The registered engine, or null.
    VRX_Engine* build(VRX_Engine* source, const VRX_LutData* table, const VRX_ColorType* color_type,
                      const char* function, const char* file, uint32_t line) {
        const VRX_Header* header = source ? source->header() : nullptr;
        if (!header) {
            manager_->report(VRX_ERROR_ARGUMENT, function, file, line);
            return nullptr;
        }
        VRX_SrcBuffer* src = source->src_buffer();
        VRX_DstBuffer* dst = manager_->new_dst_buffer();
        auto initiate = [&](auto* e) { return e->initiate(header, src, dst, table, color_type); };
        auto with_source = [&]<class S>(VRX_SampleTag<S>) {
            return with_sample_type(table ? table->data_type : nullptr, table ? table->bits : 0,
                                    [&]<class D>(VRX_SampleTag<D>) -> VRX_Engine* {
                                        return make_engine<Engine<S, D>>(src, dst, initiate);
                                    });
        };
        if (header->bits == 8) return with_source(VRX_SampleTag<S8>{});
        return with_source(VRX_SampleTag<S16>{});
    }
};

}  // namespace vrx
