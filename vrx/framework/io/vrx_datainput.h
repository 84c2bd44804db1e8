#pragma once
// Typed reads in a chosen byte order over an input storage: each value is
// read whole and arrives in machine order.
//
//   VRX_DataInput<VRX_InputStorage>* in =
//       VRX_DataInput<VRX_InputStorage>::create(manager, storage, VRX_LITTLE_ENDIAN_ORDER);
//   uint32_t offset = 0;
//   if (in && in->read_value(offset)) ...
//   vrx::destroy(in);
#include <cstdint>
#include <type_traits>

#include "vrx/framework/io/vrx_endianconversion.h"
#include "vrx/framework/io/vrx_inputstoragedecorator.h"
#include "vrx/framework/io/vrx_storagefactory.h"

namespace vrx {

template <class S>
class VRX_DataInput : public VRX_Decorator<VRX_Pointer<S>>, public VRX_EndianConversion {
public:
    explicit VRX_DataInput(VRX_Manager* manager) : VRX_Decorator<VRX_Pointer<S>>(manager) {}
    ~VRX_DataInput() override = default;

    // A reader of `storage` in `order`; null when the storage is refused.
    static VRX_DataInput* create(VRX_Manager* manager, S* storage, int32_t order) {
        return make_storage<VRX_DataInput>(
            manager, [&](VRX_DataInput* s) { return s->initiate(storage, order); });
    }

    using VRX_Decorator<VRX_Pointer<S>>::initiate;
    // Wraps the storage, then sets the byte order.
    virtual bool initiate(S* storage, int32_t order) {
        if (!VRX_Decorator<VRX_Pointer<S>>::initiate(storage)) return false;
        set_order(order);
        return true;
    }

    // Reads exactly n bytes and converts them in place. Fewer than n: false
    // (the bytes read stay unconverted and the position has moved by them).
    bool read_binary(void* buffer, int32_t n) {
        if (n < 0 || this->read(buffer, n) != n) return false;
        convert(buffer, static_cast<size_t>(n));
        return true;
    }

    // One arithmetic value.
    template <class T>
    bool read_value(T& out) {
        static_assert(std::is_arithmetic_v<T>);
        return read_binary(&out, static_cast<int32_t>(sizeof(T)));
    }
};

}  // namespace vrx

namespace vrx {
extern template class VRX_DataInput<VRX_InputStorage>;
}  // namespace vrx
