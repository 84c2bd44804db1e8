#pragma once
// Base of the output-storage decorators: wraps an open output storage (not
// owned; the relation records the dependency) and forwards to it.
#include "vrx/framework/io/vrx_outputstorage.h"
#include "vrx/framework/io/vrx_pointer.h"

namespace vrx {

template <>
class VRX_Decorator<VRX_Pointer<VRX_OutputStorage>> : public VRX_OutputStorage,
                                                      public VRX_Pointer<VRX_OutputStorage> {
public:
    using VRX_OutputStorage::VRX_OutputStorage;
    ~VRX_Decorator() override = default;

    // Forgets the wrapped storage; true.
    bool terminate() override;
    bool is_closed() override { return pointer_ == nullptr; }
    // Forwarded unchanged (nothing wrapped: -1, 0, null or false).
    int32_t put(unsigned char byte) override;
    int32_t write(const void* buffer, int32_t n) override;
    int32_t advance(int32_t n) override;
    VRX_InputStorage* make_input_storage() override;
    int32_t move(int32_t n) override;
    bool seek_from_begin(int32_t n) override;
    bool seek_from_end(int32_t n) override;
    int32_t position() override;
    int32_t size() override;
    bool to_begin() override;
    bool to_end() override;
    // Wraps `storage`; a null or closed storage is refused with 0x80800000.
    virtual bool initiate(VRX_OutputStorage* storage);

    VRX_OutputStorage* storage() const { return pointer_; }
};

using VRX_OutputStorageDecorator = VRX_Decorator<VRX_Pointer<VRX_OutputStorage>>;

}  // namespace vrx
