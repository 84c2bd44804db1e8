#pragma once
// TogDicomDataElement: one node of a parsed data set. It carries a tag, a VR,
// a value held in one of several storage forms, and its children: the
// top-level elements under the root, the items under a sequence, the elements
// under an item. Children are kept in ascending group order; within a group,
// in the order SetChildElement and AddChildElement give them.
//
// Values are held inline (at most 4 bytes), in a heap block, in a block of an
// installed value allocator, in a read-only mapping of a file, or only by
// their position in the source (source name, offset, length), which is how
// the reader records Pixel Data.
//
// No operation throws. Results are the library's codes (togresult.h).
#include <cstdint>
#include <cstdio>
#include <vector>

#include "dicomlib/togdicomvr.h"
#include "dicomlib/togstring.h"

class TogDicomDataset;
class TogIValueAllocator;

// Told by a value allocator that its blocks have moved.
class TogIRelocationEvent {
public:
    virtual void OnRelocate() noexcept = 0;

protected:
    ~TogIRelocationEvent() = default;
};

// The record a value allocator fills for one block.
struct TogValueAllocation {
    void* block = nullptr;
    uint32_t word = 0;
    int32_t reserved[2] = {-1, -1};
    TogIValueAllocator* allocator = nullptr;
};

// An optional source of value blocks for large values (installed through the
// data-set settings). An allocator that moves blocks calls the sink given at
// allocation; the element then resolves its record again.
class TogIValueAllocator {
public:
    virtual ~TogIValueAllocator() = default;
    // Fills `handle` with a block of `bytes` bytes; false when refused.
    virtual bool Allocate(uint32_t bytes, TogValueAllocation& handle,
                          TogIRelocationEvent* sink) noexcept = 0;
    virtual void Release(TogValueAllocation& handle) noexcept = 0;
    // The block's present address.
    virtual void* Resolve(const TogValueAllocation& handle) noexcept = 0;
};

namespace TogDicomLib {

enum class ValueStorage : int32_t {
    Inline = 0,     // at most 4 bytes inside the element
    Heap = 1,       // a block of the C heap
    Allocator = 2,  // a block of the data set's value allocator
    Mapping = 3,    // a read-only mapping of a file
    Position = 4,   // not in memory: source name, offset and length
};

constexpr uint32_t UndefinedLength = 0xFFFFFFFFu;

}  // namespace TogDicomLib

class TogDicomDataElement {
public:
    // An unattached element of the data set (which may be null for a
    // free-standing element), with blank VR and an empty inline value. An
    // element must not outlive its data set; TogDicomDataset::CreateElement
    // makes elements that the data set deletes unless they are attached.
    explicit TogDicomDataElement(TogDicomDataset* dataset) noexcept;
    // Leaves the data set's pending list and its parent, releases the value
    // and deletes the children.
    ~TogDicomDataElement();
    TogDicomDataElement(const TogDicomDataElement&) = delete;
    TogDicomDataElement& operator=(const TogDicomDataElement&) = delete;

    TogDicomDataset* GetDataset() const noexcept { return dataset_; }
    TogDicomDataElement* GetParent() const noexcept { return parent_; }

    uint32_t GetGroup() const noexcept { return group_; }
    uint32_t GetElement() const noexcept { return element_; }
    uint32_t GetVR() const noexcept { return vr_; }
    // Changes the group and files the element again in its parent's order.
    void SetGroup(uint32_t group) noexcept;
    void SetElement(uint32_t element) noexcept;
    void SetVR(uint32_t vr) noexcept { vr_ = vr; }

    // The value bytes in memory, or null (no value, or a value held by
    // position).
    const uint8_t* GetValueData() const noexcept { return value_; }
    uint8_t* GetValueData() noexcept { return value_; }
    // The length as declared (after even padding); 0xFFFFFFFF for an
    // undefined length.
    uint32_t GetValueLength() const noexcept { return length_; }
    void SetValueLength(uint32_t length) noexcept { length_ = length; }
    // Bytes held in memory (0 for a value held by position).
    uint32_t GetValueByteCount() const noexcept { return byteCount_; }
    // Offset of the value in its source (values held by position or mapped).
    int64_t GetValueOffset() const noexcept { return offset_; }
    const TogString& GetSourceName() const noexcept { return sourceName_; }
    TogDicomLib::ValueStorage GetStorageMode() const noexcept { return mode_; }
    // Offset of a sequence item's tag in the source, counted like the
    // reader's position from the first byte handed to it; -1 for an element
    // that is not an item read from a source. Directory records refer to
    // each other by these offsets.
    int64_t GetItemOffset() const noexcept { return itemOffset_; }
    void SetItemOffset(int64_t offset) noexcept { itemOffset_ = offset; }

    // Children: in ascending group order, then in the order within the group.
    uint32_t GetChildCount() const noexcept { return static_cast<uint32_t>(children_.size()); }
    TogDicomDataElement* GetChildAt(uint32_t index) const noexcept;
    // The first child with this tag, or null.
    TogDicomDataElement* FindChild(uint32_t group, uint32_t element) const noexcept;
    // Attaches the child in tag order; a child with the same tag is replaced
    // and deleted. 10 for a null child, a child of another data set, the
    // element itself or one of its ancestors.
    int SetChildElement(TogDicomDataElement* child) noexcept;
    // Attaches every child of `batch` as SetChildElement would one after the
    // other, in one merge: the batch is ordered by tag (stably), a later
    // child replaces an earlier one of its tag, and a child of the batch
    // replaces the first child of its tag already there. n children attach
    // in O(n log n) whatever their order. The batch is emptied on success.
    // The refusals of SetChildElement.
    int SetChildElements(std::vector<TogDicomDataElement*>& batch) noexcept;
    // Whether SetChildElement would append the child at the end.
    bool AppendsInOrder(const TogDicomDataElement* child) const noexcept;
    // Appends the child at the end of its group without looking for a child
    // of the same tag (sequence items share one tag). Same refusals.
    int AddChildElement(TogDicomDataElement* child) noexcept;
    // Detaches the child without deleting it; false when it is not a child.
    bool RemoveChild(TogDicomDataElement* child) noexcept;

    // Makes room for a value of `length` bytes (clearing the old value and
    // every child). With padOdd, an odd length grows by one (a zero byte)
    // unless the data set keeps odd lengths. 7 when memory runs out.
    int AllocateValue(uint32_t length, bool padOdd) noexcept;
    // Records the value by its position in a source instead of holding it.
    int SetValueByPosition(const TogString& sourceName, int64_t offset, uint32_t length) noexcept;
    // Maps `length` bytes of the file at `offset` read-only as the value.
    // 5002 when the file cannot be opened or mapped, 10 when the file does
    // not hold the whole range.
    int MapValue(const TogString& path, int64_t offset, uint32_t length) noexcept;
    // An open stream on the source of a value held by position, placed at
    // the value's first byte; the element keeps it and closes it with its
    // value. Null in any other mode or when the source cannot be opened.
    FILE* OpenValueStream() noexcept;
    // Releases the value by its storage form, returns to an empty inline
    // value and deletes every child.
    void ClearValue() noexcept;
    // Releases a mapping (mode 3) or the value stream (mode 4); 10 in any
    // other mode, 5002 when the system refuses.
    int Unmap() noexcept;

    // Typed getters. `vr` 0x2020 (blank) means the element's own VR, or the
    // dictionary's when that is blank or UN. Values are numbered from 0; a
    // negative index counts as 0, except that -1 asks GetText for every value.
    // 5004 when there is no such value or it cannot be converted; the out
    // value is then 0 or empty.
    int GetUInt(uint32_t& value, uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    int GetInt(int32_t& value, uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    int GetDouble(double& value, uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    uint32_t GetUIntOrDefault(uint32_t fallback, uint32_t vr = TogDicomLib::VR::Blank,
                              int index = 0) const noexcept;
    int32_t GetIntOrDefault(int32_t fallback, uint32_t vr = TogDicomLib::VR::Blank,
                            int index = 0) const noexcept;
    double GetDoubleOrDefault(double fallback, uint32_t vr = TogDicomLib::VR::Blank,
                              int index = 0) const noexcept;
    // The value as text (text VRs decoded in the data set's character sets;
    // numbers in decimal; FL/FD with six decimals; AT as "ggggeeee").
    int GetText(TogString& text, uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    // The text, or a copy of the fallback when GetText fails.
    int GetString(TogString& text, const TogString& fallback, uint32_t vr = TogDicomLib::VR::Blank,
                  int index = 0) const noexcept;
    // The number of values by the element's own VR.
    uint32_t GetValueCount() const noexcept;

    // The same on the child (group, element); 5004 when it is absent.
    int GetChildUInt(uint32_t group, uint32_t element, uint32_t& value,
                     uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    int GetChildInt(uint32_t group, uint32_t element, int32_t& value,
                    uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    int GetChildDouble(uint32_t group, uint32_t element, double& value,
                       uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    int GetChildText(uint32_t group, uint32_t element, TogString& text,
                     uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    int GetChildString(uint32_t group, uint32_t element, TogString& text, const TogString& fallback,
                       uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    uint32_t GetChildUIntOrDefault(uint32_t group, uint32_t element, uint32_t fallback,
                                   uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    int32_t GetChildIntOrDefault(uint32_t group, uint32_t element, int32_t fallback,
                                 uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    double GetChildDoubleOrDefault(uint32_t group, uint32_t element, double fallback,
                                   uint32_t vr = TogDicomLib::VR::Blank, int index = 0) const noexcept;
    uint32_t GetChildValueCount(uint32_t group, uint32_t element) const noexcept;

private:
    friend class TogDicomDataset;

    // Told by the allocator that blocks moved; resolves the value again.
    class tog_dicom_lib_element_relocation_esink : public TogIRelocationEvent {
    public:
        explicit tog_dicom_lib_element_relocation_esink(TogDicomDataElement* owner) : owner_(owner) {}
        void OnRelocate() noexcept override;

    private:
        TogDicomDataElement* owner_;
    };

    int CheckNewChild(TogDicomDataElement* child, const char* signature) noexcept;
    // Makes room for one more child before anything changes.
    bool RoomForChild() noexcept;
    void TakeChild(TogDicomDataElement* child) noexcept;
    void InsertOrdered(TogDicomDataElement* child) noexcept;
    // First index of the group's children and one past the last.
    size_t GroupBegin(uint32_t group) const noexcept;
    size_t GroupEnd(uint32_t group) const noexcept;
    void DeleteChildren() noexcept;
    uint32_t ResolveVR(uint32_t vr) const noexcept;
    int NumberAt(uint32_t vr, int index, int64_t& integer, double& real, bool& isReal) const noexcept;
    int TextOfString(TogString& text, uint32_t vr, int index) const noexcept;
    int TextOfNumbers(TogString& text, uint32_t vr, int index) const noexcept;
    TogString FindCharacterSet() const noexcept;

    TogDicomDataset* dataset_;
    TogDicomDataElement* parent_ = nullptr;
    uint32_t group_ = 0;
    uint32_t element_ = 0;
    uint32_t vr_ = TogDicomLib::VR::Blank;
    int32_t reserved_[2] = {-1, -1};
    uint32_t length_ = 0;
    uint32_t byteCount_ = 0;
    uint8_t* value_ = nullptr;
    alignas(4) uint8_t inline_[4] = {0, 0, 0, 0};
    TogDicomLib::ValueStorage mode_ = TogDicomLib::ValueStorage::Inline;
    TogValueAllocation allocation_;
    tog_dicom_lib_element_relocation_esink sink_;
    std::vector<TogDicomDataElement*> children_;
    // False once a group's children stop being in ascending element order
    // (AddChildElement, SetElement); the append fast path is then off.
    bool childrenInOrder_ = true;
    // Still in the data set's pending list (created by the reader, not yet
    // attached).
    bool pending_ = false;
    TogString sourceName_;
    int64_t offset_ = 0;
    int64_t itemOffset_ = -1;
    // Mode 3: the mapped region (page-aligned) and its size; mode 4: an open
    // value stream.
    void* mapping_ = nullptr;
    size_t mappingSize_ = 0;
    FILE* stream_ = nullptr;
};
