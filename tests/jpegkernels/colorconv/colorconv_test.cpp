// Rows 1 to 6: every column against the two arithmetic rules, across
// columns at every output offset, and with the source ending right before an
// inaccessible page; the decoder's interleaving companion pixel by pixel.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <random>

#include "jpegkernels/colorconv/colorconv_kernels.h"
#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/column_harness.h"

namespace jpegkernels {
namespace {

using testing::ColumnResult;
using testing::GuardedArray;

// The three numbers of one row: MCU width and height factors, conversion.
struct McuShape {
    int h, v;
    bool convert;
};

// The expected planes of one MCU, written out from the two rules.
struct Planes {
    std::vector<int16_t> y, cb, cr;
};

Planes Model(const uint8_t* source, int32_t rowStep, McuShape shape, bool processor) {
    const int h = shape.h, v = shape.v, k = (h - 1) + (v - 1), n = h * v;
    Planes p{std::vector<int16_t>(64 * static_cast<size_t>(n)), std::vector<int16_t>(64), std::vector<int16_t>(64)};
    auto px = [&](int r, int c, int ch) { return static_cast<int32_t>(source[static_cast<int64_t>(r) * rowStep + 3 * c + ch]); };
    for (int r = 0; r < 8 * v; ++r) {
        for (int c = 0; c < 8 * h; ++c) {
            const int32_t R = px(r, c, 0), G = px(r, c, 1), B = px(r, c, 2);
            int32_t y = R - 128;
            if (shape.convert) {
                y = processor ? (4899 * R + 9617 * G + 1868 * B - 2088960) >> 14 : ((19595 * R + 38470 * G + 7471 * B) >> 16) - 128;
            }
            p.y[static_cast<size_t>(128 * (r / 8) + 64 * (c / 8) + 8 * (r % 8) + c % 8)] = static_cast<int16_t>(y);
        }
    }
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 8; ++j) {
            int32_t s[3] = {};
            for (int dy = 0; dy < v; ++dy) {
                for (int dx = 0; dx < h; ++dx) {
                    for (int ch = 0; ch < 3; ++ch) s[ch] += px(v * i + dy, h * j + dx, ch);
                }
            }
            int32_t cb = (s[1] - 128 * n) >> k, cr = (s[2] - 128 * n) >> k;
            if (shape.convert && processor) {
                cb = (-2764 * s[0] - 5428 * s[1] + 8192 * s[2] + (8192 << k)) >> (14 + k);
                cr = (8192 * s[0] - 6860 * s[1] - 1332 * s[2] + (8192 << k)) >> (14 + k);
            } else if (shape.convert) {
                cb = (-11059 * s[0] - 21709 * s[1] + 32768 * s[2]) >> (16 + k);
                cr = (32768 * s[0] - 27439 * s[1] - 5329 * s[2]) >> (16 + k);
            }
            p.cb[static_cast<size_t>(8 * i + j)] = static_cast<int16_t>(cb);
            p.cr[static_cast<size_t>(8 * i + j)] = static_cast<int16_t>(cr);
        }
    }
    return p;
}

using McuEntry = KernelStatus (*)(const uint8_t*, int32_t, int16_t* const*);

struct RowCase {
    KernelRow row;
    McuShape shape;
    std::array<McuEntry, kProcessorColumns> entries;
};

template <KernelRow R>
RowCase Case(McuShape shape) {
    RowCase c{R, shape, {}};
    for (int k = 0; k < kProcessorColumns; ++k) c.entries[static_cast<size_t>(k)] = kKernelDispatchTable.Row<R>()[k];
    return c;
}

std::vector<RowCase> AllRows() {
    return {Case<KernelRow::RgbToYCbCrLevelShift444>({1, 1, true}), Case<KernelRow::RgbToYCbCrLevelShift422>({2, 1, true}),
            Case<KernelRow::RgbToYCbCrLevelShift420>({2, 2, true}), Case<KernelRow::LevelShiftSplit444>({1, 1, false}),
            Case<KernelRow::LevelShiftSplit422>({2, 1, false}), Case<KernelRow::LevelShiftSplit420>({2, 2, false})};
}

// Random MCUs at every output offset 0..15 (Y, Cb and Cr each apart), with a
// tight or a padded row step: each column equals its rule's model, and the
// columns agree in their groups. Row 3 with Y off a 16-byte boundary runs
// the generic rule at indexes 2, 4 and 5.
TEST(McuRows, EveryColumnFollowsItsRuleAtEveryOffset) {
    std::mt19937 rng(17);
    for (const RowCase& rc : AllRows()) {
        SCOPED_TRACE(static_cast<int>(rc.row));
        const int h = rc.shape.h, v = rc.shape.v;
        for (size_t round = 0; round < 64; ++round) {
            const size_t offset = round % 16;
            const int32_t step = 24 * h + static_cast<int32_t>(rng() % 2 ? 0 : rng() % 40);
            std::vector<uint8_t> source(static_cast<size_t>(step) * (8 * v - 1) + 24 * h);
            for (uint8_t& b : source) b = static_cast<uint8_t>(rng() % 4 == 0 ? (rng() % 2) * 255 : rng());
            const bool generic3 = rc.row == KernelRow::RgbToYCbCrLevelShift420 && offset % 8 != 0;
            std::array<ColumnResult, kProcessorColumns> results;
            for (int k = 0; k < kProcessorColumns; ++k) {
                GuardedArray<int16_t> y(64 * static_cast<size_t>(h * v), offset), cb(64, (offset + 5) % 16), cr(64, (offset + 11) % 16);
                int16_t* planes[3] = {y.data(), cb.data(), cr.data()};
                ColumnResult& r = results[static_cast<size_t>(k)];
                r.status = rc.entries[static_cast<size_t>(k)](source.data(), step, planes);
                r.output = y.Bytes();
                for (auto* p : {&cb, &cr}) {
                    const auto bytes = p->Bytes();
                    r.output.insert(r.output.end(), bytes.begin(), bytes.end());
                }
                r.guardsIntact = y.GuardsIntact() && cb.GuardsIntact() && cr.GuardsIntact();
                const bool processor = k != 0 && !(generic3 && k != 1 && k != 3);
                const Planes m = Model(source.data(), step, rc.shape, processor);
                ASSERT_EQ(r.status, kKernelOk);
                ASSERT_EQ(y.Values(), m.y) << "column " << k << " offset " << offset;
                ASSERT_EQ(cb.Values(), m.cb) << "column " << k;
                ASSERT_EQ(cr.Values(), m.cr) << "column " << k;
            }
            std::vector<std::vector<int>> groups = {{0, 1, 2, 3, 4, 5}};
            if (rc.shape.convert) groups = generic3 ? std::vector<std::vector<int>>{{0, 2, 4, 5}, {1, 3}} : std::vector<std::vector<int>>{{0}, {1, 2, 3, 4, 5}};
            // The groups are named here, so the row argument only labels the call.
            EXPECT_TRUE(testing::ColumnsAgree<KernelRow::LevelShiftSplit420>(results, groups));
        }
    }
}

// n bytes that end right before an inaccessible page.
class EndOfMapping {
public:
    explicit EndOfMapping(size_t n) {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        size_ = (n + page - 1) / page * page + page;
        base_ = static_cast<uint8_t*>(mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        mprotect(base_ + size_ - page, page, PROT_NONE);
        data_ = base_ + size_ - page - n;
    }
    ~EndOfMapping() { munmap(base_, size_); }
    uint8_t* data() { return data_; }

private:
    uint8_t* base_;
    uint8_t* data_;
    size_t size_;
};

TEST(McuRows, ReadNothingPastTheLastSample) {
    for (const RowCase& rc : AllRows()) {
        for (int32_t extra : {0, 3, 64}) {
            const int32_t step = 24 * rc.shape.h + extra;
            const size_t n = static_cast<size_t>(step) * (8 * rc.shape.v - 1) + 24 * static_cast<size_t>(rc.shape.h);
            EndOfMapping source(n);
            for (size_t i = 0; i < n; ++i) source.data()[i] = static_cast<uint8_t>(i * 7);
            for (int k = 0; k < kProcessorColumns; ++k) {
                alignas(16) int16_t y[256], cb[64], cr[64];
                int16_t* planes[3] = {y, cb, cr};
                EXPECT_EQ(rc.entries[static_cast<size_t>(k)](source.data(), step, planes), kKernelOk);
            }
        }
    }
}

// Row 1 over all 16,777,216 colours: the generic column by the 16-bit rule,
// the processor columns by the 14-bit rule, which exceeds it by 1 for
// 8,388,963 values of Y and 8,388,608 of Cb and of Cr.
TEST(McuRows, RowOneOverAllColours) {
    const auto& row = kKernelDispatchTable.Row<KernelRow::RgbToYCbCrLevelShift444>();
    for (int k = 0; k < kProcessorColumns; ++k) {
        SCOPED_TRACE(k);
        int64_t above[3] = {};
        uint8_t source[192];
        alignas(16) int16_t out[3][64];
        int16_t* planes[3] = {out[0], out[1], out[2]};
        for (uint32_t base = 0; base < (1u << 24); base += 64) {
            for (uint32_t i = 0; i < 64; ++i) {
                const uint32_t colour = base + i;
                source[3 * i] = static_cast<uint8_t>(colour >> 16);
                source[3 * i + 1] = static_cast<uint8_t>(colour >> 8);
                source[3 * i + 2] = static_cast<uint8_t>(colour);
            }
            ASSERT_EQ(row[k](source, 24, planes), kKernelOk);
            for (int i = 0; i < 64; ++i) {
                const int32_t r = source[3 * i], g = source[3 * i + 1], b = source[3 * i + 2];
                const int32_t generic[3] = {((19595 * r + 38470 * g + 7471 * b) >> 16) - 128,
                                            (-11059 * r - 21709 * g + 32768 * b) >> 16, (32768 * r - 27439 * g - 5329 * b) >> 16};
                const int32_t processor[3] = {(4899 * r + 9617 * g + 1868 * b - 2088960) >> 14,
                                              (-2764 * r - 5428 * g + 8192 * b + 8192) >> 14, (8192 * r - 6860 * g - 1332 * b + 8192) >> 14};
                for (int p = 0; p < 3; ++p) {
                    const int32_t got = out[p][i];
                    if (got != (k == 0 ? generic[p] : processor[p])) FAIL() << "colour " << base + i << " plane " << p;
                    above[p] += got == generic[p] + 1;
                }
            }
        }
        EXPECT_EQ(above[0], k == 0 ? 0 : 8388963);
        EXPECT_EQ(above[1], k == 0 ? 0 : 8388608);
        EXPECT_EQ(above[2], k == 0 ? 0 : 8388608);
    }
}

// The decoder's interleaving companion, every column: every width up to a
// few steps, chroma at full and at half width, each plane ending right
// before an inaccessible page, nothing written past the last pixel.
TEST(InterleaveCompanion, EveryColumnPixelByPixel) {
    std::mt19937 random(11);
    for (uint32_t halved : {0u, 1u}) {
        for (uint32_t n = 1; n < 70; ++n) {
            const uint32_t chroma = halved ? (n + 1) / 2 : n;
            EndOfMapping c0(n), c1(chroma), c2(chroma);
            for (uint32_t i = 0; i < n; ++i) c0.data()[i] = static_cast<uint8_t>(random());
            for (uint32_t i = 0; i < chroma; ++i) {
                c1.data()[i] = static_cast<uint8_t>(random());
                c2.data()[i] = static_cast<uint8_t>(random());
            }
            for (int k = 0; k < kProcessorColumns; ++k) {
                GuardedArray<uint8_t> out(3 * size_t{n}, static_cast<size_t>(k + n) % 16);
                kInterleaveSamples3[k](c0.data(), c1.data(), c2.data(), out.data(), n, halved);
                ASSERT_TRUE(out.GuardsIntact()) << "column " << k << " width " << n;
                for (uint32_t x = 0; x < n; ++x) {
                    const uint8_t* pixel = out.data() + 3 * size_t{x};
                    const uint32_t xc = x >> halved;
                    ASSERT_TRUE(pixel[0] == c0.data()[x] && pixel[1] == c1.data()[xc] && pixel[2] == c2.data()[xc])
                        << "column " << k << " width " << n << " halved " << halved << " pixel " << x;
                }
            }
        }
    }
}

}  // namespace
}  // namespace jpegkernels
