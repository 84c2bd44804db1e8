#include "vrx/framework/io/vrx_fileinputstorage.h"

#include <algorithm>

#include "vrx/framework/io/vrx_storagefactory.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
// Bytes read ahead at a time (less for smaller files).
constexpr int32_t read_ahead_bytes = 64 * 1024;
}  // namespace

VRX_FileInputStorage::VRX_FileInputStorage(VRX_Manager* manager)
    : VRX_InputStorage(manager),
      VRX_NamableImpl<VRX_BasicString<char>>(manager),
      VRX_PosixStorage<VRX_PosixLowLevelFile>(manager),
      read_ahead_(manager) {}

VRX_FileInputStorage* VRX_FileInputStorage::create(VRX_Manager* manager, const char* name) {
    // initiate() takes a null name as "nothing to open"; a factory asked to
    // open nothing would hand out a storage without a file as if it had opened
    // one, so it is refused as an open without a name.
    return make_storage<VRX_FileInputStorage>(manager, [&](VRX_FileInputStorage* s) {
        if (name) return s->initiate(name);
        int64_t size = 0;
        return s->open(name, size);
    });
}

bool VRX_FileInputStorage::initiate(const char* name) {
    if (!name) return true;
    terminate();
    renew_stamp();
    if (!set_name(name)) return false;
    int64_t size = 0;
    if (!open(name, size)) return false;
    return attach(size, 0);
}

bool VRX_FileInputStorage::initiate(int descriptor) {
    if (descriptor == 0) return true;
    if (descriptor < 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_FileInputStorage::initiate()", __FILE__, 106);
        return false;
    }
    terminate();
    int64_t size = 0;
    int64_t offset = 0;
    if (!adopt(descriptor, size, offset)) {
        manager_->report(VRX_ERROR_IO, "VRX_FileInputStorage::initiate()", __FILE__, __LINE__);
        return false;
    }
    if (size > VRX_STORAGE_MAX_SIZE || offset > VRX_STORAGE_MAX_SIZE) {
        // Adopted, so closed with the storage as any adopted descriptor.
        close();
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_FileInputStorage::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    return attach(size, offset);
}

bool VRX_FileInputStorage::attach(int64_t size, int64_t position) {
    size_ = static_cast<int32_t>(size);
    position_ = static_cast<int32_t>(position);
    read_ahead_.release();
    return true;
}

bool VRX_FileInputStorage::terminate() {
    close();
    read_ahead_.release();
    size_ = 0;
    position_ = 0;
    return true;
}

bool VRX_FileInputStorage::check_open(const char* function, uint32_t line) {
    if (is_open()) return true;
    manager_->report(VRX_ERROR_IO, function, __FILE__, line);
    return false;
}

int32_t VRX_FileInputStorage::get() {
    const int32_t held = read_ahead_.byte_at(position_);
    if (held >= 0) {
        ++position_;
        return held;
    }
    unsigned char byte = 0;
    return read(&byte, 1) == 1 ? byte : -1;
}

int32_t VRX_FileInputStorage::read(void* buffer, int32_t n) {
    if (n == 0) return 0;
    if (n < 0 || !buffer) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_FileInputStorage::read()", __FILE__, __LINE__);
        return 0;
    }
    if (!check_open("VRX_PosixLowLevelIO::read()", 151)) return 0;
    const int32_t window = std::clamp(size_, int32_t{1}, read_ahead_bytes);
    return read_ahead_.read(position_, static_cast<unsigned char*>(buffer),
                            count_within(position_, n, size_), window,
                            [this](int32_t at, unsigned char* out, int32_t k) {
                                return read_at(at, out, k);
                            });
}

int32_t VRX_FileInputStorage::read_at(int32_t position, void* buffer, int32_t n) {
    if (!is_open() || !buffer || position < 0) return 0;
    return VRX_PosixLowLevelIO::read_at(position, buffer, count_within(position, n, size_));
}

int32_t VRX_FileInputStorage::position() {
    if (!check_open("VRX_PosixLowLevelIO::position()", 83)) return -1;
    return position_;
}

int32_t VRX_FileInputStorage::size() {
    if (!check_open("VRX_PosixLowLevelIO::position()", 83)) return 0;
    return size_;
}

int32_t VRX_FileInputStorage::move(int32_t n) {
    if (n == 0) return 0;
    if (!check_open("VRX_PosixLowLevelIO::position()", 83)) return 0;
    return move_within(position_, n, size_);
}

bool VRX_FileInputStorage::seek_from_begin(int32_t n) {
    if (!is_open() || n < 0) {
        manager_->report(VRX_ERROR_IO, "VRX_PosixLowLevelIO::seek()", __FILE__, 100);
        return false;
    }
    position_ = std::min(n, size_);
    return true;
}

bool VRX_FileInputStorage::seek_from_end(int32_t n) {
    const int64_t target = std::max<int64_t>(0, int64_t{size_} + n);
    if (!is_open() || target > VRX_STORAGE_MAX_SIZE) {
        manager_->report(VRX_ERROR_IO, "VRX_PosixLowLevelIO::seek()", __FILE__, 100);
        return false;
    }
    position_ = static_cast<int32_t>(target);
    return true;
}

bool VRX_FileInputStorage::to_begin() { return seek_from_begin(0); }

bool VRX_FileInputStorage::to_end() { return seek_from_end(0); }

}  // namespace vrx
