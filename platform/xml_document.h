#pragma once
// A read-only XML document over libxml2, for small settings files.
//
//   XmlDocument doc;
//   if (doc.load_file("OverlaySetting.xml")) {
//       for (XmlNode n = doc.root().first_child(); n; n = n.next_sibling())
//           if (n.type() == XmlNodeType::element) ... n.name(), n.attributes() ...
//   }
//
// Parsing never touches the network, loads no external DTD or entity and
// substitutes no declared entity: a reference to one stays in attribute
// values as its text "&name;" and is a node of its own among the children.
// Character references and the five predefined entities are decoded as XML
// requires. White space between elements is kept as text nodes. The
// encoding comes from the byte-order mark or the XML declaration (UTF-8
// when neither names one). Names and values are UTF-16; making them throws
// std::bad_alloc when memory runs out. Nothing is printed: whatever the
// parser would say about a failed load (the encoding and input layers
// included) is kept as its first error and line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct _xmlNode;
struct _xmlDoc;

namespace platform {

enum class XmlNodeType {
    element,
    text,
    cdata,
    comment,
    processing_instruction,
    entity_reference,
    other,
};

struct XmlAttribute {
    std::u16string name;   // as written, with its prefix
    std::u16string value;  // white space as written, references kept as "&name;"
};

// A node of a loaded document; valid while the document lives. A default
// node is null and every operation on it gives nothing.
class XmlNode {
public:
    XmlNode() = default;
    explicit operator bool() const { return node_ != nullptr; }

    XmlNodeType type() const;
    // The qualified name of an element, processing instruction or entity
    // reference as written; empty for other nodes.
    std::u16string name() const;
    // Child nodes in document order (an entity reference has none).
    XmlNode first_child() const;
    XmlNode next_sibling() const;
    bool has_children() const { return static_cast<bool>(first_child()); }
    // The attributes of an element in document order.
    std::vector<XmlAttribute> attributes() const;
    // The line of the file the node starts on (from 1; 0 when unknown).
    int32_t line() const;

private:
    friend class XmlDocument;
    explicit XmlNode(_xmlNode* node) : node_(node) {}
    _xmlNode* node_ = nullptr;
};

class XmlDocument {
public:
    // Larger inputs are refused (a settings file has a few KB).
    static constexpr size_t kMaxBytes = 1u << 20;

    XmlDocument() = default;
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Prepares the parser for the process (once, from any thread); false when
    // the library cannot be used.
    static bool initialize();

    // Parse a file (UTF-8 path) or bytes, replacing what was held; false when
    // the input cannot be read, is too large or is not well-formed. Throws
    // std::bad_alloc when memory runs out, in the parser too.
    bool load_file(const std::string& path);
    bool load_bytes(const void* data, size_t size);

    // The document element (null when nothing is loaded).
    XmlNode root() const;
    // Frees what was loaded; its nodes are then no longer valid.
    void clear();
    // Why the last load failed (the parser's first error, or why the file
    // could not be read) and on which line of the input (empty and 0 after
    // success, 0 when no line is known).
    const std::string& error_text() const { return error_text_; }
    int32_t error_line() const { return error_line_; }

private:
    _xmlDoc* doc_ = nullptr;
    std::string error_text_;
    int32_t error_line_ = 0;
};

}  // namespace platform
