#include "vrx/framework/io/vrx_bytearrayoutputstorage.h"

#include <algorithm>
#include <cstring>

#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/io/vrx_storagefactory.h"
#include "vrx/framework/io/vrx_storageposition.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_ByteArrayOutputStorage* VRX_ByteArrayOutputStorage::create(VRX_Manager* manager, void* buffer,
                                                               int32_t capacity) {
    return make_storage<VRX_ByteArrayOutputStorage>(
        manager, [&](VRX_ByteArrayOutputStorage* s) { return s->initiate(buffer, capacity); });
}

bool VRX_ByteArrayOutputStorage::initiate(void* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ByteArrayOutputStorage::initiate()", __FILE__, 177);
        return false;
    }
    buffer_ = static_cast<unsigned char*>(buffer);
    capacity_ = capacity;
    position_ = 0;
    return true;
}

bool VRX_ByteArrayOutputStorage::initiate(void* begin, void* end) {
    return initiate(begin, span_bytes(begin, end));
}

bool VRX_ByteArrayOutputStorage::terminate() {
    buffer_ = nullptr;
    capacity_ = 0;
    position_ = 0;
    return true;
}

int32_t VRX_ByteArrayOutputStorage::available(int32_t n) const { return count_within(position_, n, capacity_); }

void VRX_ByteArrayOutputStorage::advance_position(int32_t k) {
    position_ += k;
    written_ = std::max(written_, position_);
}

int32_t VRX_ByteArrayOutputStorage::put(unsigned char byte) {
    if (!buffer_ || position_ >= capacity_) {
        manager_->report(VRX_ERROR_IO, "VRX_ByteArrayOutputStorage::put()", __FILE__, 113);
        return -1;
    }
    buffer_[position_] = byte;
    advance_position(1);
    return byte;
}

int32_t VRX_ByteArrayOutputStorage::write(const void* buffer, int32_t n) {
    if (n == 0) return 0;
    if (n < 0 || !buffer) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ByteArrayOutputStorage::write()", __FILE__,
                         __LINE__);
        return 0;
    }
    const int32_t k = buffer_ ? available(n) : 0;
    if (k == 0) {
        manager_->report(VRX_ERROR_IO, "VRX_ByteArrayOutputStorage::write()", __FILE__, 156);
        return 0;
    }
    std::memcpy(buffer_ + position_, buffer, static_cast<size_t>(k));
    advance_position(k);
    return k;
}

int32_t VRX_ByteArrayOutputStorage::advance(int32_t n) {
    if (n < 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ByteArrayOutputStorage::advance()", __FILE__,
                         __LINE__);
        return 0;
    }
    const int32_t k = buffer_ ? available(n) : 0;
    advance_position(k);
    return k;
}

VRX_InputStorage* VRX_ByteArrayOutputStorage::make_input_storage() {
    return make_storage<VRX_ByteArrayInputStorage>(
        manager_, [&](VRX_ByteArrayInputStorage* s) { return s->initiate(buffer_, capacity_); });
}

int32_t VRX_ByteArrayOutputStorage::move(int32_t n) { return move_within(position_, n, written_); }

bool VRX_ByteArrayOutputStorage::seek_from_begin(int32_t n) {
    if (n < 0) return false;
    position_ = std::min(n, written_);
    return true;
}

bool VRX_ByteArrayOutputStorage::seek_from_end(int32_t n) {
    if (n > 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ByteArrayOutputStorage::seek_from_end()",
                         __FILE__, __LINE__);
        return false;
    }
    position_ = static_cast<int32_t>(std::max<int64_t>(0, int64_t{written_} + n));
    return true;
}

bool VRX_ByteArrayOutputStorage::to_begin() {
    position_ = 0;
    return true;
}

bool VRX_ByteArrayOutputStorage::to_end() {
    position_ = written_;
    return true;
}

}  // namespace vrx
