// The one-bit conversions at widths 1 to 17 and 1 to 4 channels: from one
// bit to every sample type against the model, the two-value expansion
// against the from-one-bit engine, and to one bit by the threshold.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tests/vrx/core/convertdatatype/convert_test_support.h"
#include "vrx/core/convert1to8xnbits/vrx_convert1to8xnbits.h"
#include "vrx/core/convertdatatype/vrx_convertdatatypefrom1bit.h"
#include "vrx/core/convertdatatype/vrx_convertdatatypeto1bit.h"

namespace {

using namespace vrx_convert_test;

Format one_bit(uint32_t width, uint16_t channels) { return image_format(width, 2, 1, channels); }

// Bit k of a packed one-bit image whose lines hold `per_line` samples.
bool bit_at(const std::vector<uint8_t>& bytes, size_t per_line, size_t k) {
    const size_t line = (per_line + 7) / 8, y = k / per_line, x = k % per_line;
    return (bytes[y * line + x / 8] >> (7 - x % 8)) & 1u;
}

// The lines a stage built by `make` yields over `bytes` of format f.
template <class Make>
std::vector<uint8_t> lines_of(const Format& f, const std::vector<uint8_t>& bytes, Make make) {
    VRX_DefaultManager manager;
    VRX_Engine* last = make(manager, read_memory(manager, f, bytes));
    std::vector<uint8_t> out;
    EXPECT_NE(last, nullptr);
    if (last) {
        EXPECT_TRUE(take_lines(last, out));
    }
    EXPECT_NO_ERROR(manager);
    return out;
}

template <class T>
void from_one_bit(const Format& f, const std::vector<uint8_t>& bytes, double gain, double offset) {
    const std::vector<T> got = from_bytes<T>(lines_of(f, bytes, [&](VRX_Manager& m, VRX_Engine* s) {
        return VRX_ConvertDataTypeFrom1bit(&m).engine(s, data_type_of<T>(), sizeof(T) * 8, gain,
                                                      offset);
    }));
    const size_t per_line = size_t{f.width} * f.channels;
    ASSERT_EQ(got.size(), per_line * f.height);
    for (size_t k = 0; k < got.size(); ++k) {
        const T want = saturated<T>(mapped(bit_at(bytes, per_line, k), gain, offset));
        ASSERT_EQ(got[k], want) << k;
    }
}

template <class T>
void two_values(const Format& f, const std::vector<uint8_t>& bytes, int32_t zero, int32_t one) {
    const uint16_t bits = sizeof(T) * 8;
    auto expanded = lines_of(f, bytes, [&](VRX_Manager& m, VRX_Engine* s) {
        return VRX_Convert1To8xNBits(&m).engine(s, data_type_of<T>(), bits, zero, one);
    });
    auto general = lines_of(f, bytes, [&](VRX_Manager& m, VRX_Engine* s) {
        return VRX_ConvertDataTypeFrom1bit(&m).engine(s, data_type_of<T>(), bits, one - zero, zero);
    });
    EXPECT_EQ(expanded, general);
}

template <class T>
void to_one_bit(uint32_t width, uint16_t channels, std::mt19937& random, double gain,
                double offset) {
    Format f = format_of<T>(width, 2, channels);
    std::vector<T> samples(size_t{width} * channels * 2);
    for (T& v : samples) v = static_cast<T>(static_cast<int32_t>(random() % 41) - 20);
    const std::vector<uint8_t> got =
        lines_of(f, to_bytes(samples), [&](VRX_Manager& m, VRX_Engine* s) {
            return VRX_ConvertDataTypeTo1bit(&m).engine(s, VRX_DataType::u_integer(), gain, offset);
        });
    const size_t per_line = size_t{width} * channels, line = (per_line + 7) / 8;
    ASSERT_EQ(got.size(), line * 2);
    for (size_t k = 0; k < samples.size(); ++k)
        ASSERT_EQ(bit_at(got, per_line, k), static_cast<double>(samples[k]) * gain >= 0.5 - offset)
            << k;
    // The bits after the last sample of a line stay 0.
    if (per_line % 8 != 0) {
        for (size_t y = 0; y < 2; ++y)
            EXPECT_EQ(got[y * line + line - 1] & (0xFFu >> (per_line % 8)), 0u);
    }
}

TEST(OneBit, EveryWidthAndChannelCount) {
    std::mt19937 random(17);
    for (uint32_t width = 1; width <= 17; ++width)
        for (uint16_t channels = 1; channels <= 4; ++channels) {
            SCOPED_TRACE(testing::Message() << width << " x " << channels);
            const Format f = one_bit(width, channels);
            std::vector<uint8_t> bytes(line_bytes(f) * f.height);
            for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
            from_one_bit<uint8_t>(f, bytes, 300, 0);
            from_one_bit<uint8_t>(f, bytes, -2, 1);
            from_one_bit<int8_t>(f, bytes, -1.5, 0);
            from_one_bit<uint16_t>(f, bytes, 1000.5, -0.5);
            from_one_bit<int16_t>(f, bytes, -70000, 3);
            from_one_bit<uint32_t>(f, bytes, 4294967296.0, 0.5);
            from_one_bit<int32_t>(f, bytes, -2.5, 0);
            from_one_bit<float>(f, bytes, 0.1, 0.2);
            from_one_bit<double>(f, bytes, 1e300, -1e300);
            two_values<uint8_t>(f, bytes, 0, 255);
            two_values<int8_t>(f, bytes, 127, -128);
            two_values<uint16_t>(f, bytes, 65535, 1);
            two_values<int16_t>(f, bytes, -32768, 5);
            to_one_bit<uint8_t>(width, channels, random, 1, 0);
            to_one_bit<int8_t>(width, channels, random, 1, 0.5);
            to_one_bit<uint16_t>(width, channels, random, 1.0 / 255, 0);
            to_one_bit<int16_t>(width, channels, random, -0.25, 0);
            to_one_bit<uint32_t>(width, channels, random, 3, -10);
            to_one_bit<int32_t>(width, channels, random, 0.5, 0.25);
            to_one_bit<float>(width, channels, random, 1, 0);
            to_one_bit<double>(width, channels, random, -1, 0.5);
        }
}

TEST(OneBit, DocumentedValues) {
    const Format f = one_bit(8, 1);
    auto expand = [&](uint8_t byte) {
        std::vector<uint8_t> bytes = {byte, byte};
        return lines_of(f, bytes, [](VRX_Manager& m, VRX_Engine* s) {
            return VRX_Convert1To8xNBits(&m).engine(s, VRX_DataType::u_integer(), 8, 0, 255);
        });
    };
    const std::vector<uint8_t> expanded = expand(0xA0);
    ASSERT_EQ(expanded.size(), 16u);
    EXPECT_EQ(std::vector<uint8_t>(expanded.begin(), expanded.begin() + 8),
              (std::vector<uint8_t>{255, 0, 255, 0, 0, 0, 0, 0}));
    // To one bit with gain 1/255: 128 gives 1, 127 gives 0.
    const std::vector<uint8_t> bits =
        lines_of(format_of<uint8_t>(2, 1), {128, 127}, [](VRX_Manager& m, VRX_Engine* s) {
            return VRX_ConvertDataTypeTo1bit(&m).engine(s, VRX_DataType::u_integer(), 1.0 / 255, 0);
        });
    EXPECT_EQ(bits, (std::vector<uint8_t>{0x80}));
}

}  // namespace
