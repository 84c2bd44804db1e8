#pragma once
// Where the values of one frame of an image are read. An enhanced
// multi-frame image (Enhanced CT, MR, XA and their kin) keeps a frame's
// rescale, window, pixel spacing and plane in functional groups, each a
// sequence of one item: in the frame's item of the Per-frame Functional
// Groups Sequence (5200,9230), or in the Shared Functional Groups Sequence
// (5200,9229) when all frames share it. An attribute of a functional group
// is read there, in that order, else at the top level of the data set,
// where every other image keeps it.
//
//   const ZEBFrameFunctionalGroups groups(info, frame);
//   double spacing[2];
//   groups.ReadFiniteValues(ZEBFrameFunctionalGroups::kPixelMeasures, 0x0028, 0x0030, spacing, 2);
#include <cstddef>
#include <cstdint>

#include "vrx/extension/dicom/vrx_dicomtagobj.h"

class ZEBFrameFunctionalGroups {
public:
    // The sequence of one functional group.
    struct Group {
        uint16_t group;
        uint16_t element;
    };
    static constexpr Group kPixelMeasures{0x0028, 0x9110};
    static constexpr Group kPlanePosition{0x0020, 0x9113};
    static constexpr Group kPlaneOrientation{0x0020, 0x9116};
    static constexpr Group kFrameVoiLut{0x0028, 0x9132};
    static constexpr Group kPixelValueTransformation{0x0028, 0x9145};

    // The functional groups of frame `frame` (from 0) of the data set, which
    // must outlive this object.
    ZEBFrameFunctionalGroups(const vrx::VRX_DICOMTagObj& tags, uint32_t frame);

    // The data set that holds attribute (group, element) of the functional
    // group for the frame: the group's item in the frame's per-frame item,
    // else in the shared item, else the top level (also when no one holds
    // the attribute).
    vrx::VRX_DICOMTagObj Find(Group sequence, uint16_t group, uint16_t element) const;
    // ReadFiniteValues (zebdicomvalues.h) of the attribute where Find finds it.
    bool ReadFiniteValues(Group sequence, uint16_t group, uint16_t element, double* out,
                          size_t count, bool positive = false) const;

private:
    const vrx::VRX_DICOMTagObj& m_tags;
    // The frame's per-frame item and the shared item, each when present.
    vrx::VRX_DICOMTagObj m_items[2];
    bool m_hasItem[2] = {false, false};
};
