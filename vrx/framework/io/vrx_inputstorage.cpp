#include "vrx/framework/io/vrx_inputstorage.h"

#include <algorithm>
#include <ctime>

namespace vrx {

uint32_t stamp_time_now() { return static_cast<uint32_t>(static_cast<uint64_t>(std::time(nullptr))); }

VRX_InputStream::VRX_InputStream(VRX_Manager* manager) : VRX_Object(manager) {
    stamp_.change_count = 1;
    stamp_.owner = &stamp_;
    stamp_.time = stamp_time_now();
}

void VRX_InputStream::renew_stamp() {
    ++stamp_.change_count;
    stamp_.time = stamp_time_now();
}

int32_t VRX_InputStorage::skip(int32_t n) { return move(n); }

bool VRX_InputStorage::is_end() {
    const int32_t total = size();
    return total == 0 || position() == total;
}

bool VRX_InputStorage::seek_from_begin(int32_t n) {
    to_begin();
    const int32_t distance = std::min(size(), n);
    return move(distance) == distance;
}

bool VRX_InputStorage::seek_from_end(int32_t n) {
    to_end();
    const int32_t distance = std::max(n, -size());
    return move(distance) == distance;
}

}  // namespace vrx
