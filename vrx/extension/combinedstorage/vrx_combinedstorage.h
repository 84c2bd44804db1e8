#pragma once
// Several input storages presented one after another as one input storage.
// Each part is read from its own position 0 and only up to its limit (its
// size when the combined storage was made). This class holds the parts and
// the positioning; reading is VRX_CombinedInputStorage.
#include <cstdint>

#include "vrx/framework/include/vrx_vector.h"
#include "vrx/framework/io/vrx_inputstorage.h"

namespace vrx {

template <class S>
class VRX_CombinedStorage;

template <>
class VRX_CombinedStorage<VRX_InputStorage> : public VRX_InputStorage {
public:
    explicit VRX_CombinedStorage(VRX_Manager* manager);
    ~VRX_CombinedStorage() override = default;

    // Closes the storage; the parts stay listed (and open). True.
    bool terminate() override;
    bool is_closed() override { return closed_; }
    // Sum of the parts' effective lengths before the current one, plus the
    // current part's position; 0 when closed.
    int32_t position() override;
    // Forwards through the parts, or backwards; the distance moved.
    int32_t move(int32_t n) override;
    // Every part to its start; the first part current.
    bool to_begin() override;
    // Every part to its effective end; the last part current (or the first one
    // that has shrunk below its limit).
    bool to_end() override;

    // Takes copies of the parts and their limits (most bytes read from each)
    // and records a dependency on each part. Refused (0x80800000) when either
    // list is empty or they differ in count, when a part is null, closed or of
    // negative size, when a limit is not positive, and when the limits add up
    // beyond 2147483647.
    virtual bool initiate(const VRX_Vector<VRX_InputStorage*>& parts,
                          const VRX_Vector<uint32_t>& limits);

    size_t part_count() const { return parts_.size(); }
    int32_t current() const { return current_; }

protected:
    // min(size of part i, limit i), never negative.
    int32_t effective_length(size_t i);
    // Bytes of part i from its position to its effective end, never negative.
    int32_t bytes_left(size_t i);

    VRX_Vector<VRX_InputStorage*> parts_;
    VRX_Vector<uint32_t> limits_;
    int32_t current_ = 0;
    bool closed_ = true;
};

}  // namespace vrx
