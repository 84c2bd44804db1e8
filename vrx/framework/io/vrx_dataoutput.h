#pragma once
// Typed writes in a chosen byte order over an output storage.
#include <cstdint>
#include <type_traits>

#include "vrx/framework/io/vrx_endianconversion.h"
#include "vrx/framework/io/vrx_outputstoragedecorator.h"
#include "vrx/framework/io/vrx_storagefactory.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class S>
class VRX_DataOutput : public VRX_Decorator<VRX_Pointer<S>>, public VRX_EndianConversion {
public:
    explicit VRX_DataOutput(VRX_Manager* manager) : VRX_Decorator<VRX_Pointer<S>>(manager) {}
    ~VRX_DataOutput() override = default;

    // A writer into `storage` in `order`; null when the storage is refused.
    static VRX_DataOutput* create(VRX_Manager* manager, S* storage, int32_t order) {
        return make_storage<VRX_DataOutput>(
            manager, [&](VRX_DataOutput* s) { return s->initiate(storage, order); });
    }

    using VRX_Decorator<VRX_Pointer<S>>::initiate;
    // Wraps the storage (a closed one is refused), then sets the byte order.
    virtual bool initiate(S* storage, int32_t order) {
        if (!VRX_Decorator<VRX_Pointer<S>>::initiate(storage)) return false;
        set_order(order);
        return true;
    }

    // Converts the n bytes in place in the caller's buffer (left converted),
    // then writes them; fewer written is reported as 0x80020000 and false.
    bool write_binary(void* buffer, int32_t n) {
        if (n == 0) return true;
        if (n < 0 || !buffer) {
            this->manager_->report(VRX_ERROR_ARGUMENT, "VRX_DataOutput::write_binary()", __FILE__,
                                   __LINE__);
            return false;
        }
        convert(buffer, static_cast<size_t>(n));
        if (this->write(buffer, n) < n) {
            this->manager_->report(VRX_ERROR_IO, "VRX_DataOutput::write_binary()", __FILE__, 83);
            return false;
        }
        return true;
    }

    // One arithmetic value.
    template <class T>
    bool write_value(T value) {
        static_assert(std::is_arithmetic_v<T>);
        return write_binary(&value, static_cast<int32_t>(sizeof(T)));
    }
};

}  // namespace vrx

namespace vrx {
extern template class VRX_DataOutput<VRX_OutputStorage>;
}  // namespace vrx
