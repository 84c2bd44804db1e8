// The XML layer: the tree it gives (names, attributes in order, kept white
// space, node types) and what it refuses to do (substitute or fetch
// entities, load DTDs, accept malformed input).
#include "platform/xml_document.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <string>

#include "platform/text_converter.h"

namespace {

using platform::XmlDocument;
using platform::XmlNode;
using platform::XmlNodeType;

std::string Utf8(const std::u16string& text) {
    std::string out;
    platform::utf16_to_utf8(text, out);
    return out;
}

// The tree as text: elements as <name a='v'>children</>, text as its
// characters in brackets, other nodes by a mark.
std::string Dump(const XmlNode& node) {
    std::string out;
    for (XmlNode n = node; n; n = n.next_sibling()) {
        switch (n.type()) {
            case XmlNodeType::element:
                out += '<';
                out += Utf8(n.name());
                for (const platform::XmlAttribute& a : n.attributes()) {
                    out += ' ';
                    out += Utf8(a.name);
                    out += "='";
                    out += Utf8(a.value);
                    out += '\'';
                }
                out += '>';
                out += Dump(n.first_child());
                out += "</>";
                break;
            case XmlNodeType::text:
                out += "[t]";
                break;
            case XmlNodeType::entity_reference:
                out += '&';
                out += Utf8(n.name());
                out += n.has_children() ? ";+" : ";";
                break;
            case XmlNodeType::comment:
                out += "#c";
                break;
            case XmlNodeType::cdata:
                out += "#d";
                break;
            case XmlNodeType::processing_instruction:
                out += '?';
                out += Utf8(n.name());
                break;
            default:
                out += "#o";
        }
    }
    return out;
}

std::string Utf16Le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST(XmlDocument, TreesAndRefusals) {
    struct Case {
        const char* name;
        std::string xml;
        const char* tree;  // null: refused
    };
    const std::string laughs =
        "<!DOCTYPE A [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;'>"
        "<!ENTITY c '&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;'><!ENTITY d '&c;&c;&c;&c;&c;&c;&c;&c;&c;'>]>"
        "<A v='&d;&d;&d;&d;'/>";
    const Case cases[] = {
        {"attributes in order, case kept", "<Root b='2' A=\"1\" c=''/>",
         "<Root b='2' A='1' c=''>"
         "</>"},
        {"white space kept", "<A>\n  <B/>\n</A>", "<A>[t]<B></>[t]</>"},
        {"references decoded", "<A v='&lt;&#x41;&amp;&#12354;'/>", "<A v='<A&\xE3\x81\x82'></>"},
        {"declared entities stay references", "<!DOCTYPE A [<!ENTITY e 'X'>]><A v='1&e;2'>&e;</A>",
         "<A v='1&e;2'>&e;</>"},
        {"external entities are not fetched",
         "<!DOCTYPE A [<!ENTITY s SYSTEM '/etc/hostname'>]><A>&s;</A>", "<A>&s;</>"},
        {"external DTDs are not loaded",
         "<!DOCTYPE A SYSTEM 'http://example.invalid/a.dtd'><A x='1'/>", "<A x='1'></>"},
        {"entity amplification is refused", laughs, nullptr},
        {"other node kinds", "<A><!--c--><![CDATA[x]]><?pi data?></A>", "<A>#c#d?pi</>"},
        {"prefixed names", "<p:A xmlns:p='urn:x' p:b='1'/>", "<p:A p:b='1'></>"},
        {"UTF-16 with a byte-order mark", Utf16Le("<LINE TEXT='x'/>"), "<LINE TEXT='x'></>"},
        {"Shift_JIS", "<?xml version='1.0' encoding='Shift_JIS'?><A v='\x82\xA0'/>",
         "<A v='\xE3\x81\x82'></>"},
        {"unclosed element", "<A><B></A>", nullptr},
        {"no root", "<?xml version='1.0'?>", nullptr},
        {"empty", "", nullptr},
        {"external attribute entity", "<!DOCTYPE A [<!ENTITY s SYSTEM 'x'>]><A v='&s;'/>", nullptr},
        {"undeclared entity", "<A v='&nope;'/>", nullptr},
    };
    for (const Case& c : cases) {
        XmlDocument doc;
        const bool loaded = doc.load_bytes(c.xml.data(), c.xml.size());
        EXPECT_EQ(loaded, c.tree != nullptr) << c.name;
        if (loaded) {
            EXPECT_EQ(Dump(doc.root()), c.tree) << c.name;
            EXPECT_TRUE(doc.error_text().empty()) << c.name;
        } else {
            EXPECT_FALSE(doc.root()) << c.name;
            EXPECT_FALSE(doc.error_text().empty()) << c.name;
        }
    }

    XmlDocument doc;
    EXPECT_FALSE(doc.load_bytes("<A>\n<B>\n</A>", 12));
    EXPECT_EQ(doc.error_line(), 3);
    EXPECT_FALSE(doc.load_file("/nonexistent/OverlaySetting.xml"));
    EXPECT_EQ(doc.error_text(), "cannot be opened: No such file or directory");
    // A device is not read (nor a FIFO, which would block).
    EXPECT_FALSE(doc.load_file("/dev/null"));
    EXPECT_EQ(doc.error_text(), "is not a regular file");
    EXPECT_FALSE(XmlNode().has_children());
    EXPECT_TRUE(XmlNode().attributes().empty());
    EXPECT_EQ(XmlNode().line(), 0);
    const std::string lines = "<?xml version='1.0'?>\n\n<A>\n<B/></A>";
    ASSERT_TRUE(doc.load_bytes(lines.data(), lines.size()));
    EXPECT_EQ(doc.root().line(), 3);
    EXPECT_EQ(doc.root().first_child().next_sibling().line(), 4);
    doc.clear();
    EXPECT_FALSE(doc.root());
}

template <class Error>
void CountErrors(void* count, Error*) {
    ++*static_cast<int*>(count);
}

// Whatever part of the parser finds the fault (the encoding layer reports
// without the parser's context), the load gives its first error and line
// and prints nothing; the thread's own error handler is back afterwards.
TEST(XmlDocument, ErrorsAreKeptNotPrinted) {
    std::string loneSurrogate = Utf16Le("<?xml version='1.0' encoding='UTF-16'?>\n<A>\n<B v='x");
    loneSurrogate += std::string("\x00\xD8", 2) + Utf16Le("y'/></A>").substr(2);
    std::string deep = std::string(300, ' ') + "\n";
    for (int i = 0; i < 300; ++i) deep += "<A>";
    struct Case {
        const char* name;
        std::string xml;
        const char* error;  // the start of error_text()
        int32_t line;
    };
    const Case cases[] = {
        {"lone surrogate in UTF-16", loneSurrogate, "input conversion failed", 3},
        {"bytes that are not UTF-8", "<A>\n<B v='\xFF\xFE'/></A>", "Input is not proper UTF-8", 2},
        {"unknown encoding", "<?xml version='1.0' encoding='NO-SUCH'?><A/>",
         "Unsupported encoding NO-SUCH", 1},
        {"too deep", deep, "Excessive depth in document", 2},
        {"empty", "", "Document is empty", 1},
        {"cut short", "<A>\n<B>\n", "Premature end of data in tag B line 2", 3},
    };
    int handled = 0;
    xmlSetStructuredErrorFunc(&handled, CountErrors);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XmlDocument doc;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(doc.load_bytes(c.xml.data(), c.xml.size()));
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(doc.error_text().rfind(c.error, 0), 0u) << doc.error_text();
        EXPECT_EQ(doc.error_line(), c.line);
    }
    EXPECT_EQ(handled, 0);
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    xmlFreeDoc(xmlCtxtReadMemory(context, "<A>", 3, nullptr, nullptr, XML_PARSE_NOERROR));
    xmlFreeParserCtxt(context);
    EXPECT_GT(handled, 0);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
}

}  // namespace
