#include "platform/xml_document.h"

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <mutex>
#include <new>

#include "platform/read_file.h"
#include "platform/text_converter.h"

namespace platform {
namespace {

// Lines past 65535 keep their numbers; short texts live in their nodes.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                              XML_PARSE_BIG_LINES | XML_PARSE_COMPACT;

// Documents name no outside resource that is ever fetched: DTDs and
// external entities resolve to nothing.
xmlParserInputPtr refuse_external(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

// The first error of a parse and the first line any error names, and
// whether memory ran out. The encoding and input layers report without the
// parser's context, to the thread's handlers, so the parse installs this as
// the thread's structured handler (the library's error type is const in
// newer versions). Nothing may leave it by an exception: it is called from
// C.
struct ParseErrors {
    std::string text;
    int32_t line = 0;
    bool no_memory = false;

    template <class Error>
    static void collect(void* data, Error* error) noexcept {
        auto* errors = static_cast<ParseErrors*>(data);
        if (!error || error->level < XML_ERR_ERROR) return;
        if (error->code == XML_ERR_NO_MEMORY) errors->no_memory = true;
        try {
            if (errors->text.empty() && error->message) errors->text = error->message;
        } catch (const std::bad_alloc&) {
            errors->no_memory = true;
        }
        if (errors->line == 0 && error->line > 0) errors->line = error->line;
    }
};

// Installs a structured error handler for the calling thread while it lives.
class ThreadErrorHandler {
public:
    explicit ThreadErrorHandler(ParseErrors& errors)
        : previous_(xmlStructuredError), previous_data_(xmlStructuredErrorContext) {
        xmlSetStructuredErrorFunc(&errors, ParseErrors::collect);
    }
    ~ThreadErrorHandler() { xmlSetStructuredErrorFunc(previous_data_, previous_); }
    ThreadErrorHandler(const ThreadErrorHandler&) = delete;
    ThreadErrorHandler& operator=(const ThreadErrorHandler&) = delete;

private:
    xmlStructuredErrorFunc previous_;
    void* previous_data_;
};

// Appends the library's text (UTF-8, checked by the parser); names and
// values are mostly ASCII, which needs no decoding.
void append_utf8(const xmlChar* text, std::u16string& out) {
    if (!text) return;
    const std::string_view bytes(reinterpret_cast<const char*>(text));
    const size_t start = out.size();
    out.resize(start + bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (text[i] >= 0x80) {
            out.resize(start);
            if (!well_formed_utf8_to_utf16(bytes, out) &&
                utf8_to_utf16(bytes, out) != TextConvertResult::ok)
                throw std::bad_alloc();
            return;
        }
        out[start + i] = text[i];
    }
}

std::u16string from_utf8(const xmlChar* text) {
    std::u16string out;
    append_utf8(text, out);
    return out;
}

std::u16string qualified(const xmlChar* name, const xmlNs* ns) {
    std::u16string out;
    if (ns && ns->prefix) {
        append_utf8(ns->prefix, out);
        out += u':';
    }
    append_utf8(name, out);
    return out;
}

}  // namespace

XmlNodeType XmlNode::type() const {
    if (!node_) return XmlNodeType::other;
    switch (node_->type) {
        case XML_ELEMENT_NODE:
            return XmlNodeType::element;
        case XML_TEXT_NODE:
            return XmlNodeType::text;
        case XML_CDATA_SECTION_NODE:
            return XmlNodeType::cdata;
        case XML_COMMENT_NODE:
            return XmlNodeType::comment;
        case XML_PI_NODE:
            return XmlNodeType::processing_instruction;
        case XML_ENTITY_REF_NODE:
            return XmlNodeType::entity_reference;
        default:
            return XmlNodeType::other;
    }
}

std::u16string XmlNode::name() const {
    switch (type()) {
        case XmlNodeType::element:
            return qualified(node_->name, node_->ns);
        case XmlNodeType::processing_instruction:
        case XmlNodeType::entity_reference:
            return from_utf8(node_->name);
        default:
            return {};
    }
}

XmlNode XmlNode::first_child() const {
    // The children of an entity reference are the entity's declaration.
    if (!node_ || node_->type == XML_ENTITY_REF_NODE) return XmlNode();
    return XmlNode(node_->children);
}

XmlNode XmlNode::next_sibling() const {
    return XmlNode(node_ ? node_->next : nullptr);
}

std::vector<XmlAttribute> XmlNode::attributes() const {
    std::vector<XmlAttribute> out;
    if (type() != XmlNodeType::element) return out;
    for (const xmlAttr* a = node_->properties; a; a = a->next) {
        XmlAttribute attribute;
        attribute.name = qualified(a->name, a->ns);
        for (const xmlNode* c = a->children; c; c = c->next) {
            if (c->type == XML_TEXT_NODE) {
                append_utf8(c->content, attribute.value);
            } else if (c->type == XML_ENTITY_REF_NODE) {
                attribute.value += u'&';
                append_utf8(c->name, attribute.value);
                attribute.value += u';';
            }
        }
        out.push_back(std::move(attribute));
    }
    return out;
}

int32_t XmlNode::line() const {
    const long line = node_ ? xmlGetLineNo(node_) : 0;
    return line > 0 && line <= INT32_MAX ? static_cast<int32_t>(line) : 0;
}

XmlDocument::~XmlDocument() {
    clear();
}

void XmlDocument::clear() {
    if (doc_) xmlFreeDoc(doc_);
    doc_ = nullptr;
    error_text_.clear();
    error_line_ = 0;
}

bool XmlDocument::initialize() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuse_external);
    });
    return true;
}

bool XmlDocument::load_file(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::string why;
    if (!read_small_file(path, kMaxBytes, bytes, &why)) {
        clear();
        error_text_ = why;
        return false;
    }
    return load_bytes(bytes.data(), bytes.size());
}

bool XmlDocument::load_bytes(const void* data, size_t size) {
    clear();
    initialize();
    if (size > kMaxBytes || size > static_cast<size_t>(INT_MAX)) {
        error_text_ = "the document is too large";
        return false;
    }
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (!context) throw std::bad_alloc();
    static const char kEmpty = 0;
    ParseErrors errors;
    {
        ThreadErrorHandler handler(errors);
        doc_ = xmlCtxtReadMemory(context, size ? static_cast<const char*>(data) : &kEmpty,
                                 static_cast<int>(size), nullptr, nullptr, kParseOptions);
    }
    const bool no_memory = errors.no_memory || context->errNo == XML_ERR_NO_MEMORY;
    const bool failed = !doc_ || !context->wellFormed || no_memory;
    xmlFreeParserCtxt(context);
    if (failed && doc_) xmlFreeDoc(doc_);
    if (failed) doc_ = nullptr;
    // Memory that ran out is the process's failure, not the document's.
    if (no_memory) throw std::bad_alloc();
    if (failed) {
        error_text_ = errors.text.empty() ? "not well-formed" : errors.text;
        while (!error_text_.empty() && (error_text_.back() == '\n' || error_text_.back() == ' '))
            error_text_.pop_back();
        error_line_ = errors.line;
    }
    return doc_ != nullptr;
}

XmlNode XmlDocument::root() const {
    return XmlNode(doc_ ? xmlDocGetRootElement(doc_) : nullptr);
}

}  // namespace platform
