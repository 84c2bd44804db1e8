#include "jpegkernels/cpu/cpu_detect.h"

#include "platform/cpuid_source.h"

namespace jpegkernels {

using platform::ActiveCpuidSource;
using platform::CpuidLeaf;
using platform::CpuidSource;

namespace {

constexpr uint32_t Bit(uint32_t word, int bit) { return (word >> bit) & 1u; }

bool IsGenuineIntel(const CpuidLeaf& leaf0) {
    // "Genu" "ineI" "ntel" in EBX, EDX, ECX, little-endian.
    return leaf0.ebx == 0x756e6547u && leaf0.edx == 0x49656e69u && leaf0.ecx == 0x6c65746eu;
}

struct Facts {
    uint32_t stepping, model, family, extendedModel, extendedFamily;
    bool mmx, sse, sse2, sse3, ssse3, sse41, sse42, bit30, hyperThreading, x64;
    int32_t cores;
    uint32_t leaf2[4];
    bool intel;
};

Facts Gather(const CpuidSource& cpu) {
    Facts f{};
    const CpuidLeaf l1 = cpu.Query(1, 0);
    f.stepping = l1.eax & 0xF;
    f.model = (l1.eax >> 4) & 0xF;
    f.family = (l1.eax >> 8) & 0xF;
    f.extendedModel = (l1.eax >> 16) & 0xF;
    f.extendedFamily = (l1.eax >> 20) & 0xFF;
    f.sse3 = Bit(l1.ecx, 0);
    f.ssse3 = Bit(l1.ecx, 9);
    f.sse41 = Bit(l1.ecx, 19);
    f.sse42 = Bit(l1.ecx, 20);
    f.mmx = Bit(l1.edx, 23);
    f.sse = Bit(l1.edx, 25);
    f.sse2 = Bit(l1.edx, 26);
    f.bit30 = Bit(l1.edx, 30);
    f.hyperThreading = Bit(l1.edx, 28) && ((l1.ebx >> 17) & 0x7F) != 0;

    const CpuidLeaf ext = cpu.Query(0x80000000u, 0);
    f.x64 = (ext.eax & 0x7FFFFFFFu) != 0 && Bit(cpu.Query(0x80000001u, 0).edx, 29);

    const CpuidLeaf l0 = cpu.Query(0, 0);
    f.cores = l0.eax >= 4 ? static_cast<int32_t>(cpu.Query(4, 0).eax >> 26) + 1 : 1;
    // Leaf 0 again, then the cache descriptors of leaf 2.
    const CpuidLeaf again = cpu.Query(0, 0);
    if (again.eax >= 2) {
        const CpuidLeaf l2 = cpu.Query(2, 0);
        f.leaf2[0] = l2.eax;
        f.leaf2[1] = l2.ebx;
        f.leaf2[2] = l2.ecx;
        f.leaf2[3] = l2.edx;
    }
    f.intel = IsGenuineIntel(l0);
    return f;
}

CpuType ByFeatures(const Facts& f, bool testSse42) {
    if (testSse42 && f.sse42) return 69;
    if (f.sse41) return 68;
    if (f.ssse3) return 67;
    if (f.sse3) return 66;
    if (f.sse2) return 65;
    if (f.sse) return 64;
    if (f.x64) return 96;
    return 0;
}

CpuType IntelFamily6(const Facts& f, uint32_t model) {
    switch (model) {
        case 1: return 3;
        case 3: case 5: case 6: return 4;
        case 7: case 8: case 10: case 11: return 5;
        case 9: case 13: return 9;
        case 14: return f.cores > 1 ? 11 : 10;
        case 15:
            if (f.ssse3) return f.cores > 2 ? 34 : 33;
            break;
        case 23:
            if (f.sse41) return 68;
            break;
        case 26:
            if (f.sse42) return 35;
            return ByFeatures(f, false);
        case 28:
            if (f.ssse3) return 36;
            break;
        default: break;
    }
    return ByFeatures(f, true);
}

}  // namespace

int32_t HasCpuid() { return ActiveCpuidSource().HasCpuid() ? 1 : 0; }

int32_t IsGenuineIntelCpu() {
    const CpuidSource& cpu = ActiveCpuidSource();
    if (!cpu.HasCpuid()) return 0;
    return IsGenuineIntel(cpu.Query(0, 0)) ? 1 : 0;
}

void CpuidQuery(uint32_t out[4], uint32_t leaf, uint32_t subleaf) {
    const CpuidLeaf r = ActiveCpuidSource().Query(leaf, subleaf);
    out[0] = r.eax;
    out[1] = r.ebx;
    out[2] = r.ecx;
    out[3] = r.edx;
}

CpuType DetectCpuType() {
    const CpuidSource& cpu = ActiveCpuidSource();
    if (!cpu.HasCpuid()) return 0;
    const Facts f = Gather(cpu);
    uint32_t model = f.model;
    uint32_t family = f.family;
    if (family == 6 || family == 15) model += 16 * f.extendedModel;
    if (family == 15) family = 15 + f.extendedFamily;

    if (f.intel) {
        if (f.bit30) return family == 7 ? 16 : 17;
        if (family == 5) {
            if (model == 1 || model == 2) return 1;
            if (model == 4) return 2;
        } else if (family == 6) {
            return IntelFamily6(f, model);
        } else if (family == 15) {
            if (f.sse3) return f.x64 ? 32 : 8;
            return f.hyperThreading ? 7 : 6;
        }
    }
    return ByFeatures(f, true);
}

int32_t ProcessorIndexForCpuType(CpuType type) {
    switch (type) {
        case 5: case 16: case 17: case 64: return 1;
        case 6: case 7: case 9: case 65: return 2;
        case 8: case 10: case 11: case 32: case 66: return 3;
        case 33: case 34: case 36: case 67: return 4;
        case 35: case 37: case 68: case 69: return 5;
        default: return 0;
    }
}

void QueryFeatureRecord(FeatureRecord* record) {
    if (record == nullptr) return;
    *record = FeatureRecord{};
    const CpuidSource& cpu = ActiveCpuidSource();
    if (!cpu.HasCpuid()) return;
    const Facts f = Gather(cpu);
    record->stepping = f.stepping;
    record->model = f.model;
    record->family = f.family;
    record->extendedModel = f.extendedModel;
    record->extendedFamily = f.extendedFamily;
    record->mmx = f.mmx;
    record->sse = f.sse;
    record->sse2 = f.sse2;
    record->sse3 = f.sse3;
    record->ssse3 = f.ssse3;
    record->sse41 = f.sse41;
    record->sse42 = f.sse42;
    record->hyperThreading = f.hyperThreading;
    record->x64 = f.x64;
    record->cores = f.cores;
    for (int i = 0; i < 4; ++i) record->leaf2[i] = f.leaf2[i];
}

namespace {
template <class Fact>
int32_t AskFact(Fact fact) {
    const CpuidSource& cpu = ActiveCpuidSource();
    if (!cpu.HasCpuid()) return 0;
    return static_cast<int32_t>(fact(Gather(cpu)));
}
}  // namespace

int32_t CpuHasMmx() { return AskFact([](const Facts& f) { return f.mmx; }); }
int32_t CpuHasSse() { return AskFact([](const Facts& f) { return f.sse; }); }
int32_t CpuHasSse2() { return AskFact([](const Facts& f) { return f.sse2; }); }
int32_t CpuHasSse3() { return AskFact([](const Facts& f) { return f.sse3; }); }
int32_t CpuHasSsse3() { return AskFact([](const Facts& f) { return f.ssse3; }); }
int32_t CpuHasSse41() { return AskFact([](const Facts& f) { return f.sse41; }); }
int32_t CpuHasSse42() { return AskFact([](const Facts& f) { return f.sse42; }); }
int32_t CpuHasHyperThreading() { return AskFact([](const Facts& f) { return f.hyperThreading; }); }
int32_t CpuIs64Bit() { return AskFact([](const Facts& f) { return f.x64; }); }
int32_t CpuCoreCount() { return AskFact([](const Facts& f) { return f.cores; }); }

}  // namespace jpegkernels
