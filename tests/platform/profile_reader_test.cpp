// The ini reader: encodings by byte-order mark or content, and the rules of
// sections, keys, blanks, quotes, comments and numbers.
#include "platform/profile_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/test_folder.h"

namespace {

using platform::ProfileReader;

std::string utf16(const std::u16string& text, bool little) {
    std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t c : text) {
        const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        out += little ? std::string{lo, hi} : std::string{hi, lo};
    }
    return out;
}

TEST(ProfileReader, Encodings) {
    const std::u16string face = u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF";  // "ＭＳ ゴシック"
    const std::u16string ini = u"[Font]\r\nStringsFaceName=" + face + u"\r\n";
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"utf-8",
         "[Font]\nStringsFaceName=\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7"
         "\xE3\x83\x83\xE3\x82\xAF\n"},
        {"utf-8 bom",
         "\xEF\xBB\xBF[Font]\nStringsFaceName=\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4"
         "\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF"},
        {"utf-16le", utf16(ini, true)},
        {"utf-16be", utf16(ini, false)},
        {"cp932", "[Font]\r\nStringsFaceName=\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E"},
    };
    for (const Case& c : cases) {
        ProfileReader reader;
        reader.parse(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(reader.get_string(u"Font", u"StringsFaceName", u"none"), face) << c.name;
    }
}

TEST(ProfileReader, SectionsKeysAndValues) {
    const std::string text =
        "stray=before any section\n"
        "; comment\n"
        "[ Font ]\n"
        "  StringsFaceName  =  IPA Gothic  \n"
        "stringsfacename=second\n"
        "Quoted=\"  kept blanks  \"\n"
        "Half=\"open\n"
        "NoEquals\n"
        "Size=-12px\n"
        "Big=99999999999\n"
        "Empty=\n"
        "[font]\n"
        "Other=in a repeated section\n"
        "[Message]\n"
        "M10001=text = with equals\n";
    ProfileReader r;
    r.parse(text.data(), text.size());
    EXPECT_EQ(r.get_string(u"FONT", u"stringsFACEname", u""), u"IPA Gothic");
    EXPECT_EQ(r.get_string(u"Font", u"Quoted", u""), u"  kept blanks  ");
    EXPECT_EQ(r.get_string(u"Font", u"Half", u""), u"\"open");
    EXPECT_EQ(r.get_string(u"Font", u"Empty", u"fallback"), u"");
    EXPECT_EQ(r.get_string(u"Font", u"Other", u"fallback"), u"fallback");
    EXPECT_EQ(r.get_string(u"Font", u"NoEquals", u"fallback"), u"fallback");
    EXPECT_EQ(r.get_string(u"", u"stray", u"fallback"), u"fallback");
    EXPECT_EQ(r.get_string(u"Message", u"M10001", u""), u"text = with equals");
    EXPECT_EQ(r.get_int(u"Font", u"Size", 5), -12);
    EXPECT_EQ(r.get_int(u"Font", u"Big", 5), 2147483647);
    EXPECT_EQ(r.get_int(u"Font", u"StringsFaceName", 5), 0);
    EXPECT_EQ(r.get_int(u"Font", u"Absent", 5), 5);
    EXPECT_EQ(r.sections(), (std::vector<std::u16string>{u"Font", u"Message"}));
    EXPECT_EQ(r.keys(u"font").size(), 6u);
    EXPECT_TRUE(r.has_key(u"message", u"m10001"));

    // Files: a missing one is refused and leaves nothing behind.
    const std::string path = testfolder::file("profile_reader_test.ini");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    EXPECT_TRUE(r.load_file(path));
    EXPECT_EQ(r.get_string(u"Font", u"StringsFaceName", u""), u"IPA Gothic");
    EXPECT_FALSE(r.load_file(path + ".missing"));
    EXPECT_TRUE(r.sections().empty());
    EXPECT_EQ(r.error_text(), "cannot be opened: No such file or directory");
    EXPECT_FALSE(r.load_file(testfolder::path()));
    EXPECT_EQ(r.error_text(), "cannot be read: Is a directory");
    ASSERT_EQ(::truncate(path.c_str(), ProfileReader::kMaxFileBytes), 0);
    EXPECT_TRUE(r.load_file(path));
    ASSERT_EQ(::truncate(path.c_str(), ProfileReader::kMaxFileBytes + 1), 0);
    EXPECT_FALSE(r.load_file(path));
    EXPECT_EQ(r.error_text(), "is larger than 1 MiB");
    std::remove(path.c_str());
}

// Names and values longer than a face name may be are not kept: the line is
// skipped (a section line with its keys) and counted by its number, CR LF,
// CR and LF each ending one line.
TEST(ProfileReader, OverlongLinesAreSkipped) {
    const std::u16string max(ProfileReader::kMaxNameChars, u'x'), over = max + u'x';
    struct Case {
        const char* name;
        std::u16string text;
        std::u16string face;  // [Font] StringsFaceName, "-" when absent
        size_t firstSkipped, skipped;
    };
    const Case cases[] = {
        {"longest value", u"[Font]\r\nStringsFaceName=" + max + u"\r\n", max, 0, 0},
        {"value too long", u"[Font]\r\nStringsFaceName=" + over + u"\r\n", u"-", 2, 1},
        {"quotes are not counted", u"[Font]\nStringsFaceName=\"" + max + u"\"", max, 0, 0},
        {"blanks are not counted", u"[Font]\nStringsFaceName=  " + max + u"  ", max, 0, 0},
        {"key too long, the next read", u"[Font]\r" + over + u"=1\rStringsFaceName=A", u"A", 2, 1},
        {"section too long skips its keys",
         u"[Font]\r\n\r\n[" + over + u"]\r\nStringsFaceName=B\r\n[" + over + u"]\n[Font2]\nx=1",
         u"-", 3, 2},
        {"lone CR and LF count", u"[Font]\r\n\r\nA=1\r\n\n\rB=" + over, u"-", 6, 1},
        {"ignored lines are not counted", over + u"=1\n[Font]\n" + over + u"\n[Font]\nX=" + over,
         u"-", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProfileReader r;
        const std::string bytes = utf16(c.text, true);
        r.parse(bytes.data(), bytes.size());
        EXPECT_EQ(r.get_string(u"Font", u"StringsFaceName", u"-"), c.face);
        EXPECT_EQ(r.first_skipped_line(), c.firstSkipped);
        EXPECT_EQ(r.skipped_lines(), c.skipped);
        EXPECT_TRUE(r.error_text().empty());
    }
}

}  // namespace
