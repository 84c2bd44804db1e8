#include "vrx/core/lut/vrx_lutdata.h"

#include <cstring>

#include "platform/byte_count.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_LutData::~VRX_LutData() { free_data(); }

void VRX_LutData::free_data() {
    if (manager_) manager_->deallocate(data_);
    data_ = nullptr;
    size_ = 0;
}

bool VRX_LutData::byte_count(uint32_t& out) const {
    const platform::ByteCount count = platform::ByteCount(channels) * bits * entries / 8;
    if (!count.fits<uint32_t>()) return false;
    out = static_cast<uint32_t>(count.value());
    return true;
}

bool VRX_LutData::value(const void* bytes, uint32_t size) {
    uint32_t expected = 0;
    const bool both_or_neither = (bytes != nullptr) == (size != 0);
    if (!both_or_neither || !byte_count(expected) || size != expected) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_LutData::value()", __FILE__, 197);
        return false;
    }
    free_data();
    if (size == 0) return true;
    auto* copy = static_cast<unsigned char*>(manager_->allocate(size));
    if (!copy) return false;
    std::memcpy(copy, bytes, size);
    data_ = copy;
    size_ = size;
    return true;
}

bool VRX_LutData::is_valid() const {
    if (bits == 0 && channels == 0 && entries == 0 && !data_) return true;
    const bool entry_bits = bits == 8 || bits == 16 || bits == 32 || bits == 64;
    // Fields changed after value() would make readers copy past the table.
    uint32_t size = 0;
    return channels != 0 && entry_bits && byte_count(size) && size == size_ && entries >= 1 &&
           entries <= 0x10000u && data_type && !data_type->is_unknown() &&
           data_type->is_acceptable_bits(bits) && data_ != nullptr;
}

}  // namespace vrx
