#pragma once
// Opening a storage's file by name, with the reports of the library.
#include <cstdint>

#include "vrx/framework/include/vrx_statuscode.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

// Largest file a storage can address: positions are signed 32-bit.
inline constexpr int64_t VRX_STORAGE_MAX_SIZE = 0x7FFFFFFF;

template <class F>
class VRX_PosixStorage : public F {
public:
    using F::F;
    ~VRX_PosixStorage() override = default;

    // Opens `name` for reading. A null name: 0x80800000; a file that cannot be
    // opened: 0x80020000; a file larger than VRX_STORAGE_MAX_SIZE bytes:
    // 0x81000000 (its positions could not be told). False in each case.
    bool open(const char* name, int64_t& size) {
        if (!name) {
            this->io_manager_->report(VRX_ERROR_ARGUMENT, "VRX_PosixStorage::open()", __FILE__, 87);
            return false;
        }
        if (!this->open_read(name, size)) {
            this->io_manager_->report(VRX_ERROR_IO, "VRX_PosixStorage::open()", __FILE__, 95);
            return false;
        }
        if (size > VRX_STORAGE_MAX_SIZE) {
            this->close();
            this->io_manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_PosixStorage::open()", __FILE__,
                                      __LINE__);
            return false;
        }
        return true;
    }
};

}  // namespace vrx
