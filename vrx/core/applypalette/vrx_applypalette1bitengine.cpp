#include "vrx/core/applypalette/vrx_applypalette1bitengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_ApplyPalette1BitEngine::initiate()";
}

template <class T>
bool VRX_ApplyPalette1BitEngine<T>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                             VRX_DstBuffer* dst) {
    if (!check_version(VRX_INTERFACE_VERSION, kInitiateText, __FILE__, 51)) return false;
    if (!VRX_ApplyPaletteEngine::initiate(header, src, dst)) return false;
    // Entries are read as T: another width would read past the table and
    // write past the line.
    if (header->bits != 1 || header->channels != 1 || palette_.bits != sizeof(T) * 8) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 61);
        return false;
    }
    table_ = reinterpret_cast<const T*>(palette_.value());
    whole_bytes_ = header->width / 8;
    remaining_bits_ = static_cast<uint8_t>(header->width % 8);
    return true;
}

template <class T>
bool VRX_ApplyPalette1BitEngine<T>::process_line(const unsigned char* src, unsigned char* dst) {
    const size_t channels = channels_;
    const T* zero = table_;
    const T* one = table_ + channels;
    T* out = reinterpret_cast<T*>(dst);
    auto put = [&](unsigned byte, unsigned bits) {
        for (unsigned mask = 0x80u; bits != 0; mask >>= 1, --bits) {
            const T* entry = (byte & mask) ? one : zero;
            for (size_t c = 0; c < channels; ++c) *out++ = entry[c];
        }
    };
    for (uint32_t b = 0; b < whole_bytes_; ++b) put(src[b], 8);
    if (remaining_bits_ != 0) put(src[whole_bytes_], remaining_bits_);
    return true;
}

template class VRX_ApplyPalette1BitEngine<uint8_t>;
template class VRX_ApplyPalette1BitEngine<uint16_t>;

}  // namespace vrx
