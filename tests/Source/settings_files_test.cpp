// Settings files beside the program that cannot be used as they are: the
// render program names each in one warning line and draws exactly as with
// the built-in settings. The settings object's warnings, and an annotation
// settings file of thousands of modality blocks against a model of the
// reader's rules (a later block of a name replaces the earlier one, a
// missing corner comes from OTHER).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "Source/appsettings.h"
#include "tests/vrx/extension/dicom/dicom_test_support.h"

namespace {

namespace fs = std::filesystem;

const std::string kIni = AppSettings::kFileName;
const std::string kXml = OverlaySettingReader::kFileName;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

fs::path Fixture(const std::string& name) {
    return fs::path(TEST_DATA_DIR) / "Source/hostile_settings" / name;
}

// A folder holding the render program (linked, or copied across file
// systems), so that the settings files put beside it are the ones it reads.
fs::path ProgramFolder(const std::string& name) {
    const fs::path folder = fs::path(::testing::TempDir()) / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::error_code error;
    fs::create_hard_link(ZRM_RENDER, folder / "zrm-render", error);
    if (error) fs::copy_file(ZRM_RENDER, folder / "zrm-render");
    return folder;
}

struct Outcome {
    int code = -1;
    std::string err;
    std::string bitmap;
};

Outcome Render(const fs::path& folder, const std::string& input) {
    const fs::path out = folder / "out.bmp", err = folder / "err.txt";
    fs::remove(out);
    const std::string command =
        (folder / "zrm-render").string() + " " + input + " " + out.string() + " 2>" + err.string();
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(err), ReadText(out)};
}

TEST(SettingsFiles, EachBrokenFileOneWarningAndTheBuiltInSettings) {
    const std::string ct = dicomtest::pydicom_file("CT_small.dcm");
    if (!dicomtest::file_exists(ct)) GTEST_SKIP() << "pydicom's test files missing";
    const fs::path folder = ProgramFolder("settings_files");
    const Outcome plain = Render(folder, ct);
    ASSERT_EQ(plain.code, 0) << plain.err;
    ASSERT_EQ(plain.err, "");

    const std::string xmlInstead = "; the built-in annotation settings are used";
    const std::string iniInstead = "; the built-in settings are used";
    const std::string skipped = ": a name or value longer than 255 characters; the line is skipped";
    const auto copy = [](const char* fixture) {
        return [fixture](const fs::path& to) { fs::copy_file(Fixture(fixture), to); };
    };
    const auto folderInstead = [](const fs::path& at) { fs::create_directory(at); };
    const auto tooLarge = [](const fs::path& at) {
        WriteText(at, "");
        fs::resize_file(at, (16u << 20) + 1);
    };
    struct Case {
        std::string file;
        std::function<void(const fs::path&)> make;
        std::string warning;  // after the file's path
    };
    // clang-format off
    const Case cases[] = {
        {kXml, copy("xml/truncated.xml"),
         ", line 5: Premature end of data in tag MODALITY line 3" + xmlInstead},
        {kXml, copy("xml/mismatch.xml"),
         ", line 5: Opening and ending tag mismatch: LOCATION line 4 and MODALITY" + xmlInstead},
        {kXml, copy("xml/wrong_root.xml"),
         ", line 2: the root element is SETTINGS, not OVERLAYSETTING" + xmlInstead},
        {kXml, copy("xml/lone_surrogate.xml"),
         ", line 3: input conversion failed due to input error, bytes 0x00 0xD8 0x54 0x00" + xmlInstead},
        {kXml, copy("xml/bad_utf8.xml"),
         ", line 3: Input is not proper UTF-8, indicate encoding ! Bytes: 0xFF 0xFE 0x22 0x3E" + xmlInstead},
        {kXml, copy("xml/unknown_encoding.xml"), ", line 1: Unsupported encoding NO-SUCH-CODE" + xmlInstead},
        {kXml, copy("xml/deep.xml"),
         ", line 3: Excessive depth in document: 256 use XML_PARSE_HUGE option" + xmlInstead},
        {kXml, copy("xml/empty.xml"), ", line 1: Document is empty" + xmlInstead},
        {kXml, copy("xml/binary.xml"), ", line 1: Document is empty" + xmlInstead},
        // The parser's message quotes the 40,000-character name: cut.
        {kXml, copy("xml/long_name.xml"),
         ", line 4: Opening and ending tag mismatch: " + std::string(167, 'N') + "..." + xmlInstead},
        {kXml, folderInstead, ": cannot be read: Is a directory" + xmlInstead},
        {kXml, tooLarge, ": is larger than 16 MiB" + xmlInstead},
        {kIni, copy("ini/long_face.ini"), ", line 3" + skipped},
        {kIni, copy("ini/long_key.ini"), ", line 2" + skipped},
        {kIni, copy("ini/long_section.ini"), ", line 3" + skipped},
        {kIni, [](const fs::path& at) {
             WriteText(at, "[Font]\r\nStringsFaceName=" + std::string(8u << 20, 'F') + "\r\n");
         }, ", line 2" + skipped},
        {kIni, folderInstead, ": cannot be read: Is a directory" + iniInstead},
        {kIni, tooLarge, ": is larger than 16 MiB" + iniInstead},
    };
    // clang-format on
    for (const Case& c : cases) {
        const fs::path file = folder / c.file;
        SCOPED_TRACE(c.warning);
        c.make(file);
        const Outcome run = Render(folder, ct);
        fs::remove_all(file);
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.err, "zrm-render: warning: " + file.string() + c.warning + "\n");
        EXPECT_TRUE(run.bitmap == plain.bitmap);
    }
    fs::remove_all(folder);
}

TEST(SettingsFiles, WarningsOfTheSettingsObject) {
    const fs::path folder = fs::path(::testing::TempDir()) / "settings_warnings";
    fs::remove_all(folder);
    fs::create_directories(folder);
    // Absent files are no fault.
    AppSettings absent;
    EXPECT_FALSE(absent.Load((folder / kIni).string()));
    EXPECT_FALSE(absent.LoadOverlaySettings(folder.string()));
    EXPECT_TRUE(absent.Warnings().empty());

    const std::string over(256, 'x');
    WriteText(folder / kIni, "[Font]\n" + over + "=1\nStringsFaceName=IPAGothic\nA=" + over +
                                 "\n[" + over + "]\n");
    WriteText(folder / kXml, "<OVERLAYSETTING>\n<FONT NAME='X' SIZE='20'/>\n<MODALITY NAME='CT'>");
    AppSettings settings;
    EXPECT_TRUE(settings.Load((folder / kIni).string()));
    EXPECT_EQ(settings.FaceName(), u"IPAGothic");
    EXPECT_FALSE(settings.LoadOverlaySettings(folder.string()));
    EXPECT_EQ(settings.Warnings(),
              (std::vector<std::string>{
                  (folder / kIni).string() +
                      ", line 2: a name or value longer than 255 characters; it and 2 more such "
                      "lines are skipped",
                  (folder / kXml).string() +
                      ", line 3: Premature end of data in tag MODALITY line 3; the built-in "
                      "annotation settings are used"}));
    // The file's font is not used either.
    EXPECT_EQ(settings.AnnotationFont().face, u"IPAGothic");
    EXPECT_EQ(settings.AnnotationFont().points, 10);
    fs::remove_all(folder);
}

TEST(SettingsFiles, ThousandsOfModalityBlocksAgainstAModel) {
    // 6000 blocks over 2000 names (M0 is OTHER), each name written in
    // either case; each block fills a random set of corners with a text that
    // names the block.
    const char* const corners[] = {"UPPERLEFT", "LOWERLEFT", "UPPERRIGHT", "LOWERRIGHT"};
    const int32_t locations[] = {kLocationUpperLeft, kLocationLowerLeft, kLocationUpperRight,
                                 kLocationLowerRight};
    std::mt19937 random(31);
    std::map<std::string, std::map<int32_t, std::string>> model;  // the last block of a name
    std::vector<std::u16string> order;                            // names by first block
    std::string xml = "<OVERLAYSETTING>\n";
    for (int block = 0; block < 6000; ++block) {
        const unsigned number = random() % 2000;
        const std::string name = number == 0 ? std::string("OTHER") : 'M' + std::to_string(number);
        std::string written = name;
        if (random() % 2)
            std::transform(written.begin(), written.end(), written.begin(),
                           [](char c) { return char(std::tolower(c)); });
        if (!model.count(name)) order.emplace_back(name.begin(), name.end());
        std::map<int32_t, std::string>& texts = model[name];
        texts.clear();
        xml += "<MODALITY NAME='" + written + "'>";
        for (int corner = 0; corner < 4; ++corner) {
            if (random() % 2) continue;
            const std::string text = std::to_string(block) + '-' + std::to_string(corner);
            xml += std::string("<LOCATION VALUE='") + corners[corner] + "'><LINE><TEXT VALUE='" +
                   text + "'/></LINE></LOCATION>";
            texts[locations[corner]] = text;
        }
        xml += "</MODALITY>\n";
    }
    xml += "</OVERLAYSETTING>\n";
    const fs::path folder = fs::path(::testing::TempDir()) / "settings_many";
    fs::remove_all(folder);
    fs::create_directories(folder);
    WriteText(folder / kXml, xml);
    AppSettings settings;
    ASSERT_TRUE(settings.LoadOverlaySettings(folder.string()));
    fs::remove_all(folder);

    std::vector<std::u16string> names;
    for (const OverlayModalityNode& m : settings.OverlayReader().Modalities())
        names.push_back(m.name);
    EXPECT_EQ(names, order);
    EXPECT_EQ(settings.OverlaySettings().size(), model.size() + (model.count("OTHER") ? 0 : 1));
    const std::map<int32_t, std::string> other = model["OTHER"];
    model["NOT-IN-FILE"];
    for (const auto& [name, texts] : model) {
        const ZEBOverlaySettingInfo& setting =
            settings.OverlaySetting(std::u16string(name.begin(), name.end()));
        for (const int32_t location : locations) {
            // Its own corner, else OTHER's, else none.
            const auto own = texts.find(location);
            const std::string expected = own != texts.end()           ? own->second
                                         : other.count(location) != 0 ? other.at(location)
                                                                      : "";
            const ZEBOverlayLocationMap& items = setting.GetLocationLines(location);
            const std::u16string text = items.empty() ? u"" : items.begin()->second.text;
            ASSERT_EQ(text, std::u16string(expected.begin(), expected.end()))
                << name << " " << location;
            EXPECT_EQ(items.size(), expected.empty() ? 0u : 1u);
        }
    }
}

}  // namespace
