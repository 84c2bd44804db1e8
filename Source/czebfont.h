#pragma once
// A font made from a settings font description for a device context.
//
//   CZEBFont font;
//   font.Create(SettingsInstance().MeasureFont(), dc);
//   platform::TextFont* old = dc.select_font(font.Get());
//   ... draw ...
//   dc.select_font(old);
#include <cstdint>
#include <memory>

#include "Source/appsettings.h"

namespace platform {
class DeviceContext;
class TextFont;
}  // namespace platform

class CZEBFont {
public:
    CZEBFont() = default;
    virtual ~CZEBFont() = default;

    // (Re)creates the font: em height MulDiv(points, 96, 72) pixels, the
    // description's weight. False when no face can be found (Get() is then
    // null and text draws nothing).
    bool Create(const ZEBFontInfo& info, platform::DeviceContext& dc);
    void Release() { m_font.reset(); }

    platform::TextFont* Get() const { return m_font.get(); }

private:
    std::shared_ptr<platform::TextFont> m_font;
};

// While alive, keeps a font selected into a device context.
class ZEBSelectFont {
public:
    ZEBSelectFont(platform::DeviceContext& dc, platform::TextFont* font);
    ~ZEBSelectFont();
    ZEBSelectFont(const ZEBSelectFont&) = delete;
    ZEBSelectFont& operator=(const ZEBSelectFont&) = delete;

private:
    platform::DeviceContext& m_dc;
    platform::TextFont* m_old;
};
