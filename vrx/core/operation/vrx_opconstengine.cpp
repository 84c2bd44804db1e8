#include "vrx/core/operation/vrx_opconstengine.h"
#include "vrx/framework/include/vrx_linesample.h"

#include <cstring>

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_OpConstEngine::initiate()";
}

template <class Op, class T>
bool VRX_OpConstEngine<Op, T>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                        VRX_DstBuffer* dst, T constant) {
    if (!check_version(VRX_INTERFACE_VERSION, kInitiateText, __FILE__, 52)) return false;
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    // The samples are read as T: a depth other than T's would run the line
    // loop past the end of the line.
    if (!header->palette().empty() || (header->bits != 8 && header->bits != 16) ||
        header->bits != sizeof(T) * 8 || !header->data_type()->is_u_integer()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 62);
        return false;
    }
    constant_ = constant;
    samples_ = header->channels * header->width;
    uint32_t bytes = 0;
    return header_.line_bytes(bytes) && dst->block_bytes(bytes);
}

template <class Op, class T>
bool VRX_OpConstEngine<Op, T>::process_line(const unsigned char* src, unsigned char* dst) {
    static_assert(VRX_PixelOperator::is<Op, VRX_PixelOperator::And>);
    const T constant = constant_;
    const uint32_t count = samples_;
    for (uint32_t i = 0; i < count; ++i)
        store_sample<T>(dst, i, static_cast<T>(load_sample<T>(src, i) & constant));
    return true;
}

template class VRX_OpConstEngine<VRX_PixelOperator::And, uint8_t>;
template class VRX_OpConstEngine<VRX_PixelOperator::And, uint16_t>;

}  // namespace vrx
