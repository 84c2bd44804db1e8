#pragma once
// Helpers of the pixel-reader tests: storages over bytes, a source engine fed
// with given lines, and a chain drained into memory.
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/vrx/core/storage/vrx_rle_test_encoder.h"
#include "tests/vrx/framework/io/io_test_support.h"
#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/engine/vrx_generateengine.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace pixeltest {

using iotest::has_status;
using iotest::is_clean;
using rletest::Bytes;
using rletest::packbits;
using rletest::put32;
using rletest::rle_frame;
using rletest::rle_frame_of_segments;

// What an engine's header said before its chain ran (a finished producer is
// gone, and its header with it).
struct Shape {
    uint16_t bits = 0;
    uint16_t channels = 0;
    const vrx::VRX_ColorType* color = nullptr;
    bool raw = false;
    uint32_t palette_entries = 0;
    bool valid = false;
};

inline Shape shape_of(vrx::VRX_Engine* engine) {
    Shape shape;
    const vrx::VRX_Header* header = engine ? engine->header() : nullptr;
    if (!header) return shape;
    shape.bits = header->bits;
    shape.channels = header->channels;
    shape.color = header->color_type();
    shape.raw = header->encode_type()->is_raw();
    shape.palette_entries = header->palette().entries;
    shape.valid = true;
    return shape;
}

// A storage over the bytes (which must outlive it).
inline vrx::VRX_InputStorage* storage_over(vrx::VRX_Manager& manager, const Bytes& bytes) {
    return vrx::VRX_ByteArrayInputStorage::create(&manager, bytes.data(),
                                                  static_cast<int32_t>(bytes.size()));
}

// Everything `engine` delivers, written to memory; what was written before the
// chain stopped (empty for a null engine).
inline Bytes drain(vrx::VRX_Manager& manager, vrx::VRX_Engine* engine) {
    if (!engine || !engine->header()) return {};
    uint32_t line = 0;
    engine->header()->line_bytes(line);
    Bytes out(size_t{line} * engine->header()->height);
    uint32_t written = 0;
    vrx::VRX_Engine* writer = vrx::VRX_WriteMemory(&manager).engine(
        engine, out.data(), static_cast<uint32_t>(out.size()), &written);
    if (!writer) return {};
    while (writer->execute()) {
    }
    out.resize(written);
    return out;
}

// A source that delivers the given lines (of any size) under `header`.
class FeedEngine : public vrx::VRX_GenerateEngine {
public:
    explicit FeedEngine(vrx::VRX_Manager* manager) : VRX_GenerateEngine(manager) {}
    bool initiate(const vrx::VRX_Header* header, vrx::VRX_DstBuffer* dst,
                  const std::vector<Bytes>* lines) {
        if (!VRX_GenerateEngine::initiate(header, dst) || lines->empty()) return false;
        lines_ = lines;
        return dst->block_bytes(static_cast<uint32_t>(lines->front().size()));
    }
    bool execute() override {
        if (next_ >= lines_->size()) return false;
        unsigned char* out = dst_buffer_->get();
        if (!out) return false;
        const Bytes& line = (*lines_)[next_++];
        std::memcpy(out, line.data(), line.size());
        return dst_buffer_->release(static_cast<uint32_t>(line.size()));
    }

private:
    const std::vector<Bytes>* lines_ = nullptr;
    size_t next_ = 0;
};

class FeedCreator : public vrx::VRX_EngineCreator {
public:
    explicit FeedCreator(vrx::VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    vrx::VRX_Engine* engine(const vrx::VRX_Header* header, const std::vector<Bytes>* lines) {
        vrx::VRX_DstBuffer* dst = manager_->new_dst_buffer();
        return make_engine<FeedEngine>(
            nullptr, dst, [&](FeedEngine* e) { return e->initiate(header, dst, lines); });
    }
};

// Fills a header in one call.
inline void describe(vrx::VRX_Header& header, uint32_t width, uint32_t height, uint16_t bits,
                     uint16_t channels, const vrx::VRX_ColorType* color,
                     const vrx::VRX_DataType* type = vrx::VRX_DataType::u_integer(),
                     const vrx::VRX_EncodeType* encode = vrx::VRX_EncodeType::raw()) {
    header.width = width;
    header.height = height;
    header.bits = bits;
    header.channels = channels;
    header.color_type(color);
    header.data_type(type);
    header.encode_type(encode);
}

}  // namespace pixeltest
