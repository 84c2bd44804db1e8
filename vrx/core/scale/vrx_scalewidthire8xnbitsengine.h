#pragma once
// Width enlargement by a whole factor n of samples of T: every source pixel
// becomes n destination pixels.
#include <cstdint>

#include "platform/byte_count.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/engine/vrx_processlinetolineengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class T>
class VRX_ScaleWidthIRE8xNBitsEngine : public VRX_ProcessLineToLineEngine {
public:
    explicit VRX_ScaleWidthIRE8xNBitsEngine(VRX_Manager* manager)
        : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_ScaleWidthIRE8xNBitsEngine() override = default;

    // Version test (0x80040000); the line-engine initiate; a non-zero factor
    // whose output width fits 32 bits (0x80800000); u_integer or s_integer
    // samples of the size of T (0x81000000). One output line as the
    // destination's block size.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint32_t factor) {
        constexpr const char* text = "VRX_ScaleWidthIRE8xNBitsEngine::initiate()";
        if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 196)) return false;
        if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
        if (factor == 0) {
            manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 206);
            return false;
        }
        const VRX_DataType* type = header->data_type();
        if (!(type->is_u_integer() || type->is_s_integer()) || header->bits != sizeof(T) * 8) {
            manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 213);
            return false;
        }
        const platform::ByteCount width = platform::ByteCount(header->width) * factor;
        if (!width.fits<uint32_t>()) {
            manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, __LINE__);
            return false;
        }
        factor_ = factor;
        src_width_ = header->width;
        channels_ = header->channels;
        header_.width = static_cast<uint32_t>(width.value());
        uint32_t bytes = 0;
        return header_.line_bytes(bytes) && dst->block_bytes(bytes);
    }

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override {
        const T* in = reinterpret_cast<const T*>(src);
        T* out = reinterpret_cast<T*>(dst);
        const uint32_t n = factor_;
        switch (channels_) {
            case 1:
                for (uint32_t j = 0; j < src_width_; ++j, out += n)
                    for (uint32_t k = 0; k < n; ++k) out[k] = in[j];
                break;
            case 3:
                for (uint32_t j = 0; j < src_width_; ++j, in += 3)
                    for (uint32_t k = 0; k < n; ++k, out += 3) {
                        out[0] = in[0];
                        out[1] = in[1];
                        out[2] = in[2];
                    }
                break;
            case 4:
                for (uint32_t j = 0; j < src_width_; ++j, in += 4)
                    for (uint32_t k = 0; k < n; ++k, out += 4) {
                        out[0] = in[0];
                        out[1] = in[1];
                        out[2] = in[2];
                        out[3] = in[3];
                    }
                break;
            default:
                for (uint32_t j = 0; j < src_width_; ++j, in += channels_)
                    for (uint32_t k = 0; k < n; ++k, out += channels_)
                        for (uint32_t c = 0; c < channels_; ++c) out[c] = in[c];
        }
        return true;
    }

private:
    uint32_t factor_ = 0;
    uint32_t src_width_ = 0;
    uint32_t channels_ = 0;
};

}  // namespace vrx
