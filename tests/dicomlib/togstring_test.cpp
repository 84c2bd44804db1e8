#include "dicomlib/togstring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string U8(const TogString& s) {
    return s.ToUtf8();
}

TEST(TogString, EmptyStringsShareOneBufferAndOwnNothing) {
    TogString a;
    TogString b(nullptr);
    TogString c(u"");
    EXPECT_EQ(a.GetString(), b.GetString());
    EXPECT_EQ(a.GetString(), c.GetString());
    EXPECT_EQ(a.GetLength(), 0u);
    EXPECT_EQ(a.GetCapacity(), 1u);
    EXPECT_EQ(a.GetString()[0], u'\0');

    TogString owned(u"abc");
    EXPECT_NE(owned.GetString(), a.GetString());
    EXPECT_EQ(owned.GetCapacity(), 4u);
    owned.Assign(u"");
    EXPECT_EQ(owned.GetString(), a.GetString());
    EXPECT_EQ(owned.GetLength(), 0u);
    EXPECT_EQ(owned.GetCapacity(), 1u);

    TogString again(u"xyz");
    again.Assign(TogString());
    EXPECT_EQ(again.GetString(), a.GetString());
    again.Assign(u"q");
    again.Clear();
    EXPECT_EQ(again.GetString(), a.GetString());
}

TEST(TogString, ReserveAndSetLength) {
    TogString s;
    ASSERT_TRUE(s.Reserve(0));
    EXPECT_EQ(s.GetCapacity(), 1u);
    ASSERT_TRUE(s.Reserve(5));
    EXPECT_EQ(s.GetCapacity(), 6u);
    EXPECT_EQ(s.GetLength(), 0u);
    ASSERT_TRUE(s.SetLength(3));
    *s.At(0) = u'a';
    *s.At(1) = u'b';
    *s.At(2) = u'c';
    EXPECT_EQ(s, u"abc");
    ASSERT_TRUE(s.SetLength(1));  // shrinks in place and clears the tail
    EXPECT_EQ(s, u"a");
    EXPECT_EQ(*s.At(2), u'\0');
    EXPECT_EQ(s.GetCapacity(), 6u);
    ASSERT_TRUE(s.SetLength(8));  // grows, new characters are zero
    EXPECT_EQ(s.GetCapacity(), 9u);
    EXPECT_EQ(*s.At(8), u'\0');

    // A length that cannot be reserved leaves the string as it was.
    TogString t(u"keep");
    EXPECT_FALSE(t.SetLength(UINT32_MAX));
    EXPECT_FALSE(t.Reserve(UINT32_MAX));
    EXPECT_EQ(t, u"keep");
    EXPECT_EQ(t.GetLength(), 4u);
}

TEST(TogString, ConstructAssignAppend) {
    EXPECT_EQ(TogString(u"abcdef", 3), u"abc");
    EXPECT_EQ(TogString(u"abc", -1), u"abc");
    EXPECT_EQ(TogString(u"abc", 10), u"abc");  // cut at the terminator
    EXPECT_EQ(TogString(u"abc", 0), u"");

    TogString s(u"ab");
    s.Append(u"cdef", 2);
    EXPECT_EQ(s, u"abcd");
    s.Append(u"xy", -5);
    EXPECT_EQ(s, u"abcdxy");
    s.Append(nullptr);
    s.Append(TogString());
    s.Append(u'!');
    EXPECT_EQ(s, u"abcdxy!");
    EXPECT_EQ(s.GetLength(), 7u);
    s.Append(s);
    EXPECT_EQ(s, u"abcdxy!abcdxy!");

    // Text that lies inside the string itself.
    TogString t(u"0123456789");
    t.Append(t.At(5));
    EXPECT_EQ(t, u"012345678956789");
    TogString u(u"0123456789");
    u.Assign(u.At(2));
    EXPECT_EQ(u, u"23456789");

    TogString copy(s);
    EXPECT_EQ(copy, s);
    EXPECT_NE(copy.GetString(), s.GetString());
    TogString moved(std::move(copy));
    EXPECT_EQ(moved, s);
    EXPECT_TRUE(copy.IsEmpty());

    std::vector<TogString> many;
    for (int i = 0; i < 100; ++i) many.push_back(TogString::FromInt(i));
    EXPECT_EQ(many[42], u"42");
}

TEST(TogString, Comparison) {
    TogString empty;
    EXPECT_TRUE(empty == nullptr);
    EXPECT_TRUE(empty == u"");
    EXPECT_FALSE(TogString(u"a") == nullptr);
    EXPECT_TRUE(TogString(u"abc") == u"abc");
    EXPECT_TRUE(TogString(u"abc") != u"abd");
    EXPECT_TRUE(TogString(u"abc") != u"ab");
    EXPECT_TRUE(TogString(u"ab") != u"abc");
    EXPECT_TRUE(TogString(u"abc") == TogString(u"abc"));
    EXPECT_TRUE(TogString(u"abc") != TogString(u"ABC"));
}

TEST(TogString, FindByTable) {
    struct Case { const char16_t* text; const char16_t* what; int start; int expected; };
    const Case cases[] = {
        {u"abcabc", u"bc", 0, 1},
        {u"abcabc", u"bc", 2, 4},
        {u"abcabc", u"bc", 4, 4},
        {u"abcabc", u"bc", 5, -1},  // beyond the last possible position
        {u"abcabc", u"x", 0, -1},
        {u"abc", u"abcd", 0, -1},
        {u"", u"a", 0, -1},
        {u"abc", u"", 0, -1},
        {u"abc", u"abc", 0, 0},
        {u"abc", u"a", -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TogString(c.text).Find(TogString(c.what), c.start), c.expected)
            << U8(TogString(c.text)) << " / " << U8(TogString(c.what)) << " from " << c.start;
    }
}

TEST(TogString, MidByTable) {
    struct Case { const char16_t* text; int start; int count; const char16_t* expected; };
    const Case cases[] = {
        {u"abcdef", 0, 3, u"abc"},
        {u"abcdef", 2, -1, u"cdef"},
        {u"abcdef", 4, 10, u"ef"},
        {u"abcdef", 6, 2, u""},  // start equal to the length
        {u"abcdef", 7, 1, u""},
        {u"abcdef", 1, 0, u""},
        {u"", 0, 1, u""},
        {u"abcdef", -1, 2, u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TogString(c.text).Mid(c.start, c.count), c.expected)
            << U8(TogString(c.text)) << " " << c.start << " " << c.count;
    }
}

TEST(TogString, SplitByTable) {
    struct Case {
        const char16_t* text;
        const char16_t* separator;
        const char16_t* escape;
        std::vector<std::u16string> expected;
    };
    const Case cases[] = {
        {u"a\\b\\c", u"\\", u"", {u"a", u"b", u"c"}},
        {u"a\\", u"\\", u"", {u"a", u""}},
        {u"\\a", u"\\", u"", {u"", u"a"}},
        {u"abc", u"\\", u"", {u"abc"}},
        {u"", u"\\", u"", {}},
        {u"a,b", u"", u"", {u"a,b"}},
        {u"a::b::c", u"::", u"", {u"a", u"b", u"c"}},
        {u"a\\,b,c", u",", u"\\", {u"a\\,b", u"c"}},
        {u"a^^b", u"^", u"^", {u"a", u"^b"}},
    };
    for (const Case& c : cases) {
        std::vector<TogString> pieces{TogString(u"stale")};
        ASSERT_TRUE(TogString(c.text).Split(TogString(c.separator), TogString(c.escape), pieces));
        ASSERT_EQ(pieces.size(), c.expected.size()) << U8(TogString(c.text));
        for (size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_EQ(std::u16string(pieces[i].View()), c.expected[i]) << U8(TogString(c.text)) << " #" << i;
        }
    }
}

TEST(TogString, NumbersFromTextByTable) {
    struct Case { const char16_t* text; double value; int consumed; };
    const Case cases[] = {
        {u"1.5", 1.5, 3},
        {u" 1.5 ", 1.5, 4},
        {u"\t-2.25e2x", -225.0, 8},
        {u"+.5", 0.5, 3},
        {u"7.", 7.0, 2},
        {u"1e", 1.0, 1},
        {u"1e+", 1.0, 1},
        {u"0x1p4", 16.0, 5},
        {u"0x", 0.0, 1},
        {u"abc", 0.0, 0},
        {u"", 0.0, 0},
        {u"-", 0.0, 0},
        {u"+-1", 0.0, 0},
        {u"1,5", 1.0, 1},
        {u"1e400", HUGE_VAL, 5},
        {u"-1e400", -HUGE_VAL, 6},
        {u"1e-400", 0.0, 6},
        {u"0.000000000000000000000000000000000000001e-300", 0.0, 46},
        {u"InFinity", INFINITY, 8},
        {u"-inf", -INFINITY, 4},
    };
    for (const Case& c : cases) {
        const char16_t* end = nullptr;
        const double v = togutils::StrToDouble(c.text, &end);
        EXPECT_EQ(v, c.value) << U8(TogString(c.text));
        EXPECT_EQ(end - c.text, c.consumed) << U8(TogString(c.text));
    }
    const char16_t* end = nullptr;
    EXPECT_TRUE(std::isnan(togutils::StrToDouble(u"nan(123)z", &end)));
    EXPECT_EQ(*end, u'z');
    EXPECT_EQ(TogString(u"1.5").ToFloat(), 1.5f);
    EXPECT_EQ(TogString().ToFloat(), 0.0f);
    EXPECT_EQ(TogString(u"3.25").ToDouble(), 3.25);
}

TEST(TogString, IntegersFromTextByTable) {
    struct Case { const char16_t* text; int base; int32_t as_long; uint32_t as_ulong; int consumed; };
    const Case cases[] = {
        {u"42", 10, 42, 42, 2},
        {u"  -17abc", 10, -17, static_cast<uint32_t>(-17), 5},
        {u"+8", 10, 8, 8, 2},
        {u"2147483647", 10, INT32_MAX, 2147483647u, 10},
        {u"2147483648", 10, INT32_MAX, 2147483648u, 10},
        {u"-2147483648", 10, INT32_MIN, 2147483648u, 11},
        {u"-2147483649", 10, INT32_MIN, 2147483647u, 11},
        {u"4294967295", 10, INT32_MAX, UINT32_MAX, 10},
        {u"99999999999999999999999", 10, INT32_MAX, UINT32_MAX, 23},
        {u"ff", 16, 255, 255, 2},
        {u"0x1F", 16, 31, 31, 4},
        {u"0x1F", 0, 31, 31, 4},
        {u"017", 0, 15, 15, 3},
        {u"0xg", 16, 0, 0, 1},
        {u"abc", 10, 0, 0, 0},
        {u"-", 10, 0, 0, 0},
        {u"12", 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const char16_t* end = nullptr;
        EXPECT_EQ(togutils::StrToLong(c.text, &end, c.base), c.as_long) << U8(TogString(c.text));
        EXPECT_EQ(end - c.text, c.consumed) << U8(TogString(c.text));
        EXPECT_EQ(togutils::StrToULong(c.text, &end, c.base), c.as_ulong) << U8(TogString(c.text));
        EXPECT_EQ(end - c.text, c.consumed) << U8(TogString(c.text));
    }
}

TEST(TogString, NumbersToTextByTable) {
    EXPECT_EQ(TogString::FromInt(0), u"0");
    EXPECT_EQ(TogString::FromInt(-123), u"-123");
    EXPECT_EQ(TogString::FromInt(INT32_MIN), u"-2147483648");
    EXPECT_EQ(TogString::FromInt(255, 16), u"ff");
    EXPECT_EQ(TogString::FromInt(-1, 16), u"ffffffff");
    EXPECT_EQ(TogString::FromInt(5, 2), u"101");
    EXPECT_EQ(TogString::FromInt(35, 36), u"z");
    EXPECT_EQ(TogString::FromInt(5, 1), u"");
    EXPECT_EQ(TogString::FromUInt(UINT32_MAX), u"4294967295");
    EXPECT_EQ(TogString::FromUInt(8, 8), u"10");
    EXPECT_EQ(TogString::FromUInt(1, 37), u"");
}

// Every format applied to every value gives what snprintf gives.
template <class T, size_t F, size_t V>
void ExpectFormatsLikeC(const char* const (&formats)[F], const T (&values)[V]) {
    for (const char* f : formats) {
        for (T v : values) {
            char expected[128];
            std::snprintf(expected, sizeof(expected), f, v);
            const TogString wide = TogString::FromUtf8(f);
            EXPECT_EQ(U8(TogString::Format(wide.GetString(), v)), expected) << f << " " << v;
        }
    }
}

TEST(TogString, FormatMatchesTheCLibraryInTheCLocale) {
    // The test program runs in the "C" locale, where snprintf is the oracle.
    const char* const int_formats[] = {"%d", "%5d", "%-5d|", "%05d", "%+d", "% d", "%.3d", "%8.3d", "%x",
                                       "%#x", "%#X", "%o", "%#o", "%u", "%-+6d|", "%.0d", "%#.0o"};
    const int ints[] = {0, 7, -42, 123456, INT32_MIN, INT32_MAX};
    ExpectFormatsLikeC(int_formats, ints);
    const char* const float_formats[] = {"%f", "%.0f", "%#.0f", "%10.3f", "%-10.2f|", "%+f", "%010.2f",
                                         "%e", "%.2E", "%#.0e", "%g", "%G", "%.3g", "%#g", "%#.3g",
                                         "%a", "%.2a", "%A", "% .1f"};
    const double doubles[] = {0.0, -0.0, 1.5, -2.25, 1234567.891, 1e-5, 1e20, 0.1, 100.0,
                              INFINITY, -INFINITY, NAN};
    ExpectFormatsLikeC(float_formats, doubles);
    char expected[64];
    std::snprintf(expected, sizeof(expected), "%lld|%hhd|%hu|%zu|%Lf", -5LL, static_cast<signed char>(300 - 256),
                  static_cast<unsigned short>(70000 - 65536), size_t{9}, static_cast<long double>(2.5));
    EXPECT_EQ(U8(TogString::Format(u"%lld|%hhd|%hu|%zu|%Lf", -5LL, 300, 70000, size_t{9},
                                   static_cast<long double>(2.5))),
              expected);
}

TEST(TogString, FormatTextAndFailures) {
    EXPECT_EQ(TogString::Format(u"%f", 1.0), u"1.000000");
    EXPECT_EQ(TogString::Format(u"[%s|%5s|%-4s|%.2s]", u"ab", u"ab", u"ab", u"abcdef"), u"[ab|   ab|ab  |ab]");
    EXPECT_EQ(TogString::Format(u"%hs/%S", "caf\xc3\xa9", "x"), u"caf\u00e9/x");
    EXPECT_EQ(TogString::Format(u"%ls", u"wide"), u"wide");
    EXPECT_EQ(TogString::Format(u"%s", static_cast<const char16_t*>(nullptr)), u"(null)");
    EXPECT_EQ(TogString::Format(u"%c%c|%2c", u'\u5c71', u'A', 0), u"\u5c71A|  ");
    EXPECT_EQ(TogString::Format(u"100%%"), u"100%");
    EXPECT_EQ(TogString::Format(u"%*d|%-*d|%.*f", 4, 1, 3, 2, 2, 3.14159), u"   1|2  |3.14");
    EXPECT_EQ(TogString::Format(u"%04x%04x", 0x10u, 0xabcdu), u"0010abcd");
    // An empty result, an unknown conversion and %n give an empty string.
    EXPECT_TRUE(TogString::Format(u"").IsEmpty());
    EXPECT_TRUE(TogString::Format(u"%s", u"").IsEmpty());
    EXPECT_TRUE(TogString::Format(u"abc %y", 1).IsEmpty());
    int n = 0;
    EXPECT_TRUE(TogString::Format(u"abc%n", &n).IsEmpty());
    EXPECT_TRUE(TogString::Format(u"trailing %").IsEmpty());
    EXPECT_TRUE(TogString::Format(nullptr).IsEmpty());
}

TEST(TogString, Utf8Conversions) {
    EXPECT_EQ(TogString::FromMultiByte("Buc^J\xc3\xa9r\xc3\xb4me"), u"Buc^J\u00e9r\u00f4me");
    EXPECT_EQ(TogString::FromMultiByte("\xf0\x9f\x98\x80"), u"\U0001F600");
    EXPECT_EQ(TogString::FromMultiByte("a\xff" "b"), u"a\uFFFDb");
    EXPECT_TRUE(TogString::FromMultiByte("").IsEmpty());
    EXPECT_TRUE(TogString::FromMultiByte(nullptr).IsEmpty());
    EXPECT_EQ(TogString(u"\u5c71\u7530 \U0001F600").ToUtf8(), "\xe5\xb1\xb1\xe7\x94\xb0 \xf0\x9f\x98\x80");
    EXPECT_EQ(TogString::FromBytes("AB\xe9", 3), u"AB\u00e9");
    EXPECT_EQ(TogString::FromBytes("AB\0CD", 5), u"AB");
}

}  // namespace
