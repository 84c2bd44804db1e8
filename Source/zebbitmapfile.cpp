#include "Source/zebbitmapfile.h"

#include <limits>
#include <memory>
#include <new>

#include "Source/zeboutputfile.h"
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

bool ZEBBitmapFile::Make(const platform::Bitmap& picture, std::unique_ptr<uint8_t[]>& bytes,
                         size_t& size, ZEBVRXError& error) {
    constexpr const char* kFunction = "ZEBVRXHelper::WriteBitmapFile()";
    bytes.reset();
    size = 0;
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
    size = kFileHeaderBytes + size_t{dibBytes};
    bytes.reset(new (std::nothrow) uint8_t[size]);
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
    if (!writer || !manager.execute(status)) {
        bytes.reset();
        size = 0;
        return error.Fail(status.code, status.function, "cannot make the bitmap");
    }
    return true;
}

bool ZEBBitmapFile::Write(const platform::Bitmap& picture, ZEBOutputFile& output,
                          ZEBVRXError& error) {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    return Make(picture, bytes, size, error) && output.Open(error) &&
           output.Write(bytes.get(), size, error) && output.Commit(error);
}
