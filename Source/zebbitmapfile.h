#pragma once
// A tile's picture written as a bitmap file (file header, info header,
// 24-bit bottom-up rows).
//
//   if (!ZEBBitmapFile::Write(tile.BackBuffer(), "out.bmp", error)) ...
#include <string>

#include "platform/bitmap.h"

struct ZEBVRXError;

class ZEBBitmapFile {
public:
    // Writes into a new file beside `path`, renamed to `path` when
    // complete. Nothing is left behind when it fails.
    static bool Write(const platform::Bitmap& picture, const std::string& path, ZEBVRXError& error);
};
