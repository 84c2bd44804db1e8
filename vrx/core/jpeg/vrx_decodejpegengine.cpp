#include "vrx/core/jpeg/vrx_decodejpegengine.h"

#include "jpegdec/jpeg_decoder.h"
#include "platform/byte_count.h"
#include "vrx/core/jpeg/vrx_jpeginfo.h"
#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kInitiate = "VRX_DecodeJPEGEngine::initiate()";
constexpr const char* kExecute = "VRX_DecodeJPEGEngine::execute()";

bool sampling_accepted(uint32_t code, bool progressive) {
    switch (code) {
        case 0x111111: case 0x211111: case 0x221111: case 0x411111: case 0x121111:
        case 0x421111: case 0x241111: case 0x141111: case 0x11111111:
            return true;
        case 0x222121: case 0x221212: case 0x412121: case 0x141212: case 0x442222: case 0x22111122:
            return !progressive;
        default:
            return false;
    }
}

}  // namespace

VRX_DecodeJPEGEngine* VRX_DecodeJPEGEngine::create(VRX_Manager* manager, VRX_InputStorage* storage,
                                                   const VRX_JPEGInfo& info, VRX_DstBuffer* dst,
                                                   uint32_t scale, uint16_t lost_sample) {
    auto* engine = construct<VRX_DecodeJPEGEngine>(manager);
    if (!engine) return nullptr;
    if (!engine->initiate(storage, info, dst, scale, lost_sample)) {
        engine->destroy();
        return nullptr;
    }
    engine->set_initiated();
    return engine;
}

bool VRX_DecodeJPEGEngine::accepts(const VRX_JPEGInfo& info, uint32_t scale) const {
    const uint16_t ch = info.channels;
    if (ch != 1 && ch != 3 && ch != 4) return false;
    if (info.encode_type() != VRX_EncodeType::jpeg() || !info.data_type()->is_u_integer()) return false;
    if (info.is_lossless()) return (info.bits == 8 || info.bits == 16) && scale == 256;
    const uint32_t code = info.sampling();
    if (info.bits != 8 || !sampling_accepted(code, info.is_progressive())) return false;
    const bool scalable = (code == 0x111111 || code == 0x211111 || code == 0x221111 || code == 0x411111) &&
                          !info.is_progressive() && !info.is_non_interleaved() && (ch == 1 || ch == 3);
    return scale == 256 || scalable;
}

void VRX_DecodeJPEGEngine::report_failure(int32_t status, const char* text, const char* operation,
                                          uint32_t line) {
    // An allocation that failed (or a store too large to hold) has no word of
    // its own among the decoder's statuses.
    if (status == jpegdec::kJpegEndOrNoMemory)
        manager_->report(VRX_ERROR_OUT_OF_MEMORY, text, __FILE__, line);
    else
        decoder_->report(status, operation);
}

bool VRX_DecodeJPEGEngine::initiate(VRX_InputStorage* storage, const VRX_JPEGInfo& info,
                                    VRX_DstBuffer* dst, uint32_t scale, uint16_t lost_sample) {
    if (!check_version(VRX_INTERFACE_VERSION, kInitiate, __FILE__, 48)) return false;
    if (!VRX_ReadEngine::initiate(storage, &info, dst)) return false;
    if (scale == 0 || !info.internal()) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiate, __FILE__, 58);
        return false;
    }
    if (!accepts(info, scale)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiate, __FILE__, 105);
        return false;
    }
    internal_ = info.internal();
    decoder_ = internal_.get();
    decoder_->set_lost_sample(lost_sample);
    const int32_t status = decoder_->start_decompress(256 / scale);
    if (status < 1) {
        report_failure(status, kInitiate, "initiate()", 121);
        return false;
    }
    if (!header_.encode_type(VRX_EncodeType::raw())) return false;
    header_.width = decoder_->width();
    header_.height = decoder_->height();
    if (!header_.line_bytes(line_bytes_)) return false;
    // An image too large for any memory to hold it.
    if (!(platform::ByteCount(line_bytes_) * header_.height).fits<uint32_t>()) {
        manager_->report(VRX_ERROR_OUT_OF_MEMORY, kInitiate, __FILE__, 128);
        return false;
    }
    return dst->block_bytes(line_bytes_);
}

bool VRX_DecodeJPEGEngine::execute() {
    if (++line_count_ > header_.height) return false;
    unsigned char* out = dst_buffer_->get();
    if (!out) return false;
    const int32_t status = decoder_->read_rows(out);
    if (status < 1) {
        report_failure(status, kExecute, "execute()", 166);
        dst_buffer_->release(0);
        return false;
    }
    if (status > 1) manager_->report(VRX_WARNING_DATA, kExecute, __FILE__, 160);
    return dst_buffer_->release(line_bytes_);
}

}  // namespace vrx
