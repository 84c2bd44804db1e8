#pragma once
// The relation's engine table: engines without output in registration order,
// and for each destination buffer the one engine that writes it.
#include "vrx/framework/include/vrx_list.h"
#include "vrx/framework/include/vrx_map.h"

namespace vrx {

class VRX_Engine;
class VRX_DstBuffer;

struct VRX_EngDstTable {
    explicit VRX_EngDstTable(VRX_Manager* manager)
        : no_output_engines(manager), producers(manager) {}

    VRX_List<VRX_Engine*> no_output_engines;
    VRX_Map<VRX_DstBuffer*, VRX_Engine*> producers;
};

}  // namespace vrx
