#pragma once
// TogString: the DICOM library's string of UTF-16 code units.
//
// The buffer is always NUL-terminated. An empty string owns no memory: it
// points at the library's one shared empty buffer (length 0, capacity 1).
// Owned buffers come from the C heap. No operation throws; an allocation
// failure leaves the string unchanged (Reserve, SetLength, Append) or empty
// (assignment from a C text) and is reported by the return value.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TogString {
public:
    TogString() noexcept;
    TogString(const char16_t* text) noexcept;  // null: empty
    // The first `count` characters of `text` (a negative count: all of it; a
    // count beyond the text's end is cut to it).
    TogString(const char16_t* text, int count) noexcept;
    TogString(const TogString& other) noexcept;
    TogString(TogString&& other) noexcept;
    ~TogString();

    TogString& operator=(const TogString& other) noexcept;
    TogString& operator=(TogString&& other) noexcept;
    TogString& operator=(const char16_t* text) noexcept;

    // The buffer, never null.
    const char16_t* GetString() const noexcept { return buffer_; }
    uint32_t GetLength() const noexcept { return length_; }
    // Characters the buffer holds, terminator included (1 for the shared buffer).
    uint32_t GetCapacity() const noexcept { return capacity_; }
    bool IsEmpty() const noexcept { return length_ == 0; }
    // Pointer to character i (no range check, as for a C array; i may name the
    // terminator).
    const char16_t* At(uint32_t i) const noexcept { return buffer_ + i; }
    char16_t* At(uint32_t i) noexcept { return buffer_ + i; }
    std::u16string_view View() const noexcept { return {buffer_, length_}; }

    // Frees an owned buffer and returns to the shared empty buffer.
    void Clear() noexcept;
    // Makes room for n characters and the terminator; new characters are 0.
    bool Reserve(uint32_t n) noexcept;
    // Sets the length to n; characters from n to the end of the buffer become
    // 0. Returns false, changing nothing, when the buffer cannot grow.
    bool SetLength(uint32_t n) noexcept;

    bool Assign(const TogString& other) noexcept;
    // Null or an empty text makes the string empty.
    bool Assign(const char16_t* text) noexcept;
    // Appends the first `count` characters of text (negative: all; cut to the
    // text's length). A null text appends nothing.
    bool Append(const char16_t* text, int count = -1) noexcept;
    bool Append(const TogString& other) noexcept;
    bool Append(char16_t c) noexcept;

    // Character-by-character comparison up to the terminator; a null pointer
    // equals an empty string.
    bool operator==(const char16_t* text) const noexcept;
    bool operator!=(const char16_t* text) const noexcept { return !(*this == text); }
    bool operator==(const TogString& other) const noexcept;
    bool operator!=(const TogString& other) const noexcept { return !(*this == other); }

    // Index of the first occurrence of text at or after start, or -1.
    int Find(const TogString& text, int start = 0) const noexcept;
    // count characters from start (a negative count: the rest).
    TogString Mid(int start, int count = -1) const noexcept;
    // Splits at every occurrence of separator that is not directly preceded by
    // escape (when escape is not empty). The piece after the last separator is
    // always added; an empty string gives no piece, an empty separator the
    // whole string. Returns false when memory ran out (pieces are then cleared).
    bool Split(const TogString& separator, const TogString& escape,
               std::vector<TogString>& pieces) const noexcept;

    // The value of the text as a number, read like the C library's strtod in
    // the "C" locale whatever the process locale is; 0 for an empty string.
    float ToFloat() const noexcept;
    double ToDouble() const noexcept;

    // UTF-8 text of the string (for file names and log output). Empty on
    // allocation failure.
    std::string ToUtf8() const noexcept;

    // Conversion from narrow text, which is UTF-8 on this platform. Invalid
    // sequences become U+FFFD; null or empty text gives an empty string.
    static TogString FromMultiByte(const char* text) noexcept;
    static TogString FromUtf8(std::string_view text) noexcept;
    // Each byte becomes one character (ISO 8859-1); for ASCII-only DICOM values.
    static TogString FromBytes(const char* bytes, size_t count) noexcept;
    // The number in radix 2 to 36, lower-case digits. FromInt writes a minus
    // sign only in radix 10; in other radixes a negative value is written as
    // its 32-bit two's complement. An invalid radix gives an empty string.
    static TogString FromInt(int32_t value, int radix = 10) noexcept;
    static TogString FromUInt(uint32_t value, int radix = 10) noexcept;
    // printf-style formatting, independent of the locale (the decimal point is
    // always '.'). %s and %ls take a const char16_t*, %hs and %S a UTF-8
    // const char*; %c takes a char16_t (a NUL writes nothing). Integer lengths hh, h, l, ll, j, z, t
    // and the floating conversions f F e E g G a A (L for long double) follow
    // C. An unknown conversion, %n, or an empty result give an empty string.
    static TogString Format(const char16_t* format, ...) noexcept;
    static TogString FormatV(const char16_t* format, va_list args) noexcept;

private:
    bool Owned() const noexcept;
    bool Grow(uint32_t n) noexcept;

    char16_t* buffer_;
    uint32_t length_;
    uint32_t capacity_;
};

// Locale-independent number parsing of wide text, as the C library's strtod,
// strtol and strtoul read text in the "C" locale. `end` (when not null)
// receives the first character not taken; it is `text` when no number was
// read. The integer forms have 32-bit results: out-of-range values clamp to
// the limits (strtoul negates a value after a minus sign, as C does).
namespace togutils {
double StrToDouble(const char16_t* text, const char16_t** end) noexcept;
int32_t StrToLong(const char16_t* text, const char16_t** end, int base) noexcept;
uint32_t StrToULong(const char16_t* text, const char16_t** end, int base) noexcept;
}  // namespace togutils
