#pragma once
// The decode chain: one frame of a loaded DICOM file into a frame's pixel
// memory (read, mask or sign extension, rescale, write to memory), with the
// frame's geometry, corner annotations and default window.
//
//   ZEBDicomFile d(path);
//   if (!d.Load(error) || !ZEBDecodeChain::Decode(d, 0, frame, true, error, warning)) ...
#include <cstdint>

struct ZEBDicomFile;
struct ZEBVRXError;
class FrameImageInfo;

class ZEBDecodeChain {
public:
    // Largest frame the chain keeps in memory.
    static constexpr uint64_t kMaxFrameBytes = uint64_t{1} << 30;

    // Decodes frame `frame` (from 0) into `out`: geometry, pixels, corner
    // annotations, the default window (the file's first, else the frame's
    // range; left at 0 without `findWindow`) and the frame count. False
    // with the failure in `error` (and `out` empty). Decoded data that was
    // damaged leaves its warning in `warning` (code 0 when none).
    static bool Decode(ZEBDicomFile& file, uint32_t frame, FrameImageInfo& out, bool findWindow,
                       ZEBVRXError& error, ZEBVRXError& warning);
};
