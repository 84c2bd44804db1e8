#pragma once
// One tile of the image viewer without a window system: it owns a back
// buffer, shows one frame under a view transform (offset, source origin,
// zoom), takes mouse gestures in its tool mode, runs the delete commands of
// its context menu, computes and shows reference lines and paints the
// frame's overlays. Edit boxes of text annotations are its children.
//
//   ZEBImageViewCtrl tile(512, 512);
//   tile.SetFrame(&frame);          // fits the image into the tile
//   tile.SetToolMode(kToolMeasure);
//   tile.OnLButtonDown({100, 100});
//   tile.OnMouseMove({200, 140});
//   tile.OnLButtonUp({200, 140});
//   tile.SetWindow(40, 400);        // values the annotations show
//   tile.SetPage(1, 24);
//   tile.Paint();                   // tile.BackBuffer() holds the picture
#include <cstdint>
#include <functional>
#include <string_view>

#include "Source/frameimageinfo.h"
#include "Source/zebframeannotations.h"
#include "platform/bitmap.h"
#include "platform/device_context.h"
#include "platform/edit_control.h"

class ZEBImageViewCtrl : public platform::EditParent {
public:
    // Paints the frame's image into the back buffer under the view, within
    // the device context's clip, and gives the rectangle it covered (empty
    // when it painted nothing); the tile paints the rest black.
    using ImagePainter = std::function<platform::Rect(
        platform::DeviceContext&, const FrameImageInfo&, const ZEBViewTransform&)>;

    // The zooms a view can have.
    static constexpr double kMinZoom = 1.0 / 64;
    static constexpr double kMaxZoom = 64.0;

    ZEBImageViewCtrl(int32_t width, int32_t height);
    ~ZEBImageViewCtrl() override;
    ZEBImageViewCtrl(const ZEBImageViewCtrl&) = delete;
    ZEBImageViewCtrl& operator=(const ZEBImageViewCtrl&) = delete;

    bool Resize(int32_t width, int32_t height);
    platform::Rect ClientRect() const { return m_backBuffer.bounds(); }

    // The frame shown (not owned, null for none; it must outlive the tile or
    // be replaced first). The view is fitted to it.
    void SetFrame(FrameImageInfo* frame);
    FrameImageInfo* Frame() const { return m_frame; }
    void SetImagePainter(ImagePainter painter) { m_imagePainter = std::move(painter); }

    void SetView(const ZEBViewTransform& view);
    const ZEBViewTransform& View() const { return m_view; }
    // The largest zoom that shows the whole image, centred.
    void FitToWindow();
    // The image at the zoom, centred in the tile.
    void CentreAtZoom(double zoom);

    void SetToolMode(int32_t mode) { m_toolMode = mode; }
    int32_t ToolMode() const { return m_toolMode; }
    // The tool mode while a drag runs, else 0.
    int32_t DisplayMode() const { return m_displayMode; }
    // Sets the display mode as a drag of that tool would, until a drag ends.
    void SetDisplayMode(int32_t mode);

    void OnLButtonDown(platform::Point point);
    void OnMouseMove(platform::Point point);
    void OnLButtonUp(platform::Point point);
    void OnLButtonDblClk(platform::Point point);
    // Commands of the context menu (32807 deletes the selected measurement
    // or arrow, 32811 the selected text); true when handled.
    bool OnCommand(int32_t command);

    // Keyboard and clipboard input, for the edit box that has the focus.
    void OnChar(char16_t c);
    void OnPaste(std::u16string_view text);
    platform::EditControl* FocusedEdit() const { return m_focus; }

    // Recomputes the shown frame's reference lines for the first, the last
    // and the current image of another series (any may be null); true when
    // any line was found. Reference lines show from then on.
    bool ComputeReferenceLines(const FrameImageInfo* first, const FrameImageInfo* last,
                               const FrameImageInfo* current);
    void ShowReferenceLines(bool show) { m_showReferenceLines = show; }
    bool ReferenceLinesFound() const { return m_referenceLinesFound; }

    // Corner annotations: the window, the page among the page count
    // (frames of the file or images of the series) and the images shown at
    // once; ".00" of zoom and window texts kept or not. Shown by default.
    void SetWindow(double center, double width);
    void SetPage(int32_t page, int32_t pageCount, int32_t imagesPerPage = 1);
    void SetKeepZeroDecimals(bool keep);
    void ShowAnnotations(bool show);
    // The font of the annotations (not owned; null, the default, takes the
    // settings' annotation font).
    void SetAnnotationFont(platform::TextFont* font);
    // The values the annotations show now (zoom and shown area from the view).
    ZEBAnnotationState AnnotationState() const;

    // Paints the tile into its back buffer: black, the image, the overlays,
    // the reference lines, the corner annotations, then the child edit boxes.
    void Paint();
    const platform::Bitmap& BackBuffer() const { return m_backBuffer; }
    // True when something changed since the last paint.
    bool NeedsPaint() const { return m_dirty; }

    // platform::EditParent
    void on_edit_notify(platform::EditControl& edit, int32_t id, uint32_t code) override;
    void on_edit_focus(platform::EditControl* edit) override { m_focus = edit; }
    platform::Bitmap* surface() override { return &m_backBuffer; }

private:
    platform::Bitmap m_backBuffer;
    platform::DeviceContext m_dc;
    FrameImageInfo* m_frame = nullptr;
    ImagePainter m_imagePainter;
    ZEBViewTransform m_view;
    int32_t m_toolMode = kToolMeasure;
    int32_t m_displayMode = kToolNone;
    bool m_buttonDown = false;
    platform::Point m_pressPoint;
    ZEBViewTransform m_pressView;
    platform::EditControl* m_focus = nullptr;
    bool m_showReferenceLines = false;
    bool m_referenceLinesFound = false;
    bool m_dirty = true;
    ZEBAnnotationState m_annotationState;
    bool m_showAnnotations = true;
    platform::TextFont* m_annotationFont = nullptr;
};
