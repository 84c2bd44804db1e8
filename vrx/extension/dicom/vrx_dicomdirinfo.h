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
// The records are found by the directory's own links: the first record of
// the root (0004,1200), each record's next record (0004,1400) and its first
// lower-level record (0004,1420). When those links are missing or do not
// lead to records (or lead in a circle), the records are taken in item
// order instead, each one under the last record of the level above it.
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
    // whose records cannot be read: 0x80400000. A second load adds its
    // records to those already there (the lists are rebuilt over all).
    virtual bool load(VRX_InputStorage* storage);

    // The file a referenced file ID names under `folder`. Each component is
    // matched against the folder's entries without regard to case (an exact
    // match first). An empty ID or component, "." or "..", or a component
    // holding '/' is refused (0x80800000); a component that is not there
    // gives 0x80020000. `path` receives the UTF-8 path.
    static bool resolve_file_id(VRX_Manager* manager, const char* folder, const String& file_id,
                                VRX_BasicString<char>& path);
    // The same under the folder of the loaded DICOMDIR (known when it was
    // loaded from a file storage).
    bool resolve_file_id(const String& file_id, VRX_BasicString<char>& path) const;
    // The loaded DICOMDIR's folder (empty when not loaded from a file).
    const VRX_BasicString<char>& folder() const { return folder_; }
    // Whether the records were linked by the directory's offsets (else by
    // item order).
    bool linked_by_offsets() const { return linked_by_offsets_; }

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

   private:
    class Walk;

    bool walk();
    bool link_and_index();

    VRX_BasicString<char> folder_;
    bool linked_by_offsets_ = false;
};

}  // namespace vrx
