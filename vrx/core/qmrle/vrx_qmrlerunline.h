#pragma once
// One line of runs as engines see it: a view of a vector of runs (a line of
// a VRX_QMRLEBuffer) or of runs of its own, with a position used as an
// iterator. Appending to a view copies the viewed runs first, so the viewed
// line never changes.
#include <cstdint>
#include <utility>

#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_DstBuffer;

class VRX_QMRLERunLine {
public:
    using Run = std::pair<unsigned, unsigned>;
    using Runs = VRX_Vector<Run>;

    // A line of no runs, with runs of its own.
    explicit VRX_QMRLERunLine(VRX_Manager* manager);
    // A view of `runs` at `position`.
    VRX_QMRLERunLine(VRX_Manager* manager, const Runs* runs, uint32_t position);
    // Copies own runs (and then uses the copy), else shares the view.
    VRX_QMRLERunLine(const VRX_QMRLERunLine& other);
    VRX_QMRLERunLine& operator=(const VRX_QMRLERunLine& other);

    uint32_t position() const { return position_; }
    uint32_t count() const { return count_; }
    const Run& operator*() const { return in_use_->data()[position_]; }
    VRX_QMRLERunLine& operator++() {
        ++position_;
        return *this;
    }
    bool operator==(const VRX_QMRLERunLine& other) const { return position_ == other.position_; }
    bool operator!=(const VRX_QMRLERunLine& other) const { return position_ != other.position_; }

    // Empties the line; it then uses runs of its own.
    void clear();
    // Appends (first, last), copying a viewed line first; true when the line
    // grew by one run.
    bool append_run(unsigned first, unsigned last);
    // Writes every run and the end pair to `dst`: blocks of the destination's
    // block size, only the last one short, so the line starts in a fresh
    // block. A block size below one pair is refused (0x80800000).
    bool write_runarray(VRX_DstBuffer* dst) const;

private:
    bool uses_own() const { return in_use_ == &own_; }

    Runs own_;
    const Runs* in_use_;
    uint32_t position_ = 0;
    uint32_t count_ = 0;
};

}  // namespace vrx
