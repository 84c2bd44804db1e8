#pragma once
// The status record of a job: the first error (or the first warning until an
// error arrives), with the failing function's name, source file and line.
#include <cstdint>

#include "vrx/framework/base/vrx_utility.h"
#include "vrx/framework/include/vrx_statuscode.h"

namespace vrx {

class VRX_Status : public VRX_Utility {
public:
    static constexpr uint32_t text_capacity = 255;

    explicit VRX_Status(VRX_Manager* manager = nullptr);
    // A record of one report: `function` is kept up to 255 characters; of
    // `file` only the base name (after the last '/' or '\') is kept, up to 255.
    VRX_Status(VRX_Manager* manager, uint32_t code, const char* function, const char* file,
               uint32_t line);
    VRX_Status(const VRX_Status& other);
    // Copies code, both texts and line; the manager stays.
    VRX_Status& operator=(const VRX_Status& other);

    // The code with its detail bits cleared.
    uint32_t category() const { return code & VRX_CATEGORY_MASK; }
    bool is_error() const { return vrx::is_error(code); }
    bool is_warning() const { return vrx::is_warning(code); }

    uint32_t code = VRX_SUCCESS;
    char function[text_capacity + 1] = {};
    char file[text_capacity + 1] = {};
    uint32_t line = 0;
};

}  // namespace vrx
