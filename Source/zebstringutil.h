#pragma once
// Text helpers of the viewer.
#include <cstdint>
#include <string>
#include <string_view>

// Lines of a text: carriage returns + 1, 0 for an empty text.
int32_t CountTextLines(std::u16string_view text);

// The text without its tab characters.
std::u16string RemoveTabs(std::u16string_view text);

// The text in UTF-8, as file names and messages take it.
std::string ToUtf8(std::u16string_view text);

// printf-style formatting independent of the locale (%s takes a
// const char16_t*); empty when the format is refused.
std::u16string FormatText(const char16_t* format, ...);

// The text as one line of the program's output shows it: each control
// character (C0, DEL, C1) as an escape ("\n", "\t", "\0", "\x1b",
// "\u009b") and each byte that is not part of UTF-8 as "\xNN"; printable
// text, UTF-8 included, as it is.
std::string ShownText(std::string_view text);
