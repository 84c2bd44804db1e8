#include "Source/czebfont.h"

#include "platform/device_context.h"
#include "platform/font_library.h"

bool CZEBFont::Create(const ZEBFontInfo& info, platform::DeviceContext& dc) {
    (void)dc;  // every surface here has the screen's resolution
    m_font = platform::open_font({info.face, platform::points_to_pixels(info.points), info.weight});
    return m_font != nullptr;
}

ZEBSelectFont::ZEBSelectFont(platform::DeviceContext& dc, platform::TextFont* font)
    : m_dc(dc), m_old(dc.select_font(font)) {}

ZEBSelectFont::~ZEBSelectFont() {
    m_dc.select_font(m_old);
}
