#pragma once
// Reader of "OverlaySetting.xml", the file that replaces the built-in
// corner annotations of each modality:
//
//   <OVERLAYSETTING>
//     <FONT NAME="IPAGothic" SIZE="11"/>
//     <MODALITY NAME="CT">                   <!-- or "OTHER" for the rest -->
//       <LOCATION VALUE="UPPERLEFT">         <!-- UPPERRIGHT, LOWERLEFT, LOWERRIGHT -->
//         <LINE>
//           <TEXT VALUE="Name: "/>
//           <TAG NO="0010,0010" INDEX="0" PREFIX="" SUFFIX="" FORMAT=""/>
//           <MACRO VALUE="ZOOM_RATE" PREFIX="x" SUFFIX=""/>
//         </LINE>
//       </LOCATION>
//     </MODALITY>
//   </OVERLAYSETTING>
//
// A TAG inside a TAG names an attribute in the first item of the sequence
// the outer TAG names. A line with an item that is not valid (a bad NO,
// INDEX outside 0-5, an unknown FORMAT or macro key) shows nothing but its
// prefixes and suffixes. Attribute values are upper-cased in ASCII except
// PREFIX, SUFFIX and the VALUE of TEXT. A corner keeps its first 32 lines
// and a line its first 32 items; the rest is skipped (SkippedText() says
// so).
//
//   OverlaySettingReader reader;
//   reader.Load(folder + "/OverlaySetting.xml");
//   ZEBOverlaySettingInfo setting;
//   reader.BuildSettings(setting, u"CT", kLocationUpperLeft);
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Source/zeboverlaysettinginfo.h"
#include "platform/xml_document.h"

// One item of a location as the file gives it.
struct OverlayItemNode {
    int32_t id = kElementText;  // kElementTag, kElementText or kElementMacro
    uint16_t group = 0;
    uint16_t element = 0;
    int32_t index = 0;
    std::u16string first;   // TEXT: the text; MACRO: the key; TAG: "DT", "TM" or empty
    std::u16string second;  // MACRO, TAG: prefix
    std::u16string third;   // MACRO, TAG: suffix
    int32_t endOfLine = 0;  // 1 only in the marker that closes a line
    // TAG: the TAG inside this one.
    std::shared_ptr<const OverlayItemNode> nested;
};

struct OverlayLocationNode {
    std::u16string name;
    std::vector<OverlayItemNode> items;
    int32_t lines = 0;  // the lines the items make
};

struct OverlayModalityNode {
    std::u16string name;
    std::vector<OverlayLocationNode> locations;
};

class OverlaySettingReader {
public:
    static constexpr const char* kFileName = "OverlaySetting.xml";
    // What a corner holds at most. At the built-in 10 points a line is
    // about 13 pixels high: 32 lines fill a corner's half of a tile as high
    // as a screen, and 32 items its width.
    static constexpr int32_t kMaxCornerLines = 32;
    static constexpr int32_t kMaxLineItems = 32;

    OverlaySettingReader();
    ~OverlaySettingReader() = default;
    OverlaySettingReader(const OverlaySettingReader&) = delete;
    OverlaySettingReader& operator=(const OverlaySettingReader&) = delete;

    // Reads the file (UTF-8 path); false when it cannot be read, is not
    // well-formed or its root is not OVERLAYSETTING. What was read before a
    // failure stays. Throws std::bad_alloc when memory runs out, leaving
    // what it had read until Clear().
    bool Load(const std::string& path);
    // The same over the bytes of a file.
    bool LoadBytes(const void* data, size_t size);
    // Drops all that was read, and the memory it took.
    void Clear();
    // Why the last load failed, in words, and the line of the file to blame
    // (0 when none is); empty and 0 after a load that succeeded.
    const std::string& FailureText() const { return m_failureText; }
    int32_t FailureLine() const { return m_failureLine; }
    // After a load that succeeded: why lines or items were skipped ("more
    // than 32 lines in a corner", "more than 32 items in a line") and the
    // line of the file of the first element skipped; empty and 0 when
    // nothing was.
    const std::string& SkippedText() const { return m_skippedText; }
    int32_t SkippedLine() const { return m_skippedLine; }

    // Appends the items of a corner (0, 2, 5 or 7) of the modality, or of
    // "OTHER" when the modality has no such corner; false when neither
    // block is there.
    bool BuildSettings(ZEBOverlaySettingInfo& setting, std::u16string_view modality,
                       int32_t location) const;

    // FONT: the face (upper-cased, empty when none) and the point size
    // (0 when none or outside 1-200).
    const std::u16string& FontName() const { return m_fontName; }
    int32_t FontSize() const { return m_fontSize; }
    // The modalities in file order, each name once.
    const std::vector<OverlayModalityNode>& Modalities() const { return m_modalities; }

    // NO: "gggg,eeee" in hexadecimal (each part may start with blanks, a sign
    // and "0x"; kept in 16 bits). False, and both 0xFFFF, for an empty
    // value, a comma count other than one or an empty second part.
    static bool ParseTagNumber(std::u16string_view text, uint16_t& group, uint16_t& element);
    // INDEX and SIZE: an optional sign and decimal digits, clamped to the
    // 32-bit range; 0 when it does not start so.
    static int32_t ParseDecimal(std::u16string_view text);

private:
    // The modality and location an element is in: places in m_modalities
    // and in its locations (the walk adds none to either meanwhile).
    struct Scope {
        static constexpr size_t kNone = SIZE_MAX;
        size_t modality = kNone;
        size_t location = kNone;
    };
    // The attributes of one element, read once for all its look-ups: names
    // upper-cased, values as written.
    struct Attributes {
        Attributes(const platform::XmlNode& element, std::u16string_view elementName);
        std::vector<platform::XmlAttribute> list;
        bool valueKeepsCase = false;  // VALUE of an element named exactly "TEXT"
    };

    void ChooseDocumentClass();
    platform::XmlNode OpenDocument(std::string_view source, bool isPath);
    bool LoadRoot(const platform::XmlNode& root);
    // Each element's name is converted once, by whoever meets the element
    // first, and handed down with it.
    bool WalkElement(const platform::XmlNode& element, std::u16string_view name,
                     std::u16string_view parentName, const Scope& scope);
    void HandleElement(std::u16string_view parentName, const platform::XmlNode& child,
                       std::u16string_view childName, int32_t childId, const Scope& scope);
    void ReadModality(const platform::XmlNode& element, std::u16string_view name);
    void ReadLocation(const platform::XmlNode& element, std::u16string_view name,
                      const Scope& scope);
    void ReadLine(const platform::XmlNode& element, std::u16string_view name, const Scope& scope);
    static OverlayItemNode ReadNestedTag(const platform::XmlNode& element, std::u16string_view name);
    static std::u16string GetAttribute(const Attributes& attributes, std::u16string_view name);
    const OverlayModalityNode* FindModality(std::u16string_view name) const;
    const OverlayLocationNode* FindLocation(std::u16string_view modality,
                                            std::u16string_view location) const;
    void Append(const Scope& scope, OverlayItemNode node);
    OverlayLocationNode* Location(const Scope& scope);
    // False, and the first skipped element noted, when the line being read
    // is full.
    bool RoomForItem(const platform::XmlNode& element);
    void NoteSkipped(const platform::XmlNode& element, int32_t limit, const char* what);
    void ValidateLines();

    std::u16string m_fontName;
    int32_t m_fontSize = 0;
    std::vector<OverlayModalityNode> m_modalities;
    // The place of each modality in m_modalities by name: a file may hold
    // tens of thousands.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::u16string_view name) const {
            return std::hash<std::u16string_view>()(name);
        }
    };
    std::unordered_map<std::u16string, size_t, NameHash, std::equal_to<>> m_modalityIndex;
    bool m_documentClass = false;
    platform::XmlDocument m_document;
    std::string m_failureText;
    int32_t m_failureLine = 0;
    std::string m_skippedText;
    int32_t m_skippedLine = 0;
    int32_t m_lineItems = 0;  // of the line being read
};
