#include "vrx/core/scale/vrx_scaleppfastby.h"

#include "platform/cpuid_source.h"
#include "vrx/core/scale/vrx_scaleheightppfastby.h"
#include "vrx/core/scale/vrx_scaleppby.h"
#include "vrx/core/scale/vrx_scalewidthppfastby.h"

namespace vrx {

bool has_sse2() {
    const platform::CpuidSource& cpu = platform::ActiveCpuidSource();
    if (!cpu.HasCpuid() || cpu.Query(0, 0).eax < 1) return false;
    return (cpu.Query(1, 0).edx & (uint32_t{1} << 26)) != 0;
}

template <class C>
template <class W>
VRX_Engine* VRX_ScalePPFastBy<C>::stages(VRX_Engine* source, const VRX_Header& h, uint32_t width,
                                         uint32_t height) {
    if (!has_sse2()) return VRX_ScalePPBy<W>(manager_).engine(source, width, height);
    if (height < h.height) {
        VRX_Engine* rows = VRX_ScaleHeightPPFastBy<W>(manager_).engine(source, height);
        return VRX_ScaleWidthPPFastBy<W>(manager_).engine(rows, width);
    }
    VRX_Engine* columns = VRX_ScaleWidthPPFastBy<W>(manager_).engine(source, width);
    return VRX_ScaleHeightPPFastBy<W>(manager_).engine(columns, height);
}

template <class C>
VRX_Engine* VRX_ScalePPFastBy<C>::engine(VRX_Engine* source, uint32_t width, uint32_t height) {
    const VRX_Header* h = source_header(source, "VRX_ScalePPFastBy::engine()", __FILE__, 136);
    if (!h) return nullptr;
    // Q12 keeps 8-bit work in 32-bit integers; deeper samples take double.
    if (h->bits <= 8) return stages<VRX_FixedReal12>(source, *h, width, height);
    return stages<double>(source, *h, width, height);
}

template class VRX_ScalePPFastBy<VRX_FixedReal12>;

}  // namespace vrx
