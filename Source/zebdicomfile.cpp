#include "Source/zebdicomfile.h"

#include "Source/zebvrxchain.h"

bool ZEBDicomFile::Load(ZEBVRXError& error) {
    if (!file.get()) return error.Fail(manager, "cannot open the file");
    if (!info.load(file.get()))
        return error.Fail(manager, "corrupt or unreadable data set",
                          "unsupported transfer syntax or image type");
    return true;
}
