#pragma once
// One free-text annotation on a frame. A click in text mode opens an edit
// box at that point; the typed text becomes the annotation, drawn white with
// a black shadow. The box grows around its centre as the text widens and
// never leaves the shown image.
//
// The overlay manager creates the text and calls BeginEdit, forwards the
// edit box's change notifications to OnEditChange, ends the editing (copies
// the box's text, destroys the box, deletes an empty text or calls EndDrag)
// and moves the text with Drag / EndDrag.
#include <memory>
#include <string>

#include "Source/czebedit.h"
#include "Source/czebfont.h"
#include "Source/czeboverlaycommon.h"

class CZEBOverlayText : public CZEBOverlayCommon {
public:
    // Control id of the edit box.
    static constexpr int32_t kEditId = 101;
    // Most characters the box takes from the user.
    static constexpr size_t kTextLimit = 255;

    CZEBOverlayText() = default;
    ~CZEBOverlayText() override;

    void BeginEdit(platform::Point point, platform::EditParent& parent);
    void CreateEditBox(platform::EditParent& parent);
    void DestroyEditBox();
    void OnEditChange(int32_t offsetX, int32_t offsetY, platform::Point origin, double zoom);
    int Drag(platform::Point point, platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY,
             platform::Point origin, double zoom);
    void EndDrag(int32_t offsetX, int32_t offsetY, platform::Point origin, double zoom);
    void Draw(platform::DeviceContext& dc, int32_t offsetX, int32_t offsetY, platform::Point origin,
              double zoom);
    // 1 when the point lies in the text's box.
    int HitTest(platform::Point point) const;

    std::unique_ptr<CZEBEdit> m_editBox;
    CZEBFont m_font;
    platform::Rect m_boxRect;
    int32_t m_minWidth = 0;
    int32_t m_lineHeight = 0;
    int32_t m_margin = 0;
    platform::Point m_pos{-1, -1};
    platform::Point m_imagePos{-1, -1};
    std::u16string m_text;
    int32_t m_width = 0;
    int32_t m_height = 0;
    platform::Point m_dragAnchor{-1, -1};
    int m_dragging = 0;
    int m_selected = 0;
    std::u16string m_previousText;
};
