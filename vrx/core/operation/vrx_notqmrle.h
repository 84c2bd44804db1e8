#pragma once
// Creator of the NOT of run-length coded binary images: every line's runs of
// set pixels become the runs of the pixels they leave clear.
#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_NotQMRLE : public VRX_StageCreator {
public:
    explicit VRX_NotQMRLE(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_NotQMRLE() override = default;

    // A new registered engine (never the source itself), or null after a
    // report: a missing source or header is refused with 0x80800000.
    virtual VRX_Engine* engine(VRX_Engine* source);
};

}  // namespace vrx
