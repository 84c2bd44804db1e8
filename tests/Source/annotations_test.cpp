// Corner annotations from settings file to text: the settings fixtures read
// by the settings object and resolved against one data set, the resolver's
// rules, the item texts, the NO/INDEX readers and the tile's values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "Source/appsettings.h"
#include "Source/frameimageinfo.h"
#include "Source/overlaysettingreader.h"
#include "Source/zebframeannotations.h"
#include "Source/zebimageviewctrl.h"
#include "Source/zebvrxhelper.h"
#include "tests/test_folder.h"
#include "tests/vrx/extension/dicom/dicom_test_support.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"

namespace {

namespace fs = std::filesystem;

using Attributes = std::map<uint32_t, std::pair<const char*, std::string>>;
constexpr uint32_t kReferencedImages = 0x00081140;

// The attributes the fixtures name; kReferencedImages holds one item.
Attributes BaseAttributes(const std::string& modality) {
    return {
        {0x00080008, {"CS", "ORIGINAL\\PRIMARY\\AXIAL\\A1\\B2\\C3"}},
        {0x00080020, {"DA", "20240131"}},
        {0x00080030, {"TM", "101530.25"}},
        {0x00080060, {"CS", modality}},
        {kReferencedImages, {"SQ", ""}},
        {0x00100010, {"PN", "DOE^JOHN"}},
        {0x00100020, {"LO", "ID42"}},
        {0x00200013, {"IS", "7"}},
        {0x00200037, {"DS", "1\\0\\0\\0\\1\\0"}},
    };
}

dicomtest::Bytes DataSet(const Attributes& attributes,
                         const std::string& syntax = "1.2.840.10008.1.2.1") {
    dicomtest::Writer w(syntax);
    for (const auto& [tag, value] : attributes) {
        const auto group = static_cast<uint16_t>(tag >> 16), element = static_cast<uint16_t>(tag);
        if (tag == kReferencedImages) {
            dicomtest::Writer item(nullptr);
            item.text(0x0008, 0x1150, "UI", "1.2.840.10008.5.1.4.1.1.2");
            item.text(0x0008, 0x1155, "UI", "1.2.3.4");
            w.sequence(group, element, {item.bytes()});
        } else {
            w.text(group, element, value.first, value.second);
        }
    }
    return w.bytes();
}

// The annotations of a data set under the settings, with the tile values
// page 3 of 10, zoom 1.5, window 40/400 and a 250 x 200 mm field.
ZEBOverlayViewInfo Resolve(const Attributes& attributes, const AppSettings& settings,
                           const std::string& syntax = "1.2.840.10008.1.2.1") {
    dicomtest::Loaded<vrx::VRX_DICOMInfo> file(DataSet(attributes, syntax));
    EXPECT_TRUE(file.ok);
    ZEBOverlayViewInfo annotations;
    ResolveFrameAnnotations(file.info, annotations, settings);
    ZEBAnnotationState state;
    state.page = 3;
    state.pageCount = 10;
    state.zoom = 1.5;
    state.windowCenter = 40;
    state.windowWidth = 400;
    state.fovWidthMm = 250;
    state.fovHeightMm = 200;
    WriteTileMacroValues(annotations, state);
    return annotations;
}

std::u16string Text(const ZEBOverlayViewInfo& annotations, int32_t location) {
    return annotations.BuildLocationText(annotations.GetLocationLines(location), 0);
}

// A folder of its own holding the fixture as "OverlaySetting.xml" (none for
// an empty name).
std::string FolderWith(const std::string& fixture) {
    const fs::path folder = fs::path(testfolder::file("overlay_" + fixture));
    fs::remove_all(folder);
    fs::create_directories(folder);
    if (!fixture.empty())
        fs::copy_file(fs::path(TEST_DATA_DIR) / "Source/overlay_settings" / (fixture + ".xml"),
                      folder / OverlaySettingReader::kFileName);
    return folder.string();
}

TEST(AnnotationSettingsFixtures, EachCornerText) {
    struct Case {
        const char* fixture;  // empty: no settings file
        const char* modality;
        std::u16string upperLeft, upperRight, lowerLeft, lowerRight;
        std::u16string fontFace;
        int32_t fontPoints;
    };
    const std::u16string gothic = u"MS UI Gothic";
    const Case cases[] = {
        {"none", "CT", u"DOE^JOHN\r\nID: ID42\r\n\r\n\r\n2024/01/31 10:15:30",
         u"\r\nCT \r\n\r\n\r\nIm: 7", u"Page: 3 of 10\r\nZoom: 1.50\r\nDFOV: 250.00 x 200.00 mm",
         u"\r\n\r\nWL: 40 WW: 400", gothic, 10},
        {"case", "CT", u"Name: DOE^JOHN End\r\nZoom x1.50", u"", u"", u"", gothic, 10},
        {"duplicate", "MR", u"", u"second", u"", u"", gothic, 10},
        {"blanked", "XA", u"[]\r\nok\r\n()\r\n\r\n{}y\r\n\r\n", u"", u"a\r\n\r\nb", u"", gothic,
         10},
        {"index", "CT", u"", u"C3\r\n\r\n\r\nAXIAL/PRIMARY\r\n2024/01/31 10:15:30", u"", u"",
         gothic, 10},
        {"other", "CT", u"ct-ul", u"o-ur", u"o-ll", u"o-lr\r\n2", gothic, 10},
        {"other", "MR", u"o-ul", u"o-ur", u"o-ll", u"o-lr\r\n2", gothic, 10},
        {"nested", "CT", u"", u"", u"", u"ref=1.2.3.4\r\nid=ID42\r\n", gothic, 10},
        {"utf16", "CT", u"\u60a3\u8005: DOE^JOHN", u"", u"", u"", u"IPAGOTHIC", 12},
        {"shift_jis", "CT", u"\u691c\u67fb\u65e5 2024/01/31 \u307e\u3067", u"", u"", u"",
         u"MS GOTHIC", 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fixture) + " " + c.modality);
        const bool file = std::string(c.fixture) != "none";
        AppSettings settings;
        EXPECT_EQ(settings.LoadOverlaySettings(FolderWith(file ? c.fixture : "")), file);
        EXPECT_EQ(settings.OverlayFileExists(), file);
        const ZEBOverlayViewInfo annotations = Resolve(BaseAttributes(c.modality), settings);
        EXPECT_EQ(Text(annotations, kLocationUpperLeft), c.upperLeft);
        EXPECT_EQ(Text(annotations, kLocationUpperRight), c.upperRight);
        EXPECT_EQ(Text(annotations, kLocationLowerLeft), c.lowerLeft);
        EXPECT_EQ(Text(annotations, kLocationLowerRight), c.lowerRight);
        // The middles of the edges always come from the built-in table.
        EXPECT_EQ(Text(annotations, kLocationLeftMiddle), u"R");
        EXPECT_EQ(Text(annotations, kLocationTopCentre), u"A");
        EXPECT_EQ(Text(annotations, kLocationBottomCentre), u"P");
        EXPECT_EQ(Text(annotations, kLocationRightMiddle), u"L");
        EXPECT_EQ(settings.AnnotationFont().face, c.fontFace);
        EXPECT_EQ(settings.AnnotationFont().points, c.fontPoints);
        EXPECT_EQ(settings.AnnotationFont().weight, 400);
    }
}

TEST(AnnotationSettingsFixtures, ModalitiesAndFailures) {
    AppSettings settings;
    settings.LoadOverlaySettings(FolderWith("other"));
    // Blocks without a name are dropped; every named one gets a setting.
    std::vector<std::u16string> names;
    for (const OverlayModalityNode& m : settings.OverlayReader().Modalities())
        names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"CT", u"OTHER"}));
    EXPECT_EQ(settings.OverlaySettings().size(), 2u);

    // A file that is there but cannot be read gives the built-in corners.
    const std::string folder = FolderWith("");
    FILE* f = std::fopen((folder + "/" + OverlaySettingReader::kFileName).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("<OVERLAYSETTING><MODALITY NAME=\"CT\">", f);
    std::fclose(f);
    AppSettings broken;
    EXPECT_FALSE(broken.LoadOverlaySettings(folder));
    EXPECT_TRUE(broken.OverlayFileExists());
    EXPECT_EQ(broken.Warnings().size(), 1u);
    const ZEBOverlayViewInfo annotations = Resolve(BaseAttributes("CT"), broken);
    EXPECT_EQ(Text(annotations, kLocationUpperLeft).substr(0, 8), u"DOE^JOHN");
    EXPECT_EQ(Text(annotations, kLocationLeftMiddle), u"R");

    // A root of another name, or a lower-case root, is refused.
    OverlaySettingReader reader;
    for (const char* xml : {"<SETTINGS/>", "<overlaysetting/>", "", "<?xml version='1.0'?>"})
        EXPECT_FALSE(reader.LoadBytes(xml, std::strlen(xml))) << xml;
    EXPECT_TRUE(reader.LoadBytes("<OVERLAYSETTING/>", 17));
}

TEST(AnnotationResolver, FrameLoadResolvesAndResetClears) {
    const std::string mr = dicomtest::pydicom_file("MR_small.dcm");
    if (!dicomtest::file_exists(mr)) GTEST_SKIP() << "pydicom's test files missing";
    FrameImageInfo frame;
    ZEBVRXHelper helper;
    ASSERT_TRUE(helper.DecodeFrame(mr, 0, frame));
    const std::u16string upperLeft = Text(frame.m_annotations, kLocationUpperLeft);
    EXPECT_EQ(upperLeft.substr(0, 31), u"CompressedSamples^MR1\r\nID: 4MR1");
    EXPECT_EQ(Text(frame.m_annotations, kLocationRightMiddle), u"L");
    frame.Reset();
    EXPECT_TRUE(frame.m_annotations.GetLocationLines(kLocationUpperLeft).empty());
    EXPECT_TRUE(frame.m_annotations.m_macroValues[kMacroOrientationRight].empty());
}

TEST(AnnotationResolver, MacrosAndAttributeValues) {
    struct Case {
        const char* name;
        Attributes extra;  // over BaseAttributes("CT"); an empty text removes
        const char* syntax;
        const char16_t* orientation;  // top/bottom/left/right
        const char16_t* markers;      // multiframe/lossy/laterality
    };
    const char* const le = "1.2.840.10008.1.2.1";
    const uint32_t IOP = 0x00200037, PO = 0x00200020, FRAMES = 0x00280008, LOSSY = 0x00282110;
    const uint32_t MOD = 0x00080060, IMAGE_LAT = 0x00200062, LAT = 0x00200060;
    // clang-format off
    const Case cases[] = {
        {"axial", {}, le, u"A/P/R/L", u"//"},
        {"sagittal", {{IOP, {"DS", "0\\1\\0\\0\\0\\-1"}}}, le, u"H/F/A/P", u"//"},
        {"coronal", {{IOP, {"DS", "1\\0\\0\\0\\0\\-1"}}}, le, u"H/F/R/L", u"//"},
        {"oblique, strongest first", {{IOP, {"DS", "0.5\\0.866\\0\\0\\0\\-1"}}}, le,
         u"H/F/AR/PL", u"//"},
        {"tiny components left out", {{IOP, {"DS", "1\\0.00005\\0\\0\\1\\0"}}}, le,
         u"A/P/R/L", u"//"},
        {"patient orientation without a plane", {{IOP, {"", ""}}, {PO, {"CS", "A\\FL"}}}, le,
         u"HR/FL/P/A", u"//"},
        {"a zero plane falls back", {{IOP, {"DS", "0\\0\\0\\0\\0\\0"}}, {PO, {"CS", "P\\H"}}},
         le, u"F/H/A/P", u"//"},
        {"unknown letters have no opposite", {{IOP, {"", ""}}, {PO, {"CS", "X\\F"}}}, le,
         u"H/F//X", u"//"},
        {"several frames", {{FRAMES, {"IS", "3"}}}, le, u"A/P/R/L", u"MF//"},
        {"one frame", {{FRAMES, {"IS", "1"}}}, le, u"A/P/R/L", u"//"},
        {"lossy attribute", {{LOSSY, {"CS", "01"}}}, le, u"A/P/R/L", u"/LOSSY/"},
        {"lossy attribute 00", {{LOSSY, {"CS", "00"}}}, le, u"A/P/R/L", u"//"},
        {"JPEG baseline syntax", {}, "1.2.840.10008.1.2.4.50", u"A/P/R/L", u"/LOSSY/"},
        {"JPEG lossless syntax", {}, "1.2.840.10008.1.2.4.70", u"A/P/R/L", u"//"},
        {"mammography image laterality",
         {{MOD, {"CS", "MG"}}, {IMAGE_LAT, {"CS", "L"}}, {LAT, {"CS", "R"}}}, le, u"A/P/R/L", u"//L"},
        {"mammography series laterality", {{MOD, {"CS", "MG"}}, {LAT, {"CS", "R"}}}, le,
         u"A/P/R/L", u"//R"},
        {"laterality only for mammography", {{IMAGE_LAT, {"CS", "L"}}}, le, u"A/P/R/L", u"//"},
    };
    // clang-format on
    AppSettings settings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Attributes attributes = BaseAttributes("CT");
        for (const auto& [tag, value] : c.extra) {
            if (value.second.empty())
                attributes.erase(tag);
            else
                attributes[tag] = value;
        }
        const ZEBOverlayViewInfo a = Resolve(attributes, settings, c.syntax);
        const auto& v = a.m_macroValues;
        EXPECT_EQ(v[kMacroOrientationTop] + u"/" + v[kMacroOrientationBottom] + u"/" +
                      v[kMacroOrientationLeft] + u"/" + v[kMacroOrientationRight],
                  c.orientation);
        EXPECT_EQ(v[kMacroMultiframe] + u"/" + v[kMacroLossy] + u"/" + v[kMacroMammoLaterality],
                  c.markers);
    }

    // Attribute texts: value by index, trailing blanks cut, sequence paths.
    dicomtest::Loaded<vrx::VRX_DICOMInfo> file(DataSet(BaseAttributes("CT")));
    OverlayItemNode sop;
    sop.group = 0x0008;
    sop.element = 0x1150;
    OverlayItemNode badPath = sop;
    badPath.element = kInvalidTagNumber;
    struct Read {
        uint16_t group, element;
        int32_t index;
        const OverlayItemNode* path;
        std::u16string text;
    };
    const Read reads[] = {
        {0x0008, 0x0008, 0, nullptr, u"ORIGINAL"},
        {0x0008, 0x0008, 5, nullptr, u"C3"},
        {0x0008, 0x0008, 6, nullptr, u""},
        {0x0008, 0x0008, -1, nullptr, u""},
        {0x0008, 0x0060, 0, nullptr, u"CT"},  // stored "CT", no pad
        {0x0020, 0x0013, 0, nullptr, u"7"},   // stored "7 "
        {0x0008, 0x1140, 0, &sop, u"1.2.840.10008.5.1.4.1.1.2"},
        {0x0008, 0x1140, 0, &badPath, u""},
        {0x0010, 0x0010, 0, &sop, u""},  // not a sequence
        {0xFFFF, 0x0010, 0, nullptr, u""},
    };
    for (const Read& r : reads)
        EXPECT_EQ(ReadAnnotationText(file.info, r.group, r.element, r.index, r.path), r.text)
            << std::hex << r.group << "," << r.element << " [" << r.index << "]";
}

TEST(AnnotationItems, BuildText) {
    struct Case {
        int32_t kind;
        const char16_t* value;
        const char16_t* format;
        int32_t show, lineBreak;
        const char16_t* macro;
        std::u16string text;
    };
    const Case cases[] = {
        {kOverlayItemTag, u"2024013", u"DT", 1, 0, u"", u"<2024013>"},
        {kOverlayItemTag, u"20240131235959", u"DT", 1, 0, u"", u"<2024/01/31>"},
        {kOverlayItemTag, u"1015", u"TM", 1, 0, u"", u"<1015>"},
        {kOverlayItemTag, u"101530.25", u"TM", 1, 1, u"", u"<10:15:30>\r\n"},
        {kOverlayItemTag, u"101530", u"", 1, 0, u"", u"<101530>"},
        {kOverlayItemTag, u"", u"", 1, 1, u"", u"\r\n"},
        {kOverlayItemTag, u"v", u"", 0, 1, u"", u"\r\n"},
        {kOverlayItemTag, u"v", u"", 0, 0, u"", u""},
        {kOverlayItemMacro, u"", u"", 1, 0, u"", u"<>"},
        {kOverlayItemMacro, u"", u"", 1, 1, u"2.5", u"<2.5>\r\n"},
        {kOverlayItemText, u"", u"", 1, 0, u"", u"<t>"},
        {kOverlayItemText, u"", u"", 0, 0, u"", u""},
        {7, u"v", u"", 1, 1, u"m", u"\r\n"},
    };
    for (const Case& c : cases) {
        ZEBOverlaySettingInfoItem item;
        item.kind = c.kind;
        item.value = c.value;
        item.format = c.format;
        item.prefix = u"<";
        item.suffix = u">";
        item.text = u"t";
        item.lineBreak = c.lineBreak;
        EXPECT_EQ(ZEBOverlaySettingInfoItem::BuildText(c.show, item, c.macro), c.text)
            << "case " << (&c - cases);
    }

    ZEBOverlaySettingInfo setting;
    ZEBOverlaySettingInfoItem item;
    for (const char16_t* text : {u"a", u"b", u"c"}) {
        item.text = text;
        setting.AddItem(kLocationUpperRight, item);
        item.Reset();
    }
    setting.AddItem(8, item);
    setting.AddItem(-1, item);
    const ZEBOverlayLocationMap& lines = setting.GetLocationLines(kLocationUpperRight);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines.at(1).text, u"a");
    EXPECT_EQ(lines.at(3).text, u"c");
    EXPECT_TRUE(setting.GetLocationLines(8).empty());
    // A copy and its original each keep their own items once either grows.
    ZEBOverlaySettingInfo copy = setting;
    copy.AddItem(kLocationUpperRight, item);
    setting.AddItem(kLocationLowerLeft, item);
    EXPECT_EQ(copy.GetLocationLines(kLocationUpperRight).size(), 4u);
    EXPECT_EQ(lines.size(), 3u);
    EXPECT_TRUE(copy.GetLocationLines(kLocationLowerLeft).empty());
    for (const auto& [location, key] : {std::pair{5, 0}, {5, 4}, {8, 1}}) {
        const ZEBOverlaySettingInfoItem& blank = setting.GetItem(location, key);
        EXPECT_TRUE(blank.text.empty() && blank.kind == kOverlayItemTag && blank.lineBreak == 1 &&
                    blank.separator == u"\r\n");
    }
    // Every macro the file can name is one the tile knows.
    for (const OverlayMacroName& macro : kOverlayMacroNames)
        EXPECT_NE(std::find(kMacroDisplayNames.begin(), kMacroDisplayNames.end(),
                            std::u16string_view(macro.displayName)),
                  kMacroDisplayNames.end());
}

TEST(AnnotationSettingsReader, TagNumbersAndDecimals) {
    struct Tag {
        const char16_t* text;
        bool ok;
        uint16_t group, element;
    };
    const Tag tags[] = {
        {u"0010,0020", true, 0x0010, 0x0020},
        {u"0x0028,0X1050", true, 0x0028, 0x1050},
        {u" 7fe0,\t10", true, 0x7FE0, 0x0010},
        {u"12345,1", true, 0x2345, 0x0001},         // kept in 16 bits
        {u"123456789ABC,1", true, 0xFFFF, 0x0001},  // overflow gives the limit
        {u"-1,-123456789A", true, 0xFFFF, 0x0000},
        {u"zz,0xg", true, 0x0000, 0x0000},  // no digits
        {u",0010", true, 0x0000, 0x0010},
        {u"0010,", false, 0xFFFF, 0xFFFF},
        {u"0010 0020", false, 0xFFFF, 0xFFFF},
        {u"0010,0020,0030", false, 0xFFFF, 0xFFFF},
        {u"", false, 0xFFFF, 0xFFFF},
    };
    for (const Tag& t : tags) {
        uint16_t group = 1, element = 1;
        EXPECT_EQ(OverlaySettingReader::ParseTagNumber(t.text, group, element), t.ok);
        EXPECT_EQ(group, t.group);
        EXPECT_EQ(element, t.element);
    }
    // clang-format off
    const std::pair<const char16_t*, int32_t> decimals[] = {
        {u"5", 5}, {u"-1", -1}, {u"+3x", 3}, {u" 2", 0}, {u"", 0}, {u"abc", 0},
        {u"99999999999", 2147483647}, {u"-99999999999999999999", -2147483647 - 1},
    };
    // clang-format on
    for (const auto& [text, value] : decimals)
        EXPECT_EQ(OverlaySettingReader::ParseDecimal(text), value);
}

// A corner keeps its first 32 lines and a line its first 32 items; the
// first element skipped is named by its line.
TEST(AnnotationSettingsReader, ACornerKeepsItsFirstLinesAndItems) {
    struct Case {
        int lines, firstLineItems;
        size_t items;  // of the corner, line ends included (the last has none)
        const char* skipped;
        int32_t line;
    };
    for (const Case& c : {Case{32, 32, 32 + 31 + 31, "", 0},
                          Case{40, 40, 32 + 31 + 31, "more than 32 items in a line", 3},
                          Case{40, 1, 32 + 31, "more than 32 lines in a corner", 35}}) {
        std::string xml = "<OVERLAYSETTING>\n<MODALITY NAME='CT'><LOCATION VALUE='UPPERLEFT'>\n";
        for (int line = 0; line < c.lines; ++line) {
            xml += "<LINE>";
            for (int item = 0; item < (line ? 1 : c.firstLineItems); ++item)
                xml += "<TEXT VALUE='x'/>";
            xml += "</LINE>\n";
        }
        xml += "</LOCATION></MODALITY></OVERLAYSETTING>\n";
        OverlaySettingReader reader;
        ASSERT_TRUE(reader.LoadBytes(xml.data(), xml.size()));
        EXPECT_EQ(reader.SkippedText(), c.skipped);
        EXPECT_EQ(reader.SkippedLine(), c.line);
        ZEBOverlaySettingInfo setting;
        ASSERT_TRUE(reader.BuildSettings(setting, u"CT", kLocationUpperLeft));
        EXPECT_EQ(setting.GetLocationLines(kLocationUpperLeft).size(), c.items) << c.lines;
    }
}

TEST(AnnotationTile, MacroValuesFromTheTileState) {
    struct Case {
        ZEBAnnotationState state;
        std::u16string page, zoom, center, width, fov;
    };
    // clang-format off
    const Case cases[] = {
        {{1, 1, 1, 1.0, 40.0, 400.0, 0, 0, false}, u"1 of 1", u"1", u"40", u"400", u""},
        {{2, 9, 4, 1.05, -0.5, 10.5, 120, 80.5, false}, u"2 of 3", u"1.05", u"-0.50", u"10.50",
         u"120.00 x 80.50"},
        {{2, 5, 4, 2.0, 0.0, 1.0, 1, 0, true}, u"2 of 2", u"2.00", u"0.00", u"1.00", u""},
    };
    // clang-format on
    for (const Case& c : cases) {
        ZEBOverlayViewInfo annotations;
        WriteTileMacroValues(annotations, c.state);
        EXPECT_EQ(annotations.m_macroValues[kMacroPage], c.page);
        EXPECT_EQ(annotations.m_macroValues[kMacroZoomRate], c.zoom);
        EXPECT_EQ(annotations.m_macroValues[kMacroWindowCenter], c.center);
        EXPECT_EQ(annotations.m_macroValues[kMacroWindowWidth], c.width);
        EXPECT_EQ(annotations.m_macroValues[kMacroDfov], c.fov);
    }

    // The tile's own state: zoom and shown area from its view.
    FrameImageInfo frame;
    frame.m_overlay.m_columns = 200;
    frame.m_overlay.m_rows = 100;
    frame.m_overlay.m_pixelSpacingX = 0.5;
    frame.m_overlay.m_pixelSpacingY = 1.0;
    frame.m_overlay.m_verticalAspect = 2.0;
    ZEBImageViewCtrl tile(100, 300);
    tile.SetFrame(&frame);
    tile.SetView({-50, 10, {0, 0}, 1.0});  // image 200 x 200 on screen, half of it in the tile
    tile.SetWindow(40, 400);
    tile.SetPage(3, 10, 2);
    const ZEBAnnotationState state = tile.AnnotationState();
    EXPECT_EQ(state.zoom, 1.0);
    EXPECT_EQ(state.fovWidthMm, 50.0);    // 100 columns of 0.5 mm
    EXPECT_EQ(state.fovHeightMm, 100.0);  // all 100 rows of 1 mm
    EXPECT_EQ(state.windowWidth, 400.0);
    EXPECT_EQ(state.imagesPerPage, 2);
    frame.m_overlay.m_pixelSpacingX = 0;
    EXPECT_EQ(tile.AnnotationState().fovWidthMm, 0.0);
}

}  // namespace
