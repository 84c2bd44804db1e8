// The shift engines over all 36 pairs of integer sample types and every
// shift from -31 to 31: every 8- and 16-bit input and the extremes of 32-bit
// ones, the wrapping engine against a wrapping model and the limiting engine
// against a saturating one.
#include "vrx/core/shiftdata/vrx_shiftdata.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "tests/vrx/core/convertdatatype/convert_test_support.h"
#include "vrx/core/shiftdata/vrx_shiftdatanl.h"
#include "vrx/core/shiftdata/vrx_shiftdatanlengine.h"
#include "vrx/core/shiftdata/vrx_shiftdatawl.h"
#include "vrx/core/shiftdata/vrx_shiftdatawlengine.h"

namespace {

using namespace vrx_convert_test;

// x shifted left (n > 0) or right (n < 0, rounded, halves away from zero), exactly.
int64_t shifted(int64_t x, int n) {
    if (n >= 0) return x * (int64_t{1} << n);
    const int64_t half = int64_t{1} << (-n - 1);
    return x >= 0 ? (x + half) >> -n : -((-x + half) >> -n);
}

template <class D>
D wrapped(int64_t r) {
    return static_cast<D>(static_cast<uint64_t>(r));
}
template <class D>
D clamped(int64_t r) {
    using L = std::numeric_limits<D>;
    return static_cast<D>(r < L::min() ? L::min() : r > L::max() ? L::max() : r);
}

// Inputs of S: every value of 8- and 16-bit types, the extremes and a few
// values around each power of two of 32-bit ones.
template <class S>
std::vector<S> inputs() {
    if constexpr (sizeof(S) < 4) {
        return every_value<S>();
    } else {
        std::vector<S> v;
        for (int b = 0; b < 32; ++b)
            for (int64_t d : {-1, 0, 1}) {
                v.push_back(static_cast<S>((int64_t{1} << b) + d));
                v.push_back(static_cast<S>(-(int64_t{1} << b) + d));
            }
        v.push_back(std::numeric_limits<S>::min());
        v.push_back(std::numeric_limits<S>::max());
        while (v.size() % 16 != 0) v.push_back(0);
        return v;
    }
}

// Whether some input leaves D's range: the rule shift_needs_limit must match.
template <class S, class D>
bool overflows(int n) {
    for (int64_t x :
         {int64_t{std::numeric_limits<S>::min()}, int64_t{std::numeric_limits<S>::max()}}) {
        const int64_t r = shifted(x, n);
        if (r < std::numeric_limits<D>::min() || r > std::numeric_limits<D>::max()) return true;
    }
    return false;
}

// One engine E over `in`, with every shift; its output as D.
template <class E, class S, class D, class... Extra>
std::vector<D> run(const std::vector<S>& in, int16_t shift, Extra... extra) {
    VRX_DefaultManager manager;
    const std::vector<uint8_t> bytes = to_bytes(in);
    const Format f = format_of<S>(16, static_cast<uint32_t>(in.size() / 16));
    VRX_Engine* source = read_memory(manager, f, bytes);
    VRX_Engine* engine = build_engine<E>(manager, source, data_type_of<D>(),
                                         static_cast<uint16_t>(sizeof(D) * 8), shift, extra...);
    std::vector<uint8_t> out;
    EXPECT_TRUE(engine && write_memory(manager, engine, out));
    return from_bytes<D>(out);
}

template <class S, class D>
void check_pair() {
    SCOPED_TRACE(testing::Message()
                 << "S " << sizeof(S) * 8 << (std::is_signed_v<S> ? "s" : "u") << ", D "
                 << sizeof(D) * 8 << (std::is_signed_v<D> ? "s" : "u"));
    const std::vector<S> in = inputs<S>();
    const uint8_t sign_class = std::is_unsigned_v<S> ? 0 : std::is_unsigned_v<D> ? 1 : 2;
    VRX_DefaultManager manager;
    VRX_Header header(&manager);
    describe(header, format_of<S>(1, 1));
    for (int16_t n = -31; n <= 31; ++n) {
        SCOPED_TRACE(n);
        const std::vector<D> nl = run<VRX_ShiftDataNLEngine<S, D>, S, D>(in, n);
        const std::vector<D> wl = run<VRX_ShiftDataWLEngine<S, D>, S, D>(in, n, sign_class);
        ASSERT_EQ(nl.size(), in.size());
        ASSERT_EQ(wl.size(), in.size());
        size_t wrong_nl = 0, wrong_wl = 0;
        for (size_t i = 0; i < in.size(); ++i) {
            const int64_t r = shifted(in[i], n);
            wrong_nl += nl[i] != wrapped<D>(r);
            wrong_wl += wl[i] != clamped<D>(r);
        }
        EXPECT_EQ(wrong_nl, 0u);
        EXPECT_EQ(wrong_wl, 0u);
        uint8_t sign = 9;
        const bool limit = shift_needs_limit(&header, data_type_of<D>(), sizeof(D) * 8, n, sign);
        EXPECT_EQ(sign, sign_class);
        // Exact but for the identity (the creators return the source for it).
        const bool identity = n == 0 && std::is_same_v<S, D>;
        EXPECT_EQ(limit, (identity || sign_class == 1 || overflows<S, D>(n)));
        if (!limit) {
            EXPECT_EQ(nl, wl);
        }
    }
}

template <class S>
void check_source() {
    check_pair<S, uint8_t>();
    check_pair<S, int8_t>();
    check_pair<S, uint16_t>();
    check_pair<S, int16_t>();
    check_pair<S, uint32_t>();
    check_pair<S, int32_t>();
}

TEST(ShiftData, EveryPairAndShiftAgainstTheModels) {
    check_source<uint8_t>();
    check_source<int8_t>();
    check_source<uint16_t>();
    check_source<int16_t>();
    check_source<uint32_t>();
    check_source<int32_t>();
}

// The creators: the source itself for nothing to do, the plain engine where
// no result can leave the range, and the documented values.
TEST(ShiftData, CreatorsChooseTheEngineByTheLimitRule) {
    struct Case {
        const char* name;
        Format from;
        const VRX_DataType* type;
        uint16_t bits;
        int16_t shift;
        bool clamp;
        int kind;  // 0 the source, 1 plain, 2 limiting
    } cases[] = {
        {"nothing to do", format_of<uint16_t>(2, 2), VRX_DataType::u_integer(), 16, 0, true, 0},
        {"same type, shift 1", format_of<uint16_t>(2, 2), VRX_DataType::u_integer(), 16, 1, true,
         2},
        {"u16 to u8 by -8", format_of<uint16_t>(2, 2), VRX_DataType::u_integer(), 8, -8, true, 2},
        {"u16 to u8 by -9", format_of<uint16_t>(2, 2), VRX_DataType::u_integer(), 8, -9, true, 1},
        {"s16 to u8", format_of<int16_t>(2, 2), VRX_DataType::u_integer(), 8, -12, true, 2},
        {"u8 to u16 by 8", format_of<uint8_t>(2, 2), VRX_DataType::u_integer(), 16, 8, true, 1},
        {"u8 to u16 by 9", format_of<uint8_t>(2, 2), VRX_DataType::u_integer(), 16, 9, true, 2},
        {"without clamping", format_of<uint8_t>(2, 2), VRX_DataType::u_integer(), 16, 9, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VRX_DefaultManager manager;
        const std::vector<uint8_t> bytes(16, 0);
        VRX_Engine* source = read_memory(manager, c.from, bytes);
        VRX_Engine* e = VRX_ShiftData(&manager).engine(source, c.type, c.bits, c.shift, c.clamp);
        ASSERT_NE(e, nullptr);
        const int kind = e == source ? 0
                         : dynamic_cast<VRX_ShiftDataWLEngine<uint16_t, uint16_t>*>(e) ||
                                 dynamic_cast<VRX_ShiftDataWLEngine<uint16_t, uint8_t>*>(e) ||
                                 dynamic_cast<VRX_ShiftDataWLEngine<int16_t, uint8_t>*>(e) ||
                                 dynamic_cast<VRX_ShiftDataWLEngine<uint8_t, uint16_t>*>(e)
                             ? 2
                             : 1;
        EXPECT_EQ(kind, c.kind);
        EXPECT_NO_ERROR(manager);
    }
}

// A 12-bit request picks the 32-bit engine, which refuses it; an unsigned
// 2-bit source is read as 32-bit and refused as well.
TEST(ShiftData, DepthsOutsideTheTypesAreRefused) {
    VRX_DefaultManager manager;
    const std::vector<uint8_t> bytes(16, 0);
    EXPECT_EQ(
        VRX_ShiftDataNL(&manager).engine(read_memory(manager, format_of<uint16_t>(2, 2), bytes),
                                         VRX_DataType::u_integer(), 12, 1),
        nullptr);
    EXPECT_TRUE(iotest::reported(manager, 0x81000000, "VRX_ShiftDataNLEngine::initiate()"));
    Format two_bits = format_of<uint8_t>(2, 2);
    two_bits.bits = 2;
    EXPECT_EQ(VRX_ShiftDataWL(&manager).engine(read_memory(manager, two_bits, bytes),
                                               VRX_DataType::u_integer(), 8, 9),
              nullptr);
    EXPECT_TRUE(iotest::reported(manager, 0x81000000, "VRX_ShiftDataWLEngine::initiate()"));
}

}  // namespace
