#pragma once
// The combined input storage that is created: reading over the parts.
//
//   VRX_Vector<VRX_InputStorage*> fragments(manager);  // e.g. bounded windows
//   ... push_back each fragment ...
//   VRX_CombinedInputStorage* stream = VRX_CombinedInputStorage::create(manager, fragments);
//   for (auto* f : fragments) f->destroy();  // the combined storage keeps them alive
#include "vrx/extension/combinedstorage/vrx_combinedstorage.h"

namespace vrx {

class VRX_CombinedInputStorage : public VRX_CombinedStorage<VRX_InputStorage> {
public:
    using VRX_CombinedStorage<VRX_InputStorage>::VRX_CombinedStorage;
    ~VRX_CombinedInputStorage() override = default;

    // The parts in reading order, each limited to its present size. A null or
    // closed part: 0x80800000 and null; a part of size 0 is refused as well.
    static VRX_CombinedInputStorage* create(VRX_Manager* manager,
                                            const VRX_Vector<VRX_InputStorage*>& parts);

    // One-byte read; -1 when nothing was read (no report of its own).
    int32_t get() override;
    // Up to n bytes across the parts; a null buffer or negative n: 0x80800000
    // and 0. 0 when closed.
    int32_t read(void* buffer, int32_t n) override;
    // Sum of the effective lengths; 0 when closed.
    int32_t size() override;
};

}  // namespace vrx
