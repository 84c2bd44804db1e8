// Arbitrary run-length streams (and raw images) through crop and
// nearest-neighbour scaling into memory. Nine selector bytes come first:
// width - 1, height - 1, the crop rectangle (x, y, width, height; 255 stands
// for 0xFFFFFFFF), the scale target (width, height) and the mode: bits 0-1
// the image (run-length, packed bits, 8-bit RGB, signed 16-bit), bit 2 read
// through a callback in chunks of 8 x (bits 4-5 + 1) bytes, bit 3 scale
// before crop. The rest is the stream, or the raw samples (padded with 0).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vrx/core/crop/vrx_crop.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/core/scale/vrx_scalenn.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

using namespace vrx;

struct Chunks {
    const uint8_t* base;
    uint32_t total, chunk, offset;
    static bool next(VRX_MemoryCallbackInfo* info) {
        auto* self = static_cast<Chunks*>(info->user_data);
        if (self->offset >= self->total) return false;
        const uint32_t n = std::min(self->chunk, self->total - self->offset);
        info->memory = const_cast<uint8_t*>(self->base) + self->offset;
        info->size = n;
        self->offset += n;
        return true;
    }
};

uint32_t size_of(uint8_t b) {
    return b == 255 ? 0xFFFFFFFFu : b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 10 || size > 65536) return 0;
    const uint8_t mode = data[8];
    const unsigned kind = mode & 3;

    VRX_DefaultManager manager;
    VRX_Header header(&manager);
    header.width = 1u + data[0] % 64u;
    header.height = 1u + data[1] % 32u;
    header.bits = kind == 0 || kind == 1 ? 1 : kind == 2 ? 8 : 16;
    header.channels = kind == 2 ? 3 : 1;
    header.data_type(kind == 3 ? VRX_DataType::s_integer() : VRX_DataType::u_integer());
    header.color_type(kind == 2 ? VRX_ColorType::s_rgb() : VRX_ColorType::gray());
    header.encode_type(kind == 0 ? VRX_EncodeType::qm_rle() : VRX_EncodeType::raw());

    std::vector<uint8_t> bytes(data + 9, data + size);
    if (kind != 0) {
        uint32_t line = 0;
        header.line_bytes(line);
        bytes.resize(size_t{line} * header.height);
    }
    const uint32_t length = static_cast<uint32_t>(bytes.size());
    Chunks chunks{bytes.data(), length, 8u * (1u + ((mode >> 4) & 3u)), 0};
    chunks.offset = std::min(chunks.chunk, length);
    VRX_Engine* e = (mode & 4)
                        ? VRX_ReadMemory(&manager).engine(&header, bytes.data(), chunks.offset,
                                                          nullptr, Chunks::next, &chunks)
                        : VRX_ReadMemory(&manager).engine(&header, bytes.data(), length);
    auto crop = [&](VRX_Engine* in) {
        return VRX_Crop(&manager).engine(in, data[2], data[3], size_of(data[4]), size_of(data[5]));
    };
    auto scale = [&](VRX_Engine* in) {
        return VRX_ScaleNN(&manager).engine(in, data[6] % 128u, data[7] % 128u);
    };
    e = (mode & 8) ? crop(scale(e)) : scale(crop(e));
    if (e) {
        const VRX_Header* out = e->header();
        std::vector<uint8_t> image((size_t{out->width} * 8 + 16) * out->height * 2 + 64);
        VRX_Engine* writer =
            VRX_WriteMemory(&manager).engine(e, image.data(), static_cast<uint32_t>(image.size()));
        while (writer && writer->execute()) {
        }
    }
    VRX_Status status(&manager);
    manager.execute(status);
    return 0;
}
