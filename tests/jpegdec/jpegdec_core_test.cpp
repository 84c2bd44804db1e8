// The decoder core on edited streams (header segments, statuses, requests)
// and its SSE2 forms against the portable ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>

#include "jpegdec/jpeg_context.h"
#include "jpegdec/jpeg_simd.h"
#include "tests/jpegdec/jpeg_stream_edit.h"
#include "tests/jpegdec/jpegdec_test_support.h"

namespace {

using namespace jpegdectest;
using jpegedit::FindMarker;
using jpegedit::Segment;
using jpegedit::Splice;

Bytes Grey() { return jpegoracle::ReadFile(Fixture("grey.jpg")); }

struct HeaderCase {
    const char* name;
    std::function<Bytes(Bytes)> edit;
    JpegStatus status;
    std::function<void(const JpegDecoderContext*)> check;
};

TEST(JpegMarkerReader, HeaderSegmentsGiveTheirStatuses) {
    auto afterSoi = [](Bytes insert) { return [insert](Bytes b) { return Splice(b, 2, 0, insert); }; };
    auto sof = [](Bytes b) { return FindMarker(b, 0xC0); };
    auto none = [](const JpegDecoderContext*) {};
    const HeaderCase cases[] = {
        {"unchanged (JFIF aspect ratio only: densities 0)", [](Bytes b) { return b; }, kJpegWarnBadAppSegment,
         [](const JpegDecoderContext* c) { EXPECT_EQ(c->xDensity, 0u); }},
        {"first byte not 0xFF", [](Bytes b) { b[0] = 0x00; return b; }, kJpegNoSoi, none},
        {"TEM is passed over", afterSoi({0xFF, 0x01}), kJpegWarnBadAppSegment, none},
        {"RST3 among the header markers", afterSoi({0xFF, 0xD3}), kJpegBadValue, none},
        {"a second SOI", afterSoi({0xFF, 0xD8}), kJpegBadValue, none},
        {"DAC", afterSoi(Segment(0xCC, {0x00, 0x10})), kJpegUnsupported, none},
        {"JPGn with length 1", afterSoi({0xFF, 0xF3, 0x00, 0x01}), kJpegBadLength, none},
        {"DRI of length 5", afterSoi(Segment(0xDD, {0, 4, 0})), kJpegBadLength, none},
        {"DRI of 65535", afterSoi(Segment(0xDD, {0xFF, 0xFF})), kJpegWarnBadAppSegment,
         [](const JpegDecoderContext* c) { EXPECT_EQ(c->restartInterval, 65535u); }},
        {"DHT Th 7 makes eight DC records",
         afterSoi(Segment(0xC4, {0x07, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5})), kJpegWarnBadAppSegment,
         [](const JpegDecoderContext* c) { EXPECT_GE(c->dcTableCount, 8u); }},
        {"DC symbol 17", afterSoi(Segment(0xC4, {0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 17})),
         kJpegUnsupported, none},
        {"AC counts beyond the segment", afterSoi(Segment(0xC4, {0x10, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1})),
         kJpegBadLength, none},
        {"two COM segments", afterSoi([] { Bytes a = Segment(0xFE, {'a', 'b'}), b = Segment(0xFE, {'c', 'd'}); a.insert(a.end(), b.begin(), b.end()); return a; }()),
         kJpegWarnBadAppSegment, [](const JpegDecoderContext* c) { EXPECT_STREQ(JpegComment(c), "ab\ncd"); }},
        {"SOF0 of precision 12", [&](Bytes b) { b[sof(b) + 4] = 12; return b; }, kJpegBadValue, none},
        {"frame header length off by one", [&](Bytes b) { b[sof(b) + 3] += 1; return b; }, kJpegBadLength, none},
        {"H of 0", [&](Bytes b) { b[sof(b) + 11] = 0x01; return b; }, kJpegBadLength, none},
        {"five components", [&](Bytes b) { b[sof(b) + 9] = 5; return b; }, kJpegUnsupported, none},
        {"two components", [&](Bytes b) {
             const size_t at = sof(b);
             b[at + 3] += 3;
             b[at + 9] = 2;
             return Splice(b, at + 13, 0, {2, 0x11, 0});
         }, kJpegBadValue, none},
        {"height from DNL", [&](Bytes b) {
             const size_t at = sof(b);
             b[at + 5] = b[at + 6] = 0;
             const size_t eoi = FindMarker(b, 0xD9);
             return Splice(b, eoi, 0, Segment(0xDC, {0, 45}));
         }, kJpegWarnBadAppSegment, [](const JpegDecoderContext* c) { EXPECT_EQ(c->height, 45u); }},
        {"height 0 without DNL", [&](Bytes b) { b[sof(b) + 5] = b[sof(b) + 6] = 0; return b; }, kJpegBadLength, none},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        Decoder d(c.edit(Grey()));
        EXPECT_EQ(d.header, c.status);
        c.check(d.ctx);
    }
    // A lossless frame's restart interval must be a whole number of rows.
    const Bytes lossless = jpegoracle::ReadFile(std::string(TEST_DATA_DIR) + "/jpegkernels/lossless/g12_sv1_pt0.jpg");
    const size_t width_at = FindMarker(lossless, 0xC3) + 7;
    const uint32_t width = (uint32_t{lossless[width_at]} << 8) | lossless[width_at + 1];
    for (uint32_t interval : {width + 1, 2 * width}) {
        const Bytes dri = Segment(0xDD, {static_cast<uint8_t>(interval >> 8), static_cast<uint8_t>(interval)});
        const JpegStatus header = Decoder(Splice(lossless, 2, 0, dri)).header;
        if (interval % width)
            EXPECT_EQ(header, kJpegBadLength);
        else
            EXPECT_GE(header, kJpegOk);
    }
}

// 129 APPn segments: 128 kept, the last passed over. A 16-bit quantisation
// table is noted until an 8-bit table of its number comes: a frame that has
// one at its start is unsupported, cjpeg's progressive frame with table 0 of
// 16 bits and table 1 of 8 bits after it too, and so is a progressive frame
// that meets one between its scans. Tables between scans are taken as
// libjpeg takes them: a progressive frame keeps those of its start, a
// sequential frame of one component a scan gives each the tables in force
// at its scan.
TEST(JpegMarkerReader, KeptSegmentsAndQuantisationPrecision) {
    Bytes many;
    for (int i = 0; i < 129; ++i) {
        const Bytes s = Segment(0xE5, {static_cast<uint8_t>(i)});
        many.insert(many.end(), s.begin(), s.end());
    }
    Decoder apps(Splice(Grey(), 2, 0, many));
    EXPECT_EQ(AppSegmentCount(apps.ctx), 128u);
    EXPECT_EQ(AppSegmentAt(apps.ctx, 127)->data[0], 127);
    EXPECT_EQ(AppSegmentAt(apps.ctx, 128), nullptr);

    Bytes wide(130, 1);
    wide[0] = 0x10;
    const Bytes grey = Grey();
    Decoder sixteen(Splice(grey, FindMarker(grey, 0xC0), 0, Segment(0xDB, wide)));
    EXPECT_NE(sixteen.ctx->quantTables16Bit, 0u);
    EXPECT_EQ(StartDecompress(sixteen.ctx), kJpegUnsupported);
    Decoder later(Splice(grey, FindMarker(grey, 0xDB), 0, Segment(0xDB, wide)));
    EXPECT_EQ(later.ctx->quantTables16Bit, 0u);
    const Bytes prog = jpegoracle::ReadFile(Fixture("prog_s420.jpg"));
    const Bytes separate = jpegoracle::ReadFile(Fixture("separate_scans.jpg"));
    Bytes narrow(65, 1);
    narrow[0] = 0x01;
    const struct {
        Bytes stream;
        JpegStatus start, rows;
    } cases[] = {
        {jpegoracle::ReadFile(Fixture("prog_s420_q20.jpg")), kJpegUnsupported, kJpegOk},
        {Splice(prog, FindMarker(prog, 0xDA, 1), 0, Segment(0xDB, wide)), kJpegOk, kJpegUnsupported},
        {Splice(prog, FindMarker(prog, 0xDA, 1), 0, Segment(0xDB, narrow)), kJpegOk, kJpegOk},
        {Splice(separate, FindMarker(separate, 0xDA, 1), 0, Segment(0xDB, narrow)), kJpegOk, kJpegOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Decoder d(c.stream);
        const jpegoracle::Image image = d.Run();
        EXPECT_EQ(d.start, c.start);
        EXPECT_EQ(d.Worst(), c.rows);
        if (c.start == kJpegOk && c.rows == kJpegOk) {
            EXPECT_LE(jpegoracle::MaxDifference(image, jpegoracle::Decode(c.stream)), 1);
        }
    }
}

// The control flow: states, requests and the combinations offered.
TEST(JpegDecoderControl, StatesRequestsAndCombinations) {
    {
        Decoder d(Grey());
        std::vector<uint8_t> row(61);
        EXPECT_EQ(ReadRows(d.ctx, row.data()), kJpegWrongState);
        EXPECT_EQ(SetScaleDenominator(d.ctx, 3), kJpegBadArgument);
        EXPECT_EQ(d.ctx->scaleDenom, 1u);
        EXPECT_GE(StartDecompress(d.ctx), 1);
        EXPECT_EQ(StartDecompress(d.ctx), kJpegWrongState);
        EXPECT_EQ(ReadHeader(d.ctx, kJpegColorAsStored, 0, nullptr), kJpegWrongState);
    }
    // One component without JFIF asked YCbCr gets grey, asked Lab gets L*.
    const Bytes grey = Grey();
    const size_t app0 = FindMarker(grey, 0xE0);
    const Bytes plain = Splice(grey, app0, 2 + jpegedit::SegmentLength(grey, app0));
    EXPECT_EQ(JpegOutColorSpace(Decoder(plain, kJpegColorYcbcr).ctx), kJpegColorGray);
    EXPECT_EQ(JpegOutColorSpace(Decoder(plain, kJpegColorItuLab).ctx), kJpegColorLstar);
    // A three-component lossless frame is RGB, a DCT one YCbCr.
    const Bytes lossless = jpegoracle::ReadFile(std::string(TEST_DATA_DIR) + "/jpegkernels/lossless/c8_sv1_pt0.jpg");
    EXPECT_EQ(JpegOutColorSpace(Decoder(lossless).ctx), kJpegColorRgb);
    EXPECT_EQ(JpegOutColorSpace(Decoder(jpegoracle::ReadFile(Fixture("s420.jpg"))).ctx), kJpegColorYcbcr);
    // RGB of a progressive YCbCr frame, or of one coded one component per
    // scan, is not offered; luminance only of the latter neither.
    for (const char* name : {"prog_s420.jpg", "separate_scans.jpg"}) {
        Decoder d(jpegoracle::ReadFile(Fixture(name)), kJpegColorRgb);
        EXPECT_EQ(StartDecompress(d.ctx), kJpegBadArgument) << name;
    }
    Decoder luma(jpegoracle::ReadFile(Fixture("separate_scans.jpg")));
    SetLuminanceOnly(luma.ctx, 1);
    EXPECT_EQ(StartDecompress(luma.ctx), kJpegUnsupported);
    // An input length bounds what is read (0: the whole input); data that
    // ends without its EOI decodes while its bits last, with the warning.
    const Bytes s420 = jpegoracle::ReadFile(Fixture("s420.jpg"));
    for (uint32_t length : {0u, static_cast<uint32_t>(s420.size()), static_cast<uint32_t>(s420.size() - 2),
                            static_cast<uint32_t>(s420.size() - 300)}) {
        Decoder d(s420, kJpegColorAsStored, length);
        d.Run();
        EXPECT_EQ(d.Worst(), length < s420.size() && length > 0 ? kJpegWarnCorruptData : kJpegOk) << length;
    }
}

// Luminance only: one grey channel, libjpeg's Y plane within 1; the plain
// and the progressive drivers.
TEST(JpegDecoderControl, LuminanceOnlyIsTheYPlane) {
    for (const char* name : {"s420.jpg", "s444_restart1_opt.jpg", "prog_s420.jpg"}) {
        SCOPED_TRACE(name);
        const Bytes jpeg = jpegoracle::ReadFile(Fixture(name));
        Decoder d(jpeg);
        const jpegoracle::Image mine = d.Run(1, true);
        ASSERT_TRUE(mine.ok);
        EXPECT_EQ(mine.channels, 1u);
        EXPECT_EQ(JpegOutColorSpace(d.ctx), kJpegColorGray);
        jpegoracle::Image y = jpegoracle::Decode(jpeg);
        for (size_t i = 0; i < size_t{y.width} * y.height; ++i) y.pixels[i] = y.pixels[3 * i];
        y.pixels.resize(size_t{y.width} * y.height);
        y.channels = 1;
        EXPECT_LE(jpegoracle::MaxDifference(mine, y), 1);
    }
}

// The SSE2 transform and stores equal the portable forms on random blocks,
// extreme ones (which wrap in 32 bits) included.
TEST(JpegTransforms, Sse2FormsMatchThePortableOnes) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 2000; ++trial) {
        const int32_t range = trial < 1000 ? 2048 : (trial < 1900 ? 1 << 20 : INT32_MAX);
        std::uniform_int_distribution<int32_t> any(-range, range);
        int32_t a[64], b[64];
        for (int i = 0; i < 64; ++i) a[i] = b[i] = (trial % 3 == 0 && i > 0 && i % 5) ? 0 : any(random);
        BlockRecord block{a, 64, 0};
        IdctFast(nullptr, &block, 0);
        IdctFastScalar(b);
        ASSERT_EQ(std::memcmp(a, b, sizeof a), 0) << trial;

        int16_t coef[64];
        int32_t mult[64];
        std::uniform_int_distribution<int32_t> q(1, trial < 1000 ? 255 * 22725 / 16 : INT32_MAX);
        // Dense, DC-only and sparse blocks.
        for (int i = 0; i < 64; ++i) {
            const bool kept = trial % 3 == 0 || (trial % 3 == 1 ? i == 0 : i % 7 == 3);
            coef[i] = kept ? static_cast<int16_t>(any(random)) : 0;
            mult[i] = q(random);
        }
        JpegDecoderContext ctx{};
        MultiplierRecord record{};
        std::memcpy(record.values, mult, sizeof mult);
        ctx.quantMultipliers = &record;
        uint8_t simd[8 * 9], portable[8 * 9];
        IdctFastProgressive(&ctx, coef, 0, simd, 9);
        IdctFastProgressiveScalar(coef, mult, portable, 9);
        for (int r = 0; r < 8; ++r) ASSERT_EQ(std::memcmp(simd + 9 * r, portable + 9 * r, 8), 0) << trial;
    }
    // Level shift and clamp.
    int32_t values[64] = {-129, -128, 127, 128, 700, 800, INT32_MIN, INT32_MAX, 0, -1};
    uint8_t out[64];
    StoreBlock8x8(values, out, 8);
    const uint8_t expected[10] = {0, 0, 255, 255, 255, 255, 0, 255, 128, 127};
    EXPECT_EQ(std::memcmp(out, expected, 10), 0);
}

}  // namespace

namespace {

// The row writers of lossless frames over 16-bit component samples (their
// decoding is not part of the decoder yet): low bytes or words, shifted
// back by the point transform.
TEST(JpegRowWriters, LosslessRowsUndoThePointTransform) {
    uint16_t planes[3][4] = {{1, 2, 0x1FF, 3}, {4, 5, 6, 7}, {8, 9, 10, 0x8001}};
    ComponentRows rows[3] = {};
    for (int i = 0; i < 3; ++i) {
        rows[i].plane = PlaneRecord{4, 1, 8, reinterpret_cast<uint8_t*>(planes[i])};
        rows[i].current = rows[i].plane.data;
        rows[i].size = 8;
    }
    JpegDecoderContext ctx{};
    ctx.width = 4;
    ctx.componentRows = rows;
    ctx.scanAhAl = 2;
    uint8_t bytes[16] = {};
    ctx.componentCount = 1;
    ShiftGrayLossless8(&ctx, bytes);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), (std::vector<uint8_t>{4, 8, 0xFC, 12}));
    ctx.componentCount = 3;
    InterleaveLossless3x8(&ctx, bytes);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 6), (std::vector<uint8_t>{4, 16, 32, 8, 20, 36}));
    uint16_t words[12] = {};
    InterleaveLossless3x16(&ctx, reinterpret_cast<uint8_t*>(words));
    EXPECT_EQ(words[9], uint16_t(3 << 2));
    EXPECT_EQ(words[11], uint16_t(0x8001u << 2));
    ctx.sampleBits = 16;
    InterleaveLosslessN(&ctx, reinterpret_cast<uint8_t*>(words));
    EXPECT_EQ(words[1], uint16_t(4 << 2));
    uint16_t gray[4] = {1, 2, 3, 0x4000};
    ctx.componentCount = 1;
    ShiftGrayLossless16(&ctx, reinterpret_cast<uint8_t*>(gray));
    EXPECT_EQ(std::vector<uint16_t>(gray, gray + 4), (std::vector<uint16_t>{4, 8, 12, 0}));
    ctx.selectedComponent = 2;
    CopySelectedLosslessRow(&ctx, reinterpret_cast<uint8_t*>(gray));
    EXPECT_EQ(gray[3], 0x8001);
}

}  // namespace

namespace {

// An 8 x 8 grey stream with quantiser 1, one DC code (8 bits of zeros, size
// 8) and one AC code ('0', `acSymbol`), then `data` as the scan. The reader
// fetches ahead up to the marker after the data and keeps it.
Bytes TinyStream(uint8_t acSymbol, const Bytes& data, bool eoi) {
    Bytes b = {0xFF, 0xD8};
    auto put = [&](const Bytes& s) { b.insert(b.end(), s.begin(), s.end()); };
    Bytes dqt(65, 1);
    dqt[0] = 0;
    put(Segment(0xDB, dqt));
    put(Segment(0xC0, {8, 0, 8, 0, 8, 1, 1, 0x11, 0}));
    put(Segment(0xC4, {0x00, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 8}));
    put(Segment(0xC4, {0x10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, acSymbol}));
    put(Segment(0xDA, {1, 1, 0x00, 0, 63, 0}));
    put(data);
    if (eoi) put({0xFF, 0xD9});
    return b;
}

// The bit reader on hand-made data: stuffed bytes, fill bytes, a marker in
// the data (its 0xFF enters as one bits, then zero bits, then the block
// fails), data that ends, and a run past the last coefficient.
TEST(JpegEntropyDecoding, OneBlockOnHandMadeData) {
    struct Case {
        const char* name;
        uint8_t acSymbol;
        Bytes data;
        bool eoi;
        JpegStatus status;
        int32_t dc;
        uint32_t marker;
    };
    const Case cases[] = {
        {"stuffed 0xFF", 0x00, {0x00, 0xFF, 0x00, 0x00}, true, kJpegOk, 255, 0xD9},
        {"fill byte before the stuffed 0xFF", 0x00, {0x00, 0xFF, 0xFF, 0x00, 0x00}, true, kJpegOk, 255, 0xD9},
        {"negative difference", 0x00, {0x00, 0x7F, 0x00}, true, kJpegOk, -128, 0xD9},
        {"marker in the data", 0x00, {0x00, 0xFF, 0xD3}, false, kJpegMarkerInData, 255, 0xD3},
        {"data that ends", 0x00, {0x00, 0x7F}, false, kJpegCorruptData, -128, 0},
        {"run past coefficient 63", 0xF0, {0x00, 0x80, 0x00}, true, kJpegCorruptData, 128, 0xD9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoder d(TinyStream(c.acSymbol, c.data, c.eoi));
        ASSERT_EQ(d.header, kJpegOk);
        d.ctx->testGenericOnly = 1;
        ASSERT_EQ(StartDecompress(d.ctx), kJpegOk);
        BlockRecord* block = d.ctx->blockRecords;
        EXPECT_EQ(DecodeMcuSequential(d.ctx, block, 0), c.status);
        EXPECT_EQ(block->values[0], c.dc * d.ctx->quantMultipliers[0].values[0]);
        if (c.status == kJpegOk) {
            EXPECT_EQ(block->end, 1u);
        }
        EXPECT_EQ(d.ctx->pendingMarker, c.marker);
    }
}

// The resampling routines against the plain model: replication repeats a
// sample over its factor, averaging takes the truncated mean of a column's
// rows.
TEST(JpegResampling, RoutinesMatchThePlainModel) {
    constexpr uint32_t kStride = 16, kRows = 8;
    uint8_t source[kStride * kRows];
    for (uint32_t i = 0; i < sizeof source; ++i) source[i] = static_cast<uint8_t>(i * 37 + 11);
    auto run = [&](UpsampleFn f, uint32_t width, uint32_t rows, uint32_t hf, uint32_t vf, uint32_t outW,
                   uint32_t outRows) {
        std::vector<uint8_t> plane(source, source + sizeof source);
        PlaneRecord p{width, rows, kStride, plane.data()};
        f(&p, &p, hf, vf, outW, outRows);
        return plane;
    };
    auto at = [&](uint32_t x, uint32_t y) { return source[y * kStride + x]; };
    const auto h = run(UpsampleReplicateH, 8, 8, 2, 1, 16, 8);
    const auto v = run(UpsampleReplicateV, 16, 4, 1, 2, 16, 8);
    const auto hv = run(UpsampleReplicateHV, 5, 2, 3, 4, 15, 8);
    const auto avg = run(DownsampleAverageV, 16, 8, 1, 4, 16, 2);
    const auto both = run(DownsampleVReplicateH, 8, 8, 2, 2, 16, 4);
    for (uint32_t y = 0; y < kRows; ++y)
        for (uint32_t x = 0; x < kStride; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(h[y * kStride + x], at(x / 2, y));
            EXPECT_EQ(v[y * kStride + x], at(x, y / 2));
            if (x < 15) {
                EXPECT_EQ(hv[y * kStride + x], at(x / 3, y / 4));
            }
            if (y < 2) {
                EXPECT_EQ(avg[y * kStride + x], (at(x, 4 * y) + at(x, 4 * y + 1) + at(x, 4 * y + 2) + at(x, 4 * y + 3)) >> 2);
            }
            if (y < 4) {
                EXPECT_EQ(both[y * kStride + x], (at(x / 2, 2 * y) + at(x / 2, 2 * y + 1)) >> 1);
            }
        }
}

}  // namespace
