// Generic memory helpers (processor index 0): plain 8-bit and 32-bit moves.
#include "jpegkernels/memory/kernel_memory.h"
#include "jpegkernels/memory/memory_access.h"

namespace jpegkernels {

void* KernelZero(void* destination, int32_t count) {
    if (count < 1) return destination;
    uint8_t* p = static_cast<uint8_t*>(destination);
    while (Address(p) & 3) {
        *p++ = 0;
        if (--count == 0) return destination;
    }
    for (int32_t groups = count >> 5; groups > 0; --groups, p += 32) {
        for (int i = 0; i < 32; i += 4) Put32(p + i, 0);
    }
    for (int32_t rest = count & 31; rest > 0; --rest) *p++ = 0;
    return destination;
}

void* KernelCopy(const void* source, void* destination, int32_t count) {
    if (count < 1) return destination;
    const uint8_t* s = static_cast<const uint8_t*>(source);
    uint8_t* d = static_cast<uint8_t*>(destination);
    while (Address(d) & 3) {
        *d++ = *s++;
        if (--count == 0) return destination;
    }
    for (int32_t groups = count >> 5; groups > 0; --groups, s += 32, d += 32) {
        for (int i = 0; i < 32; i += 4) Put32(d + i, Get32(s + i));
    }
    for (int32_t rest = count & 31; rest > 0; --rest) *d++ = *s++;
    return destination;
}

void* KernelFill32(uint32_t value, void* destination, int32_t count) {
    if (count < 1) return destination;
    uint8_t* p = static_cast<uint8_t*>(destination);
    for (int32_t groups = count >> 3; groups > 0; --groups, p += 32) {
        for (int i = 0; i < 32; i += 4) Put32(p + i, value);
    }
    for (int32_t rest = count & 7; rest > 0; --rest, p += 4) Put32(p, value);
    return destination;
}

KernelStatus KernelCopyChecked(const void* source, void* destination, int32_t count) {
    if (source == nullptr || destination == nullptr) return kKernelNullPointer;
    if (count < 1) return kKernelSizeBelowOne;
    KernelCopy(source, destination, count);
    return kKernelOk;
}

}  // namespace jpegkernels
