#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/vrx/core/qmrle/qmrle_support.h"
#include "vrx/core/crop/vrx_crop.h"
#include "vrx/core/qmrle/vrx_qmrlebuffer.h"
#include "vrx/core/qmrle/vrx_qmrleline.h"
#include "vrx/core/scale/vrx_scalenn.h"

namespace {

using namespace vrx;
using namespace vrx_qmrle_test;

constexpr const char* kLineText =
    "VRX_QMRLELineBase::get_next_line() - invalid src_buffer's block bytes.";
constexpr const char* kBufferText = "VRX_QMRLEBuffer::regist_runarray()";

TEST(QMRLE, RunArrayBytes) {
    const std::pair<uint32_t, uint64_t> table[] = {
        {0, 8}, {1, 16}, {2, 16}, {3, 24}, {5, 32}, {640, 2568}, {0xFFFFFFFFu, 0x400000008ull}};
    for (const auto& [n, bytes] : table) EXPECT_EQ(run_array_bytes(n).value(), bytes) << n;
    EXPECT_FALSE(run_array_bytes(0xFFFFFFFFu).fits<uint32_t>());
}

// What one of the two readers made of a stream handed out in blocks of
// `block` bytes.
struct Outcome {
    bool ok = false;
    RunLines lines;
};

Outcome read_with_line_reader(VRX_Manager& m, const std::vector<uint8_t>& stream, uint32_t width,
                              uint32_t height, uint32_t block) {
    Outcome o;
    VRX_Engine* source = StreamCreator(&m).engine(qmrle_format(width, height), &stream, block);
    if (!source) return o;
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_QMRLELine* reader = VRX_QMRLELine::create(&m, src, source->header());
    o.ok = reader != nullptr;
    for (uint32_t y = 0; o.ok && y < height; ++y) {
        o.ok = reader->get_next_line();
        std::vector<Run> runs;
        for (size_t i = 0; i < reader->runs().size(); ++i)
            runs.push_back({reader->runs().data()[i].first, reader->runs().data()[i].last});
        if (o.ok) o.lines.push_back(runs);
    }
    vrx::destroy(reader);
    vrx::destroy(src);
    return o;
}

Outcome read_with_buffer(VRX_Manager& m, const std::vector<uint8_t>& stream, uint32_t width,
                         uint32_t height, uint32_t block) {
    Outcome o;
    VRX_Engine* source = StreamCreator(&m).engine(qmrle_format(width, height), &stream, block);
    if (!source) return o;
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_QMRLEBuffer* buffer = VRX_QMRLEBuffer::create(&m, src, source->header());
    if (buffer) {
        for (uint32_t y = 0; y < buffer->line_count(); ++y) {
            std::vector<Run> runs;
            for (auto it = buffer->line_begin(y), end = buffer->line_end(y); it != end; ++it)
                runs.push_back(*it);
            o.lines.push_back(runs);
        }
        o.ok = !is_error(m.status().code);
    }
    vrx::destroy(buffer);
    vrx::destroy(src);
    return o;
}

// Two lines, (0, 3) (7, 7) and none, in blocks of one pair, of a line and a
// half, and of the whole stream: lines continue across blocks and start
// behind an end pair inside one.
TEST(QMRLE, ReadersFollowLinesAcrossBlocks) {
    const RunLines lines = {{{0, 3}, {7, 7}}, {}};
    const std::vector<uint8_t> stream = stream_of(lines);
    for (uint32_t block : {8u, 16u, 24u, 32u, 4096u}) {
        SCOPED_TRACE(block);
        VRX_DefaultManager m;
        const Outcome a = read_with_line_reader(m, stream, 8, 2, block);
        EXPECT_TRUE(a.ok);
        EXPECT_EQ(a.lines, lines);
        const Outcome b = read_with_buffer(m, stream, 8, 2, block);
        EXPECT_TRUE(b.ok);
        EXPECT_EQ(b.lines, lines);
        EXPECT_NO_ERROR(m);
        EXPECT_TRUE(m.execute());
    }
}

struct Malformed {
    const char* name;
    std::vector<uint8_t> stream;
    uint32_t height;
};

std::vector<uint8_t> pairs(std::initializer_list<Run> runs) {
    std::vector<uint8_t> out;
    for (const Run& r : runs) put_pair(out, r.first, r.second);
    return out;
}

constexpr uint32_t E = VRX_QMRLERun::end_value;

// Streams of lines 10 pixels wide read from memory: the crop (line reader)
// and the scaler (run buffer) refuse them as data errors.
TEST(QMRLE, ChainsRefuseMalformedStreams) {
    const Malformed table[] = {
        {"reversed", pairs({{6, 4}, {E, E}}), 1},
        {"past the width", pairs({{3, 11}, {E, E}}), 1},
        {"overlapping", pairs({{2, 5}, {5, 7}, {E, E}}), 1},
        {"out of order", pairs({{6, 8}, {1, 2}, {E, E}}), 1},
        {"last column 0xFFFFFFFF", pairs({{1, E}, {E, E}, {E, E}}), 2},
        {"12-byte block",
         [] {
             auto s = pairs({{1, 2}, {E, E}});
             s.resize(12);
             return s;
         }(),
         2},
        {"half a pair behind a line",
         [] {
             auto s = pairs({{1, 2}, {E, E}});
             s.resize(s.size() + 4, 0xFF);
             return s;
         }(),
         2},
        {"missing line", pairs({{1, 2}, {E, E}, {E, E}}), 3},
        {"line without its end pair", pairs({{1, 2}}), 1},
    };
    for (const Malformed& c : table) {
        SCOPED_TRACE(c.name);
        for (bool crop : {true, false}) {
            VRX_DefaultManager m;
            VRX_Engine* source = read_memory(m, qmrle_format(10, c.height), c.stream);
            VRX_Engine* last = crop ? VRX_Crop(&m).engine(source, 1, 0, 9, c.height)
                                    : VRX_ScaleNN(&m).engine(source, 20, c.height);
            std::vector<uint8_t> out;
            EXPECT_FALSE(take_stream(m, last, out));
            EXPECT_STATUS(m, VRX_ERROR_DATA, crop ? kLineText : kBufferText);
        }
    }
}

// A run that ends at the width passes; touching runs pass.
TEST(QMRLE, RunEndingAtTheWidthPasses) {
    const RunLines lines = {{{0, 1}, {2, 2}, {7, 10}}};
    VRX_DefaultManager m;
    EXPECT_EQ(read_with_line_reader(m, stream_of(lines), 10, 1, 4096).lines, lines);
    EXPECT_EQ(read_with_buffer(m, stream_of(lines), 10, 1, 4096).lines, lines);
    EXPECT_NO_ERROR(m);
}

TEST(QMRLE, ReadersRefuseOtherImages) {
    VRX_DefaultManager m;
    const std::vector<uint8_t> stream = stream_of({{}});
    vrx_pixel_test::Format raw = qmrle_format(8, 1);
    raw.encode = VRX_EncodeType::raw();
    raw.bits = 8;
    VRX_Engine* source = StreamCreator(&m).engine(raw, &stream, 8);
    ASSERT_NE(source, nullptr);
    VRX_SrcBuffer* src = source->src_buffer();
    EXPECT_EQ(VRX_QMRLELine::create(&m, src, source->header()), nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_UNSUPPORTED, "VRX_QMRLELineBase::initiate()"));
    EXPECT_EQ(VRX_QMRLEBuffer::create(&m, src, source->header()), nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_UNSUPPORTED, "VRX_QMRLEBufferBase::initiate()"));
    EXPECT_EQ(VRX_QMRLELine::create(&m, nullptr, source->header()), nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_ARGUMENT, "VRX_QMRLELineBase::initiate()"));
    EXPECT_EQ(VRX_QMRLEBuffer::create(&m, src, nullptr), nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_ARGUMENT, "VRX_QMRLEBufferBase::initiate()"));
    src->destroy();
}

// Appending to a run line that views a buffer line copies the line first.
TEST(QMRLE, AppendToAViewLeavesTheBufferLine) {
    VRX_DefaultManager m;
    const std::vector<uint8_t> stream = stream_of({{{1, 2}}});
    VRX_Engine* source = StreamCreator(&m).engine(qmrle_format(10, 1), &stream, 4096);
    ASSERT_NE(source, nullptr);
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_QMRLEBuffer* buffer = VRX_QMRLEBuffer::create(&m, src, source->header());
    ASSERT_NE(buffer, nullptr);
    VRX_QMRLERunLine view = buffer->line_begin(0);
    VRX_QMRLERunLine copy = view;
    ASSERT_TRUE(copy.append_run(5, 6));
    VRX_QMRLERunLine copy_of_copy = copy;
    ASSERT_TRUE(copy_of_copy.append_run(8, 8));
    EXPECT_EQ(view.count(), 1u);
    EXPECT_EQ(buffer->line_end(0).position(), 1u);
    EXPECT_EQ(copy.count(), 2u);
    EXPECT_EQ(copy_of_copy.count(), 3u);
    EXPECT_EQ(*++copy, VRX_QMRLERunLine::Run(5, 6));
    buffer->destroy();
    src->destroy();
    EXPECT_NO_ERROR(m);
}

// Writes given run lines with a chosen destination block size.
class RunWriterEngine : public VRX_GenerateEngine {
public:
    explicit RunWriterEngine(VRX_Manager* manager) : VRX_GenerateEngine(manager) {}
    bool initiate(const VRX_Header* header, VRX_DstBuffer* dst, const RunLines* lines,
                  uint32_t block) {
        if (!VRX_GenerateEngine::initiate(header, dst)) return false;
        lines_ = lines;
        return dst->block_bytes(block);
    }
    bool execute() override {
        if (next_ >= lines_->size()) return false;
        VRX_QMRLERunLine line(manager_);
        for (const Run& r : (*lines_)[next_++])
            if (!line.append_run(r.first, r.second)) return false;
        return line.write_runarray(dst_buffer_);
    }

private:
    const RunLines* lines_ = nullptr;
    size_t next_ = 0;
};

// 300 runs in blocks of 1,024 bytes (1,024 + 1,024 + 360), a line of none
// and a line of one run: the stream holds every run and every end pair.
TEST(QMRLE, WriteRunArrayInBlocks) {
    RunLines lines(3);
    for (uint32_t i = 0; i < 300; ++i) lines[0].push_back({2 * i, 2 * i});
    lines[2].push_back({5, 9});
    for (uint32_t block : {1024u, 16u, 12u}) {
        VRX_DefaultManager m;
        VRX_Header header(&m);
        vrx_pixel_test::describe(header, qmrle_format(600, 3));
        VRX_DstBuffer* dst = m.new_dst_buffer();
        struct Creator : VRX_EngineCreator {
            using VRX_EngineCreator::make_engine;
            using VRX_EngineCreator::VRX_EngineCreator;
        } creator(&m);
        VRX_Engine* writer = creator.make_engine<RunWriterEngine>(
            nullptr, dst,
            [&](RunWriterEngine* e) { return e->initiate(&header, dst, &lines, block); });
        std::vector<uint8_t> stream;
        ASSERT_TRUE(take_stream(m, writer, stream));
        EXPECT_EQ(stream.size(), 2408u + 8 + 16);
        EXPECT_EQ(stream, stream_of(lines)) << block;
    }
}

}  // namespace
