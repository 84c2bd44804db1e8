#pragma once
// Base of the channel-selection creators: the stage steps (the source check
// and the making of the engine) and the whole-image shortcut they share.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_ChannelSelector : public VRX_StageCreator {
public:
    using VRX_StageCreator::VRX_StageCreator;

protected:
    // Whether selecting `count` channels from `first` leaves the image as it
    // is: a one-channel image (whatever is asked) or every channel from 0.
    static bool selects_all(const VRX_Header& header, uint16_t first, uint16_t count) {
        return header.channels == 1 || (first == 0 && count == header.channels);
    }
};

}  // namespace vrx
