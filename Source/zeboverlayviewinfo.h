#pragma once
// The corner annotations of one frame, resolved: for each of the eight
// places the items of the frame's modality with their attribute values, and
// the values of the macros. A tile draws a copy after writing the values
// that depend on its own state (page, zoom, window, field of view).
//
//   ZEBOverlayViewInfo shown(frame.m_annotations);
//   shown.m_macroValues[kMacroZoomRate] = u"1.50";
//   shown.Draw(dc, tile.ClientRect(), tile.DisplayMode());
//
// While a window/level (1), zoom (2) or pan (4) drag runs only the values
// that drag changes are shown; every other item keeps just its line break.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Source/zeboverlaysettinginfo.h"
#include "platform/bitmap.h"

namespace platform {
class DeviceContext;
class TextFont;
}  // namespace platform

// Indices of ZEBOverlayViewInfo::m_macroValues.
enum ZEBMacroIndex : int32_t {
    kMacroPage = 0,
    kMacroZoomRate = 1,
    kMacroWindowCenter = 2,
    kMacroWindowWidth = 3,
    kMacroDfov = 4,
    kMacroOrientationTop = 5,
    kMacroOrientationBottom = 6,
    kMacroOrientationLeft = 7,
    kMacroOrientationRight = 8,
    kMacroMultiframe = 9,
    kMacroLossy = 10,
    kMacroMammoLaterality = 11,
};
inline constexpr int32_t kMacroValueCount = 12;
// The display name of each macro value.
inline constexpr std::array<std::u16string_view, kMacroValueCount> kMacroDisplayNames = {
    u"Page of TotalPages",
    u"Zoom Rate",
    u"Window Center",
    u"Window Width",
    kDfovDisplayName,
    u"Patient Orientation Top",
    u"Patient Orientation Bottom",
    u"Patient Orientation Left",
    u"Patient Orientation Right",
    u"Multiframe",
    u"JPEG Lossy Data",
    u"Mammo Image Laterality",
};

using ZEBOverlayItemList = std::vector<ZEBOverlaySettingInfoItem>;

class ZEBOverlayViewInfo {
public:
    ZEBOverlayViewInfo() = default;
    ZEBOverlayViewInfo(const ZEBOverlayViewInfo&) = default;
    ZEBOverlayViewInfo& operator=(const ZEBOverlayViewInfo&) = default;
    virtual ~ZEBOverlayViewInfo() = default;

    // Empties the eight lists and every macro value.
    void Clear();

    // The items of a location (an always empty list outside 0-7).
    const ZEBOverlayItemList& GetLocationLines(int32_t location) const;
    // The list to append to; null outside 0-7.
    ZEBOverlayItemList* LocationLines(int32_t location);

    // Drops a trailing ".00" from the zoom, window centre or window width
    // text (indices 1 to 3; others are left alone).
    void TrimZeroDecimals(int32_t index);

    // Draws the eight places into `rect` in the annotation font of the
    // settings, or in `font` when one is given.
    void Draw(platform::DeviceContext& dc, const platform::Rect& rect, int32_t displayMode,
              platform::TextFont* font = nullptr) const;

    // The text of one place.
    std::u16string BuildLocationText(const ZEBOverlayItemList& items, int32_t displayMode) const;
    // The value of the macro of that display name (empty when unknown).
    std::u16string_view MacroValue(std::u16string_view displayName) const;

    // Draws one place's text into the tile rectangle.
    void DrawLocation(platform::DeviceContext& dc, int32_t location, const platform::Rect& rect,
                      int32_t displayMode) const;
    // The text in black, then in white one pixel up and to the left.
    static void DrawShadowText(platform::DeviceContext& dc, std::u16string_view text,
                               const platform::Rect& rect, uint32_t alignment);

    std::array<std::u16string, kMacroValueCount> m_macroValues;

private:
    std::array<ZEBOverlayItemList, kOverlayLocationCount> m_locations;
};
