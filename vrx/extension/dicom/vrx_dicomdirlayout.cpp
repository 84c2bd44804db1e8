#include "vrx/extension/dicom/vrx_dicomdirlayout.h"

#include <algorithm>

#include "dicomlib/togdicomdataelement.h"

namespace vrx {

namespace {

// Other records passed through among the root's, one inside another: at
// most this deep.
constexpr uint32_t kMaxPassThrough = 4;
// A link that leads to no item.
constexpr uint32_t kBroken = VRX_DICOMDIRLayout::none - 1;

}  // namespace

VRX_DICOMDIRLayout::VRX_DICOMDIRLayout(VRX_Manager* manager)
    : manager_(manager),
      items_(manager),
      levels_(manager),
      item_offsets_(manager),
      offsets_(manager),
      visited_(manager),
      nodes_(manager) {}

VRX_DICOMDIRLayout::Level VRX_DICOMDIRLayout::level_of(const VRX_DICOMTagObj& record) {
    const VRX_DICOMTagObj::String type = record.get_string(0x0004, 0x1430);
    if (type == u"PATIENT") return patient;
    if (type == u"STUDY") return study;
    if (type == u"SERIES") return series;
    if (type == u"IMAGE") return image;
    return other;
}

bool VRX_DICOMDIRLayout::fits_below(const VRX_DICOMTagObj& file, Level above) {
    const uint32_t count = file.item_count(0x0004, 0x1220);
    for (uint32_t i = 0; i < count; ++i) {
        VRX_DICOMTagObj item(file.tag_manager());
        if (!file.get_item(0x0004, 0x1220, i, item)) return false;
        Level level = level_of(item);
        if (level == other) {
            const VRX_DICOMTagObj::String type = item.get_string(0x0004, 0x1430);
            level = type == u"HANGING PROTOCOL" || type == u"PALETTE" || type == u"IMPLANT" ||
                            type == u"IMPLANT ASSY" || type == u"IMPLANT GROUP"
                        ? patient
                        : image;
        }
        if (level <= above) return false;
    }
    return count > 0;
}

bool VRX_DICOMDIRLayout::collect(const VRX_DICOMTagObj& file, Level above) {
    const uint32_t count = file.item_count(0x0004, 0x1220);
    if (!items_.reserve(count) || !levels_.reserve(count) || !item_offsets_.reserve(count) ||
        !offsets_.reserve(count))
        return false;
    top_ = other;
    for (uint32_t i = 0; i < count; ++i) {
        VRX_DICOMTagObj item(manager_);
        if (!file.get_item(0x0004, 0x1220, i, item)) return false;
        const int64_t offset = item.current_element()->GetItemOffset();
        Level level = level_of(item);
        if (level <= above) level = other;
        top_ = std::min(top_, level);
        if (!levels_.push_back(level) || !items_.push_back(item) ||
            !item_offsets_.push_back(offset) || !offsets_.push_back({offset, i}))
            return false;
    }
    std::sort(offsets_.begin(), offsets_.end());
    // Without records of the four levels the links are still checked.
    if (top_ == other) top_ = static_cast<Level>(std::min(above + 1, int{image}));
    pass_through_ = top_ != above + 1;
    return true;
}

void VRX_DICOMDIRLayout::clear() {
    nodes_.clear();
    std::fill(visited_.begin(), visited_.end(), uint8_t{0});
    first_root_ = last_root_ = none;
}

uint32_t VRX_DICOMDIRLayout::find(uint32_t offset) const {
    if (offset == 0) return none;
    const Offset key{offset, 0};
    const auto it = std::lower_bound(offsets_.begin(), offsets_.end(), key);
    return it != offsets_.end() && it->offset == offset ? it->index : kBroken;
}

uint32_t VRX_DICOMDIRLayout::link(uint32_t item, uint16_t element) const {
    uint32_t offset = 0;
    return find(items_[item].read_integer(0x0004, element, offset) ? offset : 0);
}

bool VRX_DICOMDIRLayout::arrange(const VRX_DICOMTagObj& file, Level above) {
    items_.clear();
    levels_.clear();
    item_offsets_.clear();
    offsets_.clear();
    nodes_.clear();
    first_root_ = last_root_ = none;
    linked_by_offsets_ = false;
    if (!collect(file, above)) return false;
    if (items_.empty()) {
        linked_by_offsets_ = true;
        return true;
    }
    if (!visited_.assign(items_.size(), 0)) return false;
    uint32_t first = 0;
    Result result = Result::unusable;
    if (file.read_integer(0x0004, 0x1200, first) && first != 0)
        result = chain(find(first), top_, none, 0);
    linked_by_offsets_ = result == Result::done;
    if (result != Result::unusable) return result == Result::done;
    clear();
    result = from_heads();
    if (result != Result::unusable) return result == Result::done;
    clear();
    return by_order();
}

// Visits the records of one level from item `i` along their next-record
// links. Records of another type are passed over; a study, series or image
// record where the root's records belong, a link that leads to no record or
// one to a record already visited makes the links unusable.
VRX_DICOMDIRLayout::Result VRX_DICOMDIRLayout::chain(uint32_t i, Level want, uint32_t parent,
                                                     uint32_t depth) {
    while (i != none) {
        if (i == kBroken || visited_[i]) return Result::unusable;
        const Level level = levels_[i];
        if (parent == none && level != want && level != other) return Result::unusable;
        visited_[i] = 1;
        Result result = Result::done;
        if (level == want) {
            uint32_t node = none;
            result = add(i, parent, node);
            if (result == Result::done && want != image)
                result = chain(link(i, 0x1420), static_cast<Level>(want + 1), node, depth);
        } else if (parent == none && pass_through_) {
            result = depth < kMaxPassThrough ? chain(link(i, 0x1420), want, none, depth + 1)
                                             : Result::unusable;
        }
        if (result != Result::done) return result;
        i = link(i, 0x1400);
    }
    return Result::done;
}

VRX_DICOMDIRLayout::Result VRX_DICOMDIRLayout::add(uint32_t item, uint32_t parent,
                                                   uint32_t& node) {
    Node added;
    added.item = item;
    if (!nodes_.push_back(added)) return Result::failed;
    node = static_cast<uint32_t>(nodes_.size() - 1);
    uint32_t& head = parent == none ? first_root_ : nodes_[parent].child;
    uint32_t& tail = parent == none ? last_root_ : nodes_[parent].last_child;
    if (tail == none)
        head = node;
    else
        nodes_[tail].next = node;
    tail = node;
    return Result::done;
}

// The chains that begin at the records no link leads to, in item order.
VRX_DICOMDIRLayout::Result VRX_DICOMDIRLayout::from_heads() {
    VRX_Vector<uint8_t> linked(manager_);
    if (!linked.assign(items_.size(), 0)) return Result::failed;
    for (uint32_t i = 0; i < items_.size(); ++i)
        for (uint16_t element : {uint16_t{0x1400}, uint16_t{0x1420}}) {
            const uint32_t to = link(i, element);
            if (to < items_.size()) linked[to] = 1;
        }
    for (uint32_t i = 0; i < items_.size(); ++i) {
        if (linked[i]) continue;
        const Result result = chain(i, top_, none, 0);
        if (result != Result::done) return result;
    }
    return Result::done;
}

// Each record under the last record of the level above it; records with no
// such record before them are left out.
bool VRX_DICOMDIRLayout::by_order() {
    uint32_t last[other] = {none, none, none, none, none};
    for (uint32_t i = 0; i < items_.size(); ++i) {
        const Level level = levels_[i];
        if (level == other) continue;
        const uint32_t parent = level == top_ ? none : last[level - 1];
        if (level != top_ && parent == none) continue;
        uint32_t node = none;
        if (add(i, parent, node) != Result::done) return false;
        last[level] = node;
        std::fill(last + level + 1, last + other, none);
    }
    return true;
}

}  // namespace vrx
