#pragma once
// Corner-annotation settings: for one modality, an ordered list of items
// for each of the eight places of a tile, and the fixed vocabulary of the
// annotations (settings-file names, macros, date and time formats).
//
//   ZEBOverlaySettingInfoItem item;
//   item.group = 0x0010; item.element = 0x0010; item.prefix = u"Name: ";
//   setting.AddItem(kLocationUpperLeft, item);
//   item.Reset();
//
// Places: 0 upper left, 1 left middle, 2 lower left, 3 top centre,
// 4 bottom centre, 5 upper right, 6 right middle, 7 lower right.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

struct OverlayItemNode;

enum OverlayItemKind : int32_t {
    kOverlayItemTag = 0,    // the text of a DICOM attribute of the image
    kOverlayItemMacro = 1,  // a value computed by the viewer, chosen by its display name
    kOverlayItemText = 2,   // a fixed text
};

enum OverlayLocation : int32_t {
    kLocationUpperLeft = 0,
    kLocationLeftMiddle = 1,
    kLocationLowerLeft = 2,
    kLocationTopCentre = 3,
    kLocationBottomCentre = 4,
    kLocationUpperRight = 5,
    kLocationRightMiddle = 6,
    kLocationLowerRight = 7,
};
inline constexpr int32_t kOverlayLocationCount = 8;

// Group and element of an item whose tag is not valid.
inline constexpr uint16_t kInvalidTagNumber = 0xFFFF;

class ZEBOverlaySettingInfoItem {
public:
    ZEBOverlaySettingInfoItem() = default;
    ZEBOverlaySettingInfoItem(const ZEBOverlaySettingInfoItem&) = default;
    ZEBOverlaySettingInfoItem& operator=(const ZEBOverlaySettingInfoItem&) = default;
    virtual ~ZEBOverlaySettingInfoItem() = default;

    // Every field back to its constructor value.
    void Reset() { *this = ZEBOverlaySettingInfoItem(); }

    // The text of one item: with `show` 0 only its separator (when it ends a
    // line); TAG items show nothing for an empty value, MACRO items use
    // `macroValue`, formatted dates read yyyy/mm/dd and times hh:mm:ss.
    static std::u16string BuildText(int32_t show, const ZEBOverlaySettingInfoItem& item,
                                    std::u16string_view macroValue);

    int32_t kind = kOverlayItemTag;
    std::u16string name;  // MACRO: display name
    std::u16string prefix;
    std::u16string value;  // TAG: the attribute's text for one frame
    std::u16string text;   // TEXT: the fixed text
    std::u16string suffix;
    std::u16string separator = u"\r\n";
    int32_t lineBreak = 1;  // non-zero: the item ends its line
    uint16_t group = 0;
    uint16_t element = 0;
    std::u16string format;  // TAG: "DT", "TM" or empty
    int32_t index = 0;      // TAG: which value of a multi-valued attribute
    // TAG: the attribute inside the sequence (group, element), level by
    // level; shared with the settings file's tree.
    std::shared_ptr<const OverlayItemNode> sequencePath;
};

using ZEBOverlayLocationMap = std::map<int32_t, ZEBOverlaySettingInfoItem>;

class ZEBOverlaySettingInfo {
public:
    ZEBOverlaySettingInfo() = default;
    ZEBOverlaySettingInfo(const ZEBOverlaySettingInfo&) = default;
    ZEBOverlaySettingInfo& operator=(const ZEBOverlaySettingInfo&) = default;
    virtual ~ZEBOverlaySettingInfo() = default;

    // Appends a copy under the key count + 1; other locations are ignored.
    void AddItem(int32_t location, const ZEBOverlaySettingInfoItem& item);
    // The items of a location by key (an always empty map outside 0-7).
    const ZEBOverlayLocationMap& GetLocationLines(int32_t location) const;
    // The item under the key, or an item in its constructor state.
    const ZEBOverlaySettingInfoItem& GetItem(int32_t location, int32_t key) const;

private:
    // A copy shares the item lists it was copied from until one of them
    // gains an item: the settings of every modality start from one built-in
    // set, and a file may name tens of thousands of modalities.
    std::array<std::shared_ptr<ZEBOverlayLocationMap>, kOverlayLocationCount> m_locations;
};

// Vocabulary of the settings file and the macros. Keys are compared after
// upper-casing; lookups give -1 or an empty text for an unknown key.
enum OverlayElementId : int32_t {
    kElementOverlaySetting = 1,
    kElementFont = 2,
    kElementModality = 3,
    kElementLocation = 4,
    kElementLine = 5,
    kElementTag = 6,
    kElementText = 7,
    kElementMacro = 8,
};

struct OverlayMacroName {
    const char16_t* key;          // in the settings file
    const char16_t* displayName;  // carried by the item
};
// The eleven macros of the settings file, in their order.
extern const std::array<OverlayMacroName, 11> kOverlayMacroNames;
// The display name that only the built-in settings use.
inline constexpr std::u16string_view kDfovDisplayName = u"DFOV";

struct OverlayLocationEntry {
    const char16_t* name;
    int32_t location;
};
extern const std::array<OverlayLocationEntry, 4> kOverlayLocationNames;

// Structured-report value types and the attribute that holds each value.
struct SrValueTypeTag {
    const char16_t* type;
    int32_t group;
    int32_t element;
};
extern const std::array<SrValueTypeTag, 7> kSrValueTypeTags;

// ASCII upper case; other characters as they are.
std::u16string UpperAscii(std::u16string_view text);
void UpperAsciiInPlace(std::u16string& text);
// Element identifier of a settings-file element name (-1 when unknown).
int32_t LookupOverlayElementId(std::u16string_view name);
// Display name of a macro key (empty when unknown).
std::u16string LookupOverlayMacroName(std::u16string_view key);
// "DT" for "YYYY_MM_DD", "TM" for "HH_MM_SS", else empty.
std::u16string LookupOverlayDateFormat(std::u16string_view key);
// Location number of a settings-file location name (-1 when unknown), and
// the name of a corner (empty for other numbers).
int32_t LookupOverlayLocation(std::u16string_view name);
std::u16string_view OverlayLocationName(int32_t location);
