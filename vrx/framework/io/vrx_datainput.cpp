#include "vrx/framework/io/vrx_datainput.h"

namespace vrx {

template class VRX_DataInput<VRX_InputStorage>;

}  // namespace vrx
