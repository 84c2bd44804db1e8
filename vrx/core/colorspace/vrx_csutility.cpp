#include "vrx/core/colorspace/vrx_csutility.h"

#include "platform/byte_count.h"
#include "vrx/core/convertdatatype/vrx_pixelmath.h"
#include "vrx/framework/base/vrx_colortype.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

// Bytes of one table sample at `bits` bits.
uint32_t sample_bytes(uint32_t bits) { return bits < 8 ? 1 : bits / 8; }

}  // namespace

bool VRX_CsUtility::is_planned(const VRX_ColorType* t) {
    using C = VRX_ColorType;
    return t == C::gray() || t == C::gray_reverse() || t == C::lstar() || t == C::s_rgb() ||
           t == C::adobe_rgb() || t == C::ycbcr() || t == C::hsl() || t == C::icc_lab() ||
           t == C::itu_lab() || t == C::xyz() || t == C::cmy() || t == C::cmyk();
}

VRX_CsUtility::~VRX_CsUtility() {
    manager_->deallocate(lut);
    manager_->deallocate(dlut);
}

bool VRX_CsUtility::draw(unsigned char*& table, uint32_t& size, uint64_t bytes, bool ok) {
    manager_->deallocate(table);
    table = nullptr;
    size = 0;
    if (!ok || bytes > UINT32_MAX) {
        manager_->report(VRX_ERROR_OUT_OF_MEMORY, "VRX_CsUtility::allocate()", __FILE__, __LINE__);
        return false;
    }
    table = static_cast<unsigned char*>(manager_->allocate(bytes));
    if (!table) return false;
    size = static_cast<uint32_t>(bytes);
    return true;
}

bool VRX_CsUtility::allocate_lut(uint32_t bits, uint32_t channels) {
    const platform::ByteCount entries = int_pow_count(2, bits);
    lut_entries = entries.fits<uint32_t>() ? static_cast<uint32_t>(entries.value()) : 0;
    const platform::ByteCount bytes = entries * sample_bytes(bits) * channels;
    return draw(lut, lut_bytes, bytes.value(), bytes.fits<uint32_t>());
}

bool VRX_CsUtility::allocate_dlut(uint32_t bits, uint32_t inputs, uint32_t outputs) {
    const platform::ByteCount entries = int_pow_count(kGrid, inputs);
    dlut_entries = entries.fits<uint32_t>() ? static_cast<uint32_t>(entries.value()) : 0;
    const platform::ByteCount bytes = entries * outputs * sample_bytes(bits);
    return draw(dlut, dlut_bytes, bytes.value(), bytes.fits<uint32_t>());
}

}  // namespace vrx
