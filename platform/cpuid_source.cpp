#include "platform/cpuid_source.h"

#include <cpuid.h>

#include <atomic>

namespace platform {
namespace {

class HardwareCpuid final : public CpuidSource {
public:
    bool HasCpuid() const override {
#if defined(__x86_64__)
        return true;  // every 64-bit x86 processor has CPUID
#else
        return __get_cpuid_max(0, nullptr) != 0;
#endif
    }
    CpuidLeaf Query(uint32_t leaf, uint32_t subleaf) const override {
        CpuidLeaf r;
        __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
        return r;
    }
};

const HardwareCpuid hardwareCpuid;
std::atomic<const CpuidSource*> activeSource{&hardwareCpuid};

}  // namespace

const CpuidSource& ProcessorCpuidSource() { return hardwareCpuid; }

const CpuidSource& ActiveCpuidSource() { return *activeSource.load(std::memory_order_acquire); }

const CpuidSource* InstallCpuidSource(const CpuidSource* source) {
    return activeSource.exchange(source != nullptr ? source : &hardwareCpuid, std::memory_order_acq_rel);
}

}  // namespace platform
