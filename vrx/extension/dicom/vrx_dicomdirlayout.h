#pragma once
// The directory records of one parsed directory file arranged as a tree of
// levels (patient, study, series, image): which record lies under which.
// The DICOMDIR reader builds its records from it.
//
//   VRX_DICOMDIRLayout layout(manager);
//   if (layout.arrange(file, VRX_DICOMDIRLayout::root)) {
//       for (uint32_t n = layout.first_root(); n != VRX_DICOMDIRLayout::none;
//            n = layout.node(n).next)
//           ... layout.item(n), layout.level(n), layout.node(n).child ...
//   }
//
// The records are found by the directory's own links: the first record of
// the root (0004,1200), each record's next record (0004,1400) and its first
// lower-level record (0004,1420). When those links do not lead from the root
// to a tree (a link to no record, a record reached twice, a record of a lower
// level among the root's), they are followed instead from the records no
// link leads to; when that fails too, the records are taken in item order,
// each one under the last record of the level above it.
//
// The top level is the highest level of the file's records: PATIENT in a
// file-set's DICOMDIR, STUDY in one without patient records. In a file
// without records of the level just below its container, records of other
// types among the root's (such as patient records of an unknown type) are
// passed through: their lower-level records join the root.
#include <cstdint>

#include "vrx/extension/dicom/vrx_dicomtagobj.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_DICOMDIRLayout {
   public:
    // The levels of the tree; `root` is the level above the records of a
    // file-set's DICOMDIR.
    enum Level : uint8_t { root = 0, patient = 1, study = 2, series = 3, image = 4, other = 5 };
    static constexpr uint32_t none = UINT32_MAX;

    // One record placed in the tree: its item, its first and last
    // lower-level records and the next record of its level (node numbers;
    // `none` for none).
    struct Node {
        uint32_t item = 0;
        uint32_t child = none;
        uint32_t next = none;
        uint32_t last_child = none;
    };

    explicit VRX_DICOMDIRLayout(VRX_Manager* manager);

    // Arranges the records of `file`, a parsed directory file whose root
    // element is its current element, below a record of level `above` (root
    // for a file-set's DICOMDIR): records of that level or a higher one are
    // left out. False when an item cannot be had or memory runs out.
    bool arrange(const VRX_DICOMTagObj& file, Level above);

    uint32_t first_root() const { return first_root_; }
    const Node& node(uint32_t n) const { return nodes_[n]; }
    const VRX_DICOMTagObj& item(uint32_t n) const { return items_[nodes_[n].item]; }
    Level level(uint32_t n) const { return levels_[nodes_[n].item]; }
    // The records were placed by the links from the root's first record.
    bool linked_by_offsets() const { return linked_by_offsets_; }

    // The level a Directory Record Type names (other for the rest).
    static Level level_of(const VRX_DICOMTagObj& record);
    // Whether a parsed directory file holds records and each of them may lie
    // below a record of level `above`: PATIENT records and the other records
    // of a file-set's root (hanging protocols, palettes, implants) lie below
    // the root, STUDY records below a patient, SERIES records below a study,
    // and IMAGE records and every other type (presentation states, reports,
    // key objects, waveforms...) below a series.
    static bool fits_below(const VRX_DICOMTagObj& file, Level above);

   private:
    enum class Result { done, unusable, failed };
    struct Offset {
        int64_t offset;
        uint32_t index;
        bool operator<(const Offset& other) const { return offset < other.offset; }
    };

    bool collect(const VRX_DICOMTagObj& file, Level above);
    void clear();
    uint32_t find(uint32_t offset) const;
    uint32_t link(uint32_t item, uint16_t element) const;
    Result chain(uint32_t offset, Level want, uint32_t parent, uint32_t depth);
    Result add(uint32_t item, uint32_t parent, uint32_t& node);
    Result from_heads();
    bool by_order();

    VRX_Manager* manager_;
    VRX_Vector<VRX_DICOMTagObj> items_;
    VRX_Vector<Level> levels_;
    VRX_Vector<int64_t> item_offsets_;
    VRX_Vector<Offset> offsets_;
    VRX_Vector<uint8_t> visited_;
    VRX_Vector<Node> nodes_;
    uint32_t first_root_ = none;
    uint32_t last_root_ = none;
    Level top_ = other;
    // Other records among the root's are passed through.
    bool pass_through_ = false;
    bool linked_by_offsets_ = false;
};

}  // namespace vrx
