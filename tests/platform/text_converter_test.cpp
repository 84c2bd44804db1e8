#include "platform/text_converter.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using platform::TextConvertResult;

std::u16string Decode(uint32_t code_page, const std::string& bytes) {
    std::u16string out;
    EXPECT_EQ(platform::decode_code_page(code_page, bytes.data(), bytes.size(), out), TextConvertResult::ok)
        << code_page;
    return out;
}

TEST(TextConverter, Utf8ByTable) {
    struct Case { std::string bytes; std::u16string expected; };
    const Case cases[] = {
        {"abc", u"abc"},
        {"\xc3\xa9", u"\u00e9"},
        {"\xe5\xb1\xb1", u"\u5c71"},
        {"\xf0\x9f\x98\x80", u"\U0001F600"},
        {"\xf4\x8f\xbf\xbf", u"\U0010FFFF"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        // Each maximal ill-formed subsequence is one U+FFFD.
        {"\x80", u"\uFFFD"},
        {"\xc0\xaf", u"\uFFFD\uFFFD"},          // overlong lead
        {"\xe0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},  // overlong three-byte form
        {"\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD"},  // surrogate
        {"\xf4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xe5\xb1", u"\uFFFD"},                 // cut off by the end
        {"\xe5\xb1x", u"\uFFFDx"},
        {"\xf0\x9f\x98", u"\uFFFD"},
        {"\xff\xfe", u"\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        std::u16string out = u">";
        EXPECT_EQ(platform::utf8_to_utf16(c.bytes, out), TextConvertResult::ok);
        EXPECT_EQ(out, u">" + c.expected);
        EXPECT_EQ(Decode(65001, c.bytes), c.expected);
        // The strict form takes only text without replacements.
        const bool well_formed = c.expected.find(u'\uFFFD') == std::u16string::npos;
        std::u16string strict(1, u'>');
        EXPECT_EQ(platform::well_formed_utf8_to_utf16(c.bytes, strict), well_formed) << c.bytes;
        EXPECT_EQ(strict, std::u16string(1, u'>') + (well_formed ? c.expected : std::u16string()));
    }
}

TEST(TextConverter, Utf16ToUtf8) {
    std::string out;
    EXPECT_EQ(platform::utf16_to_utf8(u"a\u00e9\u5c71\U0001F600", out), TextConvertResult::ok);
    EXPECT_EQ(out, "a\xc3\xa9\xe5\xb1\xb1\xf0\x9f\x98\x80");
    out.clear();
    const char16_t lone[] = {u'x', 0xD800, u'y', 0xDC00, 0};
    EXPECT_EQ(platform::utf16_to_utf8(lone, out), TextConvertResult::ok);
    EXPECT_EQ(out, "x\xef\xbf\xbdy\xef\xbf\xbd");
}

TEST(TextConverter, CodePagesByTable) {
    struct Case { uint32_t code_page; std::string bytes; std::u16string expected; };
    const Case cases[] = {
        {1252, "\x80\xe9", u"\u20ac\u00e9"},
        {28591, "\x80\xe9", u"\u0080\u00e9"},
        {28595, "\xbb", u"\u041b"},
        {28597, "\xc4", u"\u0394"},
        {932, "\\~\x82\xa0\xb1", u"\\~\u3042\uff71"},  // backslash stays a backslash
        {51949, "\xb1\xe8", u"\uae40"},
        {936, "\xcd\xf5", u"\u738b"},
        {950, "\xa4\x40", u"\u4e00"},
        {54936, "\x81\x30\x81\x30\xcd\xf5", u"\u0080\u738b"},
        {874, "\xa1", u"\u0e01"},
        {50221, "\x1b$B;3\x1b(Ba", u"\u5c71a"},
        {50221, "\x1b$(D0!", u"\u4e02"},  // JIS X 0212
        // Invalid or unmapped bytes become U+FFFD and the rest converts.
        {1252, "a\x81z", u"a\uFFFDz"},
        {932, "\x82\xa0\x82", u"\u3042\uFFFD"},  // cut off by the end
        {51949, "\xff" "a", u"\uFFFDa"},
        {28596, "\xa1" "b", u"\uFFFDb"},
        {1252, "", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decode(c.code_page, c.bytes), c.expected) << c.code_page << " " << c.bytes;
    }
}

TEST(TextConverter, UnknownSetsAreRefused) {
    std::u16string out = u"kept";
    EXPECT_EQ(platform::decode_code_page(12345, "abc", 3, out), TextConvertResult::unsupported);
    EXPECT_EQ(platform::decode_charset("NO-SUCH-SET", "abc", 3, out), TextConvertResult::unsupported);
    EXPECT_EQ(platform::decode_charset(nullptr, "abc", 3, out), TextConvertResult::unsupported);
    EXPECT_EQ(platform::decode_charset("A-NAME-LONGER-THAN-THE-CACHE-HOLDS-X", "\x80", 1, out),
              TextConvertResult::unsupported);
    EXPECT_EQ(out, u"kept");
    EXPECT_EQ(platform::code_page_charset(932), std::string("CP932"));
    EXPECT_EQ(platform::code_page_charset(65001), std::string("UTF-8"));
    EXPECT_EQ(platform::code_page_charset(1), nullptr);
}

TEST(TextConverter, AsciiShortcutAgreesWithIconv) {
    // Plain ASCII text skips iconv; with one non-ASCII byte it goes through
    // iconv. Both must read the ASCII bytes alike in every code page.
    std::string ascii;
    for (int b = 1; b < 0x80; ++b) {
        if (b != 0x1B && b != 0x0E && b != 0x0F) ascii.push_back(static_cast<char>(b));
    }
    for (uint32_t cp : {874u, 932u, 936u, 950u, 1250u, 1251u, 1252u, 28591u, 28592u, 28595u, 28596u, 28597u,
                        28598u, 28599u, 51949u, 54936u}) {
        const std::u16string fast = Decode(cp, ascii);
        const std::u16string slow = Decode(cp, ascii + "\xa1\xa1");
        EXPECT_EQ(slow.substr(0, fast.size()), fast) << cp;
    }
}

TEST(TextConverter, ThreadsKeepTheirOwnDescriptors) {
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 200; ++i) {
                std::u16string a, b;
                platform::decode_code_page(932, "\x82\xa0", 2, a);
                platform::decode_code_page(50221, "\x1b$B;3", 5, b);
                if (a != u"\u3042" || b != u"\u5c71") ++failures[t];
            }
        });
    }
    for (std::thread& th : threads) th.join();
    for (int f : failures) EXPECT_EQ(f, 0);
}

}  // namespace
