#pragma once
// Helpers for the memory engine tests: image descriptions, a callback that
// hands out a caller array in chunks, and the expected output of the
// ReadMemory -> invert -> WriteMemory chain.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/byte_count.h"
#include "tests/vrx/framework/support/test_engines.h"
#include "vrx/core/memory/vrx_memorycallback.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx_test {

struct ImageSpec {
    uint32_t width, height;
    uint16_t bits, channels;
};

inline void describe(vrx::VRX_Header& header, const ImageSpec& spec) {
    header.width = spec.width;
    header.height = spec.height;
    header.bits = spec.bits;
    header.channels = spec.channels;
    header.data_type(spec.bits == 64 ? vrx::VRX_DataType::floating()
                                     : vrx::VRX_DataType::u_integer());
    header.color_type(spec.channels == 3 ? vrx::VRX_ColorType::s_rgb()
                                         : vrx::VRX_ColorType::gray());
}

inline uint32_t line_bytes(const ImageSpec& spec) {
    return static_cast<uint32_t>(platform::packed_bytes(spec.channels, spec.bits, spec.width).value());
}

inline size_t image_bytes(const ImageSpec& spec) { return size_t{line_bytes(spec)} * spec.height; }

inline std::vector<unsigned char> numbered_bytes(size_t n, unsigned seed = 1) {
    std::vector<unsigned char> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<unsigned char>(i * 13 + seed * 101 + (i >> 8));
    return bytes;
}

// The image inverted byte by byte, with the padding bits of 1-bit lines 0.
inline std::vector<unsigned char> inverted(const ImageSpec& spec,
                                           const std::vector<unsigned char>& image) {
    std::vector<unsigned char> out(image.size());
    for (size_t i = 0; i < image.size(); ++i) out[i] = static_cast<unsigned char>(~image[i]);
    const uint32_t r = (uint32_t{spec.channels} * spec.width) % 8;
    if (spec.bits == 1 && r != 0) {
        const uint32_t line = line_bytes(spec);
        for (uint32_t y = 0; y < spec.height; ++y)
            out[(y + 1) * line - 1] &= static_cast<unsigned char>(0xFFu << (8 - r));
    }
    return out;
}

// Hands out an array in chunks of a fixed size; the first chunk is given to
// the engine at creation.
struct Chunks {
    Chunks(unsigned char* base, uint32_t total, uint32_t chunk)
        : base(base), total(total), chunk(chunk), offset(std::min(chunk, total)) {}
    unsigned char* base;
    uint32_t total;
    uint32_t chunk;
    uint32_t offset;  // end of the chunks handed out
    int calls = 0;
    uint32_t first_size() const { return std::min(chunk, total); }

    static bool next(vrx::VRX_MemoryCallbackInfo* info) {
        auto* self = static_cast<Chunks*>(info->user_data);
        ++self->calls;
        if (self->offset >= self->total) return false;
        const uint32_t n = std::min(self->chunk, self->total - self->offset);
        info->memory = self->base + self->offset;
        info->size = n;
        self->offset += n;
        return true;
    }
};

}  // namespace vrx_test
