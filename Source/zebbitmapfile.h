#pragma once
// A tile's picture as a bitmap file (file header, info header, 24-bit
// bottom-up rows), made from the picture's rows band by band and handed on
// as it is made: no copy of the whole picture is held.
//
//   ZEBOutputFile output("out.bmp");
//   if (!ZEBBitmapFile::Write(tile.BackBuffer(), output, error)) ...
#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/bitmap.h"

struct ZEBVRXError;
class ZEBOutputFile;

class ZEBBitmapFile {
public:
    // Takes the next bytes of the file; false stops the making.
    using Sink = std::function<bool(const uint8_t* bytes, size_t size)>;

    // Makes the file's bytes in their order and gives them to the sink in
    // pieces of at most a band; false (with the reason in `error`, unless
    // the sink refused) when the picture is empty or too large, or the
    // bitmap writer fails.
    static bool Make(const platform::Bitmap& picture, const Sink& sink, ZEBVRXError& error);
    // Makes the bytes into the output (opened, written and completed here).
    // A refused picture opens nothing. After a failure while writing, a new
    // file the output was making is removed with the output (ZEBOutputFile);
    // standard output, a device or a FIFO keeps what it was given.
    static bool Write(const platform::Bitmap& picture, ZEBOutputFile& output, ZEBVRXError& error);
};
