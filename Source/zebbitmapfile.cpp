#include "Source/zebbitmapfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "Source/zebvrxchain.h"
#include "vrx/core/dib/vrx_writedib.h"
#include "vrx/core/dib/vrx_writediboption.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/include/vrx_statuscode.h"
#include "vrx/framework/io/vrx_bytearrayoutputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"
#include "vrx/framework/manager/vrx_status.h"

using vrx::VRX_ColorType;
using vrx::VRX_DataType;
using vrx::VRX_Engine;
using vrx::VRX_Header;

namespace {

// Offset of the pixel rows of a bitmap file: file header and info header.
constexpr uint32_t kFileHeaderBytes = 14;

void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

bool ZEBBitmapFile::Write(const platform::Bitmap& picture, const std::string& path,
                          ZEBVRXError& error) {
    constexpr const char* kFunction = "ZEBVRXHelper::WriteBitmapFile()";
    vrx::VRX_DefaultManager manager;
    VRX_Header header(&manager);
    header.width = static_cast<uint32_t>(picture.width());
    header.height = static_cast<uint32_t>(picture.height());
    header.bits = 8;
    header.channels = 3;
    header.data_type(VRX_DataType::u_integer());
    header.color_type(VRX_ColorType::s_rgb());
    const vrx::VRX_WriteDIBOption option;
    const uint32_t dibBytes = picture.empty() ? 0 : vrx::VRX_WriteDIB::total_bytes(&header, option);
    if (dibBytes == 0 || dibBytes > std::numeric_limits<int32_t>::max() - kFileHeaderBytes)
        return error.Fail(vrx::VRX_ERROR_ARGUMENT, kFunction, "no picture to write");
    // The bitmap writer fills every byte after the file header.
    const size_t size = kFileHeaderBytes + size_t{dibBytes};
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size]);
    if (!bytes) return error.Fail(vrx::VRX_ERROR_OUT_OF_MEMORY, kFunction, "not enough memory for the bitmap");
    // The file header: "BM", the file size, two reserved words, the offset
    // of the rows.
    uint8_t fileHeader[kFileHeaderBytes] = {'B', 'M'};
    PutLe32(fileHeader + 2, static_cast<uint32_t>(size));
    PutLe32(fileHeader + 10, kFileHeaderBytes + vrx::VRX_WriteDIB::header_bytes(&header, option));
    vrx::VRX_ByteArrayOutputStorage* storage = vrx::VRX_ByteArrayOutputStorage::create(
        &manager, bytes.get(), static_cast<int32_t>(size));
    VRX_Engine* writer = nullptr;
    if (storage && storage->write(fileHeader, kFileHeaderBytes) == int32_t(kFileHeaderBytes)) {
        VRX_Engine* source = vrx::VRX_ReadMemory(&manager).engine(
            &header, picture.bytes().data(), static_cast<uint32_t>(picture.bytes().size()));
        writer = vrx::VRX_WriteDIB(&manager).engine(source, storage, option);
    }
    vrx::destroy(storage);
    RunChain(writer);
    vrx::VRX_Status status(&manager);
    if (!writer || !manager.execute(status))
        return error.Fail(status.code, status.function, "cannot make the bitmap");

    // A new file beside the output, renamed over it once complete.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return error.Fail(0, "", std::string("cannot create the output: ") + std::strerror(errno));
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes.get() + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    const int writeError = done == size ? 0 : (errno ? errno : EIO);
    const bool closed = ::close(fd) == 0;
    if (writeError || !closed) {
        const int cause = writeError ? writeError : errno;
        ::unlink(temporary.c_str());
        return error.Fail(0, "", std::string("cannot write the output: ") + std::strerror(cause));
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int cause = errno;
        ::unlink(temporary.c_str());
        return error.Fail(0, "", std::string("cannot write the output: ") + std::strerror(cause));
    }
    return true;
}
