#pragma once
// Base of the input-storage decorators: wraps an input storage (not owned;
// the relation records the dependency) and forwards every operation to it.
#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/io/vrx_pointer.h"

namespace vrx {

template <>
class VRX_Decorator<VRX_Pointer<VRX_InputStorage>> : public VRX_InputStorage,
                                                     public VRX_Pointer<VRX_InputStorage> {
public:
    using VRX_InputStorage::VRX_InputStorage;
    ~VRX_Decorator() override = default;

    // Forgets the wrapped storage (it stays open); true.
    bool terminate() override;
    // True when no storage is wrapped.
    bool is_closed() override { return pointer_ == nullptr; }
    // Forwarded unchanged (nothing wrapped: -1, 0 or false).
    int32_t get() override;
    int32_t read(void* buffer, int32_t n) override;
    int32_t skip(int32_t n) override;
    int32_t position() override;
    int32_t move(int32_t n) override;
    bool is_end() override;
    bool seek_from_begin(int32_t n) override;
    bool seek_from_end(int32_t n) override;
    int32_t size() override;
    bool to_begin() override;
    bool to_end() override;
    // Moves the wrapped storage back one byte; true when it moved.
    virtual bool unget();
    // Wraps `storage` (null refused with 0x80800000) and records the
    // dependency on it. The storage is not tested for is_closed.
    virtual bool initiate(VRX_InputStorage* storage);

    VRX_InputStorage* storage() const { return pointer_; }
};

using VRX_InputStorageDecorator = VRX_Decorator<VRX_Pointer<VRX_InputStorage>>;

}  // namespace vrx
