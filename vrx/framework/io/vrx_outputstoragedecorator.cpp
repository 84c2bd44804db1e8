#include "vrx/framework/io/vrx_outputstoragedecorator.h"

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_OutputStorageDecorator::terminate() {
    pointer_ = nullptr;
    return true;
}

int32_t VRX_OutputStorageDecorator::put(unsigned char byte) {
    return pointer_ ? pointer_->put(byte) : -1;
}

int32_t VRX_OutputStorageDecorator::write(const void* buffer, int32_t n) {
    return pointer_ ? pointer_->write(buffer, n) : 0;
}

int32_t VRX_OutputStorageDecorator::advance(int32_t n) {
    return pointer_ ? pointer_->advance(n) : 0;
}

VRX_InputStorage* VRX_OutputStorageDecorator::make_input_storage() {
    return pointer_ ? pointer_->make_input_storage() : nullptr;
}

int32_t VRX_OutputStorageDecorator::move(int32_t n) { return pointer_ ? pointer_->move(n) : 0; }

bool VRX_OutputStorageDecorator::seek_from_begin(int32_t n) {
    return pointer_ ? pointer_->seek_from_begin(n) : false;
}

bool VRX_OutputStorageDecorator::seek_from_end(int32_t n) {
    return pointer_ ? pointer_->seek_from_end(n) : false;
}

int32_t VRX_OutputStorageDecorator::position() { return pointer_ ? pointer_->position() : 0; }

int32_t VRX_OutputStorageDecorator::size() { return pointer_ ? pointer_->size() : 0; }

bool VRX_OutputStorageDecorator::to_begin() { return pointer_ ? pointer_->to_begin() : false; }

bool VRX_OutputStorageDecorator::to_end() { return pointer_ ? pointer_->to_end() : false; }

bool VRX_OutputStorageDecorator::initiate(VRX_OutputStorage* storage) {
    if (!storage || storage->is_closed()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_OutputStorageDecorator::initiate()", __FILE__,
                         265);
        return false;
    }
    pointer_ = storage;
    return depend(storage);
}

}  // namespace vrx
