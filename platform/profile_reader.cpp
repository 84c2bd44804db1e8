#include "platform/profile_reader.h"

#include <algorithm>
#include <limits>
#include <new>
#include <unordered_set>

#include "platform/read_file.h"
#include "platform/text_converter.h"

namespace platform {
namespace {

// The file's text; false when CP932 text cannot be decoded. Throws
// std::bad_alloc when memory runs out.
bool decode_text(const unsigned char* p, size_t n, std::u16string& text) {
    if (n >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
        const bool little = p[0] == 0xFF;
        text.reserve(n / 2);
        for (size_t i = 2; i + 1 < n; i += 2)
            text.push_back(
                static_cast<char16_t>(little ? p[i] | (p[i + 1] << 8) : (p[i] << 8) | p[i + 1]));
        return true;
    }
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) p += 3, n -= 3;
    text.reserve(n);  // UTF-8 never gives more units than bytes
    if (well_formed_utf8_to_utf16(std::string_view(reinterpret_cast<const char*>(p), n), text))
        return true;
    const TextConvertResult decoded = decode_code_page(932, p, n, text);
    if (decoded == TextConvertResult::out_of_memory) throw std::bad_alloc();
    return decoded == TextConvertResult::ok;
}

bool is_space(char16_t c) {
    return c == u' ' || c == u'\t' || c == 0x3000;
}

std::u16string_view trim(std::u16string_view s) {
    while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
    return s;
}

char16_t fold(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

std::u16string folded(std::u16string_view s) {
    std::u16string out(s);
    for (char16_t& c : out) c = fold(c);
    return out;
}

bool same_name(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

}  // namespace

bool ProfileReader::load_file(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::string why;
    const bool read = read_small_file(path, kMaxFileBytes, bytes, &why);
    parse(bytes.data(), bytes.size());
    if (!read) error_text_ = why;
    return error_text_.empty();
}

void ProfileReader::parse(const void* data, size_t size) {
    sections_.clear();
    error_text_.clear();
    first_skipped_line_ = skipped_lines_ = 0;
    const auto skip = [&](size_t number) {
        if (skipped_lines_++ == 0) first_skipped_line_ = number;
    };
    std::u16string text;
    if (!decode_text(static_cast<const unsigned char*>(data), size, text)) {
        error_text_ = "its text cannot be decoded as CP932";
        return;
    }
    std::u16string_view rest = text;
    Section* current = nullptr;
    std::unordered_set<std::u16string> section_names, keys;
    for (size_t number = 1; !rest.empty(); ++number) {
        // CR LF, CR or LF ends a line.
        size_t end = rest.find_first_of(u"\r\n");
        if (end == std::u16string_view::npos) end = rest.size();
        const std::u16string_view line = trim(rest.substr(0, end));
        if (end + 1 < rest.size() && rest[end] == u'\r' && rest[end + 1] == u'\n') ++end;
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
        if (line.empty() || line.front() == u';') continue;
        if (line.front() == u'[') {
            const size_t close = line.find(u']');
            const std::u16string_view name =
                trim(line.substr(1, close == std::u16string_view::npos ? line.npos : close - 1));
            // A repeated section is skipped with its keys, and so is one
            // whose name is too long.
            current = nullptr;
            if (name.size() > kMaxNameChars)
                skip(number);
            else if (section_names.insert(folded(name)).second) {
                sections_.push_back({std::u16string(name), {}});
                current = &sections_.back();
                keys.clear();
            }
            continue;
        }
        const size_t eq = line.find(u'=');
        if (!current || eq == std::u16string_view::npos) continue;
        const std::u16string_view key = trim(line.substr(0, eq));
        std::u16string_view value = trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (key.size() > kMaxNameChars || value.size() > kMaxNameChars)
            skip(number);
        else if (keys.insert(folded(key)).second)
            current->entries.emplace_back(key, value);
    }
}

const ProfileReader::Section* ProfileReader::find_section(std::u16string_view name) const {
    for (const Section& s : sections_)
        if (same_name(s.name, name)) return &s;
    return nullptr;
}

const std::u16string* ProfileReader::find_value(std::u16string_view section,
                                                std::u16string_view key) const {
    const Section* s = find_section(section);
    if (!s) return nullptr;
    for (const auto& entry : s->entries)
        if (same_name(entry.first, key)) return &entry.second;
    return nullptr;
}

std::u16string ProfileReader::get_string(std::u16string_view section, std::u16string_view key,
                                         std::u16string_view fallback) const {
    const std::u16string* value = find_value(section, key);
    return value ? *value : std::u16string(fallback);
}

int32_t ProfileReader::get_int(std::u16string_view section, std::u16string_view key,
                               int32_t fallback) const {
    const std::u16string* value = find_value(section, key);
    if (!value) return fallback;
    size_t i = 0;
    bool negative = false;
    if (i < value->size() && ((*value)[i] == u'-' || (*value)[i] == u'+'))
        negative = (*value)[i++] == u'-';
    int64_t n = 0;
    for (; i < value->size() && (*value)[i] >= u'0' && (*value)[i] <= u'9'; ++i)
        n = std::min<int64_t>(n * 10 + ((*value)[i] - u'0'), int64_t{1} << 32);
    if (negative) n = -n;
    return static_cast<int32_t>(std::clamp<int64_t>(n, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool ProfileReader::has_key(std::u16string_view section, std::u16string_view key) const {
    return find_value(section, key) != nullptr;
}

std::vector<std::u16string> ProfileReader::sections() const {
    std::vector<std::u16string> names;
    for (const Section& s : sections_) names.push_back(s.name);
    return names;
}

std::vector<std::u16string> ProfileReader::keys(std::u16string_view section) const {
    std::vector<std::u16string> names;
    if (const Section* s = find_section(section))
        for (const auto& entry : s->entries) names.push_back(entry.first);
    return names;
}

}  // namespace platform
