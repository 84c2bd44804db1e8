#pragma once
// The one place where the libraries ask the processor about itself (the JPEG
// kernel choice, the fast scaling path). The default source runs CPUID; tests
// install a source of their own that answers from a table of leaves.
#include <cstdint>

namespace platform {

struct CpuidLeaf {
    uint32_t eax = 0;
    uint32_t ebx = 0;
    uint32_t ecx = 0;
    uint32_t edx = 0;
};

class CpuidSource {
public:
    virtual ~CpuidSource() = default;
    // True when the processor has the CPUID instruction (the ID bit of the
    // flags register can be toggled).
    virtual bool HasCpuid() const = 0;
    virtual CpuidLeaf Query(uint32_t leaf, uint32_t subleaf) const = 0;
};

// The processor's own CPUID.
const CpuidSource& ProcessorCpuidSource();

// The source every query goes through.
const CpuidSource& ActiveCpuidSource();

// Installs a source (nullptr restores the processor's own) and returns the one
// that was active. Meant for start-up and tests, not for concurrent use.
const CpuidSource* InstallCpuidSource(const CpuidSource* source);

}  // namespace platform
