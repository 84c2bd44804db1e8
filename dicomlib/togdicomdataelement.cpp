#include "dicomlib/togdicomdataelement.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "dicomlib/togdicomdataset.h"
#include "dicomlib/toglogwriter.h"
#include "dicomlib/togresult.h"
#include "dicomlib/togutils.h"

using namespace TogDicomLib;

namespace {

const char kDestructorSignature[] = "__thiscall TogDicomDataElement::~TogDicomDataElement(void)";
const char kSetChildSignature[] =
    "int __thiscall TogDicomDataElement::SetChildElement(class TogDicomDataElement *)";
const char kAddChildSignature[] =
    "int __thiscall TogDicomDataElement::AddChildElement(class TogDicomDataElement *)";
const char kUnmapSignature[] = "int __thiscall TogDicomDataElement::Unmap(void)";
const char kMapValueSignature[] =
    "int __thiscall TogDicomDataElement::MapValue(const class TogString &,__int64,unsigned int)";

// The data set's root reports its own deletion with this code.
constexpr int32_t kRootDeletedCode = 6;

bool TagLess(const TogDicomDataElement* a, uint32_t group, uint32_t element) {
    return a->GetGroup() < group || (a->GetGroup() == group && a->GetElement() < element);
}

}  // namespace

void TogDicomDataElement::tog_dicom_lib_element_relocation_esink::OnRelocate() noexcept {
    if (owner_->mode_ != ValueStorage::Allocator || owner_->allocation_.allocator == nullptr) return;
    owner_->value_ = static_cast<uint8_t*>(owner_->allocation_.allocator->Resolve(owner_->allocation_));
}

TogDicomDataElement::TogDicomDataElement(TogDicomDataset* dataset) noexcept
    : dataset_(dataset), value_(inline_), sink_(this) {}

TogDicomDataElement::~TogDicomDataElement() {
    if (dataset_ != nullptr && dataset_->root_ == this) {
        if (!dataset_->closing_) {
            Report(kDestructorSignature, kRootDeletedCode, TogString(u"The root data element has been deleted."));
        }
        dataset_->RootDeleted(this);
    }
    if (pending_ && dataset_ != nullptr) dataset_->Unregister(this);
    if (parent_ != nullptr) parent_->RemoveChild(this);
    ClearValue();
}

void TogDicomDataElement::SetGroup(uint32_t group) noexcept {
    TogDicomDataElement* parent = parent_;
    if (parent == nullptr) {
        group_ = group;
        return;
    }
    parent->RemoveChild(this);
    group_ = group;
    parent->InsertOrdered(this);
    parent_ = parent;
}

void TogDicomDataElement::SetElement(uint32_t element) noexcept {
    element_ = element;
    if (parent_ != nullptr) parent_->childrenInOrder_ = false;
}

TogDicomDataElement* TogDicomDataElement::GetChildAt(uint32_t index) const noexcept {
    return index < children_.size() ? children_[index] : nullptr;
}

size_t TogDicomDataElement::GroupBegin(uint32_t group) const noexcept {
    const auto it = std::lower_bound(children_.begin(), children_.end(), group,
                                     [](const TogDicomDataElement* e, uint32_t g) { return e->group_ < g; });
    return static_cast<size_t>(it - children_.begin());
}

size_t TogDicomDataElement::GroupEnd(uint32_t group) const noexcept {
    if (children_.empty() || children_.back()->group_ <= group) return children_.size();
    const auto it = std::upper_bound(children_.begin(), children_.end(), group,
                                     [](uint32_t g, const TogDicomDataElement* e) { return g < e->group_; });
    return static_cast<size_t>(it - children_.begin());
}

TogDicomDataElement* TogDicomDataElement::FindChild(uint32_t group, uint32_t element) const noexcept {
    const size_t end = GroupEnd(group);
    for (size_t i = GroupBegin(group); i < end; ++i) {
        if (children_[i]->element_ == element) return children_[i];
    }
    return nullptr;
}

int TogDicomDataElement::CheckNewChild(TogDicomDataElement* child, const char* signature) noexcept {
    if (child == nullptr) return ResultBadArgument;
    if (child->dataset_ != dataset_) {
        Report(signature, ResultBadArgument, TogString(u"The passed element is in the different dataset."));
        return ResultBadArgument;
    }
    if (child == this) {
        Report(signature, ResultBadArgument, TogString(u"Can't append the same element."));
        return ResultBadArgument;
    }
    // An ancestor would make the tree a cycle.
    for (const TogDicomDataElement* p = parent_; p != nullptr; p = p->parent_) {
        if (p == child) {
            Report(signature, ResultBadArgument, TogString(u"Can't append an ancestor element."));
            return ResultBadArgument;
        }
    }
    return ResultSuccess;
}

bool TogDicomDataElement::RoomForChild() noexcept {
    if (children_.size() < children_.capacity()) return true;
    try {
        children_.reserve(children_.empty() ? 4 : children_.size() * 2);
    } catch (...) {
        return false;
    }
    return true;
}

void TogDicomDataElement::TakeChild(TogDicomDataElement* child) noexcept {
    if (child->parent_ != nullptr) child->parent_->RemoveChild(child);
    if (child->pending_ && dataset_ != nullptr) dataset_->Unregister(child);
    child->parent_ = this;
}

int TogDicomDataElement::SetChildElement(TogDicomDataElement* child) noexcept {
    const int checked = CheckNewChild(child, kSetChildSignature);
    if (checked != ResultSuccess) return checked;
    if (!RoomForChild()) return ResultOutOfMemory;
    TakeChild(child);
    const uint32_t group = child->group_;
    const uint32_t element = child->element_;
    // Readers deliver elements in ascending order: append.
    if (children_.empty() || (childrenInOrder_ && TagLess(children_.back(), group, element))) {
        children_.push_back(child);
        return ResultSuccess;
    }
    if (childrenInOrder_) {
        // Sorted children: the place by binary search.
        const auto at = std::lower_bound(children_.begin(), children_.end(), child,
                                         [](const TogDicomDataElement* a, const TogDicomDataElement* b) {
                                             return TagLess(a, b->group_, b->element_);
                                         });
        if (at != children_.end() && (*at)->group_ == group && (*at)->element_ == element) {
            TogDicomDataElement* old = *at;
            *at = child;
            old->parent_ = nullptr;
            delete old;
        } else {
            children_.insert(at, child);
        }
        return ResultSuccess;
    }
    const size_t begin = GroupBegin(group);
    const size_t end = GroupEnd(group);
    size_t insertAt = end;
    for (size_t i = begin; i < end; ++i) {
        TogDicomDataElement* old = children_[i];
        if (old->element_ == element) {
            children_[i] = child;
            old->parent_ = nullptr;
            delete old;
            return ResultSuccess;
        }
        if (insertAt == end && old->element_ > element) insertAt = i;
    }
    children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(insertAt), child);
    return ResultSuccess;
}

bool TogDicomDataElement::AppendsInOrder(const TogDicomDataElement* child) const noexcept {
    return children_.empty() ||
           (childrenInOrder_ && TagLess(children_.back(), child->group_, child->element_));
}

int TogDicomDataElement::SetChildElements(std::vector<TogDicomDataElement*>& batch) noexcept {
    if (!childrenInOrder_) {
        // Children kept out of order are placed one by one.
        for (size_t i = 0; i < batch.size(); ++i) {
            const int result = SetChildElement(batch[i]);
            if (result != ResultSuccess) return result;
        }
        batch.clear();
        return ResultSuccess;
    }
    std::vector<TogDicomDataElement*> merged;
    // The batch's tags with their places, sorted by tag and then by arrival.
    std::vector<std::pair<uint64_t, size_t>> order;
    try {
        merged.reserve(children_.size() + batch.size());
        order.reserve(batch.size());
    } catch (...) {
        return ResultOutOfMemory;
    }
    auto key = [](const TogDicomDataElement* e) { return (uint64_t{e->group_} << 32) | e->element_; };
    for (size_t i = 0; i < batch.size(); ++i) {
        const int checked = CheckNewChild(batch[i], kSetChildSignature);
        if (checked != ResultSuccess) return checked;
        order.emplace_back(key(batch[i]), i);
    }
    // Last first: the data set's list of elements being read ends with them.
    for (size_t i = batch.size(); i-- > 0;) TakeChild(batch[i]);
    std::sort(order.begin(), order.end());
    size_t next = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        const uint64_t tag = order[k].first;
        TogDicomDataElement* child = batch[order[k].second];
        if (k + 1 < order.size() && tag == order[k + 1].first) {
            // A later child of the same tag replaces it.
            child->parent_ = nullptr;
            delete child;
            continue;
        }
        while (next < children_.size() && key(children_[next]) < tag) merged.push_back(children_[next++]);
        if (next < children_.size() && key(children_[next]) == tag) {
            TogDicomDataElement* old = children_[next++];
            old->parent_ = nullptr;
            delete old;
        }
        merged.push_back(child);
    }
    while (next < children_.size()) merged.push_back(children_[next++]);
    children_.swap(merged);
    batch.clear();
    return ResultSuccess;
}

int TogDicomDataElement::AddChildElement(TogDicomDataElement* child) noexcept {
    const int checked = CheckNewChild(child, kAddChildSignature);
    if (checked != ResultSuccess) return checked;
    if (!RoomForChild()) return ResultOutOfMemory;
    TakeChild(child);
    const size_t end = GroupEnd(child->group_);
    if (end > 0 && children_[end - 1]->group_ == child->group_ &&
        children_[end - 1]->element_ > child->element_) {
        childrenInOrder_ = false;
    }
    children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(end), child);
    return ResultSuccess;
}

void TogDicomDataElement::InsertOrdered(TogDicomDataElement* child) noexcept {
    const size_t begin = GroupBegin(child->group_);
    const size_t end = GroupEnd(child->group_);
    size_t insertAt = end;
    for (size_t i = begin; i < end; ++i) {
        if (children_[i]->element_ > child->element_) {
            insertAt = i;
            break;
        }
    }
    try {
        children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(insertAt), child);
    } catch (...) {
        // Removing the child made room, so this cannot fail.
    }
}

bool TogDicomDataElement::RemoveChild(TogDicomDataElement* child) noexcept {
    if (child == nullptr) return false;
    const size_t end = GroupEnd(child->group_);
    for (size_t i = GroupBegin(child->group_); i < end; ++i) {
        if (children_[i] == child) {
            children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(i));
            child->parent_ = nullptr;
            return true;
        }
    }
    return false;
}

void TogDicomDataElement::DeleteChildren() noexcept {
    for (TogDicomDataElement* child : children_) {
        child->parent_ = nullptr;
        delete child;
    }
    children_.clear();
    childrenInOrder_ = true;
}

int TogDicomDataElement::AllocateValue(uint32_t length, bool padOdd) noexcept {
    ClearValue();
    const bool keepOdd = dataset_ != nullptr && dataset_->keepOddLengths_;
    const bool pad = padOdd && (length & 1u) != 0 && !keepOdd;
    if (pad && length == UINT32_MAX) return ResultOutOfMemory;
    const uint32_t bytes = pad ? length + 1 : length;
    if (bytes <= sizeof(inline_)) {
        value_ = inline_;
        mode_ = ValueStorage::Inline;
    } else {
        const TogDicomDatasetSettings* settings = dataset_ != nullptr ? &dataset_->settings_ : nullptr;
        if (settings != nullptr && settings->allocator != nullptr && settings->allocatorThreshold != 0 &&
            bytes > settings->allocatorThreshold) {
            allocation_ = TogValueAllocation();
            if (!settings->allocator->Allocate(bytes, allocation_, &sink_)) {
                allocation_ = TogValueAllocation();
                return ResultOutOfMemory;
            }
            if (allocation_.allocator == nullptr) allocation_.allocator = settings->allocator;
            value_ = static_cast<uint8_t*>(allocation_.allocator->Resolve(allocation_));
            mode_ = ValueStorage::Allocator;
            if (value_ == nullptr) {
                ClearValue();
                return ResultOutOfMemory;
            }
        } else {
            value_ = static_cast<uint8_t*>(std::malloc(bytes));
            if (value_ == nullptr) {
                value_ = inline_;
                return ResultOutOfMemory;
            }
            mode_ = ValueStorage::Heap;
        }
    }
    if (pad) value_[bytes - 1] = 0;
    length_ = bytes;
    byteCount_ = bytes;
    return ResultSuccess;
}

int TogDicomDataElement::SetValueByPosition(const TogString& sourceName, int64_t offset,
                                            uint32_t length) noexcept {
    ClearValue();
    if (!sourceName_.Assign(sourceName)) return ResultOutOfMemory;
    offset_ = offset;
    length_ = length;
    value_ = nullptr;
    mode_ = ValueStorage::Position;
    return ResultSuccess;
}

int TogDicomDataElement::MapValue(const TogString& path, int64_t offset, uint32_t length) noexcept {
    ClearValue();
    if (offset < 0) return ResultBadArgument;
    if (!sourceName_.Assign(path)) return ResultOutOfMemory;
    const std::string name = path.ToUtf8();
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        togutils::WriteWindowsAPIErrorMessageToLog(kMapValueSignature, "CreateFileW", -1);
        sourceName_.Clear();
        return ResultPlatformCallFailed;
    }
    // Touching a mapped page that lies wholly past the end of the file kills
    // the process: a range the file does not hold is refused.
    struct stat info;
    if (::fstat(fd, &info) != 0 || static_cast<uint64_t>(offset) + length > static_cast<uint64_t>(info.st_size)) {
        ::close(fd);
        sourceName_.Clear();
        return ResultBadArgument;
    }
    const long page = sysconf(_SC_PAGESIZE);
    const int64_t base = offset - offset % (page > 0 ? page : 4096);
    const size_t lead = static_cast<size_t>(offset - base);
    const size_t size = lead + length;
    void* view = size > 0 ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, base) : nullptr;
    const int error = errno;
    ::close(fd);
    if (size > 0 && view == MAP_FAILED) {
        togutils::WriteWindowsAPIErrorMessageToLog(kMapValueSignature, "MapViewOfFile", error);
        sourceName_.Clear();
        return ResultPlatformCallFailed;
    }
    mapping_ = view;
    mappingSize_ = size;
    value_ = view != nullptr ? static_cast<uint8_t*>(view) + lead : nullptr;
    offset_ = offset;
    length_ = length;
    byteCount_ = length;
    mode_ = ValueStorage::Mapping;
    return ResultSuccess;
}

FILE* TogDicomDataElement::OpenValueStream() noexcept {
    if (mode_ != ValueStorage::Position) return nullptr;
    if (stream_ == nullptr) {
        const std::string name = sourceName_.ToUtf8();
        if (name.empty()) return nullptr;
        stream_ = std::fopen(name.c_str(), "rbe");
        if (stream_ == nullptr) return nullptr;
    }
    if (fseeko(stream_, offset_, SEEK_SET) != 0) return nullptr;
    return stream_;
}

int TogDicomDataElement::Unmap() noexcept {
    if (mode_ == ValueStorage::Mapping) {
        int result = ResultSuccess;
        if (mapping_ != nullptr && ::munmap(mapping_, mappingSize_) != 0) {
            togutils::WriteWindowsAPIErrorMessageToLog(kUnmapSignature, "UnmapViewOfFile", -1);
            result = ResultPlatformCallFailed;
        }
        mapping_ = nullptr;
        mappingSize_ = 0;
        value_ = nullptr;
        byteCount_ = 0;
        return result;
    }
    if (mode_ == ValueStorage::Position) {
        int result = ResultSuccess;
        if (stream_ != nullptr && std::fclose(stream_) != 0) {
            togutils::WriteWindowsAPIErrorMessageToLog(kUnmapSignature, "CloseHandle", -1);
            result = ResultPlatformCallFailed;
        }
        stream_ = nullptr;
        return result;
    }
    Report(kUnmapSignature, ResultBadArgument, TogString(u"The data element is not in a mapping mode."));
    return ResultBadArgument;
}

void TogDicomDataElement::ClearValue() noexcept {
    switch (mode_) {
        case ValueStorage::Heap:
            std::free(value_);
            break;
        case ValueStorage::Allocator:
            if (allocation_.allocator != nullptr) allocation_.allocator->Release(allocation_);
            allocation_ = TogValueAllocation();
            break;
        case ValueStorage::Mapping:
            // The mapped file is the caller's; it is never deleted here.
        case ValueStorage::Position:
            Unmap();
            break;
        case ValueStorage::Inline:
            break;
    }
    value_ = inline_;
    std::memset(inline_, 0, sizeof(inline_));
    mode_ = ValueStorage::Inline;
    length_ = 0;
    byteCount_ = 0;
    sourceName_.Clear();
    offset_ = 0;
    DeleteChildren();
}
