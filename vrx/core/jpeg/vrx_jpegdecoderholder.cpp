#include "vrx/core/jpeg/vrx_jpegdecoderholder.h"

#include "jpegdec/jpeg_decoder.h"
#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"
#include "vrx/framework/utility/vrx_mutex.h"

namespace vrx {

namespace {

VRX_InputStorage* storage_of(void* user) { return static_cast<VRX_JPEGDecoderHolder*>(user)->storage(); }

int32_t StorageSourceReadByte(void* user) { return storage_of(user)->get(); }
int32_t StorageSourceRead(void* user, void* buffer, int32_t n) { return storage_of(user)->read(buffer, n); }
int32_t StorageSourceTell(void* user) { return storage_of(user)->position(); }
int32_t StorageSourceSeek(void* user, int32_t position) {
    return storage_of(user)->seek_from_begin(position) ? 1 : 0;
}

void* ManagerAllocate(void* user, size_t size) {
    return static_cast<VRX_JPEGDecoderHolder*>(user)->manager()->allocate(size);
}
void ManagerRelease(void* user, void* memory) {
    static_cast<VRX_JPEGDecoderHolder*>(user)->manager()->deallocate(memory);
}
void* ManagerAllocateZeroed(void* user, size_t size) {
    return static_cast<VRX_JPEGDecoderHolder*>(user)->manager()->allocate_zeroed(size);
}

constexpr jpegdec::JpegAllocatorRecord kAllocator{ManagerAllocate, ManagerRelease, ManagerAllocateZeroed};

}  // namespace

void VRX_JPEGDecoderHolder::join_library() {
    VRX_Mutex::process().lock();
    jpegdec::InitJpegLibrary(&kAllocator, this);
    VRX_Mutex::process().unlock();
    counted_ = true;
}

int32_t VRX_JPEGDecoderHolder::create_decoder() {
    const jpegdec::JpegSourceRecord source{StorageSourceReadByte, StorageSourceRead, StorageSourceTell,
                                           StorageSourceSeek, nullptr};
    int32_t status = 0;
    context_ = jpegdec::CreateDecompressor(&source, &kAllocator, this, &status);
    return status;
}

bool VRX_JPEGDecoderHolder::terminate() {
    jpegdec::DestroyDecompressor(context_);
    context_ = nullptr;
    if (counted_) {
        VRX_Mutex::process().lock();
        jpegdec::ReleaseJpegLibrary(&kAllocator, this);
        VRX_Mutex::process().unlock();
        counted_ = false;
    }
    return true;
}

}  // namespace vrx
