#include "jpegkernels/cpu/cache_info.h"

#include <atomic>

#include "platform/cpuid_source.h"

namespace jpegkernels {

using platform::ActiveCpuidSource;
using platform::CpuidLeaf;
using platform::CpuidSource;

namespace {

// Leaf-2 cache descriptor and its size code, largest cache first. A size code
// with high nibble m and low nibble e stands for m * 2^(e + 18) bytes.
struct CacheDescriptorSize {
    uint8_t descriptor;
    uint8_t sizeCode;
};
constexpr CacheDescriptorSize CacheDescriptorSizes[] = {
    {0x4D, 0x16}, {0x4C, 0x34}, {0x4B, 0x15}, {0x47, 0x15}, {0x4E, 0x33}, {0x4A, 0x33}, {0x49, 0x14},
    {0x29, 0x14}, {0x46, 0x14}, {0x48, 0x32}, {0x25, 0x13}, {0x7D, 0x13}, {0x85, 0x13}, {0x45, 0x13},
    {0x23, 0x12}, {0x87, 0x12}, {0x7C, 0x12}, {0x78, 0x12}, {0x84, 0x12}, {0x44, 0x12}, {0x22, 0x11},
    {0x7B, 0x11}, {0x80, 0x11}, {0x86, 0x11}, {0x3E, 0x11}, {0x7F, 0x11}, {0x83, 0x11}, {0x43, 0x11},
    {0x00, 0x00},
};

constexpr int64_t kNotLookedUp = -2;
std::atomic<int64_t> cachedThreshold{kNotLookedUp};

}  // namespace

int64_t LookUpStreamingThreshold() {
    const CpuidSource& cpu = ActiveCpuidSource();
    if (!cpu.HasCpuid()) return kNoStreamingThreshold;
    const CpuidLeaf l0 = cpu.Query(0, 0);
    if (!(l0.ebx == 0x756e6547u && l0.edx == 0x49656e69u && l0.ecx == 0x6c65746eu)) return kNoStreamingThreshold;
    if (l0.eax < 2) return kNoStreamingThreshold;
    const CpuidLeaf l2 = cpu.Query(2, 0);
    if ((l2.eax & 0xFF) != 1) return kNoStreamingThreshold;

    uint8_t bytes[16];
    int n = 0;
    const uint32_t regs[4] = {l2.eax, l2.ebx, l2.ecx, l2.edx};
    for (int r = 0; r < 4; ++r) {
        if (regs[r] & 0x80000000u) continue;
        // The low byte of EAX is the iteration count, not a descriptor.
        for (int b = (r == 0 ? 1 : 0); b < 4; ++b) bytes[n++] = static_cast<uint8_t>(regs[r] >> (8 * b));
    }
    for (const CacheDescriptorSize* e = CacheDescriptorSizes; e->descriptor != 0; ++e) {
        for (int i = 0; i < n; ++i) {
            if (bytes[i] == e->descriptor) {
                return static_cast<int64_t>(e->sizeCode >> 4) << ((e->sizeCode & 0xF) + 18);
            }
        }
    }
    return kNoStreamingThreshold;
}

int64_t StreamingThreshold() {
    int64_t t = cachedThreshold.load(std::memory_order_relaxed);
    if (t == kNotLookedUp) {
        t = LookUpStreamingThreshold();
        cachedThreshold.store(t, std::memory_order_relaxed);
    }
    return t;
}

void SetStreamingThreshold(int64_t bytes) { cachedThreshold.store(bytes, std::memory_order_relaxed); }

void ResetStreamingThreshold() { cachedThreshold.store(kNotLookedUp, std::memory_order_relaxed); }

}  // namespace jpegkernels
