// LUT items read as dcmtk reads them: one entry per word or two 8-bit
// entries per word, a data length that overrides the descriptor's count,
// the bits per entry (masked, or found from the entries), a first mapped
// value of US or SS, and inputs outside the table.
#include "Source/zeblookuptable.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/vrx/extension/dicom/dicom_test_support.h"
#include "tests/vrx/extension/dicom/dicom_writer.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"

namespace {

using dicomtest::Writer;

struct Case {
    const char* name;
    const char* descriptorVr;
    std::vector<uint16_t> descriptor;
    std::vector<uint8_t> data;  // LUT Data bytes (OW)
    bool signedInput;
    // Expected: entries, first mapped value, bits, and the entry of each
    // input of `inputs`.
    uint32_t entries;
    int32_t first;
    uint16_t bits;
    std::vector<std::pair<int64_t, uint16_t>> inputs;
};

std::vector<uint8_t> words(const std::vector<uint16_t>& values) {
    std::vector<uint8_t> out;
    for (uint16_t v : values) out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)});
    return out;
}

TEST(LookupTable, ReadsAsDcmtk) {
    // clang-format off
    const Case cases[] = {
        {"a word per entry", "US", {4, 100, 16}, words({7, 8, 9, 65535}), false, 4, 100, 16,
         {{-3, 7}, {99, 7}, {100, 7}, {102, 9}, {103, 65535}, {5000, 65535}}},
        {"two 8-bit entries a word", "US", {5, 0, 8}, {10, 20, 30, 40, 50, 0}, false, 5, 0, 8,
         {{0, 10}, {1, 20}, {4, 50}, {9, 50}}},
        {"more words than entries", "US", {2, 0, 16}, words({1, 2, 3, 4}), false, 4, 0, 16,
         {{3, 4}}},
        {"bits beyond the entries masked", "US", {2, 0, 12}, words({0xF123, 0x0FFF}), false, 2, 0,
         12, {{0, 0x123}, {1, 0xFFF}}},
        {"bits from the largest entry", "US", {2, 0, 0}, words({3, 1000}), false, 2, 0, 10,
         {{1, 1000}}},
        {"a small largest entry is 8 bits", "US", {2, 0, 99}, words({3, 100}), false, 2, 0, 8,
         {{1, 100}}},
        {"SS first mapped", "SS", {3, 0xFFFB, 16}, words({1, 2, 3}), false, 3, -5, 16,
         {{-6, 1}, {-4, 2}, {0, 3}}},
        {"US first mapped for signed input", "US", {3, 0xFFFB, 16}, words({1, 2, 3}), true, 3,
         -5, 16, {{-5, 1}}},
        {"US first mapped for unsigned input", "US", {3, 0xFFFB, 16}, words({1, 2, 3}), false, 3,
         65531, 16, {{65530, 1}, {65533, 3}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Writer item(nullptr);
        item.element(0x0028, 0x3002, c.descriptorVr, words(c.descriptor));
        item.element(0x0028, 0x3006, "OW", c.data);
        Writer file;
        file.sequence(0x0028, 0x3010, {item.bytes()});
        dicomtest::Loaded<vrx::VRX_DICOMInfo> loaded(file.bytes());
        ASSERT_TRUE(loaded.ok);
        ZEBLookupTable lut;
        ASSERT_TRUE(lut.Read(loaded.info, 0x0028, 0x3010, c.signedInput));
        EXPECT_EQ(lut.Entries(), c.entries);
        EXPECT_EQ(lut.FirstMapped(), c.first);
        EXPECT_EQ(lut.Bits(), c.bits);
        for (const auto& [input, entry] : c.inputs) EXPECT_EQ(lut.Value(input), entry) << input;
    }

    // Without an item, a descriptor or data there is no table.
    Writer bare(nullptr);
    bare.element(0x0028, 0x3002, "US", words({2, 0, 16}));
    Writer file;
    file.sequence(0x0028, 0x3010, {bare.bytes()});
    dicomtest::Loaded<vrx::VRX_DICOMInfo> loaded(file.bytes());
    ZEBLookupTable lut;
    EXPECT_FALSE(lut.Read(loaded.info, 0x0028, 0x3010, false));
    EXPECT_FALSE(lut.Read(loaded.info, 0x0028, 0x3000, false));
    EXPECT_TRUE(lut.Empty());
}

}  // namespace
