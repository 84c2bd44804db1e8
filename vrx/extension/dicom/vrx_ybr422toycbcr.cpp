#include "vrx/extension/dicom/vrx_ybr422toycbcr.h"

#include "vrx/core/storage/vrx_readstorage.h"
#include "vrx/extension/dicom/vrx_ybr422toycbcrengine.h"
#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kEngineText = "VRX_YBR422ToYCbCr::engine()";

// Runs f with a null pointer of the engine type for the header's sample type.
template <class F>
VRX_Engine* with_sample_type(const VRX_Header& header, F&& f) {
    const VRX_DataType* type = header.data_type();
    switch (header.bits) {
        case 8:
            if (type->is_u_integer())
                return f(static_cast<VRX_YBR422ToYCbCrEngine<unsigned char>*>(nullptr));
            return f(static_cast<VRX_YBR422ToYCbCrEngine<signed char>*>(nullptr));
        case 16:
            if (type->is_u_integer())
                return f(static_cast<VRX_YBR422ToYCbCrEngine<unsigned short>*>(nullptr));
            return f(static_cast<VRX_YBR422ToYCbCrEngine<short>*>(nullptr));
        case 32:
            if (type->is_u_integer())
                return f(static_cast<VRX_YBR422ToYCbCrEngine<unsigned int>*>(nullptr));
            if (type->is_s_integer()) return f(static_cast<VRX_YBR422ToYCbCrEngine<int>*>(nullptr));
            return f(static_cast<VRX_YBR422ToYCbCrEngine<float>*>(nullptr));
        default:
            return f(static_cast<VRX_YBR422ToYCbCrEngine<double>*>(nullptr));
    }
}

}  // namespace

VRX_Engine* VRX_YBR422ToYCbCr::expand(VRX_Engine* source, const VRX_Header& header,
                                      int32_t byte_order) {
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return with_sample_type(header, [&](auto* tag) -> VRX_Engine* {
        using E = std::remove_pointer_t<decltype(tag)>;
        return make_engine<E>(src, dst,
                              [&](E* e) { return e->initiate(&header, src, dst, byte_order); });
    });
}

VRX_Engine* VRX_YBR422ToYCbCr::engine(VRX_Engine* source, int32_t byte_order) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 46);
        return nullptr;
    }
    return expand(source, *header, byte_order);
}

VRX_Engine* VRX_YBR422ToYCbCr::engine(VRX_InputStorage* storage, const VRX_Header& header,
                                      int32_t position, int32_t byte_order) {
    if (!storage || storage->is_closed() || !header.is_valid() || !header.encode_type()->is_raw()) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, __LINE__);
        return nullptr;
    }
    // The stored lines: two samples per pixel, an odd width rounded up to a
    // whole pair. The reader swaps the samples; the expansion takes them as
    // they come.
    VRX_Header stored(manager_);
    if (!stored.assign(header)) return nullptr;
    stored.channels = 2;
    stored.width = header.width + header.width % 2;
    if (stored.width < header.width || !stored.color_type(VRX_ColorType::unknown())) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, __LINE__);
        return nullptr;
    }
    VRX_Engine* reader = VRX_ReadStorage(manager_).engine(storage, stored, position, 0, byte_order);
    if (!reader) return nullptr;
    return expand(reader, header, VRX_MACHINE_ORDER);
}

}  // namespace vrx
