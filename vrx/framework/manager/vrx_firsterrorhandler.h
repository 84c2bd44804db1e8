#pragma once
// Error handler that keeps the first error of a job. A warning is kept until
// an error arrives; nothing replaces an error.
#include "vrx/framework/manager/vrx_errorhandler.h"
#include "vrx/framework/utility/vrx_mutex.h"

namespace vrx {

class VRX_FirstErrorHandler : public VRX_ErrorHandler {
public:
    explicit VRX_FirstErrorHandler(VRX_Manager* manager);
    ~VRX_FirstErrorHandler() override = default;

    // The record (read without the lock).
    VRX_Status status() override;
    // Ignores code 0 and an empty or null function text.
    void report(uint32_t code, const char* function, const char* file, uint32_t line) override;
    using VRX_ErrorHandler::report;
    // Back to code 0 and empty texts; true.
    bool reset() override;

private:
    VRX_Manager* manager_;
    VRX_Status record_;
    VRX_Mutex mutex_;
};

}  // namespace vrx
