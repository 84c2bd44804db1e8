#include "Source/zeboverlayviewinfo.h"

#include <algorithm>

#include "Source/appsettings.h"
#include "Source/czebfont.h"
#include "platform/device_context.h"
#include "platform/draw_text.h"

using platform::Rect;

namespace {

// Gap between a place's text and the tile's edges.
constexpr int32_t kMargin = 6;

enum class Across { left, centre, right };
enum class Down { top, middle, bottom };

struct Placement {
    Across across;
    Down down;
};

constexpr std::array<Placement, kOverlayLocationCount> kPlacements = {{
    {Across::left, Down::top},       // 0 upper left
    {Across::left, Down::middle},    // 1 left middle
    {Across::left, Down::bottom},    // 2 lower left
    {Across::centre, Down::top},     // 3 top centre
    {Across::centre, Down::bottom},  // 4 bottom centre
    {Across::right, Down::top},      // 5 upper right
    {Across::right, Down::middle},   // 6 right middle
    {Across::right, Down::bottom},   // 7 lower right
}};

uint32_t AlignmentFlags(Across across) {
    switch (across) {
        case Across::centre:
            return platform::kTextCenter;
        case Across::right:
            return platform::kTextRight;
        default:
            return platform::kTextLeft;
    }
}

// Whether an item shows during a drag of the tool `displayMode`.
int32_t ShowFlag(const ZEBOverlaySettingInfoItem& item, int32_t displayMode) {
    const bool dragging = displayMode == 1 || displayMode == 2 || displayMode == 4;
    if (!dragging) return 1;
    if (item.kind != kOverlayItemMacro) return 0;
    const std::u16string_view name = item.name;
    if (name == kMacroDisplayNames[kMacroZoomRate]) return displayMode == 2;
    if (name == kMacroDisplayNames[kMacroWindowCenter] ||
        name == kMacroDisplayNames[kMacroWindowWidth])
        return displayMode == 1;
    if (name == kMacroDisplayNames[kMacroDfov]) return displayMode == 2 || displayMode == 4;
    return 0;
}

}  // namespace

void ZEBOverlayViewInfo::Clear() {
    for (ZEBOverlayItemList& items : m_locations) items.clear();
    for (std::u16string& value : m_macroValues) value.clear();
}

const ZEBOverlayItemList& ZEBOverlayViewInfo::GetLocationLines(int32_t location) const {
    static const ZEBOverlayItemList empty;
    if (location < 0 || location >= kOverlayLocationCount) return empty;
    return m_locations[location];
}

ZEBOverlayItemList* ZEBOverlayViewInfo::LocationLines(int32_t location) {
    if (location < 0 || location >= kOverlayLocationCount) return nullptr;
    return &m_locations[location];
}

void ZEBOverlayViewInfo::TrimZeroDecimals(int32_t index) {
    if (index < kMacroZoomRate || index > kMacroWindowWidth) return;
    std::u16string& text = m_macroValues[index];
    if (text.size() >= 3 && text.compare(text.size() - 3, 3, u".00") == 0)
        text.resize(text.size() - 3);
}

std::u16string_view ZEBOverlayViewInfo::MacroValue(std::u16string_view displayName) const {
    for (int32_t i = 0; i < kMacroValueCount; ++i)
        if (kMacroDisplayNames[i] == displayName) return m_macroValues[i];
    return {};
}

std::u16string ZEBOverlayViewInfo::BuildLocationText(const ZEBOverlayItemList& items,
                                                     int32_t displayMode) const {
    std::u16string text;
    for (const ZEBOverlaySettingInfoItem& item : items) {
        const std::u16string_view macro =
            item.kind == kOverlayItemMacro ? MacroValue(item.name) : std::u16string_view();
        // A field of view that the image cannot give (no pixel spacing) is
        // left out with its prefix and suffix.
        const bool noFieldOfView = item.kind == kOverlayItemMacro &&
                                   item.name == kMacroDisplayNames[kMacroDfov] && macro.empty();
        const int32_t show = noFieldOfView ? 0 : ShowFlag(item, displayMode);
        text += ZEBOverlaySettingInfoItem::BuildText(show, item, macro);
    }
    return text;
}

void ZEBOverlayViewInfo::Draw(platform::DeviceContext& dc, const Rect& rect, int32_t displayMode,
                              platform::TextFont* font) const {
    const platform::BackgroundMode mode =
        dc.set_background_mode(platform::BackgroundMode::transparent);
    const platform::Color ink = dc.text_color();
    CZEBFont annotationFont;
    if (!font) {
        annotationFont.Create(SettingsInstance().AnnotationFont(), dc);
        font = annotationFont.Get();
    }
    {
        ZEBSelectFont selected(dc, font);
        for (int32_t location = 0; location < kOverlayLocationCount; ++location)
            DrawLocation(dc, location, rect, displayMode);
    }
    dc.set_text_color(ink);
    dc.set_background_mode(mode);
}

void ZEBOverlayViewInfo::DrawLocation(platform::DeviceContext& dc, int32_t location,
                                      const Rect& rect, int32_t displayMode) const {
    const ZEBOverlayItemList& items = GetLocationLines(location);
    if (items.empty()) return;
    const std::u16string text = BuildLocationText(items, displayMode);
    const Placement place = kPlacements[location];
    const uint32_t alignment = AlignmentFlags(place.across);
    Rect box = rect;
    platform::DrawText(
        dc, text, box,
        platform::kTextCalcRect | platform::kTextNoPrefix | platform::kTextWordBreak | alignment);
    const int64_t w = int64_t{box.right} - box.left, h = int64_t{box.bottom} - box.top;
    const int64_t W = int64_t{rect.right} - rect.left, H = int64_t{rect.bottom} - rect.top;
    int64_t dx = kMargin, dy = kMargin;
    if (place.across == Across::centre) dx = (W - w) / 2;
    if (place.across == Across::right) dx = W - w - kMargin;
    if (place.down == Down::middle) dy = (H - h) / 2;
    if (place.down == Down::bottom) dy = H - h - kMargin;
    const auto shift = [](int64_t a, int64_t d) {
        return static_cast<int32_t>(std::clamp<int64_t>(a + d, -0x3FFFFFFF, 0x3FFFFFFF));
    };
    const Rect moved{shift(box.left, dx), shift(box.top, dy), shift(box.right, dx),
                     shift(box.bottom, dy)};
    DrawShadowText(dc, text, moved, alignment);
}

void ZEBOverlayViewInfo::DrawShadowText(platform::DeviceContext& dc, std::u16string_view text,
                                        const Rect& rect, uint32_t alignment) {
    const uint32_t flags = alignment | platform::kTextNoPrefix | platform::kTextWordBreak;
    dc.set_text_color(platform::kBlack);
    Rect shadow = rect;
    platform::DrawText(dc, text, shadow, flags);
    dc.set_text_color(platform::kWhite);
    Rect lit{rect.left - 1, rect.top - 1, rect.right - 1, rect.bottom - 1};
    platform::DrawText(dc, text, lit, flags);
}
