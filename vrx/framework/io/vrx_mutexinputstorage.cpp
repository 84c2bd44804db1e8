#include "vrx/framework/io/vrx_mutexinputstorage.h"

#include "vrx/framework/io/vrx_storagefactory.h"

namespace vrx {

VRX_MutexInputStorage* VRX_MutexInputStorage::create(VRX_Manager* manager,
                                                     VRX_InputStorage* storage) {
    return make_storage<VRX_MutexInputStorage>(
        manager, [&](VRX_MutexInputStorage* s) { return s->initiate(storage); });
}

int32_t VRX_MutexInputStorage::get() {
    return locked([this] { return VRX_InputStorageDecorator::get(); });
}

int32_t VRX_MutexInputStorage::read(void* buffer, int32_t n) {
    return locked([&] { return VRX_InputStorageDecorator::read(buffer, n); });
}

int32_t VRX_MutexInputStorage::skip(int32_t n) {
    return locked([&] { return VRX_InputStorageDecorator::skip(n); });
}

int32_t VRX_MutexInputStorage::position() {
    return locked([this] { return VRX_InputStorageDecorator::position(); });
}

int32_t VRX_MutexInputStorage::move(int32_t n) {
    return locked([&] { return VRX_InputStorageDecorator::move(n); });
}

bool VRX_MutexInputStorage::is_end() {
    return locked([this] { return VRX_InputStorageDecorator::is_end(); });
}

bool VRX_MutexInputStorage::seek_from_begin(int32_t n) {
    return locked([&] { return VRX_InputStorageDecorator::seek_from_begin(n); });
}

bool VRX_MutexInputStorage::seek_from_end(int32_t n) {
    return locked([&] { return VRX_InputStorageDecorator::seek_from_end(n); });
}

int32_t VRX_MutexInputStorage::size() {
    return locked([this] { return VRX_InputStorageDecorator::size(); });
}

bool VRX_MutexInputStorage::to_begin() {
    return locked([this] { return VRX_InputStorageDecorator::to_begin(); });
}

bool VRX_MutexInputStorage::to_end() {
    return locked([this] { return VRX_InputStorageDecorator::to_end(); });
}

bool VRX_MutexInputStorage::unget() {
    return locked([this] { return VRX_InputStorageDecorator::unget(); });
}

VRX_PositionedInput* VRX_MutexInputStorage::positioned() const {
    return dynamic_cast<VRX_PositionedInput*>(pointer_);
}

bool VRX_MutexInputStorage::can_read_at() {
    VRX_PositionedInput* source = positioned();
    return source && source->can_read_at();
}

bool VRX_MutexInputStorage::read_at_is_costly() {
    VRX_PositionedInput* source = positioned();
    return source && source->read_at_is_costly();
}

int32_t VRX_MutexInputStorage::read_at(int32_t position, void* buffer, int32_t n) {
    VRX_PositionedInput* source = positioned();
    return source ? source->read_at(position, buffer, n) : 0;
}

}  // namespace vrx
