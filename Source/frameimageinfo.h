#pragma once
// One frame of an image: its decoded pixels, its overlays, its corner
// annotations and the geometry read from the image's attributes (spacing,
// aspect, plane in the patient coordinate system, image number).
//
//   FrameImageInfo frame;
//   frame.ReadImageGeometry(info);   // the decode chain fills the pixels
#include <cstdint>
#include <string>

#include "Source/zebimagememory.h"
#include "Source/zeblookuptable.h"
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
    // the plane and the image number from the image's attributes: those of
    // frame `frame` (from 0) where an enhanced image keeps them per frame.
    void ReadImageGeometry(const vrx::VRX_DICOMTagObj& tags, uint32_t frame = 0);
    // Empties the pixels, the annotations and the window and removes the
    // overlays.
    void Reset();

    // The frame's plane for reference lines.
    ZEBImagePlane Plane() const;

    ZEBOverlayManager m_overlay;
    ZEBOverlayViewInfo m_annotations;
    // The window the frame is shown with (modality units) and the frames of
    // its file.
    double m_windowCenter = 0.0;
    double m_windowWidth = 0.0;
    // The VOI LUT the frame is shown with in place of the window while it is
    // not empty (the file's, when it gives no window).
    ZEBLookupTable m_voiLut;
    int32_t m_frameCount = 0;
    double m_imagePosition[3] = {0, 0, 0};
    double m_imageOrientation[6] = {0, 0, 0, 0, 0, 0};  // row, then column cosines
    int32_t m_imageNumber = 0;
};
