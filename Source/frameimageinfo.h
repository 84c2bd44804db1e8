#pragma once
// One frame of an image: its decoded pixels, its overlays, its corner
// annotations and the geometry read from the image's attributes (spacing,
// aspect, plane in the patient coordinate system, image number).
//
//   FrameImageInfo frame;
//   if (frame.Load("/media/IMG00001", 0) == 0) ... frame.m_overlay ...
#include <cstdint>
#include <string>

#include "Source/zebimagememory.h"
#include "Source/zeboverlaymanager.h"
#include "Source/zeboverlayviewinfo.h"
#include "Source/zebreferencegeometry.h"

namespace vrx {
class VRX_DICOMTagObj;
}

class FrameImageInfo : public ZEBImageMemory {
public:
    FrameImageInfo() = default;
    ~FrameImageInfo() override = default;
    FrameImageInfo(const FrameImageInfo&) = delete;
    FrameImageInfo& operator=(const FrameImageInfo&) = delete;

    // Reads the image geometry into the overlay manager (and its members),
    // the plane and the image number from the image's attributes.
    void ReadImageGeometry(const vrx::VRX_DICOMTagObj& tags);
    // Loads frame `frame` (from 0) of the DICOM file at `path` (UTF-8):
    // geometry, pixels and corner annotations. 0, or the status code of the
    // first error.
    uint32_t Load(const std::string& path, uint32_t frame);
    // Empties the pixels and the annotations and removes the overlays.
    void Reset();

    // The frame's plane for reference lines.
    ZEBImagePlane Plane() const;

    ZEBOverlayManager m_overlay;
    ZEBOverlayViewInfo m_annotations;
    double m_imagePosition[3] = {0, 0, 0};
    double m_imageOrientation[6] = {0, 0, 0, 0, 0, 0};  // row, then column cosines
    int32_t m_imageNumber = 0;
};
