#include "Source/frameimageinfo.h"

#include "Source/zebdicomvalues.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"

void FrameImageInfo::ReadImageGeometry(const vrx::VRX_DICOMTagObj& tags) {
    CZEBOverlayCommon& g = m_overlay;
    g = CZEBOverlayCommon();
    g.m_sopClassUid = AttributeText(tags, 0x0008, 0x0016);
    g.m_modality = AttributeText(tags, 0x0008, 0x0060);
    g.m_columns = tags.get_int(0x0028, 0x0011);
    g.m_rows = tags.get_int(0x0028, 0x0010);
    if (tags.exists(0x0028, 0x1054)) g.m_rescaleType = AttributeText(tags, 0x0028, 0x1054);

    // Spacings hold the row spacing (y) first, the column spacing (x)
    // second; a spacing that is not positive counts as absent.
    double spacing[2] = {0, 0};
    const std::u16string manufacturer = AttributeText(tags, 0x0008, 0x0070);
    const bool pixelSpacingFirst = manufacturer.find(u"MALT") != std::u16string::npos &&
                                   manufacturer.find(u"ROVE") != std::u16string::npos;
    bool found = pixelSpacingFirst && ReadFiniteValues(tags, 0x0028, 0x0030, spacing, 2, true);
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
    if (!found) found = ReadFiniteValues(tags, 0x0028, 0x0030, spacing, 2, true);
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
    m_overlay.SyncPixelValueInfo();

    if (!ReadFiniteValues(tags, 0x0020, 0x0032, m_imagePosition, 3))
        m_imagePosition[0] = m_imagePosition[1] = m_imagePosition[2] = 0;
    if (!ReadFiniteValues(tags, 0x0020, 0x0037, m_imageOrientation, 6))
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
    m_frameCount = 0;
}
