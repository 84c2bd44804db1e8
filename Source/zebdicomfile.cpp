#include "Source/zebdicomfile.h"

#include <unistd.h>

#include <cerrno>

#include "Source/zebdicomvalues.h"
#include "Source/zebstringutil.h"
#include "Source/zebvrxchain.h"
#include "dicomlib/togdicomuiddictionary.h"
#include "vrx/framework/include/vrx_statuscode.h"

namespace {

// Why a file that loaded as unsupported is refused: its transfer syntax by
// name and UID, else its photometric interpretation.
std::string UnsupportedWords(const vrx::VRX_DICOMInfo& info) {
    const std::u16string uid = TrimTrailingBlanks(AttributeText(info, 0x0002, 0x0010));
    if (!vrx::VRX_DICOMInfo::reads_transfer_syntax(uid)) {
        const TogDicomUidEntry* named = TogDicomLib::FindUidEntry(uid);
        return named ? ToUtf8(named->name) + " (" + ToUtf8(uid) + ") is not supported"
                     : "transfer syntax " + ToUtf8(uid) + " is not supported";
    }
    const std::u16string photometric = TrimTrailingBlanks(AttributeText(info, 0x0028, 0x0004));
    const int32_t samples = info.get_int(0x0028, 0x0002);
    return "unsupported image type: " +
           (photometric.empty() ? "no photometric interpretation" : ToUtf8(photometric)) + ", " +
           std::to_string(samples) + (samples == 1 ? " sample" : " samples") + " per pixel, " +
           std::to_string(info.get_int(0x0028, 0x0100)) + " bits allocated";
}

}  // namespace

bool ZEBDicomFile::Load(ZEBVRXError& error) {
    if (m_state == State::unread) {
        if (!file.get()) {
            const bool missing = ::access(path.c_str(), F_OK) != 0 && errno == ENOENT;
            m_failure.Fail(manager, missing ? "missing file" : "cannot open the file");
        } else if (!info.load(file.get())) {
            m_failure.Fail(manager, "corrupt or unreadable data set");
            if (vrx::status_category(m_failure.code) == vrx::VRX_ERROR_UNSUPPORTED)
                m_failure.message = UnsupportedWords(info);
        }
        // Memory that ran out is said so, not taken for a fault of the file.
        if (vrx::status_category(m_failure.code) == vrx::VRX_ERROR_OUT_OF_MEMORY)
            m_failure.message = "out of memory reading the data set";
        m_state = m_failure.message.empty() ? State::loaded : State::failed;
    }
    if (m_state == State::failed) error = m_failure;
    return m_state == State::loaded;
}
