#pragma once
// What the bridge's chains share: the record of a failed operation (the
// imaging library's first error and the failure in words) and running a
// chain to its end.
//
//   ZEBVRXError error;
//   RunChain(writer);
//   if (!manager.execute(status)) return error.Fail(manager, "cannot render the frame");
#include <cstdint>
#include <functional>
#include <string>

namespace vrx {
class VRX_Engine;
class VRX_Manager;
}  // namespace vrx

// What the last failed operation reports.
struct ZEBVRXError {
    uint32_t code = 0;      // the imaging library's status word; 0 when none
    std::string function;   // the failing function's text; empty when none
    std::string message;    // the failure in words
    // "message (status 0x81000000, VRX_ReadDICOM::engine())", or the
    // message alone when there is no status.
    std::string Describe() const;

    // Records the failure; false, for `return error.Fail(...)`.
    bool Fail(uint32_t status, std::string failingFunction, std::string words);
    // Ends the manager's job and records its first error with the words
    // (`unsupported` instead when that error is an unsupported format).
    bool Fail(vrx::VRX_Manager& manager, std::string words, std::string unsupported = {});
};

// Runs the chain that ends in `last` to its end.
void RunChain(vrx::VRX_Engine* last);

// A lookup stage behind `source`, whose samples are 8- or 16-bit integers:
// every sample value s becomes entry(s), an unsigned sample of `bits` (8 or
// 16) bits. Null when it cannot be built (the manager records why).
vrx::VRX_Engine* MapSamples(vrx::VRX_Manager& manager, vrx::VRX_Engine* source, uint16_t bits,
                            const std::function<uint16_t(int32_t)>& entry);
