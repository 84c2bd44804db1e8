#include "Source/czeboverlaytext.h"

#include <algorithm>
#include <cstdlib>

#include "Source/appsettings.h"
#include "Source/zebstringutil.h"
#include "platform/device_context.h"
#include "platform/draw_text.h"

using platform::Point;
using platform::Rect;

namespace {

constexpr uint32_t kEditStyles = platform::kEditVisible | platform::kEditMultiLine |
                                 platform::kEditAutoVScroll | platform::kEditWantReturn;

// Tabs before a position of the text.
size_t TabsBefore(std::u16string_view text, size_t pos) {
    return static_cast<size_t>(std::count(
        text.begin(), text.begin() + static_cast<ptrdiff_t>(std::min(pos, text.size())), u'\t'));
}

}  // namespace

CZEBOverlayText::~CZEBOverlayText() {
    DestroyEditBox();
}

void CZEBOverlayText::BeginEdit(Point p, platform::EditParent& parent) {
    platform::DeviceContext dc(parent.surface());
    m_font.Create(SettingsInstance().TextFont(), dc);
    {
        ZEBSelectFont selected(dc, m_font.Get());
        const ZEBTextSize m = MeasureText(dc, u"M");
        m_margin = m.width / 2;
        m_minWidth = m_width = (m.width / 2 + m.width) * 2;
        m_lineHeight = m_height = m.height;
    }
    m_pos = p;
    m_boxRect = {p.x, p.y, p.x + m_width, p.y + m_height};
    CreateEditBox(parent);
    m_imagePos = {-1, -1};
}

void CZEBOverlayText::DestroyEditBox() {
    m_editBox.reset();
}

void CZEBOverlayText::CreateEditBox(platform::EditParent& parent) {
    DestroyEditBox();
    m_editBox = std::make_unique<CZEBEdit>();
    m_editBox->Create(kEditStyles, m_boxRect, &parent, kEditId);
    m_editBox->set_font(m_font.Get());
    m_editBox->set_limit(kTextLimit);
    m_editBox->set_margins(m_margin, m_margin);
    m_editBox->set_text(m_text);
    const int64_t end = static_cast<int64_t>(m_text.size());
    m_editBox->set_selection(end, end);
    m_editBox->scroll_caret();
    m_editBox->set_focus();
}

void CZEBOverlayText::OnEditChange(int32_t offsetX, int32_t offsetY, Point origin, double zoom) {
    if (!m_editBox) return;
    const Rect r = GetImageRect(offsetX, offsetY, origin, zoom);
    CZEBEdit& edit = *m_editBox;

    // Tabs never stay; the selection keeps its place among the other characters.
    const auto [start, end] = edit.selection();
    const std::u16string typed = edit.text();
    const std::u16string text = RemoveTabs(typed);
    if (text != typed) {
        edit.set_text(text);
        edit.set_selection(static_cast<int64_t>(start - TabsBefore(typed, start)),
                           static_cast<int64_t>(end - TabsBefore(typed, end)));
    } else {
        edit.set_selection(static_cast<int64_t>(start), static_cast<int64_t>(end));
    }
    edit.scroll_caret();

    platform::DeviceContext dc;
    ZEBSelectFont selected(dc, m_font.Get());
    const ZEBTextSize size = MeasureText(dc, text, platform::kTextExpandTabs);
    const int32_t oldWidth = m_width;
    m_width = std::min(std::max(size.width + 4 * m_margin, m_minWidth), r.right - r.left);

    // Lines as the box shows them at its new width.
    edit.move({m_boxRect.left, m_boxRect.top, m_boxRect.left + m_width, m_boxRect.bottom});
    int32_t lines = edit.line_count();
    const int64_t change =
        static_cast<int64_t>(text.size()) - static_cast<int64_t>(m_previousText.size());
    if (std::llabs(change) > 2) lines = CountTextLines(text);
    m_previousText = text;
    m_height = std::max(m_lineHeight * lines, m_lineHeight);

    m_pos.x += (oldWidth - m_width) / 2;
    if (m_pos.x < r.left) m_pos.x = r.left;
    if (m_pos.x + m_width >= r.right) m_pos.x = r.right - m_width;
    m_boxRect = {m_pos.x, m_pos.y, m_pos.x + m_width, m_pos.y + m_height};
    edit.move(m_boxRect);
}

int CZEBOverlayText::Drag(Point p, platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY,
                          Point origin, double zoom) {
    (void)dc;
    if (!m_dragging) return 0;
    const Rect r = GetImageRect(offsetX, offsetY, origin, zoom).inflate(-2);
    m_pos = {m_pos.x + p.x - m_dragAnchor.x, m_pos.y + p.y - m_dragAnchor.y};
    if (m_pos.x + m_width >= r.right) m_pos.x = r.right - m_width;
    if (m_pos.x < r.left) m_pos.x = r.left;
    if (m_pos.y + m_height >= r.bottom) m_pos.y = r.bottom - m_height;
    if (m_pos.y < r.top) m_pos.y = r.top;
    m_imagePos = {-1, -1};
    m_dragAnchor = ClampIntoRect(r, p);
    return 1;
}

void CZEBOverlayText::EndDrag(int32_t offsetX, int32_t offsetY, Point origin, double zoom) {
    m_imagePos = ScreenToImage(m_pos, offsetX, offsetY, origin, zoom);
    m_dragging = 0;
}

int CZEBOverlayText::HitTest(Point p) const {
    return Rect{m_pos.x, m_pos.y, m_pos.x + m_width, m_pos.y + m_height}.contains(p) ? 1 : 0;
}

void CZEBOverlayText::Draw(platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY,
                           Point origin, double zoom) {
    if (m_editBox) {
        const Rect frame = m_boxRect.inflate(4);
        dc.fill_rect(frame, {platform::kBlack, false});
        const Point lt{frame.left, frame.top}, rt{frame.right - 1, frame.top};
        const Point rb{frame.right - 1, frame.bottom - 1}, lb{frame.left, frame.bottom - 1};
        DrawLine(dc, lt, rt, platform::kWhite, 1);
        DrawLine(dc, rt, rb, platform::kWhite, 1);
        DrawLine(dc, rb, lb, platform::kWhite, 1);
        DrawLine(dc, lb, lt, platform::kWhite, 1);
        return;
    }
    m_font.Create(SettingsInstance().TextFont(), dc);
    ZEBSelectFont selected(dc, m_font.Get());
    if (m_imagePos.x != -1) m_pos = ImageToScreen(m_imagePos, offsetX, offsetY, origin, zoom);
    const ZEBTextSize size = MeasureText(dc, m_text, platform::kTextExpandTabs);
    m_width = size.width;
    m_height = size.height;
    DrawLabel(dc, m_pos, m_width, m_height, m_text);
    if (m_selected) {
        for (Point p :
             {m_pos, Point{m_pos.x + m_width, m_pos.y}, Point{m_pos.x, m_pos.y + m_height},
              Point{m_pos.x + m_width, m_pos.y + m_height}})
            DrawHandle(dc, p);
    }
}
