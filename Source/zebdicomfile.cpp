#include "Source/zebdicomfile.h"

bool ZEBDicomFile::Load(ZEBVRXError& error) {
    if (m_state == State::unread) {
        if (!file.get())
            m_failure.Fail(manager, "cannot open the file");
        else if (!info.load(file.get()))
            m_failure.Fail(manager, "corrupt or unreadable data set",
                           "unsupported transfer syntax or image type");
        m_state = m_failure.message.empty() ? State::loaded : State::failed;
    }
    if (m_state == State::failed) error = m_failure;
    return m_state == State::loaded;
}
