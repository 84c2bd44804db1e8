#pragma once
// The line reader of run-length images of one channel of 1 bit.
#include "vrx/core/qmrle/vrx_qmrlelinebase.h"
#include "vrx/core/qmrle/vrx_qmrlerunvector.h"

namespace vrx {

class VRX_QMRLELine : public VRX_QMRLELineBase<VRX_QMRLERun, VRX_QMRLERunVector> {
public:
    explicit VRX_QMRLELine(VRX_Manager* manager) : VRX_QMRLELineBase(manager) {}
    ~VRX_QMRLELine() override = default;

    // Made through the manager and initiated; null when either fails.
    static VRX_QMRLELine* create(VRX_Manager* manager, VRX_SrcBuffer* src,
                                 const VRX_Header* header);

    // 1 bit per sample, 1 channel, encode type qm_rle.
    bool is_supported(const VRX_Header* header) override;
};

}  // namespace vrx
