#include "Source/zeboverlaysettinginfo.h"

#include <initializer_list>

namespace {

char16_t UpperAsciiChar(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

// UpperAscii(text) == upper, without building the upper-cased text.
bool EqualsUpperAscii(std::u16string_view text, std::u16string_view upper) {
    if (text.size() != upper.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (UpperAsciiChar(text[i]) != upper[i]) return false;
    return true;
}

struct ElementName {
    std::u16string_view name;
    int32_t id;
};

constexpr std::array<ElementName, 8> kElementNames = {{
    {u"OVERLAYSETTING", kElementOverlaySetting},
    {u"FONT", kElementFont},
    {u"MODALITY", kElementModality},
    {u"LOCATION", kElementLocation},
    {u"LINE", kElementLine},
    {u"TAG", kElementTag},
    {u"TEXT", kElementText},
    {u"MACRO", kElementMacro},
}};

struct DateFormat {
    const char16_t* key;
    const char16_t* format;
};

constexpr std::array<DateFormat, 2> kDateFormats = {{
    {u"YYYY_MM_DD", u"DT"},
    {u"HH_MM_SS", u"TM"},
}};

// The value with separators put between its leading digit groups: `sizes`
// are the group lengths, the rest of the value is dropped.
std::u16string Grouped(std::u16string_view value, std::initializer_list<size_t> sizes,
                       char16_t separator) {
    std::u16string out;
    size_t at = 0;
    for (size_t size : sizes) {
        if (at) out += separator;
        out += value.substr(at, size);
        at += size;
    }
    return out;
}

std::u16string FormatValue(std::u16string_view value, std::u16string_view format) {
    if (format == u"DT" && value.size() >= 8) return Grouped(value, {4, 2, 2}, u'/');
    if (format == u"TM" && value.size() >= 6) return Grouped(value, {2, 2, 2}, u':');
    return std::u16string(value);
}

}  // namespace

const std::array<OverlayMacroName, 11> kOverlayMacroNames = {{
    {u"PAGE", u"Page of TotalPages"},
    {u"ZOOM_RATE", u"Zoom Rate"},
    {u"WINDOW_CENTER", u"Window Center"},
    {u"WINDOW_WIDTH", u"Window Width"},
    {u"ORIENTATION_TOP", u"Patient Orientation Top"},
    {u"ORIENTATION_BOTTOM", u"Patient Orientation Bottom"},
    {u"ORIENTATION_LEFT", u"Patient Orientation Left"},
    {u"ORIENTATION_RIGHT", u"Patient Orientation Right"},
    {u"MULTIFRAME", u"Multiframe"},
    {u"JPEG_LOSSY", u"JPEG Lossy Data"},
    {u"MAMMO_LATERALITY", u"Mammo Image Laterality"},
}};

const std::array<OverlayLocationEntry, 4> kOverlayLocationNames = {{
    {u"UPPERLEFT", kLocationUpperLeft},
    {u"UPPERRIGHT", kLocationUpperRight},
    {u"LOWERLEFT", kLocationLowerLeft},
    {u"LOWERRIGHT", kLocationLowerRight},
}};

const std::array<SrValueTypeTag, 7> kSrValueTypeTags = {{
    {u"TEXT", 0x0040, 0xA160},
    {u"CODE", 0x0040, 0xA168},
    {u"DATETIME", 0x0040, 0xA120},
    {u"DATE", 0x0040, 0xA121},
    {u"TIME", 0x0040, 0xA122},
    {u"PNAME", 0x0040, 0xA123},
    {u"CONTAINER", 0x0040, 0xA730},
}};

std::u16string ZEBOverlaySettingInfoItem::BuildText(int32_t show,
                                                    const ZEBOverlaySettingInfoItem& item,
                                                    std::u16string_view macroValue) {
    std::u16string out;
    if (show) {
        switch (item.kind) {
            case kOverlayItemTag:
                if (!item.value.empty())
                    out = item.prefix + FormatValue(item.value, item.format) + item.suffix;
                break;
            case kOverlayItemMacro:
                out = item.prefix;
                out += macroValue;
                out += item.suffix;
                break;
            case kOverlayItemText:
                out = item.prefix + item.text + item.suffix;
                break;
            default:
                break;
        }
    }
    if (item.lineBreak) out += item.separator;
    return out;
}

void ZEBOverlaySettingInfo::AddItem(int32_t location, const ZEBOverlaySettingInfoItem& item) {
    if (location < 0 || location >= kOverlayLocationCount) return;
    std::shared_ptr<ZEBOverlayLocationMap>& lines = m_locations[location];
    if (!lines)
        lines = std::make_shared<ZEBOverlayLocationMap>();
    else if (lines.use_count() > 1)
        lines = std::make_shared<ZEBOverlayLocationMap>(*lines);
    lines->emplace(static_cast<int32_t>(lines->size()) + 1, item);
}

const ZEBOverlayLocationMap& ZEBOverlaySettingInfo::GetLocationLines(int32_t location) const {
    static const ZEBOverlayLocationMap empty;
    if (location < 0 || location >= kOverlayLocationCount || !m_locations[location]) return empty;
    return *m_locations[location];
}

const ZEBOverlaySettingInfoItem& ZEBOverlaySettingInfo::GetItem(int32_t location,
                                                                int32_t key) const {
    static const ZEBOverlaySettingInfoItem blank;
    const ZEBOverlayLocationMap& lines = GetLocationLines(location);
    const auto found = lines.find(key);
    return found == lines.end() ? blank : found->second;
}

std::u16string UpperAscii(std::u16string_view text) {
    std::u16string out(text);
    UpperAsciiInPlace(out);
    return out;
}

void UpperAsciiInPlace(std::u16string& text) {
    for (char16_t& c : text) c = UpperAsciiChar(c);
}

int32_t LookupOverlayElementId(std::u16string_view name) {
    for (const ElementName& e : kElementNames)
        if (EqualsUpperAscii(name, e.name)) return e.id;
    return -1;
}

std::u16string LookupOverlayMacroName(std::u16string_view key) {
    for (const OverlayMacroName& m : kOverlayMacroNames)
        if (EqualsUpperAscii(key, m.key)) return m.displayName;
    return {};
}

std::u16string LookupOverlayDateFormat(std::u16string_view key) {
    for (const DateFormat& f : kDateFormats)
        if (EqualsUpperAscii(key, f.key)) return f.format;
    return {};
}

int32_t LookupOverlayLocation(std::u16string_view name) {
    for (const OverlayLocationEntry& l : kOverlayLocationNames)
        if (EqualsUpperAscii(name, l.name)) return l.location;
    return -1;
}

std::u16string_view OverlayLocationName(int32_t location) {
    for (const OverlayLocationEntry& l : kOverlayLocationNames)
        if (l.location == location) return l.name;
    return {};
}
