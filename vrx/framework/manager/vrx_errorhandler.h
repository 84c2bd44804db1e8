#pragma once
// Error interface of a manager: failures are reported as (status word,
// function text, source file, line) and can be read back as a status record.
#include <cstdint>

#include "vrx/framework/manager/vrx_status.h"

namespace vrx {

class VRX_ErrorHandler {
public:
    virtual VRX_Status status() = 0;
    virtual void report(uint32_t code, const char* function, const char* file, uint32_t line) = 0;
    // Same as the four-argument form with an empty file text and line 0.
    virtual void report(uint32_t code, const char* function);
    virtual bool reset() = 0;
    virtual ~VRX_ErrorHandler() = default;
};

}  // namespace vrx
