#include "vrx/extension/dicom/vrx_dicomdirinfo.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "dicomlib/togdicomdataelement.h"
#include "dicomlib/togstring.h"
#include "vrx/extension/dicom/vrx_dicominfointernal.h"
#include "vrx/framework/include/vrx_failure.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kLoad = "VRX_DICOMDIRInfo::load()";
constexpr const char* kResolve = "VRX_DICOMDIRInfo::resolve_file_id()";
constexpr const char16_t* kMediaStorageDirectory = u"1.2.840.10008.1.3.10";

enum class RecordType { patient, study, series, image, other };

RecordType record_type(const VRX_DICOMTagObj& item) {
    const VRX_DICOMTagObj::String type = item.get_string(0x0004, 0x1430);
    if (type == u"PATIENT") return RecordType::patient;
    if (type == u"STUDY") return RecordType::study;
    if (type == u"SERIES") return RecordType::series;
    if (type == u"IMAGE") return RecordType::image;
    return RecordType::other;
}

// An offset attribute of a record; 0 (no record) when absent.
uint32_t link(const VRX_DICOMTagObj& item, uint16_t element) {
    uint32_t offset = 0;
    return item.read_integer(0x0004, element, offset) ? offset : 0;
}

bool equal_ignoring_case(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

// One walk over the directory records: the items with their types and file
// offsets, and the tree and file IDs built from them.
class VRX_DICOMDIRInfo::Walk {
   public:
    enum class Result { done, unusable, failed };

    explicit Walk(VRX_DICOMDIRInfo& dir)
        : dir_(dir),
          manager_(dir.manager()),
          items_(manager_),
          types_(manager_),
          offsets_(manager_),
          visited_(manager_),
          tree(manager_),
          ids(manager_) {}

    // Takes every item of the record sequence; false when one cannot be had.
    bool collect() {
        const uint32_t count = dir_.item_count(0x0004, 0x1220);
        if (!items_.reserve(count) || !types_.reserve(count) || !offsets_.reserve(count))
            return false;
        for (uint32_t i = 0; i < count; ++i) {
            VRX_DICOMTagObj item(manager_);
            if (!dir_.get_item(0x0004, 0x1220, i, item)) return false;
            const int64_t offset = item.current_element()->GetItemOffset();
            if (!types_.push_back(record_type(item)) || !items_.push_back(item) ||
                !offsets_.push_back({offset, i}))
                return false;
        }
        std::sort(offsets_.begin(), offsets_.end());
        return true;
    }

    // Follows the directory's links from the root's first record.
    Result by_offsets() {
        if (items_.empty()) return Result::done;
        const uint32_t first = link(dir_, 0x1200);
        if (first == 0 || !visited_.assign(items_.size(), 0)) return Result::unusable;
        return chain(first, RecordType::patient, [&](size_t i) {
            return add<VRX_DICOMDIRPatient>(i, tree, RecordType::study,
                                            [&](size_t j, VRX_DICOMDIRPatient& patient) {
                                                return add_study(j, patient.studies);
                                            });
        });
    }

    // Takes the records in item order, each under the last record of the
    // level above it.
    bool by_order() {
        tree.clear();
        ids.clear();
        bool have_patient = false;
        bool have_study = false;
        bool have_series = false;
        for (size_t i = 0; i < items_.size(); ++i) {
            switch (types_[i]) {
                case RecordType::patient: {
                    VRX_DICOMDIRPatient patient(manager_);
                    if (!patient.load(items_[i]) || !tree.push_back(std::move(patient)))
                        return false;
                    have_patient = true;
                    have_study = have_series = false;
                    break;
                }
                case RecordType::study: {
                    if (!have_patient) break;
                    VRX_DICOMDIRStudy study(manager_);
                    if (!study.load(items_[i]) || !tree.back().studies.push_back(std::move(study)))
                        return false;
                    have_study = true;
                    have_series = false;
                    break;
                }
                case RecordType::series: {
                    if (!have_study) break;
                    VRX_DICOMDIRSeries series(manager_);
                    if (!series.load(items_[i]) ||
                        !tree.back().studies.back().series.push_back(std::move(series)))
                        return false;
                    have_series = true;
                    break;
                }
                case RecordType::image:
                    if (have_series &&
                        add_image(i, tree.back().studies.back().series.back().images) !=
                            Result::done)
                        return false;
                    break;
                case RecordType::other:
                    break;
            }
        }
        return true;
    }

   private:
    struct Offset {
        int64_t offset;
        size_t index;
        bool operator<(const Offset& other) const { return offset < other.offset; }
    };

    // The item whose tag lies at `offset`, or items_.size().
    size_t find(uint32_t offset) const {
        const Offset key{offset, 0};
        const auto it = std::lower_bound(offsets_.begin(), offsets_.end(), key);
        return it != offsets_.end() && it->offset == offset ? it->index : items_.size();
    }

    // Visits the records of one level from `offset` along their next-record
    // links; records of another type are passed over. A link that leads to
    // no record, or to one already visited, makes the links unusable, and so
    // does a study, series or image record where the root's records belong.
    template <class Visit>
    Result chain(uint32_t offset, RecordType type, Visit&& visit) {
        while (offset != 0) {
            const size_t i = find(offset);
            if (i == items_.size() || visited_[i] ||
                (type == RecordType::patient && types_[i] != type &&
                 types_[i] != RecordType::other))
                return Result::unusable;
            visited_[i] = 1;
            if (types_[i] == type) {
                const Result r = visit(i);
                if (r != Result::done) return r;
            }
            offset = link(items_[i], 0x1400);
        }
        return Result::done;
    }

    // Adds record i of type R to `to`, with the records its lower-level link
    // leads to (of type `child`) added by `add_child`.
    template <class R, class AddChild>
    Result add(size_t i, VRX_Vector<R>& to, RecordType child, AddChild&& add_child) {
        R record(manager_);
        if (!record.load(items_[i])) return Result::failed;
        const Result r =
            chain(link(items_[i], 0x1420), child, [&](size_t j) { return add_child(j, record); });
        if (r != Result::done) return r;
        return to.push_back(std::move(record)) ? Result::done : Result::failed;
    }

    Result add_study(size_t i, VRX_Vector<VRX_DICOMDIRStudy>& studies) {
        return add(i, studies, RecordType::series, [&](size_t j, VRX_DICOMDIRStudy& study) {
            return add(
                j, study.series, RecordType::image,
                [&](size_t k, VRX_DICOMDIRSeries& series) { return add_image(k, series.images); });
        });
    }

    Result add_image(size_t i, VRX_Vector<VRX_DICOMDIRImage>& images) {
        VRX_DICOMDIRImage image(manager_);
        if (!image.load(items_[i]) || !ids.push_back(image.referenced_file_id) ||
            !images.push_back(std::move(image)))
            return Result::failed;
        return Result::done;
    }

    VRX_DICOMDIRInfo& dir_;
    VRX_Manager* manager_;
    VRX_Vector<VRX_DICOMTagObj> items_;
    VRX_Vector<RecordType> types_;
    VRX_Vector<Offset> offsets_;
    VRX_Vector<uint8_t> visited_;

   public:
    VRX_Vector<VRX_DICOMDIRPatient> tree;
    VRX_Vector<String> ids;
};

VRX_DICOMDIRInfo::VRX_DICOMDIRInfo(VRX_Manager* manager)
    : VRX_Utility(manager),
      VRX_DICOMTagObj(manager),
      file_ids(manager),
      patients(manager),
      patient_list(manager),
      study_list(manager),
      series_list(manager),
      image_list(manager),
      folder_(manager) {}

VRX_DICOMDIRInfo::~VRX_DICOMDIRInfo() = default;

bool VRX_DICOMDIRInfo::load(VRX_InputStorage* storage) {
    if (!storage || storage->is_closed()) {
        manager_->report(VRX_ERROR_ARGUMENT, kLoad, __FILE__, 275);
        return false;
    }
    const int32_t position = storage->position();
    if (!VRX_DICOMTagObj::load()) return false;
    if (!internal()->decode_start(storage, false)) {
        storage->seek_from_begin(position);
        return false;
    }
    folder_.clear();
    if (auto* file = dynamic_cast<VRX_FileInputStorage*>(storage)) {
        const VRX_BasicString<char> name = file->name();
        const size_t slash = name.view().rfind('/');
        folder_.assign(slash == std::string_view::npos ? std::string_view(".")
                                                       : name.view().substr(0, slash + 1));
    }
    if (!walk()) {
        manager_->report(VRX_ERROR_DATA, kLoad, __FILE__, 303);
        return false;
    }
    return true;
}

bool VRX_DICOMDIRInfo::walk() {
    TogDicomDataElement* root = internal() ? internal()->root() : nullptr;
    if (!root) return false;
    set_current_element(root);
    if (!(get_string(0x0002, 0x0002) == kMediaStorageDirectory) || !exists(0x0004, 0x1220))
        return false;
    try {
        Walk walk(*this);
        if (!walk.collect()) return false;
        const Walk::Result linked = walk.by_offsets();
        if (linked == Walk::Result::failed) return false;
        linked_by_offsets_ = linked == Walk::Result::done;
        if (!linked_by_offsets_ && !walk.by_order()) return false;
        for (VRX_DICOMDIRPatient& patient : walk.tree)
            if (!patients.push_back(std::move(patient))) return false;
        for (String& id : walk.ids)
            if (!file_ids.push_back(std::move(id))) return false;
    } catch (...) {
        detail::report_caught(manager_, kLoad, __FILE__, 300);
        return false;
    }
    return link_and_index();
}

bool VRX_DICOMDIRInfo::link_and_index() {
    patient_list.clear();
    study_list.clear();
    series_list.clear();
    image_list.clear();
    for (VRX_DICOMDIRPatient& patient : patients) {
        for (VRX_DICOMDIRStudy& study : patient.studies) {
            study.patient = &patient;
            for (VRX_DICOMDIRSeries& series : study.series) {
                series.patient = &patient;
                series.study = &study;
                for (VRX_DICOMDIRImage& image : series.images) {
                    image.patient = &patient;
                    image.study = &study;
                    image.series = &series;
                    if (!image_list.push_back(&image)) return false;
                }
                if (!series_list.push_back(&series)) return false;
            }
            if (!study_list.push_back(&study)) return false;
        }
        if (!patient_list.push_back(&patient)) return false;
    }
    return true;
}

bool VRX_DICOMDIRInfo::resolve_file_id(const String& file_id, VRX_BasicString<char>& path) const {
    return resolve_file_id(manager_, folder_.c_str(), file_id, path);
}

bool VRX_DICOMDIRInfo::resolve_file_id(VRX_Manager* manager, const char* folder,
                                       const String& file_id, VRX_BasicString<char>& path) {
    namespace fs = std::filesystem;
    if (!folder || !*folder || file_id.empty()) {
        detail::report(manager, VRX_ERROR_ARGUMENT, kResolve, __FILE__, __LINE__);
        return false;
    }
    try {
        // Every component is checked before the folder is looked at.
        std::vector<std::string> components;
        const String::view_type id = file_id.view();
        size_t from = 0;
        for (;;) {
            const size_t cut = id.find(u'\\', from);
            const String::view_type part = id.substr(
                from, cut == String::view_type::npos ? String::view_type::npos : cut - from);
            if (part.empty() || part == u"." || part == u".." ||
                part.find_first_of(u"/\0", 0, 2) != String::view_type::npos) {
                detail::report(manager, VRX_ERROR_ARGUMENT, kResolve, __FILE__, __LINE__);
                return false;
            }
            components.push_back(TogString(part.data(), static_cast<int>(part.size())).ToUtf8());
            if (cut == String::view_type::npos) break;
            from = cut + 1;
        }
        fs::path current(folder);
        for (const std::string& component : components) {
            std::error_code error;
            fs::path exact = current / component;
            if (fs::exists(exact, error)) {
                current = std::move(exact);
                continue;
            }
            bool found = false;
            for (fs::directory_iterator it(current, error), end; !error && it != end;
                 it.increment(error)) {
                if (equal_ignoring_case(it->path().filename().string(), component)) {
                    current = it->path();
                    found = true;
                    break;
                }
            }
            if (!found) {
                detail::report(manager, VRX_ERROR_IO, kResolve, __FILE__, __LINE__);
                return false;
            }
        }
        return path.assign(current.string().c_str());
    } catch (...) {
        detail::report_caught(manager, kResolve, __FILE__, __LINE__);
        return false;
    }
}

}  // namespace vrx
