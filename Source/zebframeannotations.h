#pragma once
// The corner annotations of a frame: resolving the settings of its modality
// against its data set when it is decoded, and painting them into a tile
// with the values of the tile's state.
//
//   ResolveFrameAnnotations(info, frame.m_annotations);   // once per decode
//   ZEBAnnotationState state;
//   state.page = 3; state.pageCount = 20; state.zoom = 1.5;
//   state.windowCenter = 40; state.windowWidth = 400;
//   ShownAreaMm(frame.m_overlay, view, tile, state.fovWidthMm, state.fovHeightMm);
//   PaintFrameAnnotations(dc, tile, frame.m_annotations, state, displayMode);
#include <cstdint>
#include <string>
#include <string_view>

#include "Source/zeboverlayviewinfo.h"
#include "platform/bitmap.h"

namespace vrx {
class VRX_DICOMTagObj;
}
namespace platform {
class DeviceContext;
class TextFont;
}  // namespace platform
class AppSettings;
class CZEBOverlayCommon;
struct OverlayItemNode;
struct ZEBViewTransform;

// Fills `annotations` (emptied first) from the setting of the data set's
// modality: each item with its attribute's text, and the macro values that
// come from the image (orientation letters of frame `frame` (from 0), "MF",
// "LOSSY", laterality).
void ResolveFrameAnnotations(const vrx::VRX_DICOMTagObj& tags, ZEBOverlayViewInfo& annotations,
                             uint32_t frame = 0);
void ResolveFrameAnnotations(const vrx::VRX_DICOMTagObj& tags, ZEBOverlayViewInfo& annotations,
                             const AppSettings& settings, uint32_t frame = 0);

// The text of value `index` (from 0) of the attribute, as the DICOM library
// converts it with trailing blanks cut; with a path, of the attribute the
// path names in the first item of the sequence (group, element), level by
// level. Empty when absent or when a tag is not valid.
std::u16string ReadAnnotationText(const vrx::VRX_DICOMTagObj& tags, uint16_t group,
                                  uint16_t element, int32_t index, const OverlayItemNode* path);

// Patient-direction letters (L/R, A/P, H/F) of a direction in the patient
// coordinate system, strongest component first, components below 0.0001
// left out; empty for a zero direction.
std::u16string OrientationLetters(const double direction[3]);
// The same direction reversed, letter by letter ("LA" gives "RP"); empty
// when a letter has no opposite.
std::u16string OppositeOrientation(std::u16string_view letters);
// True for transfer syntaxes whose compression loses information.
bool IsLossyTransferSyntax(std::u16string_view uid);

// What a tile shows of its frame.
struct ZEBAnnotationState {
    int32_t page = 1;  // frame of the file or image of the series, from 1
    int32_t pageCount = 1;
    int32_t imagesPerPage = 1;  // images the tile shows at once
    double zoom = 1.0;
    double windowCenter = 0.0;
    double windowWidth = 0.0;
    double fovWidthMm = 0.0;  // the shown area; DFOV stays empty when not above 0
    double fovHeightMm = 0.0;
    bool keepZeroDecimals = false;  // keep ".00" of zoom and window texts
};

// Writes macro values 0 to 4 ("%ld of %ld", "%.2f", "%.2f x %.2f") and,
// unless the state keeps them, drops ".00" of zoom and window texts.
void WriteTileMacroValues(ZEBOverlayViewInfo& annotations, const ZEBAnnotationState& state);
// Draws a copy of the frame's annotations with the tile's values.
void PaintFrameAnnotations(platform::DeviceContext& dc, const platform::Rect& rect,
                           const ZEBOverlayViewInfo& frameAnnotations,
                           const ZEBAnnotationState& state, int32_t displayMode,
                           platform::TextFont* font = nullptr);
// Width and height in millimetres of the part of the image that the view
// shows in `client`; false (and 0 x 0) without pixel spacing, with one so
// large that the sizes overflow, or when no part shows.
bool ShownAreaMm(const CZEBOverlayCommon& geometry, const ZEBViewTransform& view,
                 const platform::Rect& client, double& widthMm, double& heightMm);
