#pragma once
// The generated tables behind togdicomdictionary.h (internal).
#include <cstddef>

#include "dicomlib/togdicomdictionary.h"

namespace TogDicomLib {
namespace DictionaryTables {
// Each table ends with an all-zero entry that the count does not include.
extern const TogDicomDictionaryEntry kMain[];
extern const size_t kMainCount;
extern const TogDicomDictionaryEntry kCurves[];
extern const size_t kCurvesCount;
extern const TogDicomDictionaryEntry kOverlays[];
extern const size_t kOverlaysCount;
}  // namespace DictionaryTables
}  // namespace TogDicomLib
