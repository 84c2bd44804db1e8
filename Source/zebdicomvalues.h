#pragma once
// Attribute values of a data set as the viewer reads them: the value text,
// the text without its trailing padding, and leading numeric values that are
// all finite.
//
//   double spacing[2];
//   if (ReadFiniteValues(info, 0x0028, 0x0030, spacing, 2, true)) ...
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vrx {
class VRX_DICOMTagObj;
}

// The attribute's value text as the data set holds it; empty when absent.
std::u16string AttributeText(const vrx::VRX_DICOMTagObj& tags, uint16_t group, uint16_t element);

// The text without its trailing spaces and NUL characters.
std::u16string TrimTrailingBlanks(std::u16string_view text);

// The first `count` values into `out` when the attribute has that many
// readable finite values (and, with `positive`, all of them above 0);
// otherwise false and `out` untouched.
bool ReadFiniteValues(const vrx::VRX_DICOMTagObj& tags, uint16_t group, uint16_t element,
                      double* out, size_t count, bool positive = false);
