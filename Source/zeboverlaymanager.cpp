#include "Source/zeboverlaymanager.h"

using platform::Point;
using platform::Rect;

void ZEBOverlayManager::SyncPixelValueInfo() {
    m_pixelValue.CopyImageInfo(*this);
    m_referenceLine.CopyImageInfo(*this);
}

Rect ZEBOverlayManager::ImageRect(const ZEBViewTransform& view) const {
    return GetImageRect(view.offsetX, view.offsetY, view.origin, view.zoom);
}

void ZEBOverlayManager::ClearSegmentSelection() {
    for (auto& [number, m] : m_measurements) m->m_selected = 0;
    for (auto& [number, a] : m_arrows) a->m_selected = 0;
}

template <class Overlay>
bool ZEBOverlayManager::PressSegment(OverlayMap<Overlay>& overlays, Point p, const Rect& image,
                                     Gesture moving, Gesture creating) {
    ClearSegmentSelection();
    for (auto& [number, overlay] : overlays) {
        if (overlay->BeginDrag(p)) {
            m_gesture = moving;
            m_active = number;
            return true;
        }
    }
    // A new one starts only on the image, at the press point.
    if (!image.contains(p)) return true;
    auto created = std::make_unique<Overlay>();
    created->CopyImageInfo(*this);
    created->m_start = p;
    m_active = ++m_nextNumber;
    overlays.emplace(m_active, std::move(created));
    m_gesture = creating;
    return true;
}

template <class Overlay>
bool ZEBOverlayManager::MoveSegment(OverlayMap<Overlay>& overlays, Point p,
                                    platform::DeviceContext& dc, const ZEBViewTransform& view) {
    auto it = overlays.find(m_active);
    if (it == overlays.end()) return false;
    if (m_gesture == kCreatingMeasure || m_gesture == kCreatingArrow) {
        it->second->Stretch(p, dc, view.offsetX, view.offsetY, view.origin, view.zoom);
        return true;
    }
    return it->second->Drag(p, dc, view.offsetX, view.offsetY, view.origin, view.zoom) != 0;
}

template <class Overlay>
void ZEBOverlayManager::ReleaseSegment(OverlayMap<Overlay>& overlays, const ZEBViewTransform& view) {
    auto it = overlays.find(m_active);
    if (it != overlays.end() &&
        !it->second->EndEdit(view.offsetX, view.offsetY, view.origin, view.zoom))
        overlays.erase(it);
}

CZEBOverlayText* ZEBOverlayManager::EditingText() {
    auto it = m_texts.find(m_editing);
    return it == m_texts.end() ? nullptr : it->second.get();
}

bool ZEBOverlayManager::OnButtonDown(int32_t toolMode, Point p, platform::DeviceContext& dc,
                                     const ZEBViewTransform& view, const ZEBImageMemory& memory,
                                     platform::EditParent& parent) {
    m_gesture = kIdle;
    m_active = -1;
    if (EndTextEdit(view)) return true;
    const Rect image = ImageRect(view);
    switch (toolMode) {
        case kToolMeasure:
            return PressSegment(m_measurements, p, image, kMovingMeasure, kCreatingMeasure);
        case kToolText: {
            for (auto& [number, t] : m_texts) t->m_selected = 0;
            for (auto& [number, t] : m_texts) {
                if (t->HitTest(p)) {
                    t->m_selected = 1;
                    t->m_dragging = 1;
                    t->m_dragAnchor = p;
                    m_gesture = kMovingText;
                    m_active = number;
                    return true;
                }
            }
            if (!image.contains(p)) return true;
            auto text = std::make_unique<CZEBOverlayText>();
            text->CopyImageInfo(*this);
            CZEBOverlayText& created = *text;
            m_editing = ++m_nextNumber;
            m_texts.emplace(m_editing, std::move(text));
            created.BeginEdit(p, parent);
            return true;
        }
        case kToolArrow:
            return PressSegment(m_arrows, p, image, kMovingArrow, kCreatingArrow);
        case kToolPixelValue:
            m_pixelValue.Sample(p, memory, view.offsetX, view.offsetY, view.origin, view.zoom);
            m_pixelValue.Place(p, dc, view.offsetX, view.offsetY, view.origin, view.zoom);
            m_gesture = kProbing;
            return true;
        default:
            return false;
    }
}

bool ZEBOverlayManager::OnMouseMove(Point p, platform::DeviceContext& dc,
                                    const ZEBViewTransform& view, const ZEBImageMemory& memory) {
    switch (m_gesture) {
        case kCreatingMeasure:
        case kMovingMeasure:
            return MoveSegment(m_measurements, p, dc, view);
        case kCreatingArrow:
        case kMovingArrow:
            return MoveSegment(m_arrows, p, dc, view);
        case kMovingText:
            if (auto it = m_texts.find(m_active); it != m_texts.end())
                return it->second->Drag(p, dc, view.offsetX, view.offsetY, view.origin,
                                        view.zoom) != 0;
            return false;
        case kProbing:
            m_pixelValue.Sample(p, memory, view.offsetX, view.offsetY, view.origin, view.zoom);
            m_pixelValue.Place(p, dc, view.offsetX, view.offsetY, view.origin, view.zoom);
            return true;
        default:
            return false;
    }
}

bool ZEBOverlayManager::OnButtonUp(Point p, const ZEBViewTransform& view) {
    (void)p;
    const Gesture gesture = m_gesture;
    m_gesture = kIdle;
    switch (gesture) {
        case kCreatingMeasure:
        case kMovingMeasure:
            ReleaseSegment(m_measurements, view);
            return true;
        case kCreatingArrow:
        case kMovingArrow:
            ReleaseSegment(m_arrows, view);
            return true;
        case kMovingText:
            if (auto it = m_texts.find(m_active); it != m_texts.end())
                it->second->EndDrag(view.offsetX, view.offsetY, view.origin, view.zoom);
            return true;
        case kProbing:
            return true;
        default:
            return false;
    }
}

bool ZEBOverlayManager::OnDoubleClick(int32_t toolMode, Point p, const ZEBViewTransform& view,
                                      platform::EditParent& parent) {
    if (toolMode != kToolText) return false;
    EndTextEdit(view);
    m_gesture = kIdle;
    for (auto& [number, t] : m_texts) {
        if (!t->HitTest(p)) continue;
        t->m_dragging = 0;
        t->m_boxRect =
            t->m_boxRect.offset(t->m_pos.x - t->m_boxRect.left, t->m_pos.y - t->m_boxRect.top);
        t->m_imagePos = {-1, -1};
        t->CreateEditBox(parent);
        m_editing = number;
        return true;
    }
    return false;
}

bool ZEBOverlayManager::EndTextEdit(const ZEBViewTransform& view) {
    auto it = m_texts.find(m_editing);
    m_editing = -1;
    if (it == m_texts.end()) return false;
    CZEBOverlayText& text = *it->second;
    if (text.m_editBox) text.m_text = text.m_editBox->text();
    text.DestroyEditBox();
    if (text.m_text.empty())
        m_texts.erase(it);
    else
        text.EndDrag(view.offsetX, view.offsetY, view.origin, view.zoom);
    return true;
}

void ZEBOverlayManager::OnEditChange(const platform::EditControl& edit,
                                     const ZEBViewTransform& view) {
    for (auto& [number, t] : m_texts)
        if (t->m_editBox.get() == &edit)
            t->OnEditChange(view.offsetX, view.offsetY, view.origin, view.zoom);
}

bool ZEBOverlayManager::OnCommand(int32_t command) {
    // Numbers are unique over all overlays of the frame.
    const auto deleteSelected = [this](auto& overlays) {
        for (auto it = overlays.begin(); it != overlays.end(); ++it) {
            if (!it->second->m_selected) continue;
            if (it->first == m_editing) m_editing = -1;
            if (it->first == m_active) m_gesture = kIdle;
            overlays.erase(it);
            return true;
        }
        return false;
    };
    if (command == kCommandDeleteMeasure)
        return deleteSelected(m_measurements) || deleteSelected(m_arrows);
    if (command == kCommandDeleteText) return deleteSelected(m_texts);
    return false;
}

void ZEBOverlayManager::Paint(platform::DeviceContext& dc, const ZEBViewTransform& view) {
    for (auto& [number, m] : m_measurements)
        m->Draw(dc, view.offsetX, view.offsetY, view.origin, view.zoom);
    for (auto& [number, t] : m_texts)
        t->Draw(dc, view.offsetX, view.offsetY, view.origin, view.zoom);
    for (auto& [number, a] : m_arrows)
        a->Draw(dc, view.offsetX, view.offsetY, view.origin, view.zoom);
    if (m_pixelValue.m_shown) m_pixelValue.Draw(dc);
}

void ZEBOverlayManager::PaintReferenceLines(platform::DeviceContext& dc,
                                            const ZEBViewTransform& view, const Rect& bound) {
    m_referenceLine.Draw(dc, view.offsetX, view.offsetY, view.origin, view.zoom, bound);
}

void ZEBOverlayManager::RemoveAll() {
    m_measurements.clear();
    m_texts.clear();
    m_arrows.clear();
    m_pixelValue.m_shown = 0;
    m_referenceLine.Clear();
    m_gesture = kIdle;
    m_active = m_editing = -1;
}
