#include "dicomlib/togcharset.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dicomlib/togdicomvr.h"
#include "dicomlib/togresult.h"
#include "recording_log_writer.h"

namespace {

using namespace TogDicomLib;
using ::testing::ElementsAre;

std::string FromHex(const std::string& hex) {
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

uint32_t VrOf(const std::string& text) {
    return text.size() == 2 ? MakeVR(text[0], text[1]) : VR::Blank;
}

std::string Convert(const std::string& bytes, const char16_t* charset, int* result = nullptr,
                    uint32_t vr = VR::PN) {
    TogString out;
    const int r = ConvertDicomCharEncodeToUtf16(out, bytes.data(), bytes.size(), TogString(charset), vr, false);
    if (result != nullptr) *result = r;
    return out.ToUtf8();
}

// Text values of the character-set files that pydicom ships, and values
// encoded with pydicom, against the text pydicom decodes from them.
TEST(DicomCharset, ValuesDecodeAsPydicomDecodesThem) {
    std::ifstream in(TEST_DATA_DIR "/dicomlib/charset_values.tsv");
    ASSERT_TRUE(in.good());
    std::string line;
    std::vector<std::string> seen;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::stringstream ss(line);
        std::string field;
        while (std::getline(ss, field, '\t')) f.push_back(field);
        while (f.size() < 5) f.push_back("");
        const std::string bytes = FromHex(f[3]);
        const TogString charset = TogString::FromUtf8(FromHex(f[2]));
        TogString out;
        const int r = ConvertDicomCharEncodeToUtf16(out, bytes.data(), bytes.size(), charset, VrOf(f[1]), false);
        EXPECT_EQ(r, ResultSuccess) << f[0];
        EXPECT_EQ(out.ToUtf8(), FromHex(f[4])) << f[0] << " in " << charset.ToUtf8();
        seen.push_back(f[0]);
    }
    EXPECT_GT(seen.size(), 100u);
    // The Patient's Name of every file the decision names is among them.
    for (const char* file : {"chrH31", "chrH32", "chrJapMulti", "chrJapMultiExplicitIR6", "chrKoreanMulti",
                             "chrI2", "chrX1", "chrX2", "chrGreek", "chrHbrw", "chrArab", "chrRuss"}) {
        const std::string name = std::string(file) + ".dcm/00100010";
        EXPECT_NE(std::find(seen.begin(), seen.end(), name), seen.end()) << name;
    }
    EXPECT_NE(std::find(seen.begin(), seen.end(), "chrSQEncoding.dcm/00321064[0]/00100010"), seen.end());
}

TEST(DicomCharset, JapaneseByHand) {
    // Yamada^Tarou=山田^太郎 through JIS X 0208 with the default set first.
    const std::string h31 = "Yamada^Tarou=\x1b$B;3ED\x1b(B^\x1b$BB@O:\x1b(B";
    EXPECT_EQ(Convert(h31, u"\\ISO 2022 IR 87"), "Yamada^Tarou=\xe5\xb1\xb1\xe7\x94\xb0^\xe5\xa4\xaa\xe9\x83\x8e");
    // Half-width katakana in G1 with JIS X 0201 Roman in G0, then kanji.
    const std::string h32 = "\xd4\xcf\xc0\xde^\xc0\xdb\xb3=\x1b$B;3ED\x1b(J^\x1b$BB@O:\x1b(J";
    EXPECT_EQ(Convert(h32, u"ISO 2022 IR 13\\ISO 2022 IR 87"),
              "\xef\xbe\x94\xef\xbe\x8f\xef\xbe\x80\xef\xbe\x9e^\xef\xbe\x80\xef\xbe\x9b\xef\xbd\xb3="
              "\xe5\xb1\xb1\xe7\x94\xb0^\xe5\xa4\xaa\xe9\x83\x8e");
    // JIS X 0212 (ESC $ ( D): 丂 is 0x3021 there.
    EXPECT_EQ(Convert("A\x1b$(D0!\x1b(BZ", u"\\ISO 2022 IR 159"), "A\xe4\xb8\x82Z");
    // The backslash stays a backslash in the JIS X 0201 Roman piece.
    EXPECT_EQ(Convert("a\\b", u"ISO 2022 IR 13\\ISO 2022 IR 87"), "a\\b");
}

TEST(DicomCharset, SingleSetsByTable) {
    struct Case { const char16_t* charset; std::string bytes; std::string expected; };
    const Case cases[] = {
        {u"", "abc", "abc"},
        {u"", "\x80", "\xe2\x82\xac"},  // the default repertoire converts as code page 1252
        {u"ISO_IR 100", "J\xe9r\xf4me", "J\xc3\xa9r\xc3\xb4me"},
        {u"ISO_IR 101", "\xa3", "\xc5\x81"},
        {u"ISO_IR 144", "\xbb\xee", "\xd0\x9b\xd1\x8e"},
        {u"ISO_IR 127", "\xe2", "\xd9\x82"},
        {u"ISO_IR 126", "\xc4", "\xce\x94"},
        {u"ISO_IR 138", "\xf9", "\xd7\xa9"},
        {u"ISO_IR 148", "\xdd", "\xc4\xb0"},
        {u"ISO_IR 166", "\xa1", "\xe0\xb8\x81"},
        {u"ISO_IR 13", "\xb1\\", "\xef\xbd\xb1\\"},
        {u"ISO_IR 192", "\xe7\x8e\x8b", "\xe7\x8e\x8b"},
        {u"ISO_IR 192", "a\xc3", "a\xef\xbf\xbd"},  // cut-off sequence
        {u"GB18030", "\xcd\xf5", "\xe7\x8e\x8b"},
        {u"GB18030", "\x81\x30\x81\x30", "\xc2\x80"},  // four-byte form
        {u"GBK", "\xcd\xf5^\xd0\xa1", "\xe7\x8e\x8b^\xe5\xb0\x8f"},
        {u"CP1250", "\x8a", "\xc5\xa0"},
        {u"CP1251", "\xc0", "\xd0\x90"},
        {u"ISO 2022 IR 100", "\xe9", "\xc3\xa9"},
        {u"UNKNOWN", "abc", "abc"},  // falls back to the default set
    };
    for (const Case& c : cases) {
        int r = -1;
        EXPECT_EQ(Convert(c.bytes, c.charset, &r), c.expected) << TogString(c.charset).ToUtf8();
        EXPECT_EQ(r, ResultSuccess);
    }
}

TEST(DicomCharset, KoreanAndChineseEscapes) {
    // Hong^Gildong=洪^吉洞=홍^길동 with KS X 1001 designated to G1.
    const std::string i2 =
        "Hong^Gildong=\x1b$)C\xfb\xf3^\x1b$)C\xd1\xce\xd4\xd7=\x1b$)C\xc8\xab^\x1b$)C\xb1\xe6\xb5\xbf";
    EXPECT_EQ(Convert(i2, u"\\ISO 2022 IR 149"),
              "Hong^Gildong=\xe6\xb4\xaa^\xe5\x90\x89\xe6\xb4\x9e=\xed\x99\x8d^\xea\xb8\xb8\xeb\x8f\x99");
    // GB 2312 designated to G1.
    EXPECT_EQ(Convert("Wang=\x1b$)A\xcd\xf5^\x1b$)A\xd0\xa1", u"\\ISO 2022 IR 58"),
              "Wang=\xe7\x8e\x8b^\xe5\xb0\x8f");
    // Two single-byte sets switched by G1 designations.
    EXPECT_EQ(Convert("\x1b-A\xe9\x1b-F\xc4", u"ISO 2022 IR 100\\ISO 2022 IR 126"), "\xc3\xa9\xce\x94");
}

TEST(DicomCharset, CnsPlanes) {
    // CNS 11643 plane 1 0x4421 is 一 (U+4E00), plane 2 0x2121 is 乂 (U+4E42).
    EXPECT_EQ(Convert("A\x1b$)G\xc4\xa1" "B", u"\\ISO 2022 IR 171"), "A\xe4\xb8\x80" "B");
    EXPECT_EQ(Convert("\x1b$)H\xa1\xa1", u"\\ISO 2022 IR 171\\ISO 2022 IR 172"), "\xe4\xb9\x82");
    EXPECT_EQ(Convert("\x1b$(GD!\x1b(Bz", u"\\ISO 2022 IR 171"), "\xe4\xb8\x80z");
    int r = 0;
    Convert("\x1b$)G\xc4", u"\\ISO 2022 IR 171", &r);  // half a character
    EXPECT_EQ(r, ResultUnknownError);
    Convert("\x1b$)Q\xc4\xa1", u"\\ISO 2022 IR 171", &r);  // not a CNS plane
    EXPECT_EQ(r, ResultUnknownError);
}

TEST(DicomCharset, FailuresAndTheirLogLines) {
    RecordingLogWriter log;
    int r = 0;
    // Korean bytes where only Japanese sets are declared: no set fits.
    Convert("a\x1b$)C\xb1\xe8", u"\\ISO 2022 IR 87", &r);
    EXPECT_EQ(r, ResultUnknownError);
    EXPECT_THAT(log.Messages(),
                ElementsAre("Couldn't convert characters by the specific character set. ('\\ISO 2022 IR 87')"));
    log.lines.clear();

    // One code-extension set alone: noted, and converted with its code page.
    EXPECT_EQ(Convert("\xe9", u"ISO 2022 IR 100", &r), "\xc3\xa9");
    EXPECT_EQ(r, ResultSuccess);
    EXPECT_THAT(log.Messages(), ElementsAre("Only single character set was specified, but the code extension "
                                            "was used. (ISO 2022 IR 100)"));
    log.lines.clear();

    // An empty value converts to an empty text.
    EXPECT_EQ(Convert("", u"\\ISO 2022 IR 87", &r), "");
    EXPECT_EQ(r, ResultSuccess);
    EXPECT_TRUE(log.lines.empty());

    // Text stops at a NUL, as a C text does.
    EXPECT_EQ(Convert(std::string("AB\0CD", 5), u"ISO_IR 100", &r), "AB");
}

TEST(DicomCharset, ParseSpecificCharacterSetByTable) {
    struct Case {
        const char16_t* text;
        std::vector<uint32_t> codePages;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {u"", {1252}, {}},
        {u"ISO_IR 100", {28591}, {}},
        {u"\\ISO 2022 IR 87", {1252, 50221}, {}},
        {u"ISO 2022 IR 13\\ISO 2022 IR 87\\ISO 2022 IR 159", {932, 50221, 50221}, {}},
        {u"ISO_IR 192", {65001}, {}},
        {u"GB18030", {54936}, {}},
        {u"GBK", {936}, {}},
        {u"iso_ir 100", {1252},
         {"A specific character set couldn't be recognized. ('iso_ir 100')",
          "Any specific character sets couldn't be recognized. ('iso_ir 100')"}},
        {u"BAD\\ISO 2022 IR 149", {51949}, {"A specific character set couldn't be recognized. ('BAD')"}},
    };
    for (const Case& c : cases) {
        RecordingLogWriter log;
        std::vector<const CharsetInfomationData*> rows;
        ASSERT_TRUE(ParseSpecificCharacterSet(rows, TogString(c.text)));
        std::vector<uint32_t> pages;
        for (const CharsetInfomationData* row : rows) pages.push_back(row->codePage);
        EXPECT_EQ(pages, c.codePages) << TogString(c.text).ToUtf8();
        EXPECT_EQ(log.Messages(), c.log) << TogString(c.text).ToUtf8();
    }
}

TEST(DicomCharset, EscapeSequencesSplitValues) {
    std::vector<const CharsetInfomationData*> rows;
    ASSERT_TRUE(ParseSpecificCharacterSet(rows, TogString(u"ISO 2022 IR 13\\ISO 2022 IR 87")));
    const std::string value = "\xd4^\x1b$B;3\x1b(J=\x1b)I\xb1\x1b$(D0!";
    std::vector<EscapeSequenceState> pieces;
    ASSERT_EQ(ParseEscapeSequence(pieces, reinterpret_cast<const uint8_t*>(value.data()), value.size(), rows,
                                  VR::PN),
              ResultSuccess);
    struct Expected {
        std::string bytes;
        uint8_t g0Final, g0MultiByte, g1Final, g1MultiByte;
        int g1SetSize;
    };
    const Expected expected[] = {
        {"\xd4^", 'J', 0, 'I', 0, 1},
        {";3", 'B', 1, 'I', 0, 1},
        {"=", 'J', 0, 'I', 0, 1},
        {"\xb1", 'J', 0, 'I', 0, 1},
        {"0!", 'D', 1, 'I', 0, 1},
    };
    ASSERT_EQ(pieces.size(), std::size(expected));
    for (size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i].bytes, expected[i].bytes) << i;
        EXPECT_EQ(pieces[i].g0Final, expected[i].g0Final) << i;
        EXPECT_EQ(pieces[i].g0MultiByte, expected[i].g0MultiByte) << i;
        EXPECT_EQ(pieces[i].g0SetSize, 1) << i;
        EXPECT_EQ(pieces[i].g1Final, expected[i].g1Final) << i;
        EXPECT_EQ(pieces[i].g1MultiByte, expected[i].g1MultiByte) << i;
        EXPECT_EQ(pieces[i].g1SetSize, expected[i].g1SetSize) << i;
    }
    // Which declared set fits which piece.
    EXPECT_TRUE(CharsetFitsPiece(*rows[0], pieces[0]));
    EXPECT_FALSE(CharsetFitsPiece(*rows[1], pieces[0]));
    EXPECT_FALSE(CharsetFitsPiece(*rows[0], pieces[1]));
    EXPECT_TRUE(CharsetFitsPiece(*rows[1], pieces[1]));
    EXPECT_FALSE(CharsetFitsPiece(*rows[1], pieces[4]));  // JIS X 0212 is not declared
}

TEST(DicomCharset, MalformedEscapesAreLogged) {
    struct Case { std::string value; std::vector<std::string> log; size_t pieces; };
    const Case cases[] = {
        {"ab\x1b$", {"Incomplete escape sequence."}, 2},
        {"ab\x1b", {"Incomplete escape sequence."}, 2},
        {"ab\x1b!B", {"Unknown middle-character of escape sequence. ('0x21')",
                      "Invalid escape sequence. ('0x42')"}, 2},
        {"ab\x1b(\x90x", {"Invalid escape sequence. ('0x90')"}, 2},
        {"\x1b(Bab", {}, 2},
    };
    for (const Case& c : cases) {
        RecordingLogWriter log;
        std::vector<const CharsetInfomationData*> rows;
        ParseSpecificCharacterSet(rows, TogString(u"\\ISO 2022 IR 87"));
        std::vector<EscapeSequenceState> pieces;
        EXPECT_EQ(ParseEscapeSequence(pieces, reinterpret_cast<const uint8_t*>(c.value.data()), c.value.size(),
                                      rows, VR::LO),
                  ResultSuccess);
        EXPECT_EQ(pieces.size(), c.pieces);
        EXPECT_EQ(log.Messages(), c.log);
    }
}

TEST(DicomCharset, ToTogStringByCodePage) {
    TogString out;
    EXPECT_EQ(ToTogString(out, "abc", 3, 1252, false), ResultSuccess);
    EXPECT_EQ(out, u"abc");
    EXPECT_EQ(ToTogString(out, "\x82\xa0", 2, 932, true), ResultSuccess);
    EXPECT_EQ(out, u"\u3042");
    // An invalid byte becomes U+FFFD and the conversion goes on.
    EXPECT_EQ(ToTogString(out, "\xa0" "a", 2, 51949, false), ResultSuccess);
    EXPECT_EQ(out, u"\uFFFDa");
    EXPECT_EQ(ToTogString(out, "", 0, 1252, false), ResultSuccess);
    EXPECT_TRUE(out.IsEmpty());
    RecordingLogWriter log;
    EXPECT_EQ(ToTogString(out, "abc", 3, 12345, false), ResultUnknownError);
    EXPECT_TRUE(out.IsEmpty());
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].message.rfind("Windows API error(22):", 0), 0u);
}

TEST(DicomCharset, TablesAndExtraRows) {
    const CharsetInfomationData* builtIn = GetBuiltInCharsets();
    ASSERT_NE(builtIn, nullptr);
    EXPECT_EQ(TogString(builtIn[0].definedTerm), u"");
    EXPECT_EQ(builtIn[0].codePage, 1252u);
    size_t n = 0;
    while (builtIn[n].definedTerm != nullptr) ++n;
    EXPECT_EQ(n, 36u);

    static const CharsetInfomationData extra[] = {
        {u"ISO_IR 203", 0, 2, 0, 0, 'B', 'b', 28605, 0},
        {nullptr, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    EXPECT_EQ(Convert("\xa4", u"ISO_IR 203"), "\xc2\xa4");  // unknown: the default set
    SetExtraCharsets(extra);
    EXPECT_EQ(Convert("\xa4", u"ISO_IR 203"), "\xe2\x82\xac");  // ISO 8859-15 euro sign
    SetExtraCharsets(nullptr);
}

}  // namespace
