#pragma once
// A tile's picture as a bitmap file (file header, info header, 24-bit
// bottom-up rows).
//
//   ZEBOutputFile output("out.bmp");
//   if (!ZEBBitmapFile::Write(tile.BackBuffer(), output, error)) ...
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/bitmap.h"

struct ZEBVRXError;
class ZEBOutputFile;

class ZEBBitmapFile {
public:
    // The bytes of the file and their count.
    static bool Make(const platform::Bitmap& picture, std::unique_ptr<uint8_t[]>& bytes,
                     size_t& size, ZEBVRXError& error);
    // Makes the bytes and writes them to the output (opened, written and
    // completed here). Nothing is left behind when it fails.
    static bool Write(const platform::Bitmap& picture, ZEBOutputFile& output, ZEBVRXError& error);
};
