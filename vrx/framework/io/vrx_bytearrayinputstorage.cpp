#include "vrx/framework/io/vrx_bytearrayinputstorage.h"

#include <cstring>

#include "vrx/framework/io/vrx_storagefactory.h"
#include "vrx/framework/io/vrx_storageposition.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_ByteArrayInputStorage* VRX_ByteArrayInputStorage::create(VRX_Manager* manager,
                                                             const void* data, int32_t size) {
    return make_storage<VRX_ByteArrayInputStorage>(
        manager, [&](VRX_ByteArrayInputStorage* s) { return s->initiate(data, size); });
}

bool VRX_ByteArrayInputStorage::initiate(const void* data, int32_t size) {
    if (!data || size <= 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ByteArrayInputStorage::initiate()", __FILE__, 153);
        return false;
    }
    data_ = static_cast<const unsigned char*>(data);
    size_ = size;
    position_ = 0;
    return true;
}

bool VRX_ByteArrayInputStorage::initiate(const void* begin, const void* end) {
    return initiate(begin, span_bytes(begin, end));
}

bool VRX_ByteArrayInputStorage::terminate() {
    data_ = nullptr;
    position_ = 0;
    size_ = 0;
    return true;
}

int32_t VRX_ByteArrayInputStorage::available(int32_t n) const { return count_within(position_, n, size_); }

int32_t VRX_ByteArrayInputStorage::get() {
    if (!data_ || position_ >= size_) return -1;
    return data_[position_++];
}

int32_t VRX_ByteArrayInputStorage::read(void* buffer, int32_t n) {
    if (n == 0) return 0;
    if (n < 0 || !buffer) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ByteArrayInputStorage::read()", __FILE__, __LINE__);
        return 0;
    }
    const int32_t k = data_ ? available(n) : 0;
    if (k > 0) std::memcpy(buffer, data_ + position_, static_cast<size_t>(k));
    position_ += k;
    return k;
}

int32_t VRX_ByteArrayInputStorage::read_at(int32_t position, void* buffer, int32_t n) {
    if (!data_ || !buffer || position < 0) return 0;
    const int32_t k = count_within(position, n, size_);
    if (k > 0) std::memcpy(buffer, data_ + position, static_cast<size_t>(k));
    return k;
}

int32_t VRX_ByteArrayInputStorage::move(int32_t n) { return move_within(position_, n, size_); }

bool VRX_ByteArrayInputStorage::seek_from_begin(int32_t n) {
    if (n < 0) return false;
    position_ = std::min(n, size_);
    return true;
}

bool VRX_ByteArrayInputStorage::seek_from_end(int32_t n) {
    if (n > 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ByteArrayInputStorage::seek_from_end()", __FILE__,
                         __LINE__);
        return false;
    }
    position_ = static_cast<int32_t>(std::max<int64_t>(0, int64_t{size_} + n));
    return true;
}

bool VRX_ByteArrayInputStorage::to_begin() {
    position_ = 0;
    return true;
}

bool VRX_ByteArrayInputStorage::to_end() {
    position_ = size_;
    return true;
}

}  // namespace vrx
