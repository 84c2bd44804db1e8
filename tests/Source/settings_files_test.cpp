// The settings object's warnings, and an annotation settings file of
// thousands of modality blocks against a model of the reader's rules (a
// later block of a name replaces the earlier one, a missing corner comes
// from OTHER). What the render program makes of settings files it cannot
// use is a part of the hostile-files table (hostile_files_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "Source/appsettings.h"
#include "tests/test_folder.h"

namespace {

namespace fs = std::filesystem;

const std::string kIni = AppSettings::kFileName;
const std::string kXml = OverlaySettingReader::kFileName;

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(SettingsFiles, WarningsOfTheSettingsObject) {
    const fs::path folder = fs::path(testfolder::file("settings_warnings"));
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
    // 5000 blocks over 2000 names (M0 is OTHER), each name written in
    // either case; each block fills a random set of corners with a text that
    // names the block.
    const char* const corners[] = {"UPPERLEFT", "LOWERLEFT", "UPPERRIGHT", "LOWERRIGHT"};
    const int32_t locations[] = {kLocationUpperLeft, kLocationLowerLeft, kLocationUpperRight,
                                 kLocationLowerRight};
    std::mt19937 random(31);
    std::map<std::string, std::map<int32_t, std::string>> model;  // the last block of a name
    std::vector<std::u16string> order;                            // names by first block
    std::string xml = "<OVERLAYSETTING>\n";
    for (int block = 0; block < 5000; ++block) {
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
    const fs::path folder = fs::path(testfolder::file("settings_many"));
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
