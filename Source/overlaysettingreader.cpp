#include "Source/overlaysettingreader.h"

#include <new>
#include <string>
#include <utility>

#include "dicomlib/togstring.h"
#include "platform/text_converter.h"

using platform::XmlNode;
using platform::XmlNodeType;

namespace {

constexpr std::u16string_view kOverlaySetting = u"OVERLAYSETTING";
constexpr std::u16string_view kModality = u"MODALITY";
constexpr std::u16string_view kLocation = u"LOCATION";
constexpr std::u16string_view kLine = u"LINE";
constexpr std::u16string_view kText = u"TEXT";
constexpr std::u16string_view kOther = u"OTHER";

constexpr std::u16string_view kAttrName = u"NAME";
constexpr std::u16string_view kAttrSize = u"SIZE";
constexpr std::u16string_view kAttrValue = u"VALUE";
constexpr std::u16string_view kAttrNo = u"NO";
constexpr std::u16string_view kAttrIndex = u"INDEX";
constexpr std::u16string_view kAttrFormat = u"FORMAT";
constexpr std::u16string_view kAttrPrefix = u"PREFIX";
constexpr std::u16string_view kAttrSuffix = u"SUFFIX";

constexpr int32_t kMaxIndex = 5;
constexpr int32_t kMaxFontSize = 200;

// A base-16 or base-10 whole number like the C library's long conversion
// of 32 bits (leading blanks, a sign, "0x" in base 16, the limit on
// overflow, 0 without digits).
int32_t ParseLong(std::u16string_view text, int base) {
    const std::u16string terminated(text);
    return togutils::StrToLong(terminated.c_str(), nullptr, base);
}

}  // namespace

OverlaySettingReader::OverlaySettingReader() {
    ChooseDocumentClass();
}

void OverlaySettingReader::ChooseDocumentClass() {
    m_documentClass = platform::XmlDocument::initialize();
}

XmlNode OverlaySettingReader::OpenDocument(std::string_view source, bool isPath) {
    if (!m_documentClass) return XmlNode();
    const bool loaded = isPath ? m_document.load_file(std::string(source))
                               : m_document.load_bytes(source.data(), source.size());
    return loaded ? m_document.root() : XmlNode();
}

bool OverlaySettingReader::Load(const std::string& path) {
    return LoadRoot(OpenDocument(path, true));
}

bool OverlaySettingReader::LoadBytes(const void* data, size_t size) {
    return LoadRoot(OpenDocument(std::string_view(static_cast<const char*>(data), size), false));
}

void OverlaySettingReader::Clear() {
    std::u16string().swap(m_fontName);
    m_fontSize = 0;
    std::vector<OverlayModalityNode>().swap(m_modalities);
    decltype(m_modalityIndex)().swap(m_modalityIndex);
    m_document.clear();
    m_failureText.clear();
    m_failureLine = 0;
    m_skippedText.clear();
    m_skippedLine = 0;
    m_lineItems = 0;
}

bool OverlaySettingReader::LoadRoot(const XmlNode& root) {
    m_failureText.clear();
    m_failureLine = 0;
    m_skippedText.clear();
    m_skippedLine = 0;
    if (!root) {
        m_failureText = m_documentClass ? m_document.error_text() : "no XML parser";
        m_failureLine = m_document.error_line();
        return false;
    }
    const std::u16string rootName = root.name();
    const bool walked = WalkElement(root, rootName, {}, Scope{});
    if (walked) {
        ValidateLines();
    } else {
        std::string name;
        if (platform::utf16_to_utf8(rootName, name) != platform::TextConvertResult::ok)
            throw std::bad_alloc();
        m_failureText = "the root element is " + name + ", not OVERLAYSETTING";
        m_failureLine = root.line();
    }
    // The tree holds all that is used of the document.
    m_document.clear();
    return walked;
}

bool OverlaySettingReader::WalkElement(const XmlNode& element, std::u16string_view name,
                                       std::u16string_view parentName, const Scope& scope) {
    const std::u16string_view expected = parentName.empty()              ? kOverlaySetting
                                         : parentName == kOverlaySetting ? kModality
                                         : parentName == kModality       ? kLocation
                                         : parentName == kLocation       ? kLine
                                                                         : std::u16string_view();
    if (!expected.empty() && name != expected) return false;
    if (element.type() != XmlNodeType::element) return false;
    for (XmlNode child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() != XmlNodeType::element) continue;
        const std::u16string childName = child.name();
        const int32_t id = LookupOverlayElementId(childName);
        if (id >= 0) HandleElement(name, child, childName, id, scope);
    }
    return true;
}

void OverlaySettingReader::HandleElement(std::u16string_view parentName, const XmlNode& child,
                                         std::u16string_view childName, int32_t childId,
                                         const Scope& scope) {
    switch (childId) {
        case kElementFont: {
            if (parentName != kOverlaySetting) return;
            const Attributes attributes(child, childName);
            m_fontName = GetAttribute(attributes, kAttrName);
            m_fontSize = ParseDecimal(GetAttribute(attributes, kAttrSize));
            // A size beyond any readable font stands for the built-in one.
            if (m_fontSize < 1 || m_fontSize > kMaxFontSize) m_fontSize = 0;
            return;
        }
        case kElementModality:
            if (parentName == kOverlaySetting) ReadModality(child, childName);
            return;
        case kElementLocation:
            if (parentName == kModality) ReadLocation(child, childName, scope);
            return;
        case kElementLine:
            if (parentName == kLocation) ReadLine(child, childName, scope);
            return;
        case kElementText:
            if (parentName == kLine && RoomForItem(child)) {
                OverlayItemNode node;
                node.id = kElementText;
                node.first = GetAttribute(Attributes(child, childName), kAttrValue);
                Append(scope, std::move(node));
            }
            return;
        case kElementMacro:
            if (parentName == kLine && RoomForItem(child)) {
                OverlayItemNode node;
                node.id = kElementMacro;
                const Attributes attributes(child, childName);
                node.first = GetAttribute(attributes, kAttrValue);
                node.second = GetAttribute(attributes, kAttrPrefix);
                node.third = GetAttribute(attributes, kAttrSuffix);
                Append(scope, std::move(node));
            }
            return;
        case kElementTag:
            if (parentName == kLine && RoomForItem(child))
                Append(scope, ReadNestedTag(child, childName));
            return;
        default:
            return;
    }
}

void OverlaySettingReader::ReadModality(const XmlNode& element, std::u16string_view elementName) {
    std::u16string name = GetAttribute(Attributes(element, elementName), kAttrName);
    if (name.empty()) return;
    const auto [found, added] = m_modalityIndex.try_emplace(name, m_modalities.size());
    if (added)
        m_modalities.push_back(OverlayModalityNode{std::move(name), {}});
    else
        m_modalities[found->second].locations.clear();
    WalkElement(element, elementName, kOverlaySetting, Scope{found->second, Scope::kNone});
}

void OverlaySettingReader::ReadLocation(const XmlNode& element, std::u16string_view elementName,
                                        const Scope& scope) {
    std::u16string name = GetAttribute(Attributes(element, elementName), kAttrValue);
    if (LookupOverlayLocation(name) < 0 || scope.modality >= m_modalities.size()) return;
    std::vector<OverlayLocationNode>& locations = m_modalities[scope.modality].locations;
    size_t location = 0;
    while (location < locations.size() && locations[location].name != name) ++location;
    if (location < locations.size())
        locations[location] = OverlayLocationNode{std::move(name), {}, 0};
    else
        locations.push_back(OverlayLocationNode{std::move(name), {}, 0});
    WalkElement(element, elementName, kModality, Scope{scope.modality, location});
}

void OverlaySettingReader::ReadLine(const XmlNode& element, std::u16string_view name,
                                    const Scope& scope) {
    // Only an element named exactly LINE makes a line.
    const OverlayLocationNode* location = Location(scope);
    if (!location || name != kLine) return;
    if (location->lines >= kMaxCornerLines) {
        NoteSkipped(element, kMaxCornerLines, "lines in a corner");
        return;
    }
    m_lineItems = 0;
    if (!WalkElement(element, name, kLocation, scope)) return;
    OverlayItemNode marker;
    marker.id = kElementText;
    marker.endOfLine = 1;
    Append(scope, std::move(marker));
    ++Location(scope)->lines;
}

bool OverlaySettingReader::RoomForItem(const XmlNode& element) {
    if (m_lineItems >= kMaxLineItems) {
        NoteSkipped(element, kMaxLineItems, "items in a line");
        return false;
    }
    ++m_lineItems;
    return true;
}

void OverlaySettingReader::NoteSkipped(const XmlNode& element, int32_t limit, const char* what) {
    if (!m_skippedText.empty()) return;
    m_skippedText = "more than " + std::to_string(limit) + " " + what;
    m_skippedLine = element.line();
}

OverlayItemNode OverlaySettingReader::ReadNestedTag(const XmlNode& element,
                                                    std::u16string_view name) {
    // A TAG reads its own attributes whatever its children are (white space
    // and comments of a pretty-printed file included); of several TAG
    // children the last names the attribute inside the sequence.
    OverlayItemNode node;
    node.id = kElementTag;
    const Attributes attributes(element, name);
    ParseTagNumber(GetAttribute(attributes, kAttrNo), node.group, node.element);
    node.index = ParseDecimal(GetAttribute(attributes, kAttrIndex));
    node.second = GetAttribute(attributes, kAttrPrefix);
    node.third = GetAttribute(attributes, kAttrSuffix);
    const std::u16string format = GetAttribute(attributes, kAttrFormat);
    node.first = LookupOverlayDateFormat(format);
    if (!format.empty() && node.first.empty()) node.group = node.element = kInvalidTagNumber;
    for (XmlNode child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() != XmlNodeType::element) continue;
        const std::u16string childName = child.name();
        if (LookupOverlayElementId(childName) == kElementTag)
            node.nested = std::make_shared<const OverlayItemNode>(ReadNestedTag(child, childName));
    }
    return node;
}

OverlaySettingReader::Attributes::Attributes(const XmlNode& element,
                                             std::u16string_view elementName)
    : list(element.attributes()) {
    for (platform::XmlAttribute& attribute : list) {
        UpperAsciiInPlace(attribute.name);
        if (attribute.name == kAttrValue) valueKeepsCase = elementName == kText;
    }
}

std::u16string OverlaySettingReader::GetAttribute(const Attributes& attributes,
                                                  std::u16string_view name) {
    for (const platform::XmlAttribute& attribute : attributes.list) {
        if (attribute.name != name) continue;
        const bool keepCase = name == kAttrPrefix || name == kAttrSuffix ||
                              (name == kAttrValue && attributes.valueKeepsCase);
        return keepCase ? attribute.value : UpperAscii(attribute.value);
    }
    return {};
}

const OverlayModalityNode* OverlaySettingReader::FindModality(std::u16string_view name) const {
    const auto found = m_modalityIndex.find(name);
    return found == m_modalityIndex.end() ? nullptr : &m_modalities[found->second];
}

const OverlayLocationNode* OverlaySettingReader::FindLocation(std::u16string_view modality,
                                                              std::u16string_view location) const {
    // A modality has at most one location of each of the four names.
    if (const OverlayModalityNode* found = FindModality(modality))
        for (const OverlayLocationNode& l : found->locations)
            if (l.name == location) return &l;
    return nullptr;
}

OverlayLocationNode* OverlaySettingReader::Location(const Scope& scope) {
    if (scope.modality >= m_modalities.size()) return nullptr;
    std::vector<OverlayLocationNode>& locations = m_modalities[scope.modality].locations;
    return scope.location < locations.size() ? &locations[scope.location] : nullptr;
}

void OverlaySettingReader::Append(const Scope& scope, OverlayItemNode node) {
    if (OverlayLocationNode* location = Location(scope)) location->items.push_back(std::move(node));
}

void OverlaySettingReader::ValidateLines() {
    for (OverlayModalityNode& modality : m_modalities) {
        for (OverlayLocationNode& location : modality.locations) {
            std::vector<OverlayItemNode>& items = location.items;
            // The marker of the last line: a location's text ends without
            // a line break.
            if (!items.empty()) items.pop_back();
            size_t lineStart = 0;
            int32_t invalid = 0;
            for (size_t i = 0; i < items.size(); ++i) {
                const OverlayItemNode& node = items[i];
                if (node.group == kInvalidTagNumber)
                    ++invalid;
                else if (node.element == kInvalidTagNumber)
                    ++invalid;
                if (node.index < 0 || node.index > kMaxIndex) ++invalid;
                if (node.id == kElementMacro && !node.first.empty() &&
                    LookupOverlayMacroName(node.first).empty())
                    ++invalid;
                const bool closes = node.endOfLine != 0;
                if (!closes && i + 1 < items.size()) continue;
                if (invalid) {
                    const size_t end = closes ? i : i + 1;
                    for (size_t k = lineStart; k < end; ++k) {
                        items[k].group = items[k].element = kInvalidTagNumber;
                        items[k].first.clear();
                    }
                }
                invalid = 0;
                lineStart = i + 1;
            }
        }
    }
}

bool OverlaySettingReader::BuildSettings(ZEBOverlaySettingInfo& setting,
                                         std::u16string_view modality, int32_t location) const {
    const std::u16string_view locationName = OverlayLocationName(location);
    if (locationName.empty()) return false;
    const OverlayLocationNode* nodes = FindLocation(modality, locationName);
    if (!nodes) nodes = FindLocation(kOther, locationName);
    if (!nodes) return false;
    ZEBOverlaySettingInfoItem item;
    for (const OverlayItemNode& node : nodes->items) {
        item.Reset();
        switch (node.id) {
            case kElementTag:
                item.kind = kOverlayItemTag;
                item.group = node.group;
                item.element = node.element;
                item.index = node.index;
                item.format = node.first;
                item.prefix = node.second;
                item.suffix = node.third;
                item.sequencePath = node.nested;
                item.lineBreak = 0;
                break;
            case kElementMacro:
                item.kind = kOverlayItemMacro;
                item.name = LookupOverlayMacroName(node.first);
                item.prefix = node.second;
                item.suffix = node.third;
                item.lineBreak = 0;
                break;
            default:
                item.kind = kOverlayItemText;
                if (!node.endOfLine) item.text = node.first;
                item.lineBreak = node.endOfLine;
                break;
        }
        setting.AddItem(location, item);
    }
    return true;
}

int32_t OverlaySettingReader::ParseDecimal(std::u16string_view s) {
    // An optional sign and digits, nothing before them.
    const bool starts =
        !s.empty() && ((s[0] >= u'0' && s[0] <= u'9') || s[0] == u'+' || s[0] == u'-');
    return starts ? ParseLong(s, 10) : 0;
}

bool OverlaySettingReader::ParseTagNumber(std::u16string_view text, uint16_t& group,
                                          uint16_t& element) {
    group = element = kInvalidTagNumber;
    const size_t comma = text.find(u',');
    if (text.empty() || comma == std::u16string_view::npos ||
        text.find(u',', comma + 1) != std::u16string_view::npos || comma + 1 == text.size())
        return false;
    // Each part keeps the low 16 bits of its long value.
    group = static_cast<uint16_t>(ParseLong(text.substr(0, comma), 16));
    element = static_cast<uint16_t>(ParseLong(text.substr(comma + 1), 16));
    return true;
}
