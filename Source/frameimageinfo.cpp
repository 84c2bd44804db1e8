#include "Source/frameimageinfo.h"

#include <cmath>

#include "Source/zebdicomvalues.h"
#include "Source/zebframefunctionalgroups.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"

namespace {

// The regions of the Sequence of Ultrasound Regions whose pixels have a
// size in centimetres across and down, in millimetres.
std::vector<ZEBUltrasoundRegion> ReadUltrasoundRegions(const vrx::VRX_DICOMTagObj& tags) {
    constexpr uint32_t kCentimetres = 3;
    std::vector<ZEBUltrasoundRegion> regions;
    vrx::VRX_DICOMTagObj item(tags.tag_manager());
    for (uint32_t i = 0; tags.get_item(0x0018, 0x6011, i, item); ++i) {
        uint32_t bounds[4], unitX = 0, unitY = 0;
        double delta[2];
        if (!item.read_integer(0x0018, 0x6018, bounds[0]) ||
            !item.read_integer(0x0018, 0x601A, bounds[1]) ||
            !item.read_integer(0x0018, 0x601C, bounds[2]) ||
            !item.read_integer(0x0018, 0x601E, bounds[3]) ||
            !item.read_integer(0x0018, 0x6024, unitX) ||
            !item.read_integer(0x0018, 0x6026, unitY) || unitX != kCentimetres || unitY != kCentimetres ||
            !ReadFiniteValues(item, 0x0018, 0x602C, &delta[0], 1) ||
            !ReadFiniteValues(item, 0x0018, 0x602E, &delta[1], 1) || delta[0] == 0.0 ||
            delta[1] == 0.0)
            continue;
        // A delta's sign gives the direction of the axis; a length has none.
        regions.push_back({bounds[0], bounds[1], bounds[2], bounds[3],
                           std::fabs(delta[0]) * 10.0, std::fabs(delta[1]) * 10.0});
    }
    return regions;
}

}  // namespace

void FrameImageInfo::ReadImageGeometry(const vrx::VRX_DICOMTagObj& tags, uint32_t frame) {
    using Groups = ZEBFrameFunctionalGroups;
    const Groups groups(tags, frame);
    CZEBOverlayCommon& g = m_overlay;
    g = CZEBOverlayCommon();
    g.m_sopClassUid = AttributeText(tags, 0x0008, 0x0016);
    g.m_modality = AttributeText(tags, 0x0008, 0x0060);
    g.m_columns = tags.get_int(0x0028, 0x0011);
    g.m_rows = tags.get_int(0x0028, 0x0010);
    if (const vrx::VRX_DICOMTagObj values =
            groups.Find(Groups::kPixelValueTransformation, 0x0028, 0x1054);
        values.exists(0x0028, 0x1054))
        g.m_rescaleType = AttributeText(values, 0x0028, 0x1054);

    // Spacings hold the row spacing (y) first, the column spacing (x)
    // second; a spacing that is not positive counts as absent.
    double spacing[2] = {0, 0};
    const std::u16string manufacturer = AttributeText(tags, 0x0008, 0x0070);
    const bool pixelSpacingFirst = manufacturer.find(u"MALT") != std::u16string::npos &&
                                   manufacturer.find(u"ROVE") != std::u16string::npos;
    const vrx::VRX_DICOMTagObj measures = groups.Find(Groups::kPixelMeasures, 0x0028, 0x0030);
    bool found = pixelSpacingFirst && ReadFiniteValues(measures, 0x0028, 0x0030, spacing, 2, true);
    if (!found) found = ReadFiniteValues(tags, 0x3002, 0x0011, spacing, 2, true);
    if (!found && ReadFiniteValues(tags, 0x0018, 0x1164, spacing, 2, true)) {
        found = true;
        double factor = 0;
        if (ReadFiniteValues(tags, 0x0018, 0x1114, &factor, 1, true) && factor != 1.0) {
            spacing[0] /= factor;
            spacing[1] /= factor;
            g.m_magnified = 1;
        }
    }
    if (!found) found = ReadFiniteValues(measures, 0x0028, 0x0030, spacing, 2, true);
    if (found) {
        g.m_pixelSpacingY = spacing[0];
        g.m_pixelSpacingX = spacing[1];
    }
    g.m_horizontalAspect = 1.0;
    g.m_verticalAspect = 1.0;
    double ratio[2];
    if (found)
        g.m_verticalAspect = g.m_pixelSpacingY / g.m_pixelSpacingX;
    else if (ReadFiniteValues(tags, 0x0028, 0x0034, ratio, 2, true))
        g.m_verticalAspect = ratio[0] / ratio[1];
    // A ratio beyond 1000:1 either way is no pixel shape but a damaged value:
    // square pixels (NaN and infinities included).
    if (!(g.m_verticalAspect >= 1.0 / 1000 && g.m_verticalAspect <= 1000.0))
        g.m_verticalAspect = 1.0;
    if (!found) g.m_ultrasoundRegions = ReadUltrasoundRegions(tags);
    m_overlay.SyncPixelValueInfo();

    if (!groups.ReadFiniteValues(Groups::kPlanePosition, 0x0020, 0x0032, m_imagePosition, 3))
        m_imagePosition[0] = m_imagePosition[1] = m_imagePosition[2] = 0;
    if (!groups.ReadFiniteValues(Groups::kPlaneOrientation, 0x0020, 0x0037, m_imageOrientation, 6))
        for (double& v : m_imageOrientation) v = 0;
    m_imageNumber = tags.get_int(0x0020, 0x0013);
}

ZEBImagePlane FrameImageInfo::Plane() const {
    ZEBImagePlane plane;
    for (int i = 0; i < 3; ++i) {
        plane.position[i] = m_imagePosition[i];
        plane.rowCosines[i] = m_imageOrientation[i];
        plane.columnCosines[i] = m_imageOrientation[i + 3];
    }
    plane.columns = m_overlay.m_columns;
    plane.rows = m_overlay.m_rows;
    plane.spacingAlongRow = m_overlay.m_pixelSpacingX;
    plane.spacingAlongColumn = m_overlay.m_pixelSpacingY;
    return plane;
}

void FrameImageInfo::Reset() {
    ClearImage();
    m_overlay.RemoveAll();
    m_annotations.Clear();
    m_windowCenter = m_windowWidth = 0.0;
    m_voiLut.Clear();
    m_frameCount = 0;
}
