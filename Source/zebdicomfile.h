#pragma once
// A DICOM file opened for one operation of the bridge: the file as an input
// storage and its information, under a manager of their own.
//
//   ZEBDicomFile d(path);
//   if (!d.Load(error)) return false;
//   ... d.info.frame_count() ...
#include <string>

#include "Source/zebvrxchain.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

// An input storage over a file, given back when it goes.
class ZEBFileStorage {
public:
    ZEBFileStorage(vrx::VRX_Manager& manager, const std::string& path)
        : m_file(vrx::VRX_FileInputStorage::create(&manager, path.c_str())) {}
    ~ZEBFileStorage() { vrx::destroy(m_file); }
    ZEBFileStorage(const ZEBFileStorage&) = delete;
    ZEBFileStorage& operator=(const ZEBFileStorage&) = delete;
    vrx::VRX_FileInputStorage* get() const { return m_file; }

private:
    vrx::VRX_FileInputStorage* m_file;
};

struct ZEBDicomFile {
    explicit ZEBDicomFile(const std::string& path)
        : path(path), file(manager, path), info(&manager) {}
    // Opens the file and loads its information; false with the failure in
    // `error` ("missing file", an unsupported transfer syntax by name, ...).
    // The file is read once: later calls give the first outcome.
    bool Load(ZEBVRXError& error);

    std::string path;
    vrx::VRX_DefaultManager manager;
    ZEBFileStorage file;
    vrx::VRX_DICOMInfo info;

private:
    enum class State { unread, loaded, failed } m_state = State::unread;
    ZEBVRXError m_failure;
};
