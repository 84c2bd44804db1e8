#pragma once
// Geometry test support: formats of test images, a model coder between packed 1-bit images and
// run-length streams (a set bit is a set pixel), a producer that hands out a
// stream in blocks of a chosen size, and the end that collects the stream a
// chain yields.
#include <cstdint>
#include <utility>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"
#include "vrx/core/qmrle/vrx_qmrlerun.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/engine/vrx_generateengine.h"

namespace vrx_qmrle_test {

using namespace vrx;
using Run = std::pair<uint32_t, uint32_t>;
using RunLines = std::vector<std::vector<Run>>;

inline vrx_pixel_test::Format qmrle_format(uint32_t width, uint32_t height) {
    vrx_pixel_test::Format f;
    f.width = width;
    f.height = height;
    f.bits = 1;
    f.encode = VRX_EncodeType::qm_rle();
    return f;
}

inline bool bit_at(const std::vector<uint8_t>& packed, size_t line_bytes, uint32_t x, uint32_t y) {
    return (packed[y * line_bytes + x / 8] >> (7 - x % 8)) & 1;
}

// The runs of set pixels of a packed one-channel 1-bit image.
inline RunLines runs_of(const std::vector<uint8_t>& packed, uint32_t width, uint32_t height) {
    const size_t line = (size_t{width} + 7) / 8;
    RunLines lines(height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width;) {
            if (!bit_at(packed, line, x, y)) {
                ++x;
                continue;
            }
            const uint32_t first = x;
            while (x < width && bit_at(packed, line, x, y)) ++x;
            lines[y].push_back({first, x - 1});
        }
    return lines;
}

// The packed image of run lines (runs must lie inside the width).
inline std::vector<uint8_t> packed_of(const RunLines& lines, uint32_t width) {
    const size_t line = (size_t{width} + 7) / 8;
    std::vector<uint8_t> packed(line * lines.size());
    for (size_t y = 0; y < lines.size(); ++y)
        for (const Run& r : lines[y])
            for (uint32_t x = r.first; x <= r.second; ++x)
                packed[y * line + x / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
    return packed;
}

inline void put_pair(std::vector<uint8_t>& out, uint32_t first, uint32_t last) {
    unsigned char pair[8];
    store_run(pair, first, last);
    out.insert(out.end(), pair, pair + 8);
}

// The wire form of run lines.
inline std::vector<uint8_t> stream_of(const RunLines& lines) {
    std::vector<uint8_t> out;
    for (const auto& line : lines) {
        for (const Run& r : line) put_pair(out, r.first, r.second);
        put_pair(out, VRX_QMRLERun::end_value, VRX_QMRLERun::end_value);
    }
    return out;
}

// The run lines of a stream; false when it does not end with an end pair.
inline bool parse_stream(const std::vector<uint8_t>& stream, RunLines& lines) {
    lines.clear();
    if (stream.size() % 8 != 0) return false;
    std::vector<Run> line;
    for (size_t at = 0; at < stream.size(); at += 8) {
        const VRX_QMRLERun run = load_run(stream.data() + at);
        if (run.is_end()) {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back({run.first, run.last});
        }
    }
    return line.empty();
}

// Runs the chain that ends in the run-length engine `last` and gives back
// the stream it yields; false when the chain fails.
inline bool take_stream(VRX_Manager& manager, VRX_Engine* last, std::vector<uint8_t>& out) {
    const VRX_Header* header = last ? last->header() : nullptr;
    if (!header) return false;
    // Room for lines of one-pixel runs with a gap between them, twice over.
    out.assign((size_t{header->width} * 8 + 16) * header->height + 4096, 0);
    uint32_t written = 0;
    VRX_Engine* writer = VRX_WriteMemory(&manager).engine(
        last, out.data(), static_cast<uint32_t>(out.size()), &written);
    if (!writer) return false;
    while (writer->execute()) {
    }
    out.resize(written);
    return !is_error(manager.status().code);
}

// Hands out a byte stream under a header in blocks of `block` bytes (the
// last one short).
class StreamEngine : public VRX_GenerateEngine {
public:
    explicit StreamEngine(VRX_Manager* manager) : VRX_GenerateEngine(manager) {}
    bool initiate(const VRX_Header* header, VRX_DstBuffer* dst, const std::vector<uint8_t>* bytes,
                  uint32_t block) {
        if (!VRX_GenerateEngine::initiate(header, dst)) return false;
        bytes_ = bytes;
        return dst->block_bytes(block);
    }
    bool execute() override {
        if (done_ >= bytes_->size()) return false;
        unsigned char* out = dst_buffer_->get();
        if (!out) return false;
        const size_t n = std::min<size_t>(dst_buffer_->get_block_bytes(), bytes_->size() - done_);
        std::copy_n(bytes_->data() + done_, n, out);
        done_ += n;
        return dst_buffer_->release(static_cast<uint32_t>(n));
    }

private:
    const std::vector<uint8_t>* bytes_ = nullptr;
    size_t done_ = 0;
};

class StreamCreator : public VRX_EngineCreator {
public:
    explicit StreamCreator(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    VRX_Engine* engine(const vrx_pixel_test::Format& format, const std::vector<uint8_t>* bytes,
                       uint32_t block) {
        VRX_Header header(manager_);
        vrx_pixel_test::describe(header, format);
        VRX_DstBuffer* dst = manager_->new_dst_buffer();
        return make_engine<StreamEngine>(
            nullptr, dst, [&](StreamEngine* e) { return e->initiate(&header, dst, bytes, block); });
    }
};

}  // namespace vrx_qmrle_test
