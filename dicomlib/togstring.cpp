#include "dicomlib/togstring.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

#include "platform/text_converter.h"

namespace {

// The one buffer every empty string points at. Never written, never freed.
char16_t g_togEmptyBuffer[1] = {0};

size_t BoundedLength(const char16_t* text, size_t limit) noexcept {
    size_t n = 0;
    while (n < limit && text[n] != 0) ++n;
    return n;
}

size_t TextLength(const char16_t* text) noexcept {
    return BoundedLength(text, SIZE_MAX);
}

int CompareText(const char16_t* a, const char16_t* b) noexcept {
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<int>(*a) - static_cast<int>(*b);
}

// A string of exactly the first n units of p, stopping at a NUL.
TogString FromUnits(const char16_t* p, size_t n) noexcept {
    if (n > static_cast<size_t>(INT32_MAX)) return TogString();
    return TogString(p, static_cast<int>(n));
}

}  // namespace

TogString::TogString() noexcept : buffer_(g_togEmptyBuffer), length_(0), capacity_(1) {}

TogString::TogString(const char16_t* text) noexcept : TogString() {
    Assign(text);
}

TogString::TogString(const char16_t* text, int count) noexcept : TogString() {
    if (count < 0) {
        Assign(text);
        return;
    }
    Append(text, count);
}

TogString::TogString(const TogString& other) noexcept : TogString() {
    Assign(other);
}

TogString::TogString(TogString&& other) noexcept
    : buffer_(other.buffer_), length_(other.length_), capacity_(other.capacity_) {
    other.buffer_ = g_togEmptyBuffer;
    other.length_ = 0;
    other.capacity_ = 1;
}

TogString::~TogString() {
    Clear();
}

TogString& TogString::operator=(const TogString& other) noexcept {
    Assign(other);
    return *this;
}

TogString& TogString::operator=(TogString&& other) noexcept {
    if (this != &other) {
        Clear();
        buffer_ = other.buffer_;
        length_ = other.length_;
        capacity_ = other.capacity_;
        other.buffer_ = g_togEmptyBuffer;
        other.length_ = 0;
        other.capacity_ = 1;
    }
    return *this;
}

TogString& TogString::operator=(const char16_t* text) noexcept {
    Assign(text);
    return *this;
}

bool TogString::Owned() const noexcept {
    return buffer_ != g_togEmptyBuffer;
}

void TogString::Clear() noexcept {
    if (Owned()) std::free(buffer_);
    buffer_ = g_togEmptyBuffer;
    length_ = 0;
    capacity_ = 1;
}

bool TogString::Reserve(uint32_t n) noexcept {
    if (n == UINT32_MAX) return false;  // no room for the terminator
    const size_t units = static_cast<size_t>(n) + 1;
    if (!Owned()) {
        if (n == 0) return true;
        auto* p = static_cast<char16_t*>(std::calloc(units, sizeof(char16_t)));
        if (p == nullptr) return false;
        buffer_ = p;
        capacity_ = static_cast<uint32_t>(units);
        return true;
    }
    if (capacity_ > n) return true;
    auto* p = static_cast<char16_t*>(std::realloc(buffer_, units * sizeof(char16_t)));
    if (p == nullptr) return false;
    std::memset(p + capacity_, 0, (units - capacity_) * sizeof(char16_t));
    buffer_ = p;
    capacity_ = static_cast<uint32_t>(units);
    return true;
}

bool TogString::SetLength(uint32_t n) noexcept {
    if (Owned() && n < capacity_) {
        std::memset(buffer_ + n, 0, (capacity_ - n) * sizeof(char16_t));
    } else if (!Reserve(n)) {
        return false;
    }
    length_ = n;
    return true;
}

// Room for n characters, growing by half again at least, for appends.
bool TogString::Grow(uint32_t n) noexcept {
    if (Owned() && capacity_ > n) return true;
    uint64_t want = static_cast<uint64_t>(capacity_) + capacity_ / 2;
    if (want < n) want = n;
    if (want >= UINT32_MAX) want = n;
    return Reserve(static_cast<uint32_t>(want));
}

bool TogString::Assign(const TogString& other) noexcept {
    if (other.buffer_ == buffer_) return true;
    if (other.length_ == 0) {
        Clear();
        return true;
    }
    if (!SetLength(other.length_)) return false;
    std::memcpy(buffer_, other.buffer_, other.length_ * sizeof(char16_t));
    return true;
}

bool TogString::Assign(const char16_t* text) noexcept {
    if (text == buffer_) return true;
    if (text == nullptr || *text == 0) {
        Clear();
        return true;
    }
    if (Owned() && text > buffer_ && text < buffer_ + capacity_) {
        // The text lies inside this string's own buffer: copy it out first.
        TogString copy(text);
        if (copy.IsEmpty()) {
            Clear();
            return false;
        }
        *this = static_cast<TogString&&>(copy);
        return true;
    }
    const size_t len = TextLength(text);
    if (len >= UINT32_MAX) {
        Clear();
        return false;
    }
    if (!Owned()) {
        auto* p = static_cast<char16_t*>(std::malloc((len + 1) * sizeof(char16_t)));
        if (p == nullptr) return false;
        std::memcpy(p, text, (len + 1) * sizeof(char16_t));
        buffer_ = p;
        length_ = static_cast<uint32_t>(len);
        capacity_ = static_cast<uint32_t>(len + 1);
        return true;
    }
    if (!SetLength(static_cast<uint32_t>(len))) {
        Clear();
        return false;
    }
    std::memcpy(buffer_, text, len * sizeof(char16_t));
    return true;
}

bool TogString::Append(const char16_t* text, int count) noexcept {
    if (text == nullptr || text == g_togEmptyBuffer || count == 0) return true;
    const size_t len = count < 0 ? TextLength(text) : BoundedLength(text, static_cast<size_t>(count));
    if (len == 0) return true;
    if (Owned() && text >= buffer_ && text < buffer_ + capacity_) {
        // Growing may move the buffer the text lies in.
        TogString copy = FromUnits(text, len);
        if (copy.GetLength() != len) return false;
        return Append(copy);
    }
    const uint64_t total = static_cast<uint64_t>(length_) + len;
    if (total >= UINT32_MAX) return false;
    if (!Grow(static_cast<uint32_t>(total))) return false;
    std::memcpy(buffer_ + length_, text, len * sizeof(char16_t));
    length_ = static_cast<uint32_t>(total);
    buffer_[length_] = 0;
    return true;
}

bool TogString::Append(const TogString& other) noexcept {
    if (other.length_ == 0) return true;
    if (&other == this) {
        TogString copy(other);
        if (copy.GetLength() != other.length_) return false;
        return Append(copy);
    }
    return Append(other.buffer_, static_cast<int>(other.length_));
}

bool TogString::Append(char16_t c) noexcept {
    if (c == 0) return true;
    return Append(&c, 1);
}

bool TogString::operator==(const char16_t* text) const noexcept {
    if (text == nullptr) return buffer_[0] == 0;
    return CompareText(buffer_, text) == 0;
}

bool TogString::operator==(const TogString& other) const noexcept {
    return CompareText(buffer_, other.buffer_) == 0;
}

int TogString::Find(const TogString& text, int start) const noexcept {
    if (length_ == 0 || text.length_ == 0 || text.length_ > length_ || start < 0) return -1;
    if (static_cast<uint32_t>(start) > length_ - text.length_) return -1;
    const size_t at = View().find(text.View(), static_cast<size_t>(start));
    return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

TogString TogString::Mid(int start, int count) const noexcept {
    if (length_ == 0 || start < 0 || static_cast<uint32_t>(start) >= length_ || count == 0) {
        return TogString();
    }
    const uint32_t rest = length_ - static_cast<uint32_t>(start);
    const uint32_t n = (count < 0 || static_cast<uint32_t>(count) > rest) ? rest : count;
    return FromUnits(buffer_ + start, n);
}

bool TogString::Split(const TogString& separator, const TogString& escape,
                      std::vector<TogString>& pieces) const noexcept {
    pieces.clear();
    if (length_ == 0) return true;
    try {
        if (separator.length_ == 0) {
            pieces.push_back(*this);
            return true;
        }
        const std::u16string_view text = View();
        const std::u16string_view sep = separator.View();
        const std::u16string_view esc = escape.View();
        size_t piece_start = 0;
        size_t from = 0;
        for (;;) {
            const size_t at = text.find(sep, from);
            if (at == std::u16string_view::npos) break;
            const bool escaped = !esc.empty() && at >= esc.size() &&
                                 text.substr(at - esc.size(), esc.size()) == esc;
            if (!escaped) {
                pieces.push_back(FromUnits(buffer_ + piece_start, at - piece_start));
                piece_start = at + sep.size();
            }
            from = at + sep.size();
        }
        pieces.push_back(FromUnits(buffer_ + piece_start, length_ - piece_start));
        return true;
    } catch (...) {
        pieces.clear();
        return false;
    }
}

float TogString::ToFloat() const noexcept {
    if (length_ == 0) return 0.0f;
    return static_cast<float>(togutils::StrToDouble(buffer_, nullptr));
}

double TogString::ToDouble() const noexcept {
    if (length_ == 0) return 0.0;
    return togutils::StrToDouble(buffer_, nullptr);
}

std::string TogString::ToUtf8() const noexcept {
    std::string out;
    if (platform::utf16_to_utf8(View(), out) != platform::TextConvertResult::ok) return {};
    return out;
}

TogString TogString::FromMultiByte(const char* text) noexcept {
    if (text == nullptr) return TogString();
    return FromUtf8(text);
}

TogString TogString::FromUtf8(std::string_view text) noexcept {
    if (text.empty()) return TogString();
    std::u16string wide;
    if (platform::utf8_to_utf16(text, wide) != platform::TextConvertResult::ok) return TogString();
    return FromUnits(wide.data(), wide.size());
}

TogString TogString::FromBytes(const char* bytes, size_t count) noexcept {
    TogString s;
    if (bytes == nullptr) return s;
    size_t n = 0;
    while (n < count && bytes[n] != 0) ++n;
    if (n == 0 || n >= UINT32_MAX || !s.SetLength(static_cast<uint32_t>(n))) return s;
    for (size_t i = 0; i < n; ++i) s.buffer_[i] = static_cast<unsigned char>(bytes[i]);
    return s;
}

TogString TogString::FromInt(int32_t value, int radix) noexcept {
    if (radix != 10) return FromUInt(static_cast<uint32_t>(value), radix);
    char digits[16];
    const auto r = std::to_chars(digits, digits + sizeof(digits), value, 10);
    return FromBytes(digits, static_cast<size_t>(r.ptr - digits));
}

TogString TogString::FromUInt(uint32_t value, int radix) noexcept {
    if (radix < 2 || radix > 36) return TogString();
    char digits[40];
    const auto r = std::to_chars(digits, digits + sizeof(digits), value, radix);
    return FromBytes(digits, static_cast<size_t>(r.ptr - digits));
}
