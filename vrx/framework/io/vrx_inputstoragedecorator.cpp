#include "vrx/framework/io/vrx_inputstoragedecorator.h"

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_InputStorageDecorator::terminate() {
    pointer_ = nullptr;
    return true;
}

int32_t VRX_InputStorageDecorator::get() { return pointer_ ? pointer_->get() : -1; }

int32_t VRX_InputStorageDecorator::read(void* buffer, int32_t n) {
    return pointer_ ? pointer_->read(buffer, n) : 0;
}

int32_t VRX_InputStorageDecorator::skip(int32_t n) { return pointer_ ? pointer_->skip(n) : 0; }

int32_t VRX_InputStorageDecorator::position() { return pointer_ ? pointer_->position() : 0; }

int32_t VRX_InputStorageDecorator::move(int32_t n) { return pointer_ ? pointer_->move(n) : 0; }

bool VRX_InputStorageDecorator::is_end() { return pointer_ ? pointer_->is_end() : true; }

bool VRX_InputStorageDecorator::seek_from_begin(int32_t n) {
    return pointer_ ? pointer_->seek_from_begin(n) : false;
}

bool VRX_InputStorageDecorator::seek_from_end(int32_t n) {
    return pointer_ ? pointer_->seek_from_end(n) : false;
}

int32_t VRX_InputStorageDecorator::size() { return pointer_ ? pointer_->size() : 0; }

bool VRX_InputStorageDecorator::to_begin() { return pointer_ ? pointer_->to_begin() : false; }

bool VRX_InputStorageDecorator::to_end() { return pointer_ ? pointer_->to_end() : false; }

bool VRX_InputStorageDecorator::unget() { return pointer_ ? pointer_->move(-1) == -1 : false; }

bool VRX_InputStorageDecorator::initiate(VRX_InputStorage* storage) {
    if (!storage) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_InputStorageDecorator::initiate()", __FILE__, 277);
        return false;
    }
    pointer_ = storage;
    return depend(storage);
}

}  // namespace vrx
