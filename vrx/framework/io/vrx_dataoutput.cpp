#include "vrx/framework/io/vrx_dataoutput.h"

namespace vrx {

template class VRX_DataOutput<VRX_OutputStorage>;

}  // namespace vrx
