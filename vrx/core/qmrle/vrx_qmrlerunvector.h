#pragma once
// The runs of one line as the sequential line reader collects them, with a
// cursor that hands them out in order.
#include <cstdint>

#include "vrx/core/qmrle/vrx_qmrlerun.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

template <class Run>
class VRX_QMRLERunVectorBase : public VRX_Utility {
public:
    explicit VRX_QMRLERunVectorBase(VRX_Manager* manager) : VRX_Utility(manager), runs_(manager) {}
    ~VRX_QMRLERunVectorBase() override = default;

    // No runs, cursor at the start.
    void clear() {
        runs_.clear();
        cursor_ = 0;
    }
    // True when the vector grew by one run.
    bool append(uint32_t first, uint32_t last) { return runs_.push_back(Run(first, last)); }
    // The run at the cursor, which then moves on; false behind the last run.
    bool next_run(uint32_t& first, uint32_t& last) {
        if (cursor_ >= runs_.size()) return false;
        const Run& run = runs_.data()[cursor_++];
        first = run.first;
        last = run.last;
        return true;
    }

    size_t size() const { return runs_.size(); }
    const Run* data() const { return runs_.data(); }

protected:
    uint32_t cursor_ = 0;
    VRX_Vector<Run> runs_;
};

class VRX_QMRLERunVector : public VRX_QMRLERunVectorBase<VRX_QMRLERun> {
public:
    using VRX_QMRLERunVectorBase::VRX_QMRLERunVectorBase;
};

}  // namespace vrx
