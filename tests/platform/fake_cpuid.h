#pragma once
// A CPUID source answering from a table of leaves, installed for the
// lifetime of the object.
#include <cstdint>
#include <map>
#include <utility>

#include "platform/cpuid_source.h"

namespace platform::testing {

class FakeCpuid final : public CpuidSource {
public:
    FakeCpuid() { previous_ = InstallCpuidSource(this); }
    ~FakeCpuid() override { InstallCpuidSource(previous_); }
    FakeCpuid(const FakeCpuid&) = delete;
    FakeCpuid& operator=(const FakeCpuid&) = delete;

    bool HasCpuid() const override { return hasCpuid; }
    CpuidLeaf Query(uint32_t leaf, uint32_t subleaf) const override {
        ++queries;
        auto it = leaves.find({leaf, subleaf});
        return it == leaves.end() ? CpuidLeaf{} : it->second;
    }

    void Set(uint32_t leaf, CpuidLeaf value, uint32_t subleaf = 0) { leaves[{leaf, subleaf}] = value; }

    // Leaf 0 with the given vendor and highest leaf.
    void SetVendor(const char vendor[13], uint32_t highestLeaf) {
        auto word = [&](int i) {
            return uint32_t(uint8_t(vendor[i])) | uint32_t(uint8_t(vendor[i + 1])) << 8 |
                   uint32_t(uint8_t(vendor[i + 2])) << 16 | uint32_t(uint8_t(vendor[i + 3])) << 24;
        };
        Set(0, CpuidLeaf{highestLeaf, word(0), word(8), word(4)});
    }

    bool hasCpuid = true;
    mutable int queries = 0;
    std::map<std::pair<uint32_t, uint32_t>, CpuidLeaf> leaves;

private:
    const CpuidSource* previous_ = nullptr;
};

}  // namespace platform::testing
