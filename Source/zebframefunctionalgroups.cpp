#include "Source/zebframefunctionalgroups.h"

#include "Source/zebdicomvalues.h"

ZEBFrameFunctionalGroups::ZEBFrameFunctionalGroups(const vrx::VRX_DICOMTagObj& tags,
                                                   uint32_t frame)
    : m_tags(tags), m_items{vrx::VRX_DICOMTagObj(tags.tag_manager()),
                            vrx::VRX_DICOMTagObj(tags.tag_manager())} {
    m_hasItem[0] = tags.get_item(0x5200, 0x9230, frame, m_items[0]);
    m_hasItem[1] = tags.get_item(0x5200, 0x9229, 0, m_items[1]);
}

vrx::VRX_DICOMTagObj ZEBFrameFunctionalGroups::Find(Group sequence, uint16_t group,
                                                    uint16_t element) const {
    vrx::VRX_DICOMTagObj item(m_tags.tag_manager());
    for (int i = 0; i < 2; ++i)
        if (m_hasItem[i] && m_items[i].get_item(sequence.group, sequence.element, 0, item) &&
            item.exists(group, element))
            return item;
    return m_tags;
}

bool ZEBFrameFunctionalGroups::ReadFiniteValues(Group sequence, uint16_t group, uint16_t element,
                                                double* out, size_t count, bool positive) const {
    return ::ReadFiniteValues(Find(sequence, group, element), group, element, out, count,
                              positive);
}
