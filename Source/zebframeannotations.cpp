#include "Source/zebframeannotations.h"

#include <array>
#include <cmath>

#include "Source/appsettings.h"
#include "Source/czeboverlaycommon.h"
#include "Source/zebdicomvalues.h"
#include "Source/zebframefunctionalgroups.h"
#include "Source/overlaysettingreader.h"
#include "Source/zeboverlaymanager.h"
#include "Source/zebstringutil.h"
#include "dicomlib/togdicomdataelement.h"
#include "dicomlib/togdicomvr.h"
#include "dicomlib/togresult.h"
#include "dicomlib/togstring.h"
#include "vrx/extension/dicom/vrx_dicomtagobj.h"

namespace {

// Components of a direction smaller than this give no letter.
constexpr double kOrientationThreshold = 0.0001;

std::u16string Text(const vrx::VRX_DICOMTagObj& tags, uint16_t group, uint16_t element) {
    return ReadAnnotationText(tags, group, element, 0, nullptr);
}

void ResolveOrientation(const vrx::VRX_DICOMTagObj& tags, uint32_t frame,
                        ZEBOverlayViewInfo& annotations) {
    std::u16string right, bottom, left, top;
    // Image Orientation (Patient): the row direction, then the column's.
    double cosines[6];
    if (ZEBFrameFunctionalGroups(tags, frame)
            .ReadFiniteValues(ZEBFrameFunctionalGroups::kPlaneOrientation, 0x0020, 0x0037, cosines,
                              6)) {
        const double* row = cosines;
        const double* column = cosines + 3;
        right = OrientationLetters(row);
        bottom = OrientationLetters(column);
        const double back[3] = {-row[0], -row[1], -row[2]};
        const double up[3] = {-column[0], -column[1], -column[2]};
        left = OrientationLetters(back);
        top = OrientationLetters(up);
    }
    if (right.empty() || bottom.empty()) {
        // Patient Orientation: the directions of the rows and the columns.
        right = ReadAnnotationText(tags, 0x0020, 0x0020, 0, nullptr);
        bottom = ReadAnnotationText(tags, 0x0020, 0x0020, 1, nullptr);
        left = OppositeOrientation(right);
        top = OppositeOrientation(bottom);
    }
    std::array<std::u16string, kMacroValueCount>& values = annotations.m_macroValues;
    values[kMacroOrientationTop] = top;
    values[kMacroOrientationBottom] = bottom;
    values[kMacroOrientationLeft] = left;
    values[kMacroOrientationRight] = right;
}

}  // namespace

std::u16string ReadAnnotationText(const vrx::VRX_DICOMTagObj& tags, uint16_t group,
                                  uint16_t element, int32_t index, const OverlayItemNode* path) {
    if (group == kInvalidTagNumber || element == kInvalidTagNumber) return {};
    if (path) {
        vrx::VRX_DICOMTagObj item(tags.tag_manager());
        if (!tags.get_item(group, element, 0, item)) return {};
        return ReadAnnotationText(item, path->group, path->element, path->index,
                                  path->nested.get());
    }
    const TogDicomDataElement* current = tags.current_element();
    TogString text;
    if (index < 0 || !current ||
        current->GetChildText(group, element, text, TogDicomLib::VR::Blank, index) !=
            TogDicomLib::ResultSuccess)
        return {};
    return TrimTrailingBlanks(text.View());
}

std::u16string OrientationLetters(const double direction[3]) {
    static constexpr char16_t kPositive[3] = {u'L', u'P', u'H'};
    static constexpr char16_t kNegative[3] = {u'R', u'A', u'F'};
    std::array<bool, 3> used{};
    std::u16string letters;
    for (int n = 0; n < 3; ++n) {
        int strongest = -1;
        for (int axis = 0; axis < 3; ++axis) {
            const double size = std::fabs(direction[axis]);
            if (used[axis] || !(size > kOrientationThreshold)) continue;
            if (strongest < 0 || size > std::fabs(direction[strongest])) strongest = axis;
        }
        if (strongest < 0) break;
        used[strongest] = true;
        letters += direction[strongest] > 0 ? kPositive[strongest] : kNegative[strongest];
    }
    return letters;
}

std::u16string OppositeOrientation(std::u16string_view letters) {
    static constexpr std::u16string_view kFrom = u"LRAPHF";
    static constexpr std::u16string_view kTo = u"RLPAFH";
    std::u16string out;
    for (char16_t c : letters) {
        const size_t at = kFrom.find(c);
        if (at == std::u16string_view::npos) return {};
        out += kTo[at];
    }
    return out;
}

bool IsLossyTransferSyntax(std::u16string_view uid) {
    // Under 1.2.840.10008.1.2.4: the JPEG processes with a DCT, JPEG-LS
    // near-lossless, JPEG 2000 and High-Throughput JPEG 2000 that allow
    // irreversible coding, the JPEG XL syntaxes that keep or allow lossy
    // data, MPEG and HEVC video.
    static constexpr std::u16string_view kRoot = u"1.2.840.10008.1.2.4.";
    static constexpr std::array<std::u16string_view, 35> kLossy = {
        u"50",  u"51",    u"52",    u"53",    u"54",    u"55",    u"56",    u"59",  u"60",
        u"61",  u"62",    u"63",    u"64",    u"81",    u"91",    u"93",    u"203", u"111",
        u"112", u"100",   u"100.1", u"101",   u"101.1", u"102",   u"102.1", u"103", u"103.1",
        u"104", u"104.1", u"105",   u"105.1", u"106",   u"106.1", u"107",   u"108",
    };
    if (uid.substr(0, kRoot.size()) != kRoot) return false;
    const std::u16string_view process = uid.substr(kRoot.size());
    for (std::u16string_view lossy : kLossy)
        if (process == lossy) return true;
    return false;
}

void ResolveFrameAnnotations(const vrx::VRX_DICOMTagObj& tags, ZEBOverlayViewInfo& annotations,
                             uint32_t frame) {
    ResolveFrameAnnotations(tags, annotations, SettingsInstance(), frame);
}

void ResolveFrameAnnotations(const vrx::VRX_DICOMTagObj& tags, ZEBOverlayViewInfo& annotations,
                             const AppSettings& settings, uint32_t frame) {
    annotations.Clear();
    const std::u16string modality = Text(tags, 0x0008, 0x0060);
    const ZEBOverlaySettingInfo& setting = settings.OverlaySetting(modality);
    for (int32_t location = 0; location < kOverlayLocationCount; ++location) {
        ZEBOverlayItemList* list = annotations.LocationLines(location);
        for (const auto& [key, entry] : setting.GetLocationLines(location)) {
            ZEBOverlaySettingInfoItem item = setting.GetItem(location, key);
            item.value.clear();
            if (item.kind == kOverlayItemTag)
                item.value = ReadAnnotationText(tags, item.group, item.element, item.index,
                                                item.sequencePath.get());
            list->push_back(std::move(item));
        }
    }

    ResolveOrientation(tags, frame, annotations);
    std::array<std::u16string, kMacroValueCount>& values = annotations.m_macroValues;
    if (tags.get_int(0x0028, 0x0008) > 1) values[kMacroMultiframe] = u"MF";
    if (Text(tags, 0x0028, 0x2110) == u"01" || IsLossyTransferSyntax(Text(tags, 0x0002, 0x0010)))
        values[kMacroLossy] = u"LOSSY";
    if (modality == u"MG") {
        values[kMacroMammoLaterality] = Text(tags, 0x0020, 0x0062);
        if (values[kMacroMammoLaterality].empty())
            values[kMacroMammoLaterality] = Text(tags, 0x0020, 0x0060);
    }
}

void WriteTileMacroValues(ZEBOverlayViewInfo& annotations, const ZEBAnnotationState& state) {
    std::array<std::u16string, kMacroValueCount>& values = annotations.m_macroValues;
    int64_t pages = state.pageCount;
    if (state.imagesPerPage > 1) pages = (pages + state.imagesPerPage - 1) / state.imagesPerPage;
    values[kMacroPage] =
        FormatText(u"%ld of %ld", static_cast<long>(state.page), static_cast<long>(pages));
    values[kMacroZoomRate] = FormatText(u"%.2f", state.zoom);
    values[kMacroWindowCenter] = FormatText(u"%.2f", state.windowCenter);
    values[kMacroWindowWidth] = FormatText(u"%.2f", state.windowWidth);
    values[kMacroDfov].clear();
    if (state.fovWidthMm > 0.0 && state.fovHeightMm > 0.0)
        values[kMacroDfov] = FormatText(u"%.2f x %.2f", state.fovWidthMm, state.fovHeightMm);
    if (state.keepZeroDecimals) return;
    annotations.TrimZeroDecimals(kMacroZoomRate);
    annotations.TrimZeroDecimals(kMacroWindowCenter);
    annotations.TrimZeroDecimals(kMacroWindowWidth);
}

void PaintFrameAnnotations(platform::DeviceContext& dc, const platform::Rect& rect,
                           const ZEBOverlayViewInfo& frameAnnotations,
                           const ZEBAnnotationState& state, int32_t displayMode,
                           platform::TextFont* font) {
    ZEBOverlayViewInfo shown(frameAnnotations);
    WriteTileMacroValues(shown, state);
    shown.Draw(dc, rect, displayMode, font);
}

bool ShownAreaMm(const CZEBOverlayCommon& geometry, const ZEBViewTransform& view,
                 const platform::Rect& client, double& widthMm, double& heightMm) {
    widthMm = heightMm = 0.0;
    if (!(geometry.m_pixelSpacingX > 0.0) || !(geometry.m_pixelSpacingY > 0.0) ||
        !(view.zoom > 0.0))
        return false;
    const platform::Rect shown =
        geometry.GetImageRect(view.offsetX, view.offsetY, view.origin, view.zoom)
            .normalized()
            .intersect(client);
    if (shown.empty()) return false;
    const double columns = shown.width() / view.zoom;
    const double rows = shown.height() / (view.zoom * geometry.m_verticalAspect);
    widthMm = columns * geometry.m_pixelSpacingX;
    heightMm = rows * geometry.m_pixelSpacingY;
    // A spacing too large for the sizes to be numbers counts as none.
    if (std::isfinite(widthMm) && std::isfinite(heightMm)) return true;
    widthMm = heightMm = 0.0;
    return false;
}
