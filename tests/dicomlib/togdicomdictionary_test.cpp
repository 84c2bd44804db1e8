#include "dicomlib/togdicomdictionary.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "dicomlib/togdicomuiddictionary.h"
#include "dicomlib/togdicomvr.h"
#include "dicomlib/togstring.h"

namespace {

using namespace TogDicomLib;

std::string Name(const TogDicomDictionaryEntry* e) {
    return e == nullptr ? "(none)" : TogString(e->name).ToUtf8();
}

TEST(DicomDictionary, CommonTagsByTable) {
    struct Case {
        uint32_t group, element;
        uint32_t vr, alt1, alt2;
        const char* name;
        uint32_t vmMinimum, vmSecond, vmOpen;
    };
    const Case cases[] = {
        {0x0008, 0x0005, VR::CS, 0, 0, "Specific Character Set", 1, 1, 1},
        {0x0008, 0x0016, VR::UI, 0, 0, "SOP Class UID", 1, 0, 0},
        {0x0010, 0x0010, VR::PN, 0, 0, "Patient's Name", 1, 0, 0},
        {0x0002, 0x0010, VR::UI, 0, 0, "Transfer Syntax UID", 1, 0, 0},
        {0x0028, 0x0010, VR::US, 0, 0, "Rows", 1, 0, 0},
        {0x0028, 0x0030, VR::DS, 0, 0, "Pixel Spacing", 2, 0, 0},
        {0x0028, 0x0106, VR::US, VR::SS, 0, "Smallest Image Pixel Value", 1, 0, 0},
        {0x0028, 0x1050, VR::DS, 0, 0, "Window Center", 1, 1, 1},
        {0x0020, 0x0032, VR::DS, 0, 0, "Image Position (Patient)", 3, 0, 0},
        {0x7FE0, 0x0010, VR::OB, VR::OW, 0, "Pixel Data", 1, 0, 0},
        {0x0004, 0x1220, VR::SQ, 0, 0, "Directory Record Sequence", 1, 0, 0},
        {0x0000, 0x0000, VR::UL, 0, 0, "Command Group Length", 1, 0, 0},
    };
    for (const Case& c : cases) {
        const TogDicomDictionaryEntry* e = FindDictionaryEntry(c.group, c.element);
        ASSERT_NE(e, nullptr) << std::hex << c.group << "," << c.element;
        EXPECT_EQ(e->vr, c.vr) << c.name;
        EXPECT_EQ(e->vrAlternative1, c.alt1) << c.name;
        EXPECT_EQ(e->vrAlternative2, c.alt2) << c.name;
        EXPECT_EQ(Name(e), c.name);
        EXPECT_EQ(e->vmMinimum, c.vmMinimum) << c.name;
        EXPECT_EQ(e->vmSecond, c.vmSecond) << c.name;
        EXPECT_EQ(e->vmOpenEnded, c.vmOpen) << c.name;
        EXPECT_EQ(GetDictionaryVR(c.group, c.element), c.vr) << c.name;
    }
    // LUT Data has three VRs in some form; all of them are listed.
    const TogDicomDictionaryEntry* lut = FindDictionaryEntry(0x0028, 0x3006);
    ASSERT_NE(lut, nullptr);
    EXPECT_EQ(Name(lut), "LUT Data");
    EXPECT_NE(lut->vrAlternative1, 0u);
}

TEST(DicomDictionary, RepeatingGroupsPrivateTagsAndItems) {
    struct Case { uint32_t group, element; const char* name; uint32_t vr; };
    const Case cases[] = {
        {0x6002, 0x3000, "Overlay Data", VR::OB},
        {0x6000, 0x0010, "Overlay Rows", VR::US},
        {0x601E, 0x0011, "Overlay Columns", VR::US},
        {0x6001, 0x0010, "Overlay Rows", VR::US},  // odd groups are looked up too
        {0x5000, 0x0005, "Curve Dimensions", VR::US},
        {0x501E, 0x3000, "Curve Data", VR::OB},
        {0x6020, 0x0010, "(none)", VR::UN},  // beyond the repeating range
        {0x5020, 0x0005, "(none)", VR::UN},
        {0x0009, 0x0010, "(none)", VR::UN},  // private creator
        {0x0029, 0x1010, "(none)", VR::UN},
        {0x0010, 0x0011, "(none)", VR::UN},  // unknown element of a known group
        {0xFFFF, 0xFFFF, "(none)", VR::UN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Name(FindDictionaryEntry(c.group, c.element)), c.name)
            << std::hex << c.group << "," << c.element;
        EXPECT_EQ(GetDictionaryVR(c.group, c.element), c.vr) << std::hex << c.group << "," << c.element;
    }
    EXPECT_EQ(FindDictionaryEntry(0x6002, 0x3000)->group, 0x6000u);
    EXPECT_EQ(FindDictionaryEntry(0x5000, 0x0005)->retired, 1u);

    // Items and delimiters have no VR; asking for one gives UN and leaves the
    // entry as it was.
    for (uint32_t element : {0xE000u, 0xE00Du, 0xE0DDu}) {
        const TogDicomDictionaryEntry* e = FindDictionaryEntry(0xFFFE, element);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->vr, 0u);
        EXPECT_EQ(GetDictionaryVR(0xFFFE, element), VR::UN);
        EXPECT_EQ(e->vr, 0u);
    }
}

TEST(DicomDictionary, TablesAreSortedAndComplete) {
    struct Table { std::span<const TogDicomDictionaryEntry> rows; uint32_t group; };
    const Table tables[] = {{GetMainDictionary(), 0}, {GetCurveDictionary(), 0x5000}, {GetOverlayDictionary(), 0x6000}};
    for (const Table& t : tables) {
        ASSERT_FALSE(t.rows.empty());
        uint64_t previous = 0;
        bool first = true;
        for (const TogDicomDictionaryEntry& e : t.rows) {
            const uint64_t key = (uint64_t{e.group} << 16) | e.element;
            if (!first) {
                EXPECT_GT(key, previous);
            }
            first = false;
            previous = key;
            ASSERT_NE(e.name, nullptr);
            if (e.retired == 0) {
                EXPECT_NE(e.name[0], u'\0');  // a few retired rows have no name
            }
            EXPECT_LE(e.retired, 1u);
            if (t.group != 0) {
                EXPECT_EQ(e.group, t.group);
            }
        }
        // The closing all-zero entry follows the last row.
        const TogDicomDictionaryEntry& end = *(t.rows.data() + t.rows.size());
        EXPECT_EQ(end.name, nullptr);
        EXPECT_EQ(end.group, 0u);
    }
    EXPECT_EQ(GetCurveDictionary().size(), 26u);
    EXPECT_EQ(GetOverlayDictionary().front().element, 0x0010u);
    EXPECT_GT(GetMainDictionary().size(), 2500u);
    size_t retired = 0;
    for (const TogDicomDictionaryEntry& e : GetMainDictionary()) retired += e.retired;
    EXPECT_GT(retired, 200u);
}

TEST(DicomDictionary, ExtraListIsSearchedFirst) {
    static const TogDicomDictionaryEntry extra[] = {
        {0x0009, 0x0010, 1, 0, 0, VR::LO, 0, 0, 0, u"Vendor Creator"},
        {0x0010, 0x0010, 1, 0, 0, VR::LO, 0, 0, 0, u"Replaced Name"},
    };
    SetExtraDictionary(extra);
    EXPECT_EQ(GetDictionaryVR(0x0009, 0x0010), VR::LO);
    EXPECT_EQ(Name(FindDictionaryEntry(0x0010, 0x0010)), "Replaced Name");
    SetExtraDictionary({});
    EXPECT_EQ(GetDictionaryVR(0x0009, 0x0010), VR::UN);
    EXPECT_EQ(Name(FindDictionaryEntry(0x0010, 0x0010)), "Patient's Name");
}

// The transfer syntaxes by name, as the registry of UIDs gives them.
TEST(UidDictionary, TransferSyntaxNames) {
    struct Case {
        const char16_t* uid;
        const char* name;  // null: not in the table
        uint32_t retired;
    };
    const Case cases[] = {
        {u"1.2.840.10008.1.2", "Implicit VR Little Endian", 0},
        {u"1.2.840.10008.1.2.1.99", "Deflated Explicit VR Little Endian", 0},
        {u"1.2.840.10008.1.2.2", "Explicit VR Big Endian", 1},
        {u"1.2.840.10008.1.2.4.55", "JPEG Full Progression, Non-Hierarchical (Process 10 and 12)",
         1},
        {u"1.2.840.10008.1.2.4.70",
         "JPEG Lossless, Non-Hierarchical, First-Order Prediction (Process 14 [Selection Value 1])",
         0},
        {u"1.2.840.10008.1.2.4.80", "JPEG-LS Lossless Image Compression", 0},
        {u"1.2.840.10008.1.2.4.91", "JPEG 2000 Image Compression", 0},
        {u"1.2.840.10008.1.2.4.201", "High-Throughput JPEG 2000 Image Compression (Lossless Only)",
         0},
        {u"1.2.840.10008.1.2.5", "RLE Lossless", 0},
        {u"1.2.840.10008.1.2.4", nullptr, 0},
        {u"1.2.840.10008.1.2.4.911", nullptr, 0},
        {u"", nullptr, 0},
    };
    for (const Case& c : cases) {
        const TogDicomUidEntry* e = FindUidEntry(c.uid);
        ASSERT_EQ(e != nullptr, c.name != nullptr) << TogString(c.uid).ToUtf8();
        if (!e) continue;
        EXPECT_EQ(TogString(e->name).ToUtf8(), c.name);
        EXPECT_EQ(e->retired, c.retired) << c.name;
    }
    // Every syntax the data-set reader knows has a name; the table is in
    // UID order, each UID once.
    for (const char16_t* uid :
         {u"1.2.840.10008.1.2.1", u"1.2.840.10008.1.2.4.50", u"1.2.840.10008.1.2.4.51",
          u"1.2.840.10008.1.2.4.57", u"1.2.840.10008.1.2.4.81", u"1.2.840.10008.1.2.4.90",
          u"1.2.840.10008.1.2.4.94", u"1.2.840.10008.1.2.4.95", u"1.2.840.10008.1.2.4.100"})
        EXPECT_NE(FindUidEntry(uid), nullptr) << TogString(uid).ToUtf8();
    const auto key = [](std::u16string_view uid) {
        std::vector<uint32_t> parts(1, 0);
        for (char16_t c : uid)
            c == u'.' ? parts.push_back(0) : void(parts.back() = parts.back() * 10 + (c - u'0'));
        return parts;
    };
    const auto table = GetTransferSyntaxUids();
    EXPECT_GT(table.size(), 40u);
    for (size_t i = 1; i < table.size(); ++i) EXPECT_LT(key(table[i - 1].uid), key(table[i].uid));
}

}  // namespace
