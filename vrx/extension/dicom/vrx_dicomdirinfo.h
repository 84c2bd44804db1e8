#pragma once
// A DICOMDIR file-set directory read into a tree of patient, study, series
// and image records, with flat lists that index every record of each level.
//
//   VRX_FileInputStorage* file = VRX_FileInputStorage::create(manager, path);
//   VRX_DICOMDIRInfo dir(manager);
//   if (dir.load(file)) {
//       for (const VRX_DICOMDIRPatient& p : dir.patients) ... p.studies ...
//       VRX_BasicString<char> image_path(manager);
//       dir.resolve_file_id(dir.image_list[0]->referenced_file_id, image_path);
//   }
//   file->destroy();
//
// The records are arranged by the directory's own links, else in item order
// (VRX_DICOMDIRLayout). A directory whose root records are not PATIENT
// records (STUDY records, say) has them placed under patient records made
// from the patient attributes of their first image (one per patient found
// there; an empty one when no image can be read). A PATIENT, STUDY or SERIES
// record whose Referenced File ID names a directory file (media storage
// class 1.2.840.10008.1.3.10) gets that file's records as its lower-level
// records; their File IDs, as every other, name files under the folder of
// the DICOMDIR that was loaded. A directory file that cannot be followed
// (missing, outside that folder, unreadable, not a directory file, cut
// short, nested too deep, or already being read), or one none of whose
// records fits under the record (a file of study records named by a study
// record, say, or one without records; records that fit but are not listed,
// such as presentation states under a series, are no cause), leaves the
// record without those records; a file of which only some records fit
// gives the record those. Either is noted in `unfollowed` (once per file
// a record names) and reported as a warning (0x40400000).
#include <cstdint>

#include "vrx/extension/dicom/vrx_dicomdirpatient.h"
#include "vrx/extension/dicom/vrx_dicomtagobj.h"
#include "vrx/framework/base/vrx_utility.h"

namespace vrx {

class VRX_InputStorage;

class VRX_DICOMDIRInfo : public VRX_Utility, public VRX_DICOMTagObj {
   public:
    using String = VRX_DICOMTagObj::String;

    explicit VRX_DICOMDIRInfo(VRX_Manager* manager);
    ~VRX_DICOMDIRInfo() override;

    using VRX_Utility::manager;

    // Parses the storage as a DICOM file and builds the tree and lists. A
    // null or closed storage: 0x80800000; a file that is not a DICOMDIR, or
    // whose records cannot be read: 0x80400000; memory that runs out while
    // the records are made (a field lost to it too): 0x80010000. A second
    // load adds its records to those already there (the lists are rebuilt
    // over all).
    virtual bool load(VRX_InputStorage* storage);
    // The same over a file already parsed (`file` addresses its root), read
    // from `path` (its folder holds the referenced files; null: none).
    bool load_parsed(const VRX_DICOMTagObj& file, const char* path);

    // Whether a parsed file is a directory: its media storage class is
    // 1.2.840.10008.1.3.10 or, when it names none, it holds a Directory
    // Record Sequence.
    static bool is_directory(const VRX_DICOMTagObj& file);

    // The file a referenced file ID names under `folder`. The ID is read as
    // a path, lexically (before the folder is looked at): its components
    // are split at '\\', "." and empty ones name no folder, and ".." takes
    // back the component before it. An ID whose ".." climbs above `folder`
    // is refused as one that lies outside it (`outside`, when given, is set
    // then and cleared otherwise); one that names no component, or with a
    // component holding '/' or NUL, is refused too (0x80800000 for all
    // three). Each remaining component is matched against the folder's
    // entries without regard to case (an exact match first); one that is
    // not there gives 0x80020000. `path` receives the UTF-8 path.
    static bool resolve_file_id(VRX_Manager* manager, const char* folder, const String& file_id,
                                VRX_BasicString<char>& path, bool* outside = nullptr);
    // The same under the folder of the loaded DICOMDIR (known when it was
    // loaded from a file storage).
    bool resolve_file_id(const String& file_id, VRX_BasicString<char>& path,
                         bool* outside = nullptr) const;
    // The loaded DICOMDIR's folder (empty when not loaded from a file).
    const VRX_BasicString<char>& folder() const { return folder_; }
    // Whether the records were linked by the directory's offsets from its
    // root's first record (else from the records no link leads to, or by
    // item order).
    bool linked_by_offsets() const { return linked_by_offsets_; }

    // A directory file a record names whose records are left out (all of
    // them, or those that do not fit under the record), and why.
    struct Unfollowed {
        enum Cause : uint8_t {
            missing,        // no file by its ID (or an ID that is refused)
            outside,        // its ID leads outside the DICOMDIR's folder
            unreadable,     // the file cannot be opened; `error` tells why
            not_directory,  // a file of another kind
            cut_short,      // a directory file whose records cannot be read
            too_deep,       // more than kMaxNesting directory files deep
            cycle,          // already being read: it names itself or a file that names it
            no_fitting_records,  // read, but none of its records fits under the record
            misfit_records,  // read; its records that fit are taken, the others left out
        };
        explicit Unfollowed(VRX_Manager* manager) : file_id(manager) {}
        String file_id;  // as the record gives it
        Cause cause = missing;
        int error = 0;  // unreadable: the system's error number
        uint8_t below = 0;  // the level of the record that names it (VRX_DICOMDIRLayout::Level)
    };

    // Directory files followed from records, one inside another: at most
    // this many deep (each one holds records of a lower level than the record
    // that names it, so three reach the images).
    static constexpr uint32_t kMaxNesting = 3;

    // Referenced File ID of every IMAGE record, in walk order.
    VRX_Vector<String> file_ids;
    // The record tree.
    VRX_Vector<VRX_DICOMDIRPatient> patients;
    // Every record of each level in depth-first order; they point into
    // `patients` and stay valid while the tree is not changed.
    VRX_Vector<const VRX_DICOMDIRPatient*> patient_list;
    VRX_Vector<const VRX_DICOMDIRStudy*> study_list;
    VRX_Vector<const VRX_DICOMDIRSeries*> series_list;
    VRX_Vector<const VRX_DICOMDIRImage*> image_list;
    // The directory files named by records that could not be followed, in
    // walk order (a record's own lower-level records before those of the
    // file it names).
    VRX_Vector<Unfollowed> unfollowed;

   private:
    class Builder;

    // Reads the records of the parsed file, read from `path`; reports a
    // failure.
    bool walk(const char* path);
    void set_location(const char* path);
    bool read_records();
    bool link_and_index();

    VRX_BasicString<char> folder_;
    VRX_BasicString<char> path_;
    bool linked_by_offsets_ = false;
};

}  // namespace vrx
