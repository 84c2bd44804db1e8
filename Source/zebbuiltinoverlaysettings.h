#pragma once
// The built-in corner annotations, used for every modality: patient, study,
// series and image identity in the upper corners; page, zoom, field of
// view, window and the lossy-compression marker in the lower; the
// orientation letters in the middles of the edges.
#include <cstdint>

#include "Source/zeboverlaysettinginfo.h"

// Appends the built-in items of one location (0 to 7).
void AddBuiltinOverlayItems(ZEBOverlaySettingInfo& setting, int32_t location);
