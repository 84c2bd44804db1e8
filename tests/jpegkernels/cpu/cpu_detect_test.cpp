#include "jpegkernels/cpu/cpu_detect.h"

#include <gtest/gtest.h>

#include <cctype>
#include <iterator>
#include <string>

#include "jpegkernels/cpu/cache_info.h"
#include "jpegkernels/kernel_dispatch.h"
#include "tests/platform/fake_cpuid.h"

namespace jpegkernels {
namespace {

using platform::CpuidLeaf;
using platform::testing::FakeCpuid;

struct Processor {
    const char* name;
    const char* vendor;
    uint32_t family, model, extModel, extFamily;
    bool sse, sse2, sse3, ssse3, sse41, sse42;
    bool bit30 = false;
    bool hyperThreading = false;
    bool x64 = false;
    int cores = 1;
    CpuType type;
    int32_t index;
    int32_t chooseResult;
};

void Present(FakeCpuid& cpu, const Processor& p) {
    cpu.SetVendor(p.vendor, p.cores > 1 ? 4 : 2);
    if (p.cores > 1) cpu.Set(4, CpuidLeaf{uint32_t(p.cores - 1) << 26, 0, 0, 0});
    CpuidLeaf l1;
    l1.eax = p.model << 4 | p.family << 8 | p.extModel << 16 | p.extFamily << 20;
    l1.ebx = p.hyperThreading ? 2u << 16 : 1u << 16;
    l1.ecx = uint32_t(p.sse3) | uint32_t(p.ssse3) << 9 | uint32_t(p.sse41) << 19 | uint32_t(p.sse42) << 20;
    l1.edx = 1u << 23 | uint32_t(p.sse) << 25 | uint32_t(p.sse2) << 26 | uint32_t(p.hyperThreading) << 28 |
             uint32_t(p.bit30) << 30;
    cpu.Set(1, l1);
    cpu.Set(0x80000000u, CpuidLeaf{p.x64 ? 0x80000008u : 0u, 0, 0, 0});
    cpu.Set(0x80000001u, CpuidLeaf{0, 0, 0, p.x64 ? 1u << 29 : 0u});
}

constexpr const char* kIntel = "GenuineIntel";
constexpr const char* kOther = "AuthenticAMD";

// name, vendor, family, model, ext model, ext family, SSE, SSE2, SSE3, SSSE3, SSE4.1, SSE4.2,
// bit 30, hyper-threading, 64-bit, cores, type, index, result
const Processor kProcessors[] = {
    {"other vendor SSE2+SSE3", kOther, 15, 1, 0, 1, true, true, true, false, false, false, false, false, true, 2, 66, 3, 20},
    {"other vendor SSE4.2", kOther, 15, 1, 0, 8, true, true, true, true, true, true, false, false, true, 8, 69, 5, 20},
    {"other vendor 64-bit only", kOther, 15, 1, 0, 1, false, false, false, false, false, false, false, false, true, 1, 96, 0, 20},
    {"other vendor nothing", kOther, 5, 1, 0, 0, false, false, false, false, false, false, false, false, false, 1, 0, 0, 20},
    {"other vendor SSE only", kOther, 6, 1, 0, 0, true, false, false, false, false, false, false, false, false, 1, 64, 1, 20},
    {"intel 6/15 SSSE3 4 cores", kIntel, 6, 15, 0, 0, true, true, true, true, false, false, false, false, true, 4, 34, 4, 0},
    {"intel 6/15 SSSE3 2 cores", kIntel, 6, 15, 0, 0, true, true, true, true, false, false, false, false, true, 2, 33, 4, 0},
    {"intel 6/15 without SSSE3", kIntel, 6, 15, 0, 0, true, true, true, false, false, false, false, false, true, 2, 66, 3, 0},
    {"intel 6/26 SSE4.2", kIntel, 6, 10, 1, 0, true, true, true, true, true, true, false, false, true, 4, 35, 5, 0},
    {"intel 6/26 SSE4.1 only", kIntel, 6, 10, 1, 0, true, true, true, true, true, false, false, false, true, 4, 68, 5, 0},
    {"intel 6/26 SSSE3 only", kIntel, 6, 10, 1, 0, true, true, true, true, false, false, false, false, true, 4, 67, 4, 0},
    {"intel 6/14 one core", kIntel, 6, 14, 0, 0, true, true, true, false, false, false, false, false, false, 1, 10, 3, 0},
    {"intel 6/14 two cores", kIntel, 6, 14, 0, 0, true, true, true, false, false, false, false, false, false, 2, 11, 3, 0},
    {"intel 15 SSE3 64-bit", kIntel, 15, 4, 0, 0, true, true, true, false, false, false, false, false, true, 1, 32, 3, 0},
    {"intel 15 SSE3 32-bit", kIntel, 15, 3, 0, 0, true, true, true, false, false, false, false, false, false, 1, 8, 3, 0},
    {"intel 15 hyper-threading", kIntel, 15, 2, 0, 0, true, true, false, false, false, false, false, true, false, 1, 7, 2, 0},
    {"intel 15 plain", kIntel, 15, 2, 0, 0, true, true, false, false, false, false, false, false, false, 1, 6, 2, 0},
    {"intel 15 ext family 1", kIntel, 15, 2, 0, 1, true, true, true, false, false, false, false, false, true, 1, 66, 3, 0},
    {"intel bit 30 family 7", kIntel, 7, 0, 0, 0, true, false, false, false, false, false, true, false, false, 1, 16, 1, 0},
    {"intel bit 30 other family", kIntel, 6, 15, 0, 0, true, true, true, true, false, false, true, false, false, 1, 17, 1, 0},
    {"intel 5/2", kIntel, 5, 2, 0, 0, false, false, false, false, false, false, false, false, false, 1, 1, 0, 0},
    {"intel 5/4", kIntel, 5, 4, 0, 0, false, false, false, false, false, false, false, false, false, 1, 2, 0, 0},
    {"intel 5/8 by features", kIntel, 5, 8, 0, 0, false, false, false, false, false, false, false, false, false, 1, 0, 0, 0},
    {"intel 6/1", kIntel, 6, 1, 0, 0, false, false, false, false, false, false, false, false, false, 1, 3, 0, 0},
    {"intel 6/5", kIntel, 6, 5, 0, 0, false, false, false, false, false, false, false, false, false, 1, 4, 0, 0},
    {"intel 6/8", kIntel, 6, 8, 0, 0, true, false, false, false, false, false, false, false, false, 1, 5, 1, 0},
    {"intel 6/13", kIntel, 6, 13, 0, 0, true, true, false, false, false, false, false, false, false, 1, 9, 2, 0},
    {"intel 6/23 SSE4.1", kIntel, 6, 7, 1, 0, true, true, true, true, true, false, false, false, true, 2, 68, 5, 0},
    {"intel 6/23 without SSE4.1", kIntel, 6, 7, 1, 0, true, true, true, true, false, false, false, false, true, 2, 67, 4, 0},
    {"intel 6/28 SSSE3", kIntel, 6, 12, 1, 0, true, true, true, true, false, false, false, false, false, 2, 36, 4, 0},
    {"intel 6/28 without SSSE3", kIntel, 6, 12, 1, 0, true, true, true, false, false, false, false, false, false, 2, 66, 3, 0},
    {"intel 6/12 by features", kIntel, 6, 12, 0, 0, true, true, false, false, false, false, false, false, false, 1, 65, 2, 0},
    {"intel 6/167 by features", kIntel, 6, 7, 10, 0, true, true, true, true, true, true, false, false, true, 8, 69, 5, 0},
    {"intel family 4 by features", kIntel, 4, 0, 0, 0, false, false, false, false, false, false, false, false, false, 1, 0, 0, 0},
};

class CpuClassification : public ::testing::TestWithParam<Processor> {};

TEST_P(CpuClassification, TypeIndexAndResult) {
    const Processor& p = GetParam();
    FakeCpuid cpu;
    Present(cpu, p);
    EXPECT_EQ(DetectCpuType(), p.type);
    EXPECT_EQ(ProcessorIndexForCpuType(p.type), p.index);
    ResetKernelDispatch();
    EXPECT_EQ(ChooseKernelVariant(), p.chooseResult);
    EXPECT_EQ(ProcessorIndex(), p.index);
    ResetKernelDispatch();
}

INSTANTIATE_TEST_SUITE_P(Processors, CpuClassification, ::testing::ValuesIn(kProcessors),
                         [](const ::testing::TestParamInfo<Processor>& info) {
                             std::string n = info.param.name;
                             for (char& c : n) if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

TEST(CpuDetect, NoCpuidGivesTypeZeroIndexZeroAndResult20) {
    FakeCpuid cpu;
    cpu.hasCpuid = false;
    EXPECT_EQ(HasCpuid(), 0);
    EXPECT_EQ(IsGenuineIntelCpu(), 0);
    EXPECT_EQ(DetectCpuType(), 0);
    ResetKernelDispatch();
    SetProcessorIndex(4);
    EXPECT_EQ(ChooseKernelVariant(), 20);
    EXPECT_EQ(ProcessorIndex(), 0);
    EXPECT_EQ(LookUpStreamingThreshold(), kNoStreamingThreshold);
    ResetKernelDispatch();
}

TEST(CpuDetect, IndexTableCoversEveryListedType) {
    const std::pair<CpuType, int32_t> cases[] = {
        {5, 1}, {16, 1}, {17, 1}, {64, 1}, {6, 2}, {7, 2}, {9, 2}, {65, 2}, {8, 3}, {10, 3}, {11, 3},
        {32, 3}, {66, 3}, {33, 4}, {34, 4}, {36, 4}, {67, 4}, {35, 5}, {37, 5}, {68, 5}, {69, 5},
        {0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {96, 0}, {70, 0}, {-1, 0}};
    for (auto [type, index] : cases) EXPECT_EQ(ProcessorIndexForCpuType(type), index) << type;
}

TEST(CpuDetect, CpuidQueryStoresRegistersInOrder) {
    FakeCpuid cpu;
    cpu.Set(7, CpuidLeaf{1, 2, 3, 4}, 1);
    uint32_t out[4] = {};
    CpuidQuery(out, 7, 1);
    EXPECT_EQ(out[0], 1u);
    EXPECT_EQ(out[1], 2u);
    EXPECT_EQ(out[2], 3u);
    EXPECT_EQ(out[3], 4u);
}

TEST(CpuDetect, FeatureRecordReportsTheSameFacts) {
    FakeCpuid cpu;
    Present(cpu, kProcessors[5]);  // intel 6/15, SSSE3, 4 cores
    cpu.Set(2, CpuidLeaf{0x01, 0x11, 0x22, 0x33});
    FeatureRecord r;
    QueryFeatureRecord(&r);
    EXPECT_EQ(r.family, 6u);
    EXPECT_EQ(r.model, 15u);
    EXPECT_TRUE(r.mmx && r.sse && r.sse2 && r.sse3 && r.ssse3);
    EXPECT_FALSE(r.sse41 || r.sse42);
    EXPECT_TRUE(r.x64);
    EXPECT_EQ(r.cores, 4);
    EXPECT_EQ(r.leaf2[1], 0x11u);
    QueryFeatureRecord(nullptr);  // nothing to fill, no crash
}

TEST(CpuDetect, FeatureQueriesFollowTheRecord) {
    FakeCpuid cpu;
    for (const Processor& p : kProcessors) {
        SCOPED_TRACE(p.name);
        Present(cpu, p);
        FeatureRecord r;
        QueryFeatureRecord(&r);
        const int32_t answers[] = {CpuHasMmx(),   CpuHasSse(),   CpuHasSse2(),          CpuHasSse3(),
                                   CpuHasSsse3(), CpuHasSse41(), CpuHasSse42(),         CpuHasHyperThreading(),
                                   CpuIs64Bit(),  CpuCoreCount()};
        const int32_t expected[] = {r.mmx, r.sse, r.sse2, r.sse3, r.ssse3, r.sse41, r.sse42, r.hyperThreading,
                                    r.x64, r.cores};
        for (size_t i = 0; i < std::size(answers); ++i) EXPECT_EQ(answers[i], expected[i]) << "query " << i;
        EXPECT_EQ(CpuHasSse2(), p.sse2 ? 1 : 0);
        EXPECT_EQ(CpuCoreCount(), p.cores);
    }
    cpu.hasCpuid = false;
    EXPECT_EQ(CpuHasSse2() + CpuIs64Bit() + CpuCoreCount(), 0);
}

TEST(KernelDispatchChoice, OnlyTheFirstInitialisationClassifies) {
    FakeCpuid cpu;
    Present(cpu, kProcessors[5]);
    ResetKernelDispatch();
    EXPECT_FALSE(KernelDispatchChosen());
    EXPECT_EQ(InitKernelDispatchOnce(), 1);
    EXPECT_TRUE(KernelDispatchChosen());
    EXPECT_EQ(ProcessorIndex(), 4);
    const int queries = cpu.queries;
    EXPECT_GT(queries, 0);
    Present(cpu, kProcessors[3]);  // a processor that would give index 0
    EXPECT_EQ(InitKernelDispatchOnce(), 1);
    EXPECT_EQ(cpu.queries, queries);
    EXPECT_EQ(ProcessorIndex(), 4);
    ResetKernelDispatch();
}

TEST(KernelDispatchChoice, ThisProcessorGetsAtLeastTheSse2Column) {
    // Every 64-bit x86 processor has SSE2.
    ResetKernelDispatch();
    InitKernelDispatchOnce();
    EXPECT_GE(ProcessorIndex(), 2);
    EXPECT_LE(ProcessorIndex(), 5);
    ResetKernelDispatch();
}

// Streaming threshold from the leaf-2 cache descriptors.
struct ThresholdCase {
    const char* vendor;
    CpuidLeaf leaf2;
    int64_t expected;
};

TEST(StreamingThreshold, LargestListedCacheFromLeaf2) {
    const ThresholdCase cases[] = {
        {kIntel, {0x00004D01, 0, 0, 0}, 16 << 20},          // descriptor in byte 1 of EAX
        {kIntel, {0x00000001, 0x00000043, 0, 0x49}, 4 << 20},  // table order: 4 MiB before 512 KiB
        {kIntel, {0x00000001, 0x80000049, 0, 0x22}, 512 << 10},  // bit 31 drops EBX
        {kIntel, {0x00000049, 0, 0, 0}, kNoStreamingThreshold},  // count byte not 1
        {kIntel, {0x00000001, 0x0000002C, 0, 0}, kNoStreamingThreshold},  // no listed descriptor
        {kIntel, {0x00004801, 0, 0, 0}, 3 << 20},
        {kIntel, {0x00004C01, 0, 0, 0}, 12 << 20},
        {kOther, {0x00004D01, 0, 0, 0}, kNoStreamingThreshold},
    };
    for (const ThresholdCase& c : cases) {
        FakeCpuid cpu;
        cpu.SetVendor(c.vendor, 4);
        cpu.Set(2, c.leaf2);
        EXPECT_EQ(LookUpStreamingThreshold(), c.expected) << std::hex << c.leaf2.eax << " " << c.leaf2.ebx;
    }
}

TEST(StreamingThreshold, CachedUntilReset) {
    ResetStreamingThreshold();
    {
        FakeCpuid cpu;
        cpu.SetVendor(kIntel, 4);
        cpu.Set(2, CpuidLeaf{0x00004D01, 0, 0, 0});
        EXPECT_EQ(StreamingThreshold(), 16 << 20);
    }
    EXPECT_EQ(StreamingThreshold(), 16 << 20);  // kept after the processor changed
    SetStreamingThreshold(1234);
    EXPECT_EQ(StreamingThreshold(), 1234);
    ResetStreamingThreshold();
    EXPECT_EQ(StreamingThreshold(), LookUpStreamingThreshold());
    ResetStreamingThreshold();
}

}  // namespace
}  // namespace jpegkernels
