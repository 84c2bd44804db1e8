// The decoder core on hostile and damaged streams: comment segments by the
// million, restart intervals of progressive frames broken, bits that no code
// begins with on the generic path, progressive and sequential streams cut
// short, coefficient stores against the memory limit, damage in sequential
// scans without restart intervals, data left over before the marker after a
// scan or interval, and bytes flipped against libjpeg. Each warning comes
// with its kinds of damage.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "jpegdec/jpeg_context.h"
#include "tests/jpegdec/jpeg_stream_edit.h"
#include "tests/jpegdec/jpegdec_test_support.h"
#include "tests/test_folder.h"

namespace {

using namespace jpegdectest;
using jpegedit::FindMarker;
using jpegedit::Segment;
using jpegedit::Splice;

Bytes Stream(const char* name) { return jpegoracle::ReadFile(Fixture(name)); }

// The JPEG stream in a DICOM file: from its SOI through its last EOI.
Bytes Codestream(const Bytes& file) {
    if (file.size() < 2) return {};
    const size_t from = FindMarker(file, 0xD8);
    size_t to = file.size();
    while (to > from + 1 && !(file[to - 2] == 0xFF && file[to - 1] == 0xD9)) --to;
    return Bytes(file.begin() + static_cast<std::ptrdiff_t>(from), file.begin() + static_cast<std::ptrdiff_t>(to));
}

// The JPEG stream of a case of the hostile-files table, as its generator
// makes it (empty when it cannot run).
Bytes HostileStream(const std::string& name) {
    const std::string folder = testfolder::file("jpegdec_hostile");
    const std::string command = std::string("/usr/bin/python3 ") + TEST_DATA_DIR +
                                "/Source/hostile/make_hostile_files.py --only " + name + " " + folder;
    if (std::system(command.c_str()) != 0) return {};
    return Codestream(jpegoracle::ReadFile(folder + "/" + name + ".dcm"));
}

// The bytes of restart interval k of the scan whose data starts at `data`
// (k = 0 from the data's start), as [from, to).
std::pair<size_t, size_t> Interval(const Bytes& b, size_t data, int k) {
    size_t from = data;
    for (int i = 0; i < k; ++i) {
        while (!(b[from] == 0xFF && b[from + 1] >= 0xD0 && b[from + 1] <= 0xD7)) ++from;
        from += 2;
    }
    size_t to = from;
    while (!(b[to] == 0xFF && b[to + 1] >= 0xD0 && b[to + 1] <= 0xD7)) ++to;
    return {from, to};
}

// The interval's bytes replaced by ones (0xFF 0x00 pairs), which decode to
// no code.
Bytes OnesIn(const Bytes& b, std::pair<size_t, size_t> interval) {
    Bytes ones;
    for (size_t i = interval.first; i + 1 < interval.second; i += 2) ones.insert(ones.end(), {0xFF, 0x00});
    return Splice(b, interval.first, interval.second - interval.first, ones);
}

// Comment segments are collected in time proportional to their bytes and
// kept whole while the text stays within 64 KiB; from the first that does
// not fit on, they are passed over. The image decodes as without them.
TEST(JpegHostileStreams, CommentSegmentsAreKeptUpToTheirLimit) {
    const Bytes grey = Stream("grey.jpg");
    const jpegoracle::Image plain = Decoder(grey).Run();
    struct Case {
        const char* name;
        std::vector<std::pair<uint32_t, size_t>> segments;  // count, bytes each
        size_t kept;
    };
    const Case cases[] = {
        {"a million of 1 byte", {{1000000, 1}}, 2 * 32768 - 1},
        {"1000 bytes each", {{70, 1000}}, 65 * 1001 - 1},
        {"a small one after one that did not fit", {{65, 1000}, {1, 2000}, {1, 1}}, 65 * 1001 - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes comments;
        for (const auto& [count, bytes] : c.segments) {
            const Bytes one = Segment(0xFE, Bytes(bytes, 'c'));
            for (uint32_t i = 0; i < count; ++i) comments.insert(comments.end(), one.begin(), one.end());
        }
        Decoder d(Splice(grey, 2, 0, comments));
        EXPECT_EQ(d.header, kJpegWarnBadAppSegment);
        const char* text = JpegComment(d.ctx);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::strlen(text), c.kept);
        EXPECT_EQ(std::string(text, 3), c.segments[0].second == 1 ? "c\nc" : "ccc");
        const jpegoracle::Image image = d.Run();
        EXPECT_TRUE(image.ok);
        EXPECT_TRUE(image.pixels == plain.pixels);
    }
}

// A 32 x 8 grey stream of four blocks, restart intervals of two, quantiser
// 64; its one DC code '0' is size 1 and its one AC code '0' the end of band:
// a block "010" adds 1 to the DC predictor (8 to the samples, from 128 at
// each interval's start). A first bit 1 begins no code.
Bytes FourBlocks(const Bytes& data) {
    Bytes b = {0xFF, 0xD8};
    Bytes dqt(65, 64);
    dqt[0] = 0;
    for (const Bytes& s : {Segment(0xDB, dqt), Segment(0xC0, {8, 0, 8, 0, 32, 1, 1, 0x11, 0}),
                           Segment(0xDD, {0, 2}),
                           Segment(0xC4, {0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}),
                           Segment(0xC4, {0x10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
                           Segment(0xDA, {1, 1, 0x00, 0, 63, 0}), data, Bytes{0xFF, 0xD9}})
        b.insert(b.end(), s.begin(), s.end());
    return b;
}

// Bits that no code begins with are corrupt data: the block fails (they
// used to decode as symbol 0, taking no bits), and the generic path passes
// over the rest of the interval, mid-grey, with the warning.
TEST(JpegHostileStreams, BitsNoCodeBeginsWithAreCorruptData) {
    // Blocks "010" "010", RST0, "010" and then a 1.
    const Bytes stream = FourBlocks({0x4B, 0xFF, 0xD0, 0x5F});
    Decoder d(stream);
    d.ctx->testGenericOnly = 1;
    const jpegoracle::Image image = d.Run();
    ASSERT_TRUE(image.ok);
    EXPECT_EQ(d.Worst(), kJpegWarnCorruptData);
    EXPECT_EQ(JpegDamage(d.ctx), kJpegDamageLost);
    const uint8_t expected[4] = {136, 144, 136, 128};
    for (uint32_t x = 0; x < 32; ++x) EXPECT_EQ(image.at(x, 7, 0), expected[x / 8]) << x;
}

// The interleaved DC scan (the first) of the progressive stream with
// restart intervals of 3 MCUs (16 x 8 each, 4 a row): the MCUs of the
// intervals that are read match libjpeg's decoding of the undamaged stream.
void ExpectIntervalsRead(const Decoder& d, const jpegoracle::Image& image, const jpegoracle::Image& ref,
                         uint32_t fromMcu, uint32_t toMcu) {
    ASSERT_TRUE(image.ok);
    EXPECT_EQ(d.Worst(), kJpegWarnCorruptData);
    EXPECT_EQ(JpegDamage(d.ctx), kJpegDamageLost);
    int worst = 0;
    for (uint32_t y = 0; y < ref.height; ++y)
        for (uint32_t x = 0; x < ref.width; ++x) {
            const uint32_t mcu = (y / 8) * 4 + x / 16;
            if (mcu >= fromMcu && mcu < toMcu) continue;
            for (uint32_t c = 0; c < 3; ++c) worst = std::max(worst, std::abs(image.at(x, y, c) - ref.at(x, y, c)));
        }
    EXPECT_LE(worst, 1);
}

// Restart intervals of progressive frames are checked as those of sequential
// frames: damage passes over the rest of its interval and decoding goes on
// after the next restart marker; a marker read twice, or a DNL segment in
// its place, ends the scan. Each gives the warning.
TEST(JpegHostileStreams, ProgressiveRestartIntervalsAreChecked) {
    const Bytes good = Stream("prog_s422_restart.jpg");
    const jpegoracle::Image ref = jpegoracle::Decode(good);
    const size_t data = jpegedit::ScanData(good, FindMarker(good, 0xDA));
    const size_t rst0 = FindMarker(good, 0xD0);
    {
        SCOPED_TRACE("interval 2 begins no code");
        Decoder d(OnesIn(good, Interval(good, data, 2)));
        ExpectIntervalsRead(d, d.Run(), ref, 6, 9);
    }
    {
        SCOPED_TRACE("RST0 twice");
        Decoder d(Splice(good, rst0, 0, {0xFF, 0xD0}));
        ExpectIntervalsRead(d, d.Run(), ref, 3, 24);
    }
    {
        SCOPED_TRACE("DNL for RST0");
        Decoder d(Splice(good, rst0, 2, Segment(0xDC, {0, 45})));
        ExpectIntervalsRead(d, d.Run(), ref, 3, 24);
    }
}

// A progressive stream without its end of image, or cut short, gives every
// row from the coefficients decoded, with the warning: the input ended after
// whole scans (without EOI, or in a scan header), or units were lost (cut in
// a scan's data).
TEST(JpegHostileStreams, ProgressiveStreamsCutShortGiveTheirRows) {
    const Bytes good = Stream("prog_s420.jpg");
    const jpegoracle::Image ref = jpegoracle::Decode(good);
    const size_t eoi = FindMarker(good, 0xD9);
    const std::pair<size_t, uint32_t> cuts[] = {
        {eoi, kJpegDamageNoEnd}, {eoi + 1, kJpegDamageNoEnd}, {good.size() * 6 / 10, kJpegDamageNoEnd},
        {jpegedit::ScanData(good, FindMarker(good, 0xDA)) + 40, kJpegDamageLost}};
    for (const auto& [size, damage] : cuts) {
        SCOPED_TRACE(size);
        Decoder d(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)));
        const jpegoracle::Image image = d.Run();
        ASSERT_TRUE(image.ok);
        EXPECT_EQ(d.Worst(), kJpegWarnCorruptData);
        EXPECT_EQ(JpegDamage(d.ctx), damage);
        // The whole stream but its end of image: the same pixels.
        if (size == eoi) {
            EXPECT_LE(jpegoracle::MaxDifference(image, ref), 1);
        }
    }
}

// A sequential stream cut inside its scans' data (one or one per component),
// or in its last 16 bytes, with or without a zero byte of padding, gives
// every row with the warning, on the generic path and on the kernel
// path of every column. libjpeg's decoding of the cut stream is the
// reference: the MCUs before the cut as in the whole stream, mid-grey after
// it. The one MCU the cut falls in may stand apart, mid-grey where libjpeg
// completes it from zero bits. A zero byte that ends a stream of an even
// count of bytes (not after 0xFF) is the pad of a DICOM fragment, no data:
// the reference is the stream without it. A byte after the EOI changes
// nothing. The kinds of damage: units lost where data is cut; the end only
// where no more than the EOI is cut (the pad is no data left over either);
// where a zero byte of an odd stream takes the place of the last bytes of
// data, units lost or the last one completed from it.
TEST(JpegHostileStreams, SequentialStreamsCutShortGiveTheirRows) {
    const std::set<uint32_t> lost = {kJpegDamageLost}, noEnd = {kJpegDamageNoEnd},
                             lostOrNoEnd = {kJpegDamageLost, kJpegDamageNoEnd};
    auto padByte = [](const Bytes& b) { return b.size() % 2 == 0 && b.back() == 0 && b[b.size() - 2] != 0xFF; };
    for (const char* name : {"grey.jpg", "s420.jpg", "s420_restart.jpg", "s444.jpg", "separate_scans_opt.jpg",
                             "s420_1x1.jpg", "s422.jpg", "s411_17x9_restart1b_opt.jpg"}) {
        const Bytes whole = Stream(name);
        const size_t data = jpegedit::ScanData(whole, FindMarker(whole, 0xDA)), size = whole.size() - data;
        std::vector<std::pair<Bytes, std::set<uint32_t>>> streams;
        for (size_t cut : {data + 1, data + size / 3, data + size * 2 / 3, data + size * 9 / 10})
            for (const Bytes& pad : {Bytes{}, Bytes(cut % 2, 0)})
                streams.emplace_back(Splice(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)),
                                            cut, 0, pad),
                                     cut + 2 < whole.size() ? lost : noEnd);
        for (size_t k = 1; k <= 16 && k < size; ++k)
            for (const Bytes& pad : {Bytes{}, Bytes{0}}) {
                const Bytes cut = Splice(whole, whole.size() - k, k, pad);
                streams.emplace_back(cut, k <= 2 ? noEnd : (pad.empty() || padByte(cut) ? lost : lostOrNoEnd));
            }
        for (uint8_t pad : {0x00, 0xFF, 0x20})
            for (uint32_t generic : {0u, 1u}) {
                Decoder plain(whole), d(Splice(whole, whole.size(), 0, {pad}));
                plain.ctx->testGenericOnly = d.ctx->testGenericOnly = generic;
                EXPECT_TRUE(d.Run().pixels == plain.Run().pixels && d.Worst() == kJpegOk) << int{pad};
            }
        for (const auto& [stream, kinds] : streams) {
            SCOPED_TRACE(std::string(name) + " cut to " + std::to_string(stream.size()) + " bytes");
            const jpegoracle::Image ref =
                jpegoracle::Decode(padByte(stream) ? Bytes(stream.begin(), stream.end() - 1) : stream);
            ASSERT_TRUE(ref.ok);
            for (int k = -1; k < jpegkernels::kProcessorColumns; ++k) {
                PinnedColumn pinned(k < 0 ? 0 : k);
                Decoder d(stream);
                d.ctx->testGenericOnly = k < 0;
                const jpegoracle::Image image = d.Run();
                ASSERT_TRUE(image.ok);
                EXPECT_EQ(d.Worst(), kJpegWarnCorruptData);
                EXPECT_EQ(kinds.count(JpegDamage(d.ctx)), 1u) << JpegDamage(d.ctx);
                const uint32_t w = d.ctx->mcuWidth[0], h = d.ctx->componentRows[0].plane.rows;
                std::set<uint32_t> apart;  // MCUs (y << 16 | x) with samples apart from libjpeg's
                for (uint32_t y = 0; y < ref.height; ++y)
                    for (uint32_t x = 0; x < ref.width; ++x)
                        for (uint32_t c = 0; c < ref.channels; ++c)
                            if (std::abs(image.at(x, y, c) - ref.at(x, y, c)) > 1) {
                                apart.insert(y / h << 16 | x / w);
                                EXPECT_EQ(image.at(x, y, c), 128);
                            }
                EXPECT_LE(apart.size(), 1u);
            }
        }
    }
}

struct CountingMemory {
    size_t zeroed = 0;
    static void* Allocate(void*, size_t n) { return std::malloc(n); }
    static void Free(void*, void* p) { std::free(p); }
    static void* AllocateZeroed(void* user, size_t n) {
        static_cast<CountingMemory*>(user)->zeroed += n;
        return std::calloc(n, 1);
    }
};

// The coefficient store of a progressive frame: within the memory limit it
// comes from the allocator's zeroed allocation (untouched pages), over it
// the start fails as out of memory. The 23168 x 23168 frame of end-of-band
// runs (its store just under 1 GiB) decodes mid-grey; at 23200 x 23200 it is
// over the default limit.
TEST(JpegHostileStreams, CoefficientStoreWithinTheMemoryLimit) {
    struct Case {
        Bytes stream;
        uint64_t limit;
        JpegStatus start;
        size_t store;
    };
    const Bytes prog = Stream("prog_s420.jpg");  // 4 x 6 MCUs of 6 blocks
    const Case cases[] = {
        {prog, 72 * 128, kJpegOk, 72 * 128},
        {prog, 72 * 128 - 1, kJpegEndOrNoMemory, 0},
        {HostileStream("prog_23168_eob_runs"), kJpegDefaultMemoryLimit, kJpegOk, size_t{2896} * 2896 * 128},
        {HostileStream("prog_23200_eob_runs"), kJpegDefaultMemoryLimit, kJpegEndOrNoMemory, 0},
    };
    InitJpegLibrary(nullptr, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        CountingMemory memory;
        const JpegAllocatorRecord allocator{CountingMemory::Allocate, CountingMemory::Free,
                                           CountingMemory::AllocateZeroed};
        JpegSourceRecord source;
        const auto size = static_cast<uint32_t>(c.stream.size());
        ASSERT_TRUE(CreateMemorySource(c.stream.data(), size, &allocator, &memory, &source));
        JpegStatus st = 0;
        JpegDecoderContext* ctx = CreateDecompressor(&source, &allocator, &memory, &st);
        ASSERT_GE(ReadHeader(ctx, kJpegColorAsStored, 0, nullptr), 1);
        if (c.limit != kJpegDefaultMemoryLimit) SetMemoryLimit(ctx, c.limit);
        EXPECT_EQ(StartDecompress(ctx), c.start);
        if (c.start == kJpegOk) {
            std::vector<uint8_t> row(size_t{JpegWidth(ctx)} * JpegOutChannels(ctx));
            EXPECT_EQ(ReadRows(ctx, row.data()), kJpegOk);
            if (JpegWidth(ctx) > 10000) {
                EXPECT_EQ(row, std::vector<uint8_t>(row.size(), 128));
            }
        }
        EXPECT_EQ(memory.zeroed, c.store);
        DestroyDecompressor(ctx);
    }
    ReleaseJpegLibrary(nullptr, nullptr);
}

// Damage in a sequential scan without restart intervals passes over the
// rest of the scan, on the kernel path of every column (where a row of MCUs
// goes in one call) and on the generic path: the warning, every row, a
// prefix of MCUs within 1 of libjpeg's decoding of the undamaged stream and
// every MCU from the damaged one on mid-grey; the kernel columns 1 to 5 give
// the same samples.
TEST(JpegHostileStreams, DamageWithoutRestartIntervalsEndsTheScan) {
    for (const char* name : {"grey.jpg", "s420.jpg", "s444.jpg", "grey_4097x3.jpg", "s420_4097x3.jpg"}) {
        const Bytes good = Stream(name);
        const jpegoracle::Image ref = jpegoracle::Decode(good);
        const size_t data = jpegedit::ScanData(good, FindMarker(good, 0xDA));
        for (int third : {1, 2}) {
            SCOPED_TRACE(std::string(name) + " third " + std::to_string(third));
            const size_t at = data + (good.size() - 2 - data) * static_cast<size_t>(third) / 3;
            const Bytes damaged = OnesIn(good, {at, at + 6});
            std::vector<jpegoracle::Image> columns;
            for (int k = -1; k < jpegkernels::kProcessorColumns; ++k) {
                PinnedColumn pinned(k < 0 ? 0 : k);
                Decoder d(damaged);
                d.ctx->testGenericOnly = k < 0;
                columns.push_back(d.Run());
                const jpegoracle::Image& image = columns.back();
                ASSERT_TRUE(image.ok);
                EXPECT_EQ(d.Worst(), kJpegWarnCorruptData);
                EXPECT_EQ(JpegDamage(d.ctx), kJpegDamageLost);
                // MCUs in scan order; the grey ones from `first` on.
                const uint32_t w = d.ctx->mcuWidth[0], h = d.ctx->componentRows[0].plane.rows;
                const uint32_t across = (ref.width + w - 1) / w, count = across * ((ref.height + h - 1) / h);
                auto mcu = [&](uint32_t m, auto&& test) {
                    for (uint32_t y = m / across * h; y < std::min(ref.height, (m / across + 1) * h); ++y)
                        for (uint32_t x = m % across * w; x < std::min(ref.width, (m % across + 1) * w); ++x)
                            for (uint32_t c = 0; c < ref.channels; ++c)
                                if (!test(image.at(x, y, c), ref.at(x, y, c))) return false;
                    return true;
                };
                uint32_t first = count;
                while (first > 0 && mcu(first - 1, [](int v, int) { return v == 128; })) --first;
                EXPECT_TRUE(first > 0 && first < count) << first;
                for (uint32_t m = 0; m < first; ++m)
                    ASSERT_TRUE(mcu(m, [](int v, int r) { return std::abs(v - r) <= 1; })) << "MCU " << m;
            }
            for (size_t i = 3; i < columns.size(); ++i) EXPECT_TRUE(columns[i].pixels == columns[2].pixels) << i - 1;
        }
    }
}

// Bytes before the marker that ends a scan or restart interval whose last
// unit decoded, on the generic path and the kernel path of every column:
// data (32 bytes, one zero byte, a stuffed 0xFF) is left over, with the
// warning; 0xFF fill is not. The picture is the one of the stream without
// them either way.
TEST(JpegHostileStreams, DataLeftOverBeforeTheMarkerAfterAScanOrInterval) {
    const Bytes junk(32, 0x5A), zero(1, 0), stuffed = {0xFF, 0x00}, fill(5, 0xFF);
    // 0xFF and a reserved code (no marker), then junk.
    const Bytes reserved = {0xFF, 0x5A, 0x01, 0x02, 0xFF, 0xFF, 0x30};
    auto lossless = [](const std::string& name) {
        return jpegoracle::ReadFile(std::string(TEST_DATA_DIR) + "/jpegkernels/lossless/" + name);
    };
    auto dicom = [](const std::string& name) {
        return Codestream(jpegoracle::ReadFile(Fixture("lossless_dicom/" + name + ".dcm")));
    };
    struct Case {
        Bytes stream;
        uint8_t marker;  // the bytes go before the first one
        const Bytes& bytes;
        uint32_t damage;
    };
    const Case cases[] = {
        {Stream("s420.jpg"), 0xD9, junk, kJpegDamageLeftOver},
        {Stream("s420.jpg"), 0xD9, zero, kJpegDamageLeftOver},
        {Stream("s420.jpg"), 0xD9, fill, 0},
        {Stream("separate_scans.jpg"), 0xD9, stuffed, kJpegDamageLeftOver},
        {Stream("s420_restart.jpg"), 0xD0, junk, kJpegDamageLeftOver},
        {Stream("s420_restart.jpg"), 0xD2, stuffed, kJpegDamageLeftOver},
        {Stream("s420_restart.jpg"), 0xD3, fill, 0},
        {Stream("prog_s420.jpg"), 0xD9, junk, kJpegDamageLeftOver},
        {Stream("prog_s420.jpg"), 0xD9, zero, kJpegDamageLeftOver},
        {Stream("prog_s420.jpg"), 0xD9, fill, 0},
        {Stream("prog_s422_restart.jpg"), 0xD1, junk, kJpegDamageLeftOver},
        {Stream("prog_s422_restart.jpg"), 0xD1, fill, 0},
        {Stream("s420.jpg"), 0xD9, reserved, kJpegDamageLeftOver},
        {lossless("g16_sv1_pt0.jpg"), 0xD9, junk, kJpegDamageLeftOver},
        {lossless("g16_sv1_pt0.jpg"), 0xD9, reserved, kJpegDamageLeftOver},
        {lossless("g12_sv2_pt0.jpg"), 0xD9, zero, kJpegDamageLeftOver},
        {lossless("c8_sv1_pt0.jpg"), 0xD9, junk, kJpegDamageLeftOver},
        {lossless("c8_sv1_pt0.jpg"), 0xD9, zero, kJpegDamageLeftOver},
        {lossless("g8_sv1_pt0.jpg"), 0xD9, fill, 0},
        {dicom("ct16_restart2"), 0xD0, junk, kJpegDamageLeftOver},
        {dicom("ct16_restart2"), 0xD1, fill, 0},
        {dicom("rgb8_restart3_sv6"), 0xD0, stuffed, kJpegDamageLeftOver},
    };
    for (const Case& c : cases) {
        // Before the marker's fill bytes too.
        size_t at = c.marker == 0xD9 ? c.stream.size() - 2 : FindMarker(c.stream, c.marker);
        while (c.stream[at - 1] == 0xFF) --at;
        for (int k = -1; k < jpegkernels::kProcessorColumns; ++k) {
            SCOPED_TRACE(std::to_string(c.stream.size()) + " bytes, marker " + std::to_string(c.marker) + ", " +
                         std::to_string(c.bytes.size()) + " bytes before it, column " + std::to_string(k));
            PinnedColumn pinned(k < 0 ? 0 : k);
            Decoder plain(c.stream), d(Splice(c.stream, at, 0, c.bytes));
            plain.ctx->testGenericOnly = d.ctx->testGenericOnly = k < 0 && !IsLossless(d.ctx);
            const jpegoracle::Image image = d.Run();
            ASSERT_TRUE(image.ok);
            EXPECT_TRUE(image.pixels == plain.Run().pixels);
            EXPECT_EQ(d.Worst(), c.damage ? kJpegWarnCorruptData : kJpegOk);
            EXPECT_EQ(JpegDamage(d.ctx), c.damage);
        }
    }
}

// The first marker from `at` on.
size_t NextMarker(const Bytes& b, size_t at) {
    while (!(b[at] == 0xFF && b[at + 1] != 0x00)) ++at;
    return at;
}

// The stream without the last byte of data before the first marker from
// `at` on (both bytes of a stuffed 0xFF).
Bytes WithoutLastByteBefore(const Bytes& b, size_t at) {
    const size_t m = NextMarker(b, at);
    const size_t from = m >= 2 && b[m - 1] == 0x00 && b[m - 2] == 0xFF ? m - 2 : m - 1;
    return Splice(b, from, m - from);
}

// One-byte flips over the coded data of the scans of baseline and
// progressive streams against libjpeg, on the kernel path and the generic
// path: a flip libjpeg warns about gives the warning here too (one that
// makes a marker of a bad length fails in both). One it decodes without a
// warning, to samples within 1 of ours, gives none, but where data is left
// over that libjpeg's read-ahead drops in silence (whole bytes of its bit
// buffer once it has met the marker): libjpeg then decodes the stream the
// same without the last byte before the marker that ends the flip's scan or
// interval, or a later scan (which in a progressive frame reads what the
// flip changed). A warning comes with its kinds of damage, and kinds only
// with a warning; a progressive frame decoded without one is libjpeg's
// picture.
TEST(JpegHostileStreams, FlippedBytesWarnWhereLibjpegDoes) {
    for (const char* name : {"s420.jpg", "s420_restart.jpg", "prog_grey_128x96.jpg", "prog_script.jpg",
                             "prog_s422_restart.jpg"}) {
        const Bytes good = Stream(name);
        for (size_t at : jpegedit::CodedData(good))
            for (uint8_t mask : {0x01, 0x10, 0x80}) {
                Bytes flipped = good;
                flipped[at] ^= mask;
                const int warnings = jpegoracle::Warnings(flipped);
                const jpegoracle::Image ref = jpegoracle::Decode(flipped);
                for (uint32_t generic : {0u, 1u}) {
                    SCOPED_TRACE(std::string(name) + " at " + std::to_string(at) + " mask " + std::to_string(mask) +
                                 " generic " + std::to_string(generic));
                    Decoder d(flipped);
                    d.ctx->testGenericOnly = generic;
                    const jpegoracle::Image image = d.Run();
                    if (!image.ok) {
                        EXPECT_EQ(warnings, -1);
                        continue;
                    }
                    const uint32_t damage = JpegDamage(d.ctx);
                    const int apart = jpegoracle::MaxDifference(image, ref);
                    EXPECT_EQ(damage != 0, d.Worst() == kJpegWarnCorruptData);
                    if (warnings != 0) {
                        EXPECT_EQ(d.Worst(), kJpegWarnCorruptData);
                    }
                    if (damage == 0 && IsProgressive(d.ctx)) {
                        EXPECT_LE(apart, 1);
                    }
                    if (warnings != 0 || damage == 0 || apart > 1) continue;
                    EXPECT_EQ(damage, kJpegDamageLeftOver);
                    bool dropped = false;
                    for (size_t from = at; !dropped && from + 2 < flipped.size(); from = NextMarker(flipped, from) + 2)
                        dropped = jpegoracle::Decode(WithoutLastByteBefore(flipped, from)).pixels == ref.pixels;
                    EXPECT_TRUE(dropped);
                }
            }
    }
}

}  // namespace
