#pragma once
// Conversion of byte text in a named character set to UTF-16, over iconv.
//
// Character sets are named either by iconv's name or by the Windows code page
// number that files and settings carry (932, 1252, 28591, 50221, 54936, 65001
// and the like). Bytes that are invalid in the set, or that the set does not
// map, become U+FFFD and the conversion goes on. iconv descriptors are opened
// once per thread and character set and kept until the thread ends. UTF-8 is
// converted without iconv. Nothing here throws and nothing depends on the
// process or thread locale.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class TextConvertResult {
    ok,             // converted (possibly with U+FFFD substitutions)
    unsupported,    // the character set is unknown here or to iconv
    out_of_memory,  // the output could not grow
};

// The character that stands for every invalid or unmapped input sequence.
inline constexpr char16_t kReplacementCharacter = 0xFFFD;

// The iconv name used for a Windows code page, or nullptr when the code page
// is not supported. 65001 gives "UTF-8" (converted without iconv).
const char* code_page_charset(uint32_t code_page);

// Decodes `size` bytes in the character set `charset` (an iconv name) and
// appends the UTF-16 text to `out`. On failure `out` keeps what it held.
TextConvertResult decode_charset(const char* charset, const void* bytes, size_t size,
                                 std::u16string& out);

// The same for a Windows code page number.
TextConvertResult decode_code_page(uint32_t code_page, const void* bytes, size_t size,
                                   std::u16string& out);

// UTF-8 to UTF-16, appended to `out`. Each maximal ill-formed subsequence
// becomes one U+FFFD.
TextConvertResult utf8_to_utf16(std::string_view text, std::u16string& out);

// The same when the text is well-formed UTF-8; false, and `out` as it was,
// when it is not (or memory runs out).
bool well_formed_utf8_to_utf16(std::string_view text, std::u16string& out);

// UTF-16 to UTF-8, appended to `out`. An unpaired surrogate becomes U+FFFD.
TextConvertResult utf16_to_utf8(std::u16string_view text, std::string& out);

}  // namespace platform
