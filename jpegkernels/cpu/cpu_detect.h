#pragma once
// Processor classification for the choice of the kernel column. Every query
// goes through ActiveCpuidSource(), so tests can present any processor.
#include <cstdint>

namespace jpegkernels {

// Classification code returned by DetectCpuType: 0 unknown or no CPUID; 1..37
// Intel processor families and models; 64 SSE, 65 SSE2, 66 SSE3, 67 SSSE3,
// 68 SSE4.1, 69 SSE4.2 by features; 96 64-bit without SSE.
using CpuType = int32_t;

// 1 when the processor has CPUID, else 0.
int32_t HasCpuid();
// 1 when CPUID leaf 0 gives the vendor string GenuineIntel, else 0.
int32_t IsGenuineIntelCpu();
// Runs CPUID and stores EAX, EBX, ECX, EDX in this order.
void CpuidQuery(uint32_t out[4], uint32_t leaf, uint32_t subleaf);
CpuType DetectCpuType();
// Processor index (0..5) that the kernel table uses for a classification.
int32_t ProcessorIndexForCpuType(CpuType type);

// The processor facts the classification looks at. Nothing in the kernel set
// depends on it; it is there for diagnostics.
struct FeatureRecord {
    uint32_t stepping = 0;
    uint32_t model = 0;
    uint32_t family = 0;
    uint32_t extendedModel = 0;
    uint32_t extendedFamily = 0;
    bool mmx = false;
    bool sse = false;
    bool sse2 = false;
    bool sse3 = false;
    bool ssse3 = false;
    bool sse41 = false;
    bool sse42 = false;
    bool hyperThreading = false;
    bool x64 = false;
    int32_t cores = 0;
    uint32_t leaf2[4] = {};
};
void QueryFeatureRecord(FeatureRecord* record);

// One query per fact of the record, asked anew each time: 1 when the
// processor has the feature, else 0 (also without CPUID). For diagnostics
// like the record; the choice of the kernel column does not use them.
int32_t CpuHasMmx();
int32_t CpuHasSse();
int32_t CpuHasSse2();
int32_t CpuHasSse3();
int32_t CpuHasSsse3();
int32_t CpuHasSse41();
int32_t CpuHasSse42();
int32_t CpuHasHyperThreading();
int32_t CpuIs64Bit();
// Cores per package as leaf 4 reports them; 1 when it does not, 0 without
// CPUID.
int32_t CpuCoreCount();

}  // namespace jpegkernels
