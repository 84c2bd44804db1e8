#include "Source/zebdicomvalues.h"

#include <cmath>

#include "vrx/extension/dicom/vrx_dicomtagobj.h"

std::u16string AttributeText(const vrx::VRX_DICOMTagObj& tags, uint16_t group, uint16_t element) {
    return std::u16string(tags.get_string(group, element).view());
}

std::u16string TrimTrailingBlanks(std::u16string_view text) {
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\0')) text.remove_suffix(1);
    return std::u16string(text);
}

bool ReadFiniteValues(const vrx::VRX_DICOMTagObj& tags, uint16_t group, uint16_t element,
                      double* out, size_t count, bool positive) {
    vrx::VRX_Vector<double> values(tags.tag_manager());
    if (!tags.read_double_values(group, element, values) || values.size() < count) return false;
    for (size_t i = 0; i < count; ++i)
        if (!std::isfinite(values[i]) || (positive && !(values[i] > 0.0))) return false;
    for (size_t i = 0; i < count; ++i) out[i] = values[i];
    return true;
}
