#include "Source/zebimageviewctrl.h"

#include <algorithm>
#include <cmath>

using platform::Point;
using platform::Rect;

namespace {

// Pixels of vertical drag that double or halve the zoom.
constexpr double kZoomDragPixels = 100.0;

}  // namespace

ZEBImageViewCtrl::ZEBImageViewCtrl(int32_t width, int32_t height)
    : m_backBuffer(width, height), m_dc(&m_backBuffer) {}

ZEBImageViewCtrl::~ZEBImageViewCtrl() {
    // Edit boxes of the shown frame are children of this tile.
    if (m_frame) m_frame->m_overlay.EndTextEdit(m_view);
}

bool ZEBImageViewCtrl::Resize(int32_t width, int32_t height) {
    const bool ok = m_backBuffer.resize(width, height);
    m_dc = platform::DeviceContext(&m_backBuffer);
    FitToWindow();
    return ok;
}

void ZEBImageViewCtrl::SetFrame(FrameImageInfo* frame) {
    if (m_frame) m_frame->m_overlay.EndTextEdit(m_view);
    m_frame = frame;
    m_buttonDown = false;
    m_displayMode = kToolNone;
    FitToWindow();
}

void ZEBImageViewCtrl::SetView(const ZEBViewTransform& view) {
    m_view = view;
    if (!(m_view.zoom > 0.0) || !std::isfinite(m_view.zoom)) m_view.zoom = 1.0;
    m_view.zoom = std::clamp(m_view.zoom, kMinZoom, kMaxZoom);
    m_dirty = true;
}

void ZEBImageViewCtrl::FitToWindow() {
    if (!m_frame || m_frame->m_overlay.m_columns <= 0 || m_frame->m_overlay.m_rows <= 0) {
        SetView(ZEBViewTransform());
        return;
    }
    const CZEBOverlayCommon& g = m_frame->m_overlay;
    double zoom = std::min(m_backBuffer.width() / double(g.m_columns),
                           m_backBuffer.height() / (g.m_rows * g.m_verticalAspect));
    if (!(zoom > 0.0)) zoom = 1.0;
    CentreAtZoom(std::clamp(zoom, kMinZoom, kMaxZoom));
}

void ZEBImageViewCtrl::CentreAtZoom(double zoom) {
    ZEBViewTransform view;
    view.zoom = zoom;
    if (m_frame) {
        const CZEBOverlayCommon& g = m_frame->m_overlay;
        const double width = g.m_columns, height = g.m_rows * g.m_verticalAspect;
        view.offsetX = TruncToInt((m_backBuffer.width() - width * zoom) / 2);
        view.offsetY = TruncToInt((m_backBuffer.height() - height * zoom) / 2);
    }
    SetView(view);
}

void ZEBImageViewCtrl::OnLButtonDown(Point p) {
    if (!m_frame) return;
    m_buttonDown = true;
    m_displayMode = m_toolMode;
    m_pressPoint = p;
    m_pressView = m_view;
    ZEBOverlayManager& overlays = m_frame->m_overlay;
    if (m_toolMode == kToolPan || m_toolMode == kToolZoom)
        m_dirty |= overlays.EndTextEdit(m_view);
    else
        m_dirty |= overlays.OnButtonDown(m_toolMode, p, m_dc, m_view, *m_frame, *this);
}

void ZEBImageViewCtrl::OnMouseMove(Point p) {
    if (!m_frame || !m_buttonDown) return;
    if (m_toolMode == kToolPan) {
        ZEBViewTransform view = m_pressView;
        view.offsetX = TruncToInt(double(view.offsetX) + p.x - m_pressPoint.x);
        view.offsetY = TruncToInt(double(view.offsetY) + p.y - m_pressPoint.y);
        SetView(view);
        return;
    }
    if (m_toolMode == kToolZoom) {
        // The image point under the press stays where it is.
        ZEBViewTransform view = m_pressView;
        const double pressX = m_pressPoint.x, pressY = m_pressPoint.y;
        view.zoom = std::clamp(m_pressView.zoom * std::exp2((pressY - p.y) / kZoomDragPixels),
                               kMinZoom, kMaxZoom);
        const double scale = view.zoom / m_pressView.zoom;
        view.offsetX = TruncToInt(pressX - (pressX - m_pressView.offsetX) * scale);
        view.offsetY = TruncToInt(pressY - (pressY - m_pressView.offsetY) * scale);
        SetView(view);
        return;
    }
    m_dirty |= m_frame->m_overlay.OnMouseMove(p, m_dc, m_view, *m_frame);
}

void ZEBImageViewCtrl::OnLButtonUp(Point p) {
    if (!m_frame || !m_buttonDown) return;
    m_buttonDown = false;
    m_displayMode = kToolNone;
    m_dirty |= m_frame->m_overlay.OnButtonUp(p, m_view);
}

void ZEBImageViewCtrl::OnLButtonDblClk(Point p) {
    if (m_frame) m_dirty |= m_frame->m_overlay.OnDoubleClick(m_toolMode, p, m_view, *this);
}

bool ZEBImageViewCtrl::OnCommand(int32_t command) {
    if (!m_frame || !m_frame->m_overlay.OnCommand(command)) return false;
    m_dirty = true;
    return true;
}

void ZEBImageViewCtrl::OnChar(char16_t c) {
    if (m_focus) m_focus->type_char(c);
}

void ZEBImageViewCtrl::OnPaste(std::u16string_view text) {
    if (m_focus) m_focus->paste(text);
}

void ZEBImageViewCtrl::on_edit_notify(platform::EditControl& edit, int32_t id, uint32_t code) {
    if (!m_frame || id != CZEBOverlayText::kEditId || code != platform::kEditUpdate) return;
    m_frame->m_overlay.OnEditChange(edit, m_view);
    m_dirty = true;
}

bool ZEBImageViewCtrl::ComputeReferenceLines(const FrameImageInfo* first,
                                             const FrameImageInfo* last,
                                             const FrameImageInfo* current) {
    m_showReferenceLines = true;
    m_referenceLinesFound = false;
    m_dirty = true;
    if (!m_frame) return false;
    CZEBOverlayReferenceLine& lines = m_frame->m_overlay.ReferenceLine();
    lines.Clear();
    const ZEBImagePlane shown = m_frame->Plane();
    const FrameImageInfo* others[3] = {first, last, current};
    for (int i = 0; i < 3; ++i) {
        if (!others[i]) continue;
        double points3d[2][3];
        Point points2d[2];
        if (!ComputeReferenceLine(points3d, points2d, shown, others[i]->Plane())) continue;
        ReferenceLineRecord& record = lines.m_records[i];
        record.shown = 1;
        record.start = points2d[0];
        record.end = points2d[1];
        record.number = others[i]->m_imageNumber;
        m_referenceLinesFound = true;
    }
    return m_referenceLinesFound;
}

void ZEBImageViewCtrl::SetDisplayMode(int32_t mode) {
    m_displayMode = mode;
    m_dirty = true;
}

void ZEBImageViewCtrl::SetWindow(double center, double width) {
    m_annotationState.windowCenter = center;
    m_annotationState.windowWidth = width;
    m_dirty = true;
}

void ZEBImageViewCtrl::SetPage(int32_t page, int32_t pageCount, int32_t imagesPerPage) {
    m_annotationState.page = page;
    m_annotationState.pageCount = pageCount;
    m_annotationState.imagesPerPage = imagesPerPage;
    m_dirty = true;
}

void ZEBImageViewCtrl::SetKeepZeroDecimals(bool keep) {
    m_annotationState.keepZeroDecimals = keep;
    m_dirty = true;
}

void ZEBImageViewCtrl::ShowAnnotations(bool show) {
    m_showAnnotations = show;
    m_dirty = true;
}

void ZEBImageViewCtrl::SetAnnotationFont(platform::TextFont* font) {
    m_annotationFont = font;
    m_dirty = true;
}

ZEBAnnotationState ZEBImageViewCtrl::AnnotationState() const {
    ZEBAnnotationState state = m_annotationState;
    state.zoom = m_view.zoom;
    if (m_frame)
        ShownAreaMm(m_frame->m_overlay, m_view, ClientRect(), state.fovWidthMm, state.fovHeightMm);
    return state;
}

void ZEBImageViewCtrl::Paint() {
    m_dc.reset_clip();
    // Black where the image is not: each pixel is written once.
    Rect image;
    if (m_frame && m_imagePainter)
        image = m_imagePainter(m_dc, *m_frame, m_view).intersect(ClientRect());
    const Rect all = ClientRect();
    m_backBuffer.fill({all.left, all.top, all.right, image.top}, platform::kBlack);
    m_backBuffer.fill({all.left, image.top, image.left, image.bottom}, platform::kBlack);
    m_backBuffer.fill({image.right, image.top, all.right, image.bottom}, platform::kBlack);
    m_backBuffer.fill({all.left, image.bottom, all.right, all.bottom}, platform::kBlack);
    if (m_frame) {
        ZEBOverlayManager& overlays = m_frame->m_overlay;
        overlays.Paint(m_dc, m_view);
        if (m_showReferenceLines) overlays.PaintReferenceLines(m_dc, m_view, ClientRect());
        if (m_showAnnotations)
            PaintFrameAnnotations(m_dc, ClientRect(), m_frame->m_annotations, AnnotationState(),
                                  m_displayMode, m_annotationFont);
        if (CZEBOverlayText* text = overlays.EditingText(); text && text->m_editBox)
            text->m_editBox->paint(m_dc);
    }
    m_dirty = false;
}
