#include "vrx/extension/dicom/vrx_dicomdirinfo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>
#include <type_traits>
#include <utility>
#include <vector>

#include "dicomlib/togdicomdataelement.h"
#include "dicomlib/togstring.h"
#include "vrx/extension/dicom/vrx_dicomdirlayout.h"
#include "vrx/extension/dicom/vrx_dicominfointernal.h"
#include "vrx/framework/include/vrx_failure.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"
#include "vrx/framework/manager/vrx_status.h"

namespace vrx {

namespace {

constexpr const char* kLoad = "VRX_DICOMDIRInfo::load()";
constexpr const char* kResolve = "VRX_DICOMDIRInfo::resolve_file_id()";
constexpr const char16_t* kMediaStorageDirectory = u"1.2.840.10008.1.3.10";

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

using IdView = VRX_DICOMDIRInfo::String::view_type;

enum class Lead : uint8_t { inside, outside, refused };

// The components of the path a File ID names from the folder it starts in,
// read lexically: split at '\\', "." and empty components dropped, ".."
// taking back the one before it. outside when a ".." climbs above the
// folder (whatever the other components hold); refused when a component
// holds '/' or NUL, or none is left.
Lead file_id_path(IdView id, std::vector<IdView>& components) {
    bool malformed = false;
    for (size_t from = 0;; ++from) {
        const size_t cut = std::min(id.find(u'\\', from), id.size());
        const IdView part = id.substr(from, cut - from);
        if (part == u"..") {
            if (components.empty()) return Lead::outside;
            components.pop_back();
        } else if (!part.empty() && part != u".") {
            malformed |= part.find_first_of(u"/\0", 0, 2) != IdView::npos;
            components.push_back(part);
        }
        if ((from = cut) == id.size()) break;
    }
    return malformed || components.empty() ? Lead::refused : Lead::inside;
}

using Layout = VRX_DICOMDIRLayout;
using Unfollowed = VRX_DICOMDIRInfo::Unfollowed;

// The records of the level below a record (Root: the patients), and its
// level.
struct Root {
    VRX_Vector<VRX_DICOMDIRPatient>& patients;
};
VRX_Vector<VRX_DICOMDIRPatient>& children(Root& r) { return r.patients; }
VRX_Vector<VRX_DICOMDIRStudy>& children(VRX_DICOMDIRPatient& r) { return r.studies; }
VRX_Vector<VRX_DICOMDIRSeries>& children(VRX_DICOMDIRStudy& r) { return r.series; }
VRX_Vector<VRX_DICOMDIRImage>& children(VRX_DICOMDIRSeries& r) { return r.images; }
const VRX_Vector<VRX_DICOMDIRStudy>& children(const VRX_DICOMDIRPatient& r) { return r.studies; }
const VRX_Vector<VRX_DICOMDIRSeries>& children(const VRX_DICOMDIRStudy& r) { return r.series; }
const VRX_Vector<VRX_DICOMDIRImage>& children(const VRX_DICOMDIRSeries& r) { return r.images; }

template <class R>
using Child = std::remove_reference_t<decltype(children(std::declval<R&>())[0])>;

template <class R>
constexpr Layout::Level level_of() {
    if constexpr (std::is_same_v<R, Root>) return Layout::root;
    if constexpr (std::is_same_v<R, VRX_DICOMDIRPatient>) return Layout::patient;
    if constexpr (std::is_same_v<R, VRX_DICOMDIRStudy>) return Layout::study;
    if constexpr (std::is_same_v<R, VRX_DICOMDIRSeries>) return Layout::series;
    return Layout::image;
}

// Records that stand for the same patient, study or series.
bool same(const VRX_DICOMDIRPatient& a, const VRX_DICOMDIRPatient& b) {
    return a.patient_id == b.patient_id && a.patient_name == b.patient_name;
}
bool same(const VRX_DICOMDIRStudy& a, const VRX_DICOMDIRStudy& b) {
    return a.study_instance_uid == b.study_instance_uid;
}
bool same(const VRX_DICOMDIRSeries& a, const VRX_DICOMDIRSeries& b) {
    return a.series_instance_uid == b.series_instance_uid;
}

// Records under a record, at every level.
size_t records_under(const VRX_DICOMDIRImage&) { return 0; }
template <class R>
size_t records_under(const R& record) {
    size_t count = 0;
    for (const auto& child : children(record)) count += 1 + records_under(child);
    return count;
}

const VRX_DICOMDIRImage* first_image(const VRX_DICOMDIRImage& image) { return &image; }
template <class R>
const VRX_DICOMDIRImage* first_image(const R& record) {
    for (const auto& child : children(record))
        if (const VRX_DICOMDIRImage* image = first_image(child)) return image;
    return nullptr;
}

// A file parsed beside the directory: a directory file a record names, or
// the image whose attributes a made-up record takes.
class SideFile : public VRX_DICOMTagObj {
   public:
    using VRX_DICOMTagObj::VRX_DICOMTagObj;
    // Reads what the reader can of the file (the elements before a failure
    // of its data too); false when it cannot be opened or memory runs out.
    bool read(const char* path) {
        VRX_FileInputStorage* file = VRX_FileInputStorage::create(tag_manager(), path);
        if (!file) return false;
        const bool ok = load();
        if (ok) internal()->decode_start(file, false);
        file->destroy();
        return ok;
    }
    // True when a data set was read (one whose image attributes cannot be
    // used too: only its elements are wanted).
    bool parse(const char* path) { return read(path) && child_count() > 0; }
};

// Runs `job` on an empty record of the manager's and then puts the record
// back as it was; its result. `reported` (when given) receives the record
// the job left.
template <class Job>
bool quietly(VRX_Manager* manager, Job&& job, VRX_Status* reported = nullptr) {
    const VRX_Status before = manager->status();
    manager->reset();
    const bool ok = job();
    if (reported) *reported = manager->status();
    manager->reset();
    if (before.code != VRX_SUCCESS)
        manager->report(before.code, before.function, before.file, before.line);
    return ok;
}

// Why a regular file at `path` that the storage refused cannot be read: the
// error number of opening it, else its size (over what a storage holds).
int unreadable_error(const char* path) {
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return errno;
    ::close(descriptor);
    return EFBIG;
}

}  // namespace

// Builds the records of a directory file, and of the directory files its
// records name, from their layouts.
class VRX_DICOMDIRInfo::Builder {
   public:
    explicit Builder(VRX_DICOMDIRInfo& dir)
        : tree(dir.manager()),
          ids(dir.manager()),
          unfollowed(dir.manager()),
          dir_(dir),
          manager_(dir.manager()) {}

    // The records of `file` under `parent`.
    template <class Parent>
    bool add_file(Parent& parent, const VRX_DICOMTagObj& file, uint32_t depth,
                  bool* linked_by_offsets = nullptr) {
        Layout layout(manager_);
        if (!layout.arrange(file, level_of<Parent>())) return false;
        if (linked_by_offsets) *linked_by_offsets = layout.linked_by_offsets();
        for (uint32_t n = layout.first_root(); n != Layout::none; n = layout.node(n).next) {
            bool ok = true;
            switch (layout.level(n)) {
                case Layout::patient: ok = add<VRX_DICOMDIRPatient>(parent, layout, n, depth); break;
                case Layout::study: ok = add<VRX_DICOMDIRStudy>(parent, layout, n, depth); break;
                case Layout::series: ok = add<VRX_DICOMDIRSeries>(parent, layout, n, depth); break;
                case Layout::image: ok = add<VRX_DICOMDIRImage>(parent, layout, n, depth); break;
                default: break;
            }
            if (!ok) return false;
        }
        return true;
    }

    // Notes the file as one whose records are being read (the DICOMDIR's own
    // first, then the directory files named from it, one inside another);
    // false when it is one already, named by itself or by a file it names,
    // or cannot be found.
    bool enter(const char* path) {
        struct stat st;
        if (!path || ::stat(path, &st) != 0) return false;
        for (const auto& [device, inode] : open_)
            if (device == st.st_dev && inode == st.st_ino) return false;
        open_.push_back({st.st_dev, st.st_ino});
        return true;
    }

    Root root() { return Root{tree}; }

    VRX_Vector<VRX_DICOMDIRPatient> tree;
    VRX_Vector<String> ids;
    VRX_Vector<Unfollowed> unfollowed;

   private:
    template <class R, class Parent>
    bool add(Parent& parent, const Layout& layout, uint32_t n, uint32_t depth) {
        if constexpr (level_of<R>() <= level_of<Parent>()) {
            return true;  // left out by the layout
        } else {
            R record(manager_);
            return build(record, layout, n, depth) && put(parent, std::move(record));
        }
    }

    // Fills the record from node n with the records under it.
    template <class R>
    bool build(R& record, const Layout& layout, uint32_t n, uint32_t depth) {
        if (!record.load(layout.item(n))) return false;
        if constexpr (std::is_same_v<R, VRX_DICOMDIRImage>) {
            return ids.push_back(record.referenced_file_id);
        } else {
            for (uint32_t c = layout.node(n).child; c != Layout::none; c = layout.node(c).next) {
                Child<R> child(manager_);
                if (!build(child, layout, c, depth) || !children(record).push_back(std::move(child)))
                    return false;
            }
            return follow(record, layout.item(n), depth);
        }
    }

    // Puts the record under `parent`, below made-up records of the levels
    // between them, which take the attributes of the record's first image.
    template <class Parent, class R>
    bool put(Parent& parent, R&& record) {
        SideFile file(manager_);
        const SideFile* image = nullptr;
        if constexpr (!std::is_same_v<Child<Parent>, R>) {
            const VRX_DICOMDIRImage* first = first_image(record);
            if (first && open(first->referenced_file_id, file)) image = &file;
        }
        return place(parent, std::move(record), image);
    }

    template <class Parent, class R>
    bool place(Parent& parent, R&& record, const SideFile* image) {
        if constexpr (std::is_same_v<Child<Parent>, R>) {
            return children(parent).push_back(std::move(record));
        } else {
            Child<Parent>* holder = holder_for(parent, image);
            return holder && place(*holder, std::move(record), image);
        }
    }

    // The record of the level below `parent` that stands for the patient,
    // study or series of the image: one already there, else a new one made
    // from the image's attributes (empty without an image).
    template <class Parent>
    Child<Parent>* holder_for(Parent& parent, const SideFile* image) {
        Child<Parent> made(manager_);
        if (image && !made.load(*image)) made = Child<Parent>(manager_);
        auto& siblings = children(parent);
        for (auto& sibling : siblings)
            if (same(sibling, made)) return &sibling;
        return siblings.push_back(std::move(made)) ? &siblings.back() : nullptr;
    }

    // The records of the directory file the record's File ID names, if it
    // names one. One that cannot be followed is noted and reported as a
    // warning; the record keeps the records it has.
    template <class R>
    bool follow(R& record, const VRX_DICOMTagObj& item, uint32_t depth) {
        String id(manager_);
        if (!VRX_DICOMDIRImage::read_file_id(item, id) || id.empty()) return true;
        Unfollowed note(manager_);
        SideFile file(manager_);
        switch (open_directory(id, file, note)) {
            case Opened::failed: return false;
            case Opened::no: break;
            case Opened::yes:
                if (depth >= kMaxNesting) {
                    note.cause = Unfollowed::too_deep;
                } else if (!enter(resolved_.c_str())) {
                    note.cause = Unfollowed::cycle;
                } else {
                    const size_t before = records_under(record);
                    const bool ok = add_file(record, file, depth + 1);
                    open_.pop_back();
                    // Records that fit but are not listed (presentation
                    // states, reports...) are no cause; records that do not
                    // fit are one, also beside others that do.
                    if (!ok || Layout::fits_below(file, level_of<R>())) return ok;
                    note.cause = records_under(record) != before ? Unfollowed::misfit_records
                                                                 : Unfollowed::no_fitting_records;
                }
                break;
        }
        note.file_id = std::move(id);
        note.below = level_of<R>();
        manager_->report(VRX_WARNING_DATA, kLoad, __FILE__, __LINE__);
        return unfollowed.push_back(std::move(note));
    }

    enum class Opened { yes, no, failed };

    // Reads the directory file an ID names under the DICOMDIR's folder (its
    // path in resolved_): yes; no, with the cause in `note`, when it cannot
    // be had; failed when memory runs out.
    Opened open_directory(const String& id, SideFile& file, Unfollowed& note) {
        auto cannot = [&](Unfollowed::Cause cause, int error = 0) {
            note.cause = cause;
            note.error = error;
            return Opened::no;
        };
        // Memory that runs out on the way is no cause of the file's.
        VRX_Status reported(manager_);
        bool outside = false;
        const bool found = quietly(
            manager_, [&] { return dir_.resolve_file_id(id, resolved_, &outside); }, &reported);
        if (out_of_memory(reported)) return Opened::failed;
        if (!found) return cannot(outside ? Unfollowed::outside : Unfollowed::missing);
        struct stat st;
        if (::stat(resolved_.c_str(), &st) != 0) return cannot(Unfollowed::unreadable, errno);
        if (S_ISDIR(st.st_mode)) return cannot(Unfollowed::unreadable, EISDIR);
        // A device, FIFO or socket is not opened.
        if (!S_ISREG(st.st_mode)) return cannot(Unfollowed::not_directory);
        const bool read = quietly(manager_, [&] { return file.read(resolved_.c_str()); }, &reported);
        if (out_of_memory(reported)) return Opened::failed;
        if (!read) return cannot(Unfollowed::unreadable, unreadable_error(resolved_.c_str()));
        if (!is_directory(file)) return cannot(Unfollowed::not_directory);
        // The reader keeps a sequence only when it read all of it: a
        // directory file without its records is one cut short (or damaged,
        // a length in it running past its end).
        if (!file.exists(0x0004, 0x1220)) return cannot(Unfollowed::cut_short);
        return Opened::yes;
    }

    // Whether what `quietly` took back is memory running out; if so, it is
    // reported again.
    bool out_of_memory(const VRX_Status& reported) {
        if (reported.category() != VRX_ERROR_OUT_OF_MEMORY) return false;
        manager_->report(reported.code, reported.function, reported.file, reported.line);
        return true;
    }

    // Parses the file an ID names under the DICOMDIR's folder; its path in
    // resolved_. Memory running out is reported (the walk then fails).
    bool open(const String& id, SideFile& file) {
        VRX_Status reported(manager_);
        const bool ok = quietly(
            manager_,
            [&] { return dir_.resolve_file_id(id, resolved_) && file.parse(resolved_.c_str()); },
            &reported);
        return !out_of_memory(reported) && ok;
    }

    VRX_DICOMDIRInfo& dir_;
    VRX_Manager* manager_;
    VRX_BasicString<char> resolved_{manager_};
    std::vector<std::pair<dev_t, ino_t>> open_;
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
      unfollowed(manager),
      folder_(manager),
      path_(manager) {}

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
    auto* file = dynamic_cast<VRX_FileInputStorage*>(storage);
    return walk(file ? file->name().c_str() : nullptr);
}

bool VRX_DICOMDIRInfo::load_parsed(const VRX_DICOMTagObj& file, const char* path) {
    VRX_DICOMTagObj::operator=(file);
    return walk(path);
}

bool VRX_DICOMDIRInfo::is_directory(const VRX_DICOMTagObj& file) {
    const String media_class = file.get_string(0x0002, 0x0002);
    return media_class.empty() ? file.exists(0x0004, 0x1220)
                               : media_class == kMediaStorageDirectory;
}

void VRX_DICOMDIRInfo::set_location(const char* path) {
    folder_.clear();
    path_.clear();
    if (!path) return;
    path_.assign(path);
    const size_t slash = path_.view().rfind('/');
    folder_.assign(slash == std::string_view::npos ? std::string_view(".")
                                                   : path_.view().substr(0, slash + 1));
}

bool VRX_DICOMDIRInfo::walk(const char* path) {
    set_location(path);
    if (read_records()) return true;
    // A failure already reported (memory that ran out) is the one to tell;
    // else the records could not be read.
    if (!manager_->status().is_error()) manager_->report(VRX_ERROR_DATA, kLoad, __FILE__, 303);
    return false;
}

bool VRX_DICOMDIRInfo::read_records() {
    TogDicomDataElement* root = internal() ? internal()->root() : nullptr;
    if (!root) return false;
    set_current_element(root);
    if (!is_directory(*this) || !exists(0x0004, 0x1220)) return false;
    const bool failed_before = manager_->status().is_error();
    try {
        Builder builder(*this);
        builder.enter(path_.c_str());
        Root top = builder.root();
        if (!builder.add_file(top, *this, 0, &linked_by_offsets_)) return false;
        // Memory that ran out on the way may have cost a record's field (its
        // File ID too) without stopping the walk: the records are not whole.
        if (!failed_before && manager_->status().category() == VRX_ERROR_OUT_OF_MEMORY)
            return false;
        for (VRX_DICOMDIRPatient& patient : builder.tree)
            if (!patients.push_back(std::move(patient))) return false;
        for (String& id : builder.ids)
            if (!file_ids.push_back(std::move(id))) return false;
        for (Unfollowed& note : builder.unfollowed)
            if (!unfollowed.push_back(std::move(note))) return false;
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

bool VRX_DICOMDIRInfo::resolve_file_id(const String& file_id, VRX_BasicString<char>& path,
                                       bool* outside) const {
    return resolve_file_id(manager_, folder_.c_str(), file_id, path, outside);
}

bool VRX_DICOMDIRInfo::resolve_file_id(VRX_Manager* manager, const char* folder,
                                       const String& file_id, VRX_BasicString<char>& path,
                                       bool* outside) {
    namespace fs = std::filesystem;
    try {
        // The path is known before the folder is looked at.
        std::vector<IdView> components;
        const Lead lead = file_id_path(file_id.view(), components);
        if (outside) *outside = lead == Lead::outside;
        if (lead != Lead::inside || !folder || !*folder) {
            detail::report(manager, VRX_ERROR_ARGUMENT, kResolve, __FILE__, __LINE__);
            return false;
        }
        fs::path current(folder);
        for (const IdView part : components) {
            const std::string component =
                TogString(part.data(), static_cast<int>(part.size())).ToUtf8();
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
