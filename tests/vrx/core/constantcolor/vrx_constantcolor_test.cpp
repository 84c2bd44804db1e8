#include "vrx/core/constantcolor/vrx_constantcolor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/vrx/core/convertdatatype/convert_test_support.h"

namespace {

using namespace vrx_convert_test;

// The lines of a constant image of format f and colour values.
template <class V>
std::vector<uint8_t> constant(const Format& f, std::vector<V> values) {
    VRX_DefaultManager manager;
    VRX_Header header(&manager);
    describe(header, f);
    VRX_Vector<V> color(&manager);
    for (V v : values) color.push_back(v);
    VRX_Engine* head = VRX_ConstantColor(&manager).engine(&header, color);
    std::vector<uint8_t> out;
    EXPECT_NE(head, nullptr);
    if (head) {
        EXPECT_TRUE(take_lines(head, out));
    }
    EXPECT_NO_ERROR(manager);
    return out;
}

// Every pixel of every line holds the colour, per sample type and through
// the overload that reaches it; extra values are ignored.
template <class T, class V>
void check_type(std::vector<V> values) {
    SCOPED_TRACE(testing::Message() << sizeof(T) * 8 << " " << typeid(T).name());
    const Format f = format_of<T>(5, 3, 3);
    const std::vector<T> got = from_bytes<T>(constant(f, values));
    ASSERT_EQ(got.size(), 5u * 3 * 3);
    for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], static_cast<T>(values[i % 3])) << i;
}

TEST(ConstantColor, EverySampleType) {
    check_type<uint8_t, unsigned>({255, 0, 16, 99});
    check_type<uint16_t, unsigned>({65535, 1, 300});
    check_type<uint32_t, unsigned>({4294967295u, 7, 0});
    check_type<int8_t, int>({-128, 127, 0});
    check_type<int16_t, int>({-32768, 32767, -1});
    check_type<int32_t, int>({-2147483647 - 1, 2147483647, 5});
    check_type<float, float>({-1.5f, 3e38f, 0.25f});
    check_type<double, double>({-1e300, 1e-300, 2.5});
    EXPECT_EQ(constant(format_of<uint8_t>(3, 1, 3), std::vector<unsigned>{255, 0, 16}),
              (std::vector<uint8_t>{0xFF, 0x00, 0x10, 0xFF, 0x00, 0x10, 0xFF, 0x00, 0x10}));
}

TEST(ConstantColor, OneBitLines) {
    Format f;
    f.width = 5;
    f.height = 2;
    f.bits = 1;
    // One channel: every bit of the line, padding included.
    EXPECT_EQ(constant(f, std::vector<unsigned>{1}), (std::vector<uint8_t>{0xFF, 0xFF}));
    EXPECT_EQ(constant(f, std::vector<unsigned>{0}), (std::vector<uint8_t>{0x00, 0x00}));
    f.width = 3;
    f.height = 1;
    f.channels = 3;
    f.color = VRX_ColorType::s_rgb();
    EXPECT_EQ(constant(f, std::vector<unsigned>{1, 0, 7}), (std::vector<uint8_t>{0xB6, 0x80}));
    f.channels = 4;
    f.color = VRX_ColorType::cmyk();
    EXPECT_EQ(constant(f, std::vector<unsigned>{0, 1, 0, 1}), (std::vector<uint8_t>{0x55, 0x50}));
}

}  // namespace
