#pragma once
// Reader of settings files in the ini format:
//
//   ; comment
//   [Font]
//   StringsFaceName = IPAGothic
//
// The file is UTF-8 (with or without a byte-order mark), UTF-16 with a
// byte-order mark, or else CP932. Section and key names compare without
// regard to ASCII case; blanks around names and values are dropped, and so
// are quotes (" or ') that enclose a whole value. The first section of a
// name and its first key of a name count; lines before the first section,
// and lines without '=', are ignored. A section name, key or value longer
// than kMaxNameChars is not kept: its line is skipped (and with a section
// line, the keys of that section) and counted.
//
//   ProfileReader ini;
//   ini.load_file("ZR-M_Viewer.ini");
//   std::u16string face = ini.get_string(u"Font", u"StringsFaceName", u"MS UI Gothic");
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

class ProfileReader {
public:
    // Files larger than this are refused (a settings file has a few KB).
    static constexpr size_t kMaxFileBytes = 1u << 20;
    // The longest section name, key or value kept, in UTF-16 units (a face
    // name has at most 255 characters).
    static constexpr size_t kMaxNameChars = 255;

    // Reads and parses the file (a UTF-8 path); false, and nothing held,
    // when it cannot be read, is too large or its text cannot be decoded
    // (error_text() says which).
    bool load_file(const std::string& path);
    // Parses the bytes of a file, replacing what was held; nothing is held,
    // and error_text() says so, when the text cannot be decoded. Both throw
    // std::bad_alloc when memory runs out.
    void parse(const void* bytes, size_t size);

    // The value, or `fallback` when the section or key is absent.
    std::u16string get_string(std::u16string_view section, std::u16string_view key,
                              std::u16string_view fallback) const;
    // The value's leading decimal number (optional sign; 0 when there is no
    // digit; clamped to the 32-bit range), or `fallback` when absent.
    int32_t get_int(std::u16string_view section, std::u16string_view key, int32_t fallback) const;
    bool has_key(std::u16string_view section, std::u16string_view key) const;

    std::vector<std::u16string> sections() const;
    // The keys of a section in file order (empty when absent).
    std::vector<std::u16string> keys(std::u16string_view section) const;

    // Why the last load_file or parse failed, in words; empty after a
    // success.
    const std::string& error_text() const { return error_text_; }
    // Lines skipped for a name or value longer than kMaxNameChars: the
    // first one's number (from 1; 0 when none) and how many.
    size_t first_skipped_line() const { return first_skipped_line_; }
    size_t skipped_lines() const { return skipped_lines_; }

private:
    struct Section {
        std::u16string name;
        std::vector<std::pair<std::u16string, std::u16string>> entries;
    };
    const Section* find_section(std::u16string_view name) const;
    const std::u16string* find_value(std::u16string_view section, std::u16string_view key) const;

    std::vector<Section> sections_;
    std::string error_text_;
    size_t first_skipped_line_ = 0;
    size_t skipped_lines_ = 0;
};

}  // namespace platform
