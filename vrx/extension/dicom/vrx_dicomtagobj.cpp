#include "vrx/extension/dicom/vrx_dicomtagobj.h"

#include "dicomlib/togdicomdataelement.h"
#include "dicomlib/togresult.h"
#include "vrx/extension/dicom/vrx_dicominfointernal.h"
#include "vrx/framework/base/vrx_construct.h"

namespace vrx {

namespace {

constexpr uint16_t kNoNumber = 0xFFFF;
constexpr int kAllValues = -1;

bool to_string(const TogString& text, VRX_DICOMTagObj::String& out) {
    return out.assign(VRX_DICOMTagObj::String::view_type(text.GetString(), text.GetLength()));
}

}  // namespace

VRX_DICOMTagObj::VRX_DICOMTagObj(VRX_Manager* manager) : tag_manager_(manager) {}

VRX_DICOMTagObj::VRX_DICOMTagObj(const VRX_DICOMTagObj& other)
    : owner_(other.owner_),
      current_(other.current_),
      keep_odd_lengths_(other.keep_odd_lengths_),
      tag_manager_(other.tag_manager_) {}

VRX_DICOMTagObj& VRX_DICOMTagObj::operator=(const VRX_DICOMTagObj& other) {
    if (this == &other) return *this;
    owner_ = other.owner_;
    current_ = other.current_;
    keep_odd_lengths_ = other.keep_odd_lengths_;
    return *this;
}

VRX_DICOMTagObj::~VRX_DICOMTagObj() = default;

bool VRX_DICOMTagObj::load() {
    current_ = nullptr;
    owner_.release();
    auto* internal = construct<VRX_DICOMInfoInternal>(tag_manager_);
    if (!internal) return false;
    if (!internal->create_dataset(keep_odd_lengths_)) {
        internal->destroy();
        return false;
    }
    VRX_SharedOwner<VRX_DICOMInfoInternal> owner(internal);
    if (!owner.counted()) {
        internal->destroy();
        return false;
    }
    owner_ = std::move(owner);
    current_ = owner_->root();
    return current_ != nullptr;
}

TogDicomDataElement* VRX_DICOMTagObj::child(uint16_t group, uint16_t element) const {
    return current_ ? current_->FindChild(group, element) : nullptr;
}

TogDicomDataElement* VRX_DICOMTagObj::child_at(uint32_t i) const {
    return current_ ? current_->GetChildAt(i) : nullptr;
}

int32_t VRX_DICOMTagObj::get_int(uint16_t group, uint16_t element) const {
    const TogDicomDataElement* e = child(group, element);
    return e ? e->GetIntOrDefault(0) : 0;
}

double VRX_DICOMTagObj::get_double(uint16_t group, uint16_t element) const {
    const TogDicomDataElement* e = child(group, element);
    return e ? e->GetDoubleOrDefault(0.0) : 0.0;
}

bool VRX_DICOMTagObj::exists(uint16_t group, uint16_t element) const {
    return child(group, element) != nullptr;
}

bool VRX_DICOMTagObj::read_integer(uint16_t group, uint16_t element, uint32_t& out) const {
    const TogDicomDataElement* e = child(group, element);
    return e && e->GetUInt(out) == TogDicomLib::ResultSuccess;
}

bool VRX_DICOMTagObj::read_double(uint16_t group, uint16_t element, double& out) const {
    const TogDicomDataElement* e = child(group, element);
    return e && e->GetDouble(out) == TogDicomLib::ResultSuccess;
}

bool VRX_DICOMTagObj::get_value_data(uint16_t group, uint16_t element, const void*& out) const {
    const TogDicomDataElement* e = child(group, element);
    if (!e || !e->GetValueData()) return false;
    out = e->GetValueData();
    return true;
}

uint32_t VRX_DICOMTagObj::item_count(uint16_t group, uint16_t element) const {
    const TogDicomDataElement* e = child(group, element);
    return e ? e->GetChildCount() : 0;
}

uint32_t VRX_DICOMTagObj::child_count() const { return current_ ? current_->GetChildCount() : 0; }

uint16_t VRX_DICOMTagObj::group_at(uint32_t i) const {
    const TogDicomDataElement* e = child_at(i);
    return e ? static_cast<uint16_t>(e->GetGroup()) : kNoNumber;
}

uint16_t VRX_DICOMTagObj::element_at(uint32_t i) const {
    const TogDicomDataElement* e = child_at(i);
    return e ? static_cast<uint16_t>(e->GetElement()) : kNoNumber;
}

uint32_t VRX_DICOMTagObj::vr_at(uint32_t i) const {
    const TogDicomDataElement* e = child_at(i);
    return e ? e->GetVR() : vr_unknown;
}

uint32_t VRX_DICOMTagObj::length_at(uint32_t i) const {
    const TogDicomDataElement* e = child_at(i);
    return e ? e->GetValueLength() : 0;
}

uint32_t VRX_DICOMTagObj::vr(uint16_t group, uint16_t element) const {
    const TogDicomDataElement* e = child(group, element);
    return e ? e->GetVR() : vr_unknown;
}

uint32_t VRX_DICOMTagObj::length(uint16_t group, uint16_t element) const {
    const TogDicomDataElement* e = child(group, element);
    return e ? e->GetValueLength() : 0;
}

bool VRX_DICOMTagObj::get_item(uint16_t group, uint16_t element, uint32_t n,
                               VRX_DICOMTagObj& out) const {
    const TogDicomDataElement* sequence = child(group, element);
    TogDicomDataElement* item = sequence ? sequence->GetChildAt(n) : nullptr;
    if (!item) return false;
    out.owner_ = owner_;
    out.keep_odd_lengths_ = keep_odd_lengths_;
    out.current_ = item;
    return true;
}

VRX_DICOMTagObj::String VRX_DICOMTagObj::get_string(uint16_t group, uint16_t element) const {
    String text(tag_manager_);
    if (!read_string(group, element, text)) text.clear();
    return text;
}

bool VRX_DICOMTagObj::read_string(uint16_t group, uint16_t element, String& out) const {
    const TogDicomDataElement* e = child(group, element);
    TogString text;
    if (!e || e->GetText(text, TogDicomLib::VR::Blank, kAllValues) != TogDicomLib::ResultSuccess)
        return false;
    return to_string(text, out);
}

template <class T, class Read>
bool VRX_DICOMTagObj::read_values(uint16_t group, uint16_t element, VRX_Vector<T>& out,
                                  const T& blank, Read&& read) const {
    out.clear();
    const TogDicomDataElement* e = child(group, element);
    const uint32_t count = e ? e->GetValueCount() : 0;
    if (count == 0) return false;
    for (uint32_t i = 0; i < count; ++i) {
        T value(blank);
        if (!read(*e, static_cast<int>(i), value) || !out.push_back(std::move(value))) return false;
    }
    return true;
}

bool VRX_DICOMTagObj::read_uint_values(uint16_t group, uint16_t element,
                                       VRX_Vector<uint32_t>& out) const {
    return read_values(
        group, element, out, 0u, [](const TogDicomDataElement& e, int i, uint32_t& v) {
            return e.GetUInt(v, TogDicomLib::VR::Blank, i) == TogDicomLib::ResultSuccess;
        });
}

bool VRX_DICOMTagObj::read_int_values(uint16_t group, uint16_t element,
                                      VRX_Vector<int32_t>& out) const {
    return read_values(group, element, out, 0, [](const TogDicomDataElement& e, int i, int32_t& v) {
        return e.GetInt(v, TogDicomLib::VR::Blank, i) == TogDicomLib::ResultSuccess;
    });
}

bool VRX_DICOMTagObj::read_double_values(uint16_t group, uint16_t element,
                                         VRX_Vector<double>& out) const {
    return read_values(
        group, element, out, 0.0, [](const TogDicomDataElement& e, int i, double& v) {
            return e.GetDouble(v, TogDicomLib::VR::Blank, i) == TogDicomLib::ResultSuccess;
        });
}

bool VRX_DICOMTagObj::read_string_values(uint16_t group, uint16_t element,
                                         VRX_Vector<String>& out) const {
    return read_values(group, element, out, String(tag_manager_),
                       [](const TogDicomDataElement& e, int i, String& v) {
                           TogString text;
                           return e.GetText(text, TogDicomLib::VR::Blank, i) ==
                                      TogDicomLib::ResultSuccess &&
                                  to_string(text, v);
                       });
}

bool VRX_DICOMTagObj::get_tag_info_list(VRX_Vector<VRX_DICOMTagInfo>& out) const {
    out.clear();
    if (!current_) return false;
    const uint32_t count = current_->GetChildCount();
    if (!out.reserve(count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const TogDicomDataElement* e = current_->GetChildAt(i);
        VRX_DICOMTagInfo info;
        info.group = static_cast<uint16_t>(e->GetGroup());
        info.element = static_cast<uint16_t>(e->GetElement());
        info.vr = e->GetVR();
        info.length = e->GetValueLength();
        if (!out.push_back(info)) return false;
    }
    return true;
}

}  // namespace vrx
