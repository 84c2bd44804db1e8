#pragma once
// Where a program's output goes, and how it gets there without harming what
// the path names:
// - "-": standard output, written as the bytes come;
// - a regular file, or a name not taken yet: a new file in the same folder,
//   renamed over the path once complete (after a failure the path is as it
//   was and nothing is left beside it); where the folder takes no new file,
//   an existing file is truncated and written in place (the caller has the
//   whole output in memory first, so only a write error can cut it short);
// - a symbolic link: followed to the file it finally names, which is then
//   written as above, in that file's folder (the links stay);
// - a device, FIFO or socket: written in place as the bytes come.
// A folder, a path that cannot be looked at, or an existing file the caller
// may not write (its permissions, a read-only file system) is refused.
//
//   ZEBOutputFile output("out.bmp");
//   if (!output.Inspect(error)) ...            // what the path names
//   if (output.IsFile(inputDevice, inputInode)) ... // the input itself
//   if (!output.Open(error) || !output.Write(bytes, size, error) || !output.Commit(error)) ...
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

struct ZEBVRXError;

class ZEBOutputFile {
public:
    enum class Kind {
        kStandardOutput,  // "-"
        kReplaced,        // a regular file or a new name: written beside, then renamed
        kInPlace,         // a device, FIFO or socket: written as it is
    };

    explicit ZEBOutputFile(std::string path);
    // An unfinished new file is removed.
    ~ZEBOutputFile();
    ZEBOutputFile(const ZEBOutputFile&) = delete;
    ZEBOutputFile& operator=(const ZEBOutputFile&) = delete;

    // Finds what the path names (symbolic links followed); false with the
    // reason in `error` for a folder, a loop of links, a path that cannot
    // be looked at or a file the caller may not write.
    bool Inspect(ZEBVRXError& error);
    Kind GetKind() const { return m_kind; }
    // The file written: the path, or the file its links finally name.
    const std::string& Target() const { return m_target; }
    // True when the target exists and is the file of that device and inode.
    bool IsFile(dev_t device, ino_t inode) const;

    // Opens the output (Inspect first when it was not called); Write adds
    // bytes; Commit completes it (the new file takes the target's name).
    bool Open(ZEBVRXError& error);
    bool Write(const void* bytes, size_t size, ZEBVRXError& error);
    bool Commit(ZEBVRXError& error);

private:
    bool Fail(ZEBVRXError& error, const std::string& what, int cause);
    void Discard();

    std::string m_path;
    std::string m_target;
    std::string m_temporary;  // the new file being written, for kReplaced
    Kind m_kind = Kind::kReplaced;
    bool m_inspected = false;
    bool m_exists = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    mode_t m_mode = 0;
    bool m_socket = false;
    int m_fd = -1;
    bool m_truncated = false;  // an existing file opened to be written in place
    uint64_t m_written = 0;    // bytes written since it was opened
};
