#pragma once
// Test support for the pixel stages: images in memory, a chain head that
// reads them, the end that collects what a chain yields, and status checks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/engine/vrx_generateengine.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace vrx_test {

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

// A chain head that delivers the lines of an image held by the caller.
class MemorySourceEngine : public VRX_GenerateEngine {
public:
    explicit MemorySourceEngine(VRX_Manager* manager) : VRX_GenerateEngine(manager) {}

    bool initiate(const VRX_Header* header, VRX_DstBuffer* dst, const uint8_t* bytes) {
        if (!VRX_GenerateEngine::initiate(header, dst)) return false;
        bytes_ = bytes;
        if (header->encode_type()->is_raw()) {
            if (!header->line_bytes(block_)) return false;
            lines_ = header->height;
        } else {
            block_ = 16;
            lines_ = 1;
        }
        return dst->block_bytes(block_);
    }
    using VRX_GenerateEngine::initiate;

    bool execute() override {
        if (done_ >= lines_) return false;
        unsigned char* block = dst_buffer_->get();
        if (!block) return false;
        std::memcpy(block, bytes_ + size_t{done_} * block_, block_);
        ++done_;
        return dst_buffer_->release(block_);
    }

private:
    const uint8_t* bytes_ = nullptr;
    uint32_t block_ = 0;
    uint32_t lines_ = 0;
    uint32_t done_ = 0;
};

// The registered head of a chain over `bytes` (kept alive by the caller),
// described by `header`; null when it cannot be built.
inline VRX_Engine* read_memory(VRX_Manager& manager, const VRX_Header& header,
                               const std::vector<uint8_t>& bytes) {
    VRX_DstBuffer* dst = manager.new_dst_buffer();
    auto* engine = construct<MemorySourceEngine>(&manager);
    if (!engine || !engine->initiate(&header, dst, bytes.data())) {
        vrx::destroy(engine);
        vrx::destroy(dst);
        return nullptr;
    }
    engine->set_initiated();
    return VRX_EngineCreator(&manager).regist_engine(engine, nullptr, dst);
}

inline VRX_Engine* read_memory(VRX_Manager& manager, const Format& format,
                               const std::vector<uint8_t>& bytes) {
    VRX_Header header(&manager);
    describe(header, format);
    return read_memory(manager, header, bytes);
}

// Runs the chain that ends in `last` and collects every line it yields into
// `out`; false when a line is missing.
inline bool write_memory(VRX_Manager& manager, VRX_Engine* last, std::vector<uint8_t>& out) {
    (void)manager;
    const VRX_Header* header = last ? last->header() : nullptr;
    uint32_t line = 0;
    if (!header || !header->line_bytes(line)) return false;
    VRX_SrcBuffer* src = last->src_buffer();
    if (!src) return false;
    // The engine ends (and its header with it) once its last line is taken.
    const uint32_t height = header->height;
    bool ok = src->block_bytes(line);
    out.assign(size_t{line} * height, 0);
    for (uint32_t row = 0; ok && row < height; ++row) {
        ok = src->get(out.data() + size_t{row} * line) && src->release();
    }
    src->destroy();
    return ok;
}

// The first error a job recorded, as "code function" for readable checks.
inline std::string status_of(VRX_Manager& manager) {
    const VRX_Status status = manager.status();
    char code[16];
    std::snprintf(code, sizeof code, "%08X", status.code);
    return std::string(code) + " " + status.function;
}

inline std::string status_text(uint32_t code, const char* function) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", code);
    return std::string(text) + " " + function;
}

}  // namespace vrx_test

// Asserts the first recorded error by its code and function text.
#define EXPECT_STATUS(manager, code, function) \
    EXPECT_EQ(::vrx_test::status_of(manager), ::vrx_test::status_text(code, function))
#define EXPECT_NO_ERROR(manager) EXPECT_EQ(::vrx_test::status_of(manager), "00000000 ")
