#include "jpegkernels/memory/kernel_memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "jpegkernels/cpu/cache_info.h"

namespace jpegkernels {
namespace {

constexpr uint8_t kGuard = 0xA5;
constexpr size_t kMargin = 64;

// A 4096-aligned buffer with guard bytes, so pointers of every alignment
// class can be formed and stray writes seen.
class Arena {
public:
    explicit Arena(size_t size) : size_(size + 2 * kMargin + 4096) {
        base_ = static_cast<uint8_t*>(std::aligned_alloc(4096, (size_ + 4095) / 4096 * 4096));
        std::memset(base_, kGuard, size_);
    }
    ~Arena() { std::free(base_); }
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    uint8_t* At(size_t offset) { return base_ + kMargin + offset; }
    uint8_t* base() { return base_; }
    size_t size() const { return size_; }
    void Reset() { std::memset(base_, kGuard, size_); }

private:
    size_t size_;
    uint8_t* base_;
};

// Every byte outside [begin, end) still holds the guard value.
::testing::AssertionResult GuardsIntact(Arena& a, const uint8_t* begin, const uint8_t* end) {
    for (uint8_t* p = a.base(); p < a.base() + a.size(); ++p) {
        if ((p < begin || p >= end) && *p != kGuard) {
            return ::testing::AssertionFailure() << "byte written at " << (p - begin) << " from the start";
        }
    }
    return ::testing::AssertionSuccess();
}

std::vector<int32_t> SmallCounts() {
    std::vector<int32_t> counts;
    for (int32_t c = -2; c <= 140; ++c) counts.push_back(c);
    for (int32_t c : {255, 256, 257, 511, 512, 513, 1028, 1644, 4099}) counts.push_back(c);
    return counts;
}

class MemoryHelpers : public ::testing::TestWithParam<int> {
protected:
    const KernelMemoryHelpers& helpers() const { return kKernelMemoryHelpers[GetParam()]; }
};

TEST_P(MemoryHelpers, ZeroWritesExactlyTheCountBytes) {
    Arena a(4200);
    for (size_t offset = 0; offset < 16; ++offset) {
        for (int32_t count : SmallCounts()) {
            a.Reset();
            uint8_t* d = a.At(offset);
            ASSERT_EQ(helpers().zero(d, count), d);
            const int32_t n = count < 0 ? 0 : count;
            for (int32_t i = 0; i < n; ++i) ASSERT_EQ(d[i], 0) << "offset " << offset << " count " << count;
            ASSERT_TRUE(GuardsIntact(a, d, d + n)) << "offset " << offset << " count " << count;
        }
    }
}

TEST_P(MemoryHelpers, CopyWritesExactlyTheSourceBytes) {
    Arena src(4200), dst(4200);
    std::mt19937 rng(7);
    for (size_t i = 0; i < src.size(); ++i) src.base()[i] = static_cast<uint8_t>(rng());
    for (size_t so = 0; so < 16; ++so) {
        for (size_t doff = 0; doff < 16; ++doff) {
            for (int32_t count : SmallCounts()) {
                dst.Reset();
                const uint8_t* s = src.At(so);
                uint8_t* d = dst.At(doff);
                ASSERT_EQ(helpers().copy(s, d, count), d);
                const int32_t n = count < 0 ? 0 : count;
                ASSERT_EQ(std::memcmp(s, d, static_cast<size_t>(n)), 0)
                    << "source " << so << " destination " << doff << " count " << count;
                ASSERT_TRUE(GuardsIntact(dst, d, d + n));
            }
        }
    }
}

// Source and destination both 16-byte aligned at page distances on either
// side of the forward/backward choice.
TEST_P(MemoryHelpers, CopyOfAlignedAreasAtEveryPageDistance) {
    Arena src(12288), dst(12288);
    std::mt19937 rng(11);
    for (size_t i = 0; i < src.size(); ++i) src.base()[i] = static_cast<uint8_t>(rng());
    for (size_t so : {0, 16, 160, 176, 4000, 4080}) {
        for (size_t doff : {0, 16, 160, 176, 4000, 4080}) {
            for (int32_t count : {64, 600, 1013, 4096 + 63}) {
                dst.Reset();
                const uint8_t* s = src.base() + 4096 + so;
                uint8_t* d = dst.base() + 4096 + doff;
                helpers().copy(s, d, count);
                ASSERT_EQ(std::memcmp(s, d, static_cast<size_t>(count)), 0) << so << " " << doff << " " << count;
                ASSERT_TRUE(GuardsIntact(dst, d, d + count));
            }
        }
    }
}

::testing::AssertionResult HoldsPattern(const uint8_t* p, int32_t words, uint32_t value) {
    for (int32_t i = 0; i < 4 * words; ++i) {
        if (p[i] != static_cast<uint8_t>(value >> (8 * (i % 4)))) {
            return ::testing::AssertionFailure() << "byte " << i << " of " << 4 * words;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_P(MemoryHelpers, Fill32StoresTheWordAtAnyByteAlignment) {
    Arena a(4 * 1100);
    const uint32_t value = 0x11223344;
    std::vector<int32_t> counts;
    for (int32_t c = -1; c <= 72; ++c) counts.push_back(c);
    for (int32_t c : {127, 128, 129, 300, 1027}) counts.push_back(c);
    for (size_t offset = 0; offset < 16; ++offset) {
        for (int32_t count : counts) {
            a.Reset();
            uint8_t* d = a.At(offset);
            ASSERT_EQ(helpers().fill32(value, d, count), d);
            const int32_t n = count < 0 ? 0 : count;
            ASSERT_TRUE(HoldsPattern(d, n, value)) << "offset " << offset << " count " << count;
            ASSERT_TRUE(GuardsIntact(a, d, d + 4 * n)) << "offset " << offset << " count " << count;
        }
    }
}

TEST_P(MemoryHelpers, CheckedCopyStatuses) {
    uint8_t s[32] = {1, 2, 3}, d[32] = {};
    EXPECT_EQ(helpers().copyChecked(nullptr, d, 4), kKernelNullPointer);
    EXPECT_EQ(helpers().copyChecked(s, nullptr, 4), kKernelNullPointer);
    EXPECT_EQ(helpers().copyChecked(s, d, 0), kKernelSizeBelowOne);
    EXPECT_EQ(helpers().copyChecked(s, d, -5), kKernelSizeBelowOne);
    EXPECT_EQ(d[0], 0);
    EXPECT_EQ(helpers().copyChecked(s, d, 3), kKernelOk);
    EXPECT_EQ(d[2], 3);
    EXPECT_EQ(d[3], 0);
}

// Large areas through every path: with no threshold, and with a threshold
// forced low enough that the streaming stores run on this machine too.
TEST_P(MemoryHelpers, LargeAreasWithAndWithoutStreaming) {
    constexpr int32_t kBytes = 1200 * 1024 + 13;
    Arena src(kBytes + 16), dst(kBytes + 16);
    std::mt19937 rng(3);
    for (size_t i = 0; i < src.size(); ++i) src.base()[i] = static_cast<uint8_t>(rng());
    for (int64_t threshold : {kNoStreamingThreshold, int64_t{600 * 1024}}) {
        SetStreamingThreshold(threshold);
        for (size_t so : {0, 3, 16}) {
            for (size_t doff : {0, 5}) {
                SCOPED_TRACE(::testing::Message() << "threshold " << threshold << " source " << so << " dest " << doff);
                dst.Reset();
                uint8_t* d = dst.At(doff);
                helpers().copy(src.At(so), d, kBytes);
                ASSERT_EQ(std::memcmp(src.At(so), d, kBytes), 0);
                ASSERT_TRUE(GuardsIntact(dst, d, d + kBytes));
                ASSERT_EQ(helpers().copyChecked(src.At(so), d + 1, kBytes - 1), kKernelOk);
                ASSERT_EQ(std::memcmp(src.At(so), d + 1, kBytes - 1), 0);

                dst.Reset();
                helpers().zero(d, kBytes);
                for (int32_t i = 0; i < kBytes; ++i) ASSERT_EQ(d[i], 0) << i;
                ASSERT_TRUE(GuardsIntact(dst, d, d + kBytes));

                dst.Reset();
                const int32_t words = kBytes / 4;
                helpers().fill32(0xCAFEF00D, d, words);
                ASSERT_TRUE(HoldsPattern(d, words, 0xCAFEF00D));
                ASSERT_TRUE(GuardsIntact(dst, d, d + 4 * words));
            }
        }
    }
    ResetStreamingThreshold();
}

INSTANTIATE_TEST_SUITE_P(ProcessorIndexes, MemoryHelpers, ::testing::Range(0, 6));

// The index 1 checked copy takes its non-temporal and page-wise copies from
// 8192 and 16384 bytes on.
TEST(MemoryHelpersIndex1, CheckedCopyLargePaths) {
    constexpr int32_t kMax = 70000;
    Arena src(kMax + 16), dst(kMax + 16);
    std::mt19937 rng(5);
    for (size_t i = 0; i < src.size(); ++i) src.base()[i] = static_cast<uint8_t>(rng());
    for (int32_t count : {8191, 8192, 12001, 16383, 16384, 20479, 20480, 20481, 50007, kMax}) {
        for (size_t so : {0, 1, 4, 8, 13}) {
            for (size_t doff : {0, 3, 8, 15}) {
                dst.Reset();
                uint8_t* d = dst.At(doff);
                ASSERT_EQ(KernelCopyChecked_Mmx(src.At(so), d, count), kKernelOk);
                ASSERT_EQ(std::memcmp(src.At(so), d, static_cast<size_t>(count)), 0) << count << " " << so << " " << doff;
                ASSERT_TRUE(GuardsIntact(dst, d, d + count));
            }
        }
    }
    // The page-wise copy's pieces on their own, small counts included.
    for (int32_t count : {0, 1, 17, 95, 96, 200}) {
        dst.Reset();
        KernelCopyNonTemporal_Mmx(src.At(1), dst.At(2), count);
        ASSERT_EQ(std::memcmp(src.At(1), dst.At(2), static_cast<size_t>(count)), 0) << count;
        ASSERT_TRUE(GuardsIntact(dst, dst.At(2), dst.At(2) + count));
    }
    KernelPrefetch_Mmx(src.At(0), 0);
    KernelPrefetch_Mmx(src.At(0), 5000);
}

}  // namespace
}  // namespace jpegkernels
