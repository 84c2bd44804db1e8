#include "Source/zebbitmapfile.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>

#include "Source/zeboutputfile.h"
#include "Source/zebvrxchain.h"
#include "vrx/core/dib/vrx_bitmapinfoheader.h"
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

constexpr const char* kFunction = "ZEBVRXHelper::WriteBitmapFile()";
// Bytes of the file header; the info header follows it.
constexpr uint32_t kFileHeaderBytes = 14;
// About this many bytes of rows are made at a time (a band stays in the
// processor's cache between the bitmap writer and the output).
constexpr size_t kBandBytes = size_t{1} << 19;

void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// `rows` rows of the picture as the imaging library's image.
void DescribeRows(const platform::Bitmap& picture, int32_t rows, VRX_Header& header) {
    header.width = static_cast<uint32_t>(picture.width());
    header.height = static_cast<uint32_t>(rows);
    header.bits = 8;
    header.channels = 3;
    header.data_type(VRX_DataType::u_integer());
    header.color_type(VRX_ColorType::s_rgb());
}

// The picture's rows from `top` on, `rows` of them, as a bitmap of their
// own (info header, then the rows bottom-up) in `band`, through the bitmap
// writer. The rows of that bitmap are the file's rows of that band.
bool MakeBand(const platform::Bitmap& picture, int32_t top, int32_t rows,
              const vrx::VRX_WriteDIBOption& option, uint8_t* band, uint32_t bandBytes,
              ZEBVRXError& error) {
    vrx::VRX_DefaultManager manager;
    VRX_Header header(&manager);
    DescribeRows(picture, rows, header);
    vrx::VRX_ByteArrayOutputStorage* storage =
        vrx::VRX_ByteArrayOutputStorage::create(&manager, band, static_cast<int32_t>(bandBytes));
    VRX_Engine* writer = nullptr;
    if (storage) {
        const size_t bytes = picture.stride() * static_cast<size_t>(rows);
        VRX_Engine* source = vrx::VRX_ReadMemory(&manager).engine(
            &header, picture.row(top), static_cast<uint32_t>(bytes));
        writer = vrx::VRX_WriteDIB(&manager).engine(source, storage, option);
    }
    vrx::destroy(storage);
    RunChain(writer);
    vrx::VRX_Status status(&manager);
    if (!writer || !manager.execute(status))
        return error.Fail(status.code, status.function, "cannot make the bitmap");
    return true;
}

}  // namespace

bool ZEBBitmapFile::Make(const platform::Bitmap& picture, const Sink& sink, ZEBVRXError& error) {
    vrx::VRX_DefaultManager manager;
    VRX_Header header(&manager);
    DescribeRows(picture, picture.height(), header);
    const vrx::VRX_WriteDIBOption option;
    const uint32_t dibBytes = picture.empty() ? 0 : vrx::VRX_WriteDIB::total_bytes(&header, option);
    if (dibBytes == 0 || dibBytes > std::numeric_limits<int32_t>::max() - kFileHeaderBytes)
        return error.Fail(vrx::VRX_ERROR_ARGUMENT, kFunction, "no picture to write");
    const uint32_t infoBytes = vrx::VRX_WriteDIB::header_bytes(&header, option);
    const uint32_t height = header.height;
    const uint32_t stride = (dibBytes - infoBytes) / height;
    const uint32_t bandRows =
        static_cast<uint32_t>(std::clamp<size_t>(kBandBytes / stride, 1, height));
    // The band's bitmap, or the file's headers, which go first through it.
    const uint32_t bandBytes = infoBytes + std::max(bandRows * stride, kFileHeaderBytes);
    std::unique_ptr<uint8_t[]> band(new (std::nothrow) uint8_t[bandBytes]);
    if (!band) return error.Fail(vrx::VRX_ERROR_OUT_OF_MEMORY, kFunction, "out of memory for the bitmap");

    // The file header ("BM", the file size, two reserved words, the offset of
    // the rows) and the picture's info header: 24 bits, no colour table.
    uint8_t* head = band.get();
    head[0] = 'B';
    head[1] = 'M';
    PutLe32(head + 2, kFileHeaderBytes + dibBytes);
    PutLe32(head + 6, 0);
    PutLe32(head + 10, kFileHeaderBytes + infoBytes);
    vrx::VRX_ByteArrayOutputStorage* storage = vrx::VRX_ByteArrayOutputStorage::create(
        &manager, head + kFileHeaderBytes, static_cast<int32_t>(infoBytes));
    vrx::VRX_BitmapInfoHeader info(&manager, option.info_header_size, picture.width(),
                                   picture.height(), 24, option.compression,
                                   option.x_resolution, option.y_resolution, 0);
    const bool written = storage && info.write(storage);
    vrx::destroy(storage);
    vrx::VRX_Status status(&manager);
    if (!manager.execute(status) || !written)
        return error.Fail(status.code, status.function, "cannot make the bitmap");
    if (!sink(head, kFileHeaderBytes + infoBytes)) return false;

    // The rows, bottom band first as the file has them.
    for (uint32_t bottom = height; bottom > 0;) {
        const uint32_t rows = std::min(bandRows, bottom);
        bottom -= rows;
        if (!MakeBand(picture, static_cast<int32_t>(bottom), static_cast<int32_t>(rows), option,
                      band.get(), infoBytes + rows * stride, error) ||
            !sink(band.get() + infoBytes, size_t{rows} * stride))
            return false;
    }
    return true;
}

bool ZEBBitmapFile::Write(const platform::Bitmap& picture, ZEBOutputFile& output,
                          ZEBVRXError& error) {
    // The output is opened with the first bytes, once the picture is known
    // to make a bitmap.
    bool opened = false;
    const auto sink = [&](const uint8_t* bytes, size_t size) {
        if (!opened && !(opened = output.Open(error))) return false;
        return output.Write(bytes, size, error);
    };
    return Make(picture, sink, error) && output.Commit(error);
}
