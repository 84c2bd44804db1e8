#pragma once
// Access to the elements of one parsed DICOM data set by (group, element).
//
// A tag object addresses the children of its current element: the data set's
// root after loading, or one item of a sequence. Tag objects taken from one
// another share the parsed data set through a counted owner; the data set
// lives as long as any of them. Getters never fail loudly: an absent element,
// a value that cannot be converted or an object that holds nothing gives 0,
// 0.0, false, an empty text, 0xFFFF or "UN" as each operation says.
//
//   VRX_DICOMInfo info(manager);            // a tag object with an image header
//   info.load(storage);
//   VRX_BasicString<char16_t> name = info.get_string(0x0010, 0x0010);
//   VRX_DICOMTagObj item(manager);
//   if (info.get_item(0x0008, 0x1140, 0, item)) ... item.get_string(...) ...
#include <cstdint>

#include "vrx/framework/include/vrx_basicstring.h"
#include "vrx/framework/include/vrx_sharedowner.h"
#include "vrx/framework/include/vrx_vector.h"

class TogDicomDataElement;

namespace vrx {

class VRX_DICOMInfoInternal;
class VRX_Manager;

class VRX_DICOMTagObj {
   public:
    using String = VRX_BasicString<char16_t>;

    // One element of the current element's children.
    struct VRX_DICOMTagInfo {
        uint16_t group = 0;
        uint16_t element = 0;
        // Two letters, the first in the low byte ("OB" is 0x424F).
        uint32_t vr = 0;
        uint32_t length = 0;
    };

    // The VR answered for an element that is not there.
    static constexpr uint32_t vr_unknown = 0x4E55;  // "UN"

    explicit VRX_DICOMTagObj(VRX_Manager* manager);
    // Shares the other object's data set, current element and flag.
    VRX_DICOMTagObj(const VRX_DICOMTagObj& other);
    VRX_DICOMTagObj& operator=(const VRX_DICOMTagObj& other);
    // Drops this object's share of the data set.
    virtual ~VRX_DICOMTagObj();

    // Keep odd value lengths as they are (handed to the data set when one is
    // loaded); off by default.
    void set_keep_odd_lengths(bool keep) { keep_odd_lengths_ = keep; }
    bool keep_odd_lengths() const { return keep_odd_lengths_; }
    // True when a data set is held.
    bool has_dataset() const { return current_ != nullptr; }

    // Signed value, 0 when absent or not convertible.
    int32_t get_int(uint16_t group, uint16_t element) const;
    // Double value, 0.0 when absent or not convertible.
    double get_double(uint16_t group, uint16_t element) const;
    bool exists(uint16_t group, uint16_t element) const;
    // Unsigned value (an AT value as group << 16 | element).
    bool read_integer(uint16_t group, uint16_t element, uint32_t& out) const;
    bool read_double(uint16_t group, uint16_t element, double& out) const;
    // The value bytes in memory; false when absent or held only by position.
    bool get_value_data(uint16_t group, uint16_t element, const void*& out) const;
    // Children of that element (the items of a sequence), 0 when absent.
    uint32_t item_count(uint16_t group, uint16_t element) const;

    // The current element's children, in tag order.
    uint32_t child_count() const;
    // 0xFFFF when there is no i-th child.
    uint16_t group_at(uint32_t i) const;
    uint16_t element_at(uint32_t i) const;
    // "UN" when there is no i-th child.
    uint32_t vr_at(uint32_t i) const;
    // 0 when there is no i-th child.
    uint32_t length_at(uint32_t i) const;
    // The element's own VR ("UN" when absent) and value length (0 when absent).
    uint32_t vr(uint16_t group, uint16_t element) const;
    uint32_t length(uint16_t group, uint16_t element) const;

    // Item n of the sequence (group, element): `out` then shares this
    // object's data set and addresses the item. False when the sequence or
    // the item is absent.
    bool get_item(uint16_t group, uint16_t element, uint32_t n, VRX_DICOMTagObj& out) const;

    // The value as text, every value joined with "\"; empty when absent.
    String get_string(uint16_t group, uint16_t element) const;
    // The same text; false when absent or not convertible.
    bool read_string(uint16_t group, uint16_t element, String& out) const;
    // Every value in order. The list is emptied first; false when nothing is
    // loaded, there is no value, a value cannot be read or an append fails
    // (the values read so far stay).
    bool read_uint_values(uint16_t group, uint16_t element, VRX_Vector<uint32_t>& out) const;
    bool read_int_values(uint16_t group, uint16_t element, VRX_Vector<int32_t>& out) const;
    bool read_double_values(uint16_t group, uint16_t element, VRX_Vector<double>& out) const;
    bool read_string_values(uint16_t group, uint16_t element, VRX_Vector<String>& out) const;
    // One record per child of the current element, in child order. True for
    // no children; false when nothing is loaded or an append fails.
    bool get_tag_info_list(VRX_Vector<VRX_DICOMTagInfo>& out) const;

    VRX_Manager* tag_manager() const { return tag_manager_; }
    // The element whose children are addressed (null when nothing is loaded).
    TogDicomDataElement* current_element() const { return current_; }

   protected:
    // Makes a new owner with an empty data set (the old one is released) and
    // addresses its root; false when that cannot be made.
    bool load();
    // The owner of the data set (null when nothing is loaded).
    VRX_DICOMInfoInternal* internal() const { return owner_.get(); }
    void set_current_element(TogDicomDataElement* element) { current_ = element; }

   private:
    TogDicomDataElement* child(uint16_t group, uint16_t element) const;
    TogDicomDataElement* child_at(uint32_t i) const;
    // Every value of the element, each read by `read` into a copy of `blank`.
    template <class T, class Read>
    bool read_values(uint16_t group, uint16_t element, VRX_Vector<T>& out, const T& blank,
                     Read&& read) const;

    VRX_SharedOwner<VRX_DICOMInfoInternal> owner_;
    TogDicomDataElement* current_ = nullptr;
    bool keep_odd_lengths_ = false;
    VRX_Manager* tag_manager_;
};

}  // namespace vrx
