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

    // Goes forwards over up to n bytes from the current part: each later part
    // becomes current and is put to its start; `step` (part, count, done so
    // far) reads or moves at most what the part has left and gives what it
    // achieved. A short step ends the walk, and so does a part that has shrunk
    // below its limit when `end_at_shrunk_part`. The total achieved.
    template <class Step>
    int32_t walk_forward(int32_t n, bool end_at_shrunk_part, Step&& step) {
        const int32_t entry = current_;
        int32_t total = 0;
        for (int32_t i = entry; i < static_cast<int32_t>(parts_.size()); ++i) {
            VRX_InputStorage* part = parts_.data()[i];
            if (i != entry) {
                current_ = i;
                if (!part->to_begin()) break;
            }
            const int32_t left = bytes_left(static_cast<size_t>(i));
            const int32_t wanted = n - total;
            if (left >= wanted) return total + step(part, wanted, total);
            const int32_t done = left > 0 ? step(part, left, total) : 0;
            total += done;
            if (done < left) break;
            if (end_at_shrunk_part && static_cast<int64_t>(part->size()) < limits_.data()[i]) break;
        }
        return total;
    }

    VRX_Vector<VRX_InputStorage*> parts_;
    VRX_Vector<uint32_t> limits_;
    int32_t current_ = 0;
    bool closed_ = true;
};

}  // namespace vrx
