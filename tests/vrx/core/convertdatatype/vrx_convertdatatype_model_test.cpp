// VRX_ConvertDataType against a long-double model: every pair of sample
// types, one-bit sources and targets, a table of gains and offsets, images
// below and above the lookup-table threshold, read from caller memory at an
// odd address. Whatever stage the creator picks, its samples must be the
// model's.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "tests/vrx/core/convertdatatype/convert_test_support.h"
#include "vrx/core/convertdatatype/vrx_convertdatatype.h"

namespace {

using namespace vrx_convert_test;

// A sample type: one of the eight whole-byte types, or one-bit.
struct Type {
    const char* name;
    const VRX_DataType* data_type;
    uint16_t bits;
};
const Type kU8{"u8", VRX_DataType::u_integer(), 8}, kS8{"s8", VRX_DataType::s_integer(), 8},
    kU16{"u16", VRX_DataType::u_integer(), 16}, kS16{"s16", VRX_DataType::s_integer(), 16},
    kU32{"u32", VRX_DataType::u_integer(), 32}, kS32{"s32", VRX_DataType::s_integer(), 32},
    kF32{"f32", VRX_DataType::floating(), 32}, kF64{"f64", VRX_DataType::floating(), 64},
    kBit{"bit", VRX_DataType::u_integer(), 1};
const Type kTypes[] = {kU8, kS8, kU16, kS16, kU32, kS32, kF32, kF64, kBit};

// Calls f(T{}) with the C++ type of a whole-byte Type.
template <class F>
void visit(const Type& t, F f) {
    const bool u = t.data_type->is_u_integer(), s = t.data_type->is_s_integer();
    switch (t.bits) {
        case 8:
            return u ? f(uint8_t{}) : f(int8_t{});
        case 16:
            return u ? f(uint16_t{}) : f(int16_t{});
        case 32:
            return u ? f(uint32_t{}) : s ? f(int32_t{}) : f(float{});
        default:
            return f(double{});
    }
}

// An image: `width` samples a line, values as long doubles.
struct Image {
    uint32_t width = 0;
    std::vector<long double> values;
    uint32_t height() const { return static_cast<uint32_t>(values.size() / width); }
};

// Test images of a source type. Small ones hold at most 2^bits samples (no
// table), large ones more.
Image source_image(const Type& t, bool large) {
    Image image;
    if (t.bits == 1) {
        image.width = 37;
        for (uint32_t i = 0; i < 37 * 3; ++i) image.values.push_back((i * 7 + i / 5) % 3 == 0);
        return image;
    }
    visit(t, [&](auto v) {
        using T = decltype(v);
        using L = std::numeric_limits<T>;
        if constexpr (sizeof(T) == 1) {
            image.width = 16;
            for (int n = 0; n < (large ? 2 : 1); ++n)
                for (int64_t x = L::min(); x <= L::max(); ++x) image.values.push_back(x);
        } else if constexpr (sizeof(T) == 2) {
            image.width = large ? 256 : 64;
            const int64_t step = large ? 1 : 16;
            for (int64_t x = L::min(); x <= L::max(); x += step) image.values.push_back(x);
            if (large)
                for (int64_t x = 0; x < 256; ++x) image.values.push_back(L::max() - x);
            else
                image.values.back() = L::max();
        } else {
            image.width = 16;
            std::vector<long double> edges = {
                0,   1,     2,     3,     127,   128,           255,
                256, 32767, 32768, 65535, 65536, 2147483647.0L, L::max()};
            if constexpr (L::is_signed)
                for (long double e : std::vector<long double>(edges)) edges.push_back(-e);
            edges.push_back(L::lowest());
            if constexpr (std::is_floating_point_v<T>) {
                for (long double e : {0.5L, 1.5L, -0.5L, -2.5L, 0.49999997L, 1e30L, -1e30L,
                                      static_cast<long double>(L::denorm_min()), 2147483648.5L})
                    edges.push_back(static_cast<T>(e));
                edges.push_back(L::infinity());
                edges.push_back(-L::infinity());
                edges.push_back(L::quiet_NaN());
            }
            if constexpr (sizeof(T) == 8) {
                edges.push_back(1e300);
                edges.push_back(-1e300);
            }
            std::mt19937 random(5);
            while (edges.size() % 16 != 0 || edges.size() < 64) {
                const uint32_t r = random();
                if constexpr (std::is_floating_point_v<T>)
                    edges.push_back(static_cast<T>(
                        std::ldexp(static_cast<double>(int32_t(r)), int(random() % 40) - 20)));
                else
                    edges.push_back(static_cast<T>(r));
            }
            // The values as the samples hold them.
            for (long double e : edges) image.values.push_back(static_cast<T>(e));
        }
    });
    return image;
}

// The image's bytes as samples of t (one-bit lines padded to whole bytes),
// the values as they are or, with `saturate`, saturated to t.
std::vector<uint8_t> encode(const Type& t, const Image& image, bool saturate = false) {
    std::vector<uint8_t> bytes;
    if (t.bits == 1) {
        const size_t line = (image.width + 7) / 8;
        bytes.assign(line * image.height(), 0);
        for (size_t i = 0; i < image.values.size(); ++i)
            if (image.values[i] != 0) {
                const size_t y = i / image.width, x = i % image.width;
                bytes[y * line + x / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
            }
        return bytes;
    }
    visit(t, [&](auto v) {
        using T = decltype(v);
        std::vector<T> samples;
        for (long double x : image.values)
            samples.push_back(saturate ? saturated<T>(x) : static_cast<T>(x));
        bytes = to_bytes(samples);
    });
    return bytes;
}

// What the model says the conversion of `image` (of type from) to `to`
// yields, as bytes of `to`.
std::vector<uint8_t> model(const Type& from, const Type& to, const Image& image, double gain,
                           double offset) {
    Image out;
    out.width = image.width;
    for (long double x : image.values) {
        if (to.bits != 1) {
            out.values.push_back(mapped(x, gain, offset));
        } else if (from.bits == 1) {
            out.values.push_back(x != 0 ? static_cast<long double>(gain) + offset >= 0.5
                                        : offset >= 0.5);
        } else {
            out.values.push_back(x * gain >= static_cast<long double>(0.5 - offset));
        }
    }
    return encode(to, out, true);
}

// Samples that differ: one-bit lines without their padding bits; integers
// exactly; floating samples by value (NaN equal to NaN) within one unit in
// the last place, the rounding of the conversion's double arithmetic.
size_t differences(const Type& to, uint32_t width, const std::vector<uint8_t>& got,
                   const std::vector<uint8_t>& want, std::string& first) {
    if (got.size() != want.size()) return std::max(got.size(), want.size());
    size_t wrong = 0;
    if (to.bits == 1) {
        const size_t line = (width + 7) / 8;
        const uint8_t last = static_cast<uint8_t>(0xFF00u >> (width % 8 == 0 ? 8 : width % 8));
        for (size_t i = 0; i < got.size(); ++i) {
            const uint8_t mask = i % line == line - 1 ? last : 0xFF;
            wrong += (got[i] & mask) != (want[i] & mask);
        }
        return wrong;
    }
    visit(to, [&](auto v) {
        using D = decltype(v);
        const std::vector<D> a = from_bytes<D>(got), b = from_bytes<D>(want);
        for (size_t i = 0; i < a.size(); ++i) {
            bool same = a[i] == b[i];
            if constexpr (std::is_floating_point_v<D>)
                same = same || (std::isnan(a[i]) && std::isnan(b[i])) ||
                       std::nextafter(a[i], b[i]) == b[i];
            if (same) continue;
            if (first.empty())
                first = "sample " + std::to_string(i) + ": " + std::to_string(a[i]) +
                        " != " + std::to_string(b[i]);
            ++wrong;
        }
    });
    return wrong;
}

struct Map {
    double gain, offset;
};

const double kEps = std::ldexp(1.0, -52);
const Map kMaps[] = {
    {1, 0},
    {1, 0.5},
    {1, -0.25},
    {1 + kEps, 0},
    {1 - kEps, 0.5},
    {0.9999999999999999, 0},
    {0.9999999999999999, 40000},
    {1.9999999999999998, 0},
    {2, 0},
    {0.5, 0},
    {0.5, 0.5},
    {1.5, 0.5},
    {256, 0},
    {1.0 / 256, 0},
    {1.0 / 65536, 0},
    {std::ldexp(1.0, -31), 0},
    {-1, 0},
    {-1, 1},
    {-3, 0.25},
    {3, -1000.75},
    {255, 0},
    {std::ldexp(1.0, 40), 0},
    {-std::ldexp(1.0, 40), 0.5},
    {std::ldexp(1.0, 1000), 0},
    {0, 0.7},
    {0, 0},
    {2, 1e-17},
    {0.25, -2147483648.0},
    {std::nan(""), 0},
    {1, std::nan("")},
};

TEST(ConvertDataTypeModel, EveryPathGivesTheModelsSamples) {
    size_t chains = 0;
    for (const Type& from : kTypes)
        for (bool large : {false, true}) {
            if (large && from.bits != 8 && from.bits != 16) continue;
            const Image image = source_image(from, large);
            // Caller memory at an odd address: every stage reads it in place.
            const std::vector<uint8_t> encoded = encode(from, image);
            std::vector<uint8_t> held(encoded.size() + 1);
            std::memcpy(held.data() + 1, encoded.data(), encoded.size());
            for (const Type& to : kTypes)
                for (const Map& map : kMaps) {
                    SCOPED_TRACE(testing::Message()
                                 << from.name << (large ? " (large)" : "") << " to " << to.name
                                 << ", gain " << map.gain << " offset " << map.offset);
                    VRX_DefaultManager manager;
                    Format f;
                    f.width = image.width;
                    f.height = image.height();
                    f.bits = from.bits;
                    f.type = from.data_type;
                    VRX_Header header(&manager);
                    describe(header, f);
                    VRX_Engine* source = VRX_ReadMemory(&manager).engine(
                        &header, held.data() + 1, static_cast<uint32_t>(encoded.size()));
                    VRX_Engine* last = VRX_ConvertDataType(&manager).engine(
                        source, to.data_type, to.bits, map.gain, map.offset);
                    ASSERT_NE(last, nullptr);
                    std::vector<uint8_t> got;
                    ASSERT_TRUE(take_lines(last, got));
                    EXPECT_NO_ERROR(manager);
                    std::string first;
                    EXPECT_EQ(differences(to, image.width, got,
                                          model(from, to, image, map.gain, map.offset), first),
                              0u)
                        << first;
                    ++chains;
                }
        }
    EXPECT_EQ(chains, 13u * 9 * (sizeof kMaps / sizeof kMaps[0]));
}

}  // namespace
