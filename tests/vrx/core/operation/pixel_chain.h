#pragma once
// Test support for the pixel stages: images in memory, a chain head that
// reads them, the end that collects what a chain yields, and status checks
// (refusal tables among them).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <type_traits>
#include <vector>

#include "tests/vrx/framework/io/io_test_support.h"
#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace vrx_pixel_test {

using namespace vrx;

// The description of a test image.
struct Format {
    uint32_t width = 1;
    uint32_t height = 1;
    uint16_t bits = 8;
    uint16_t channels = 1;
    const VRX_DataType* type = VRX_DataType::u_integer();
    const VRX_ColorType* color = VRX_ColorType::gray();
    const VRX_EncodeType* encode = VRX_EncodeType::raw();
};

inline void describe(VRX_Header& header, const Format& f) {
    header.width = f.width;
    header.height = f.height;
    header.bits = f.bits;
    header.channels = f.channels;
    header.data_type(f.type);
    header.color_type(f.color);
    header.encode_type(f.encode);
}

template <class T>
const VRX_DataType* data_type_of() {
    if constexpr (std::is_floating_point_v<T>) return VRX_DataType::floating();
    else if constexpr (std::is_signed_v<T>) return VRX_DataType::s_integer();
    else return VRX_DataType::u_integer();
}

// A colour type that takes `channels` channels.
inline const VRX_ColorType* color_for(uint32_t channels) {
    switch (channels) {
        case 1: return VRX_ColorType::gray();
        case 3: return VRX_ColorType::s_rgb();
        case 4: return VRX_ColorType::cmyk();
        default: return VRX_ColorType::unknown();
    }
}

// An image of samples of T.
template <class T>
Format format_of(uint32_t width, uint32_t height, uint16_t channels = 1) {
    Format f;
    f.width = width;
    f.height = height;
    f.bits = sizeof(T) * 8;
    f.channels = channels;
    f.type = data_type_of<T>();
    f.color = color_for(channels);
    return f;
}

// A raw image of `bits`-bit samples of `type`, coloured by its channel
// count.
inline Format image_format(uint32_t width, uint32_t height, uint16_t bits, uint16_t channels = 1,
                           const VRX_DataType* type = VRX_DataType::u_integer(),
                           const VRX_EncodeType* encode = VRX_EncodeType::raw()) {
    Format f;
    f.width = width;
    f.height = height;
    f.bits = bits;
    f.channels = channels;
    f.type = type;
    f.color = color_for(channels);
    f.encode = encode;
    return f;
}

inline size_t line_bytes(const Format& f) {
    return (size_t{f.channels} * f.bits * f.width + 7) / 8;
}

template <class T>
std::vector<uint8_t> to_bytes(const std::vector<T>& samples) {
    std::vector<uint8_t> bytes(samples.size() * sizeof(T));
    if (!bytes.empty()) std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

template <class T>
std::vector<T> from_bytes(const std::vector<uint8_t>& bytes) {
    std::vector<T> samples(bytes.size() / sizeof(T));
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(T));
    return samples;
}

// The registered head of a chain over `bytes` (kept alive by the caller),
// described by `header`; null when it cannot be built.
inline VRX_Engine* read_memory(VRX_Manager& manager, const VRX_Header& header,
                               const std::vector<uint8_t>& bytes) {
    return VRX_ReadMemory(&manager).engine(&header, bytes.data(),
                                           static_cast<uint32_t>(bytes.size()));
}

inline VRX_Engine* read_memory(VRX_Manager& manager, const Format& format,
                               const std::vector<uint8_t>& bytes) {
    VRX_Header header(&manager);
    describe(header, format);
    return read_memory(manager, header, bytes);
}

// Zero bytes enough for the images of refusal tables (up to 1 MiB).
inline const std::vector<uint8_t>& zero_bytes() {
    static const std::vector<uint8_t> bytes(size_t{1} << 20, 0);
    return bytes;
}

// The head of a chain over a 2 x 2 image of `bits`-bit unsigned zero
// samples whose header carries a palette of one 8-bit entry.
inline VRX_Engine* read_with_palette(VRX_Manager& manager, uint16_t bits = 8) {
    VRX_Header header(&manager);
    describe(header, image_format(2, 2, bits));
    header.palette().bits = 8;
    header.palette().channels = 1;
    header.palette().entries = 1;
    const uint8_t entry = 9;
    header.palette().value(&entry, 1);
    return read_memory(manager, header, zero_bytes());
}

// Runs the chain that ends in `last` into memory and gives back the image it
// yields in `out`; false when the chain fails or yields less than its header
// promises.
inline bool write_memory(VRX_Manager& manager, VRX_Engine* last, std::vector<uint8_t>& out) {
    const VRX_Header* header = last ? last->header() : nullptr;
    uint32_t line = 0;
    if (!header || !header->line_bytes(line)) return false;
    const uint32_t size = line * header->height;
    out.assign(size, 0);
    uint32_t written = 0;
    VRX_Engine* writer = VRX_WriteMemory(&manager).engine(last, out.data(), size, &written);
    if (!writer) return false;
    while (writer->execute()) {
    }
    return written == size && !is_error(manager.status().code);
}

// The lines `last` yields, taken straight from its buffer (padding bits of
// one-bit lines as the engine left them); false when a line is missing.
// `out` starts full of `fill`: an engine may write its lines straight into
// it, and a byte it leaves alone keeps that value.
inline bool take_lines(VRX_Engine* last, std::vector<uint8_t>& out, uint8_t fill = 0) {
    const VRX_Header* header = last ? last->header() : nullptr;
    uint32_t line = 0;
    if (!header || !header->line_bytes(line)) return false;
    // The engine ends (and its header with it) once its last line is taken.
    const uint32_t height = header->height;
    VRX_SrcBuffer* src = last->src_buffer();
    if (!src) return false;
    bool ok = src->block_bytes(line);
    out.assign(size_t{line} * height, fill);
    for (uint32_t row = 0; ok && row < height; ++row)
        ok = src->get(out.data() + size_t{row} * line) && src->release();
    src->destroy();
    return ok;
}

// One refusal: `build` makes a stage in a fresh manager and must be refused
// (give null, or true when it gives whether it was refused) with the recorded
// status: code, function text and, unless 0, line.
struct Refusal {
    template <class Build>
    Refusal(const char* name, Build build, uint32_t code, const char* function, uint32_t line = 0)
        : name(name), code(code), function(function), line(line) {
        if constexpr (std::is_same_v<std::invoke_result_t<Build&, VRX_Manager&>, bool>) {
            refused = build;
        } else {
            refused = [build](VRX_Manager& m) { return build(m) == nullptr; };
        }
    }
    const char* name;
    std::function<bool(VRX_Manager&)> refused;
    uint32_t code;
    const char* function;
    uint32_t line;
};

// Runs every refusal; each must leave the job failing and give every byte it
// took back once the job ends.
inline void expect_refusals(const std::vector<Refusal>& refusals) {
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        vrx_test::TestManager manager;
        EXPECT_TRUE(r.refused(manager));
        const VRX_Status status = manager.status();
        EXPECT_EQ(status.code, r.code);
        EXPECT_STREQ(status.function, r.function);
        if (r.line != 0) {
            EXPECT_EQ(status.line, r.line);
        }
        VRX_Status out(&manager);
        EXPECT_FALSE(manager.execute(out));
        EXPECT_EQ(manager.memory_manager().outstanding(), 3);  // the manager's own parts
    }
}

// A row of a resizing stage's refusal table: a source of `format` (over
// zero bytes) resized to width x height.
struct SizeRefusal {
    const char* name;
    Format format;
    uint32_t width, height;
    uint32_t code;
    const char* function;
};

// The refusals of Scaler(manager).engine(source, width, height) for every
// row, and of a missing source (0x80800000 with the text `no_source`).
template <class Scaler>
std::vector<Refusal> size_refusals(const std::vector<SizeRefusal>& rows, const char* no_source) {
    std::vector<Refusal> refusals;
    for (const SizeRefusal& c : rows) {
        refusals.emplace_back(
            c.name,
            [c](VRX_Manager& m) {
                return Scaler(&m).engine(read_memory(m, c.format, zero_bytes()), c.width, c.height);
            },
            c.code, c.function);
    }
    refusals.emplace_back(
        "no source", [](VRX_Manager& m) { return Scaler(&m).engine(nullptr, 1, 1); },
        VRX_ERROR_ARGUMENT, no_source);
    return refusals;
}

}  // namespace vrx_pixel_test

// Asserts the first recorded error by its code and function text.
#define EXPECT_STATUS(manager, code, function) \
    EXPECT_TRUE(::iotest::has_status(manager, code, function))
#define EXPECT_NO_ERROR(manager) EXPECT_TRUE(::iotest::is_clean(manager))
