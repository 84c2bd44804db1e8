#pragma once
// The overlays of one frame: measurements, texts and arrows, each kept under
// a running number, the pixel-value probe and the reference lines. The frame's
// image geometry lives in the manager's own overlay part; it is copied into
// every overlay made and into the two members (SyncPixelValueInfo).
//
// The tile forwards its presses, moves and releases with its tool mode and
// view transform; the manager creates, selects, moves and deletes overlays
// and paints them: measurements, then texts, then arrows, then the probe
// once placed.
// Reference lines are painted by their own call.
#include <cstdint>
#include <map>
#include <memory>

#include "Source/czeboverlayarrow.h"
#include "Source/czeboverlaymeasure.h"
#include "Source/czeboverlaypixelvalue.h"
#include "Source/czeboverlayreferenceline.h"
#include "Source/czeboverlaytext.h"

class ZEBImageMemory;

// Tool modes of the tile (also its display mode while a drag runs).
enum ZEBToolMode : int32_t {
    kToolNone = 0,
    kToolWindowLevel = 1,
    kToolZoom = 2,
    kToolPan = 4,
    kToolMeasure = 8,
    kToolText = 16,
    kToolArrow = 32,
    kToolPixelValue = 64,
};

// Commands of the tile's context menu.
enum ZEBOverlayCommand : int32_t {
    kCommandDeleteMeasure = 32807,
    kCommandDeleteText = 32811,
};

// The tile's view transform: screen offset of the image area, the image
// pixel shown there and the zoom (screen pixels per image pixel).
struct ZEBViewTransform {
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    platform::Point origin;
    double zoom = 1.0;
};

class ZEBOverlayManager : public CZEBOverlayCommon {
public:
    template <class Overlay>
    using OverlayMap = std::map<int32_t, std::unique_ptr<Overlay>>;
    using MeasureMap = OverlayMap<CZEBOverlayMeasure>;
    using TextMap = OverlayMap<CZEBOverlayText>;
    using ArrowMap = OverlayMap<CZEBOverlayArrow>;

    ZEBOverlayManager() = default;
    ~ZEBOverlayManager() override = default;

    // Copies the geometry into the probe and the reference lines.
    void SyncPixelValueInfo();

    // A press of the tool at the point. An open text edit ends first and
    // takes the press. True when the tile should repaint.
    bool OnButtonDown(int32_t toolMode, platform::Point point, platform::DeviceContext& dc,
                      const ZEBViewTransform& view, const ZEBImageMemory& memory,
                      platform::EditParent& parent);
    bool OnMouseMove(platform::Point point, platform::DeviceContext& dc,
                     const ZEBViewTransform& view, const ZEBImageMemory& memory);
    bool OnButtonUp(platform::Point point, const ZEBViewTransform& view);
    // A double click in text mode on a text opens it for editing again.
    bool OnDoubleClick(int32_t toolMode, platform::Point point, const ZEBViewTransform& view,
                       platform::EditParent& parent);
    // Ends the open text edit: the box's text is kept (an empty text is
    // deleted). False when no text was being edited.
    bool EndTextEdit(const ZEBViewTransform& view);
    // A change notification of an edit box.
    void OnEditChange(const platform::EditControl& edit, const ZEBViewTransform& view);
    // Deletes the selected measurement or arrow (32807) or text (32811);
    // true when one was deleted. Measurements and arrows share one
    // selection.
    bool OnCommand(int32_t command);

    void Paint(platform::DeviceContext& dc, const ZEBViewTransform& view);
    void PaintReferenceLines(platform::DeviceContext& dc, const ZEBViewTransform& view,
                             const platform::Rect& bound);
    // Deletes every measurement, text and arrow and hides the probe and
    // lines.
    void RemoveAll();

    const MeasureMap& Measurements() const { return m_measurements; }
    const TextMap& Texts() const { return m_texts; }
    const ArrowMap& Arrows() const { return m_arrows; }
    CZEBOverlayPixelValue& PixelValue() { return m_pixelValue; }
    CZEBOverlayReferenceLine& ReferenceLine() { return m_referenceLine; }
    // The text being edited, or null.
    CZEBOverlayText* EditingText();

private:
    enum Gesture {
        kIdle,
        kCreatingMeasure,
        kMovingMeasure,
        kMovingText,
        kProbing,
        kCreatingArrow,
        kMovingArrow,
    };

    platform::Rect ImageRect(const ZEBViewTransform& view) const;
    // Clears the one selection measurements and arrows share.
    void ClearSegmentSelection();
    // The gestures measurements and arrows share: a press grabs the first
    // one it hits or starts a new one (the `moving` or `creating` gesture); a
    // move stretches or drags the active one; a release ends its edit and
    // deletes it when it holds no line.
    template <class Overlay>
    bool PressSegment(OverlayMap<Overlay>& overlays, platform::Point p, const platform::Rect& image,
                      Gesture moving, Gesture creating);
    template <class Overlay>
    bool MoveSegment(OverlayMap<Overlay>& overlays, platform::Point p, platform::DeviceContext& dc,
                     const ZEBViewTransform& view);
    template <class Overlay>
    void ReleaseSegment(OverlayMap<Overlay>& overlays, const ZEBViewTransform& view);

    int32_t m_nextNumber = 0;
    MeasureMap m_measurements;
    TextMap m_texts;
    ArrowMap m_arrows;
    CZEBOverlayPixelValue m_pixelValue;
    CZEBOverlayReferenceLine m_referenceLine;
    Gesture m_gesture = kIdle;
    int32_t m_active = -1;   // number of the overlay the gesture moves
    int32_t m_editing = -1;  // number of the text being edited
};
