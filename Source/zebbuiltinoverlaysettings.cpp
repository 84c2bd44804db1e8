#include "Source/zebbuiltinoverlaysettings.h"

#include <array>

#include "Source/zeboverlayviewinfo.h"

namespace {

struct BuiltinItem {
    int32_t location;
    int32_t kind;
    uint16_t group;
    uint16_t element;
    const char16_t* format;  // TAG: "DT", "TM" or empty
    const char16_t* prefix;
    std::u16string_view name;  // MACRO: display name
    const char16_t* suffix;
    int32_t lineBreak;
};

constexpr int32_t kTag = kOverlayItemTag;
constexpr int32_t kMacro = kOverlayItemMacro;

// Each location's last item ends no line, so that the lower corners sit on
// the tile's bottom margin.
constexpr std::array<BuiltinItem, 24> kItems = {{
    {kLocationUpperLeft, kTag, 0x0010, 0x0010, u"", u"", {}, u"", 1},      // Patient's Name
    {kLocationUpperLeft, kTag, 0x0010, 0x0020, u"", u"ID: ", {}, u"", 1},  // Patient ID
    {kLocationUpperLeft, kTag, 0x0010, 0x0030, u"DT", u"", {}, u" ", 0},   // Birth Date
    {kLocationUpperLeft, kTag, 0x0010, 0x0040, u"", u"", {}, u"", 1},      // Sex
    {kLocationUpperLeft, kTag, 0x0008, 0x1030, u"", u"", {}, u"", 1},      // Study Description
    {kLocationUpperLeft, kTag, 0x0008, 0x0020, u"DT", u"", {}, u" ", 0},   // Study Date
    {kLocationUpperLeft, kTag, 0x0008, 0x0030, u"TM", u"", {}, u"", 0},    // Study Time
    {kLocationUpperRight, kTag, 0x0008, 0x0080, u"", u"", {}, u"", 1},     // Institution
    {kLocationUpperRight, kTag, 0x0008, 0x0060, u"", u"", {}, u" ", 0},    // Modality
    {kLocationUpperRight, kMacro, 0, 0, u"", u"", kMacroDisplayNames[kMacroMultiframe], u"", 1},
    {kLocationUpperRight, kTag, 0x0020, 0x0011, u"", u"Se: ", {}, u"", 1},  // Series Number
    {kLocationUpperRight, kTag, 0x0008, 0x103E, u"", u"", {}, u"", 1},      // Series Description
    {kLocationUpperRight, kTag, 0x0020, 0x0013, u"", u"Im: ", {}, u"", 0},  // Instance Number
    {kLocationLowerLeft, kMacro, 0, 0, u"", u"Page: ", kMacroDisplayNames[kMacroPage], u"", 1},
    {kLocationLowerLeft, kMacro, 0, 0, u"", u"Zoom: ", kMacroDisplayNames[kMacroZoomRate], u"", 1},
    {kLocationLowerLeft, kMacro, 0, 0, u"", u"DFOV: ", kMacroDisplayNames[kMacroDfov], u" mm", 0},
    {kLocationLowerRight, kMacro, 0, 0, u"", u"", kMacroDisplayNames[kMacroMammoLaterality], u"",
     1},
    {kLocationLowerRight, kMacro, 0, 0, u"", u"", kMacroDisplayNames[kMacroLossy], u"", 1},
    {kLocationLowerRight, kMacro, 0, 0, u"", u"WL: ", kMacroDisplayNames[kMacroWindowCenter], u"",
     0},
    {kLocationLowerRight, kMacro, 0, 0, u"", u" WW: ", kMacroDisplayNames[kMacroWindowWidth], u"",
     0},
    {kLocationTopCentre, kMacro, 0, 0, u"", u"", kMacroDisplayNames[kMacroOrientationTop], u"", 0},
    {kLocationBottomCentre, kMacro, 0, 0, u"", u"", kMacroDisplayNames[kMacroOrientationBottom],
     u"", 0},
    {kLocationLeftMiddle, kMacro, 0, 0, u"", u"", kMacroDisplayNames[kMacroOrientationLeft], u"",
     0},
    {kLocationRightMiddle, kMacro, 0, 0, u"", u"", kMacroDisplayNames[kMacroOrientationRight], u"",
     0},
}};

}  // namespace

void AddBuiltinOverlayItems(ZEBOverlaySettingInfo& setting, int32_t location) {
    ZEBOverlaySettingInfoItem item;
    for (const BuiltinItem& b : kItems) {
        if (b.location != location) continue;
        item.Reset();
        item.kind = b.kind;
        item.group = b.group;
        item.element = b.element;
        item.format = b.format;
        item.prefix = b.prefix;
        item.name = std::u16string(b.name);
        item.suffix = b.suffix;
        item.lineBreak = b.lineBreak;
        setting.AddItem(location, item);
    }
}
