#include "vrx/core/constantcolor/vrx_constantcolorraw1engine.h"

#include <cstring>

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class T>
bool VRX_ConstantColorRaw1Engine<T>::initiate(const VRX_Header* header, VRX_DstBuffer* dst,
                                              const VRX_Vector<T>& color) {
    constexpr const char* text = "VRX_ConstantColorRaw1Engine::initiate()";
    if (!this->check_version(VRX_INTERFACE_VERSION, text, __FILE__, 43)) return false;
    if (!VRX_ConstantColorRawEngine<T>::initiate(header, dst, color)) return false;
    if (header->bits != 1 || !header->data_type()->is_u_integer()) {
        this->manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 52);
        return false;
    }
    unsigned char* line = this->line_;
    const uint32_t channels = header->channels;
    if (channels == 1) {
        // Every bit of the line, padding included.
        std::memset(line, color[0] != 0 ? 0xFF : 0x00, this->line_bytes_);
    } else {
        std::memset(line, 0, this->line_bytes_);
        for (uint32_t c = 0; c < channels; ++c) {
            if (color[c] == 0) continue;
            for (uint64_t bit = c; bit < uint64_t{header->width} * channels; bit += channels)
                line[bit / 8] |= static_cast<unsigned char>(0x80u >> (bit % 8));
        }
    }
    return dst->block_bytes(this->line_bytes_);
}

template class VRX_ConstantColorRaw1Engine<uint32_t>;

}  // namespace vrx
