#pragma once
// The viewer's bridge to the imaging library. It reads a DICOMDIR into the
// list of its images, decodes one frame of a DICOM file into a frame (the
// decode chain: read, mask or sign extension, rescale, write to memory),
// renders a frame's memory under a window into a device-independent bitmap
// (the render chain: read memory, crop, scale, colour, 8 bits, bitmap) and
// writes a tile's picture as a bitmap file.
//
//   ZEBVRXHelper helper;
//   FrameImageInfo frame;
//   if (!helper.DecodeFrame("/media/IMG00001", 0, frame))
//       report(helper.LastError().Describe());
//   tile.SetImagePainter(helper.Painter());   // the tile shows the frame
//   tile.Paint();
//   helper.WriteBitmapFile(tile.BackBuffer(), "out.bmp");
//
// Every operation runs its chain under a manager of its own and keeps the
// first error of the last operation that failed. One helper may be shared
// by threads: its operations run one at a time.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Source/zebdicomdirreader.h"
#include "Source/zebimageviewctrl.h"
#include "Source/zebrenderchain.h"
#include "Source/zebvrxchain.h"

class FrameImageInfo;
class ZEBImageMemory;
class ZEBOutputFile;
struct ZEBDicomFile;

class ZEBVRXHelper {
public:
    ZEBVRXHelper() = default;
    ZEBVRXHelper(const ZEBVRXHelper&) = delete;
    ZEBVRXHelper& operator=(const ZEBVRXHelper&) = delete;

    // True when the file holds "DICM" at offset 128.
    static bool IsDicomFile(const std::string& path);

    // Reads a DICOM file once and tells what it is. A DICOMDIR (by its media
    // storage class, else its directory records) gives its images in
    // `images`, the directory files its records name that could not be
    // followed in `unfollowed` (ZEBDicomDirReader) and `isDirectory` true;
    // any other file stays in `file`, loaded, for DecodeFrame. False after a
    // failure: of a DICOMDIR's records, or of loading another file (which
    // DecodeFrame of `file` then reports again).
    bool ReadDicomFile(const std::string& path, std::unique_ptr<ZEBDicomFile>& file,
                       std::vector<ZEBDirectoryImage>& images,
                       std::vector<ZEBUnfollowedFile>& unfollowed, bool& isDirectory);

    // Decodes frame `frame` (from 0) of the DICOM file into `out`: geometry,
    // pixels, corner annotations, the default window (the file's first,
    // else the frame's range; left at 0 without `findWindow`) and the frame
    // count. False (and `out` empty) after a failure. A frame decoded from
    // damaged data leaves a warning (LastWarning).
    bool DecodeFrame(const std::string& path, uint32_t frame, FrameImageInfo& out,
                     bool findWindow = true);
    // The same for a file ReadDicomFile kept.
    bool DecodeFrame(ZEBDicomFile& file, uint32_t frame, FrameImageInfo& out,
                     bool findWindow = true);
    // Only the geometry and the image number of the file's image (for
    // reference lines); false when the file cannot be read.
    bool ReadGeometry(const std::string& path, FrameImageInfo& out);

    // Renders the request's part of the memory into a packed bitmap (info
    // header, grey colour table for grey images, bottom-up rows): grey
    // images through DICOM's linear VOI function with the request's window,
    // or through its VOI LUT (MONOCHROME1 inverted), colour images in RGB
    // over their sample range.
    bool RenderFrame(const ZEBImageMemory& memory, const ZEBRenderRequest& request,
                     ZEBDIBBytes& dib);
    // Renders the part of the frame the view shows in the device context's
    // clip rectangle, with the frame's window, and draws it there; `painted`
    // (when given) is the rectangle drawn, empty when nothing was.
    bool PaintFrame(platform::DeviceContext& dc, const FrameImageInfo& frame,
                    const ZEBViewTransform& view, platform::Rect* painted = nullptr);
    // A tile painter that paints through this helper (which must outlive it).
    ZEBImageViewCtrl::ImagePainter Painter();
    // True when the last PaintFrame could not show its frame (LastError
    // says why).
    bool PaintFailed() const { return m_paintFailed; }

    // Writes the picture as a bitmap file (file header, info header, 24-bit
    // rows) to the output: a regular file is replaced whole by a new file
    // renamed over it, a device or FIFO written in place (ZEBOutputFile).
    // Nothing is left behind when it fails.
    bool WriteBitmapFile(const platform::Bitmap& picture, ZEBOutputFile& output);
    bool WriteBitmapFile(const platform::Bitmap& picture, const std::string& path);

    const ZEBVRXError& LastError() const { return m_error; }
    // The warning of the last DecodeFrame (code 0 when none): the imaging
    // library's first warning and the damage in words.
    const ZEBVRXError& LastWarning() const { return m_warning; }

    // The gain and offset that map samples (modality value = sample x slope
    // + intercept) to 8 bits through DICOM's linear VOI function, inverted
    // for MONOCHROME1; a width below 1 counts as 1.
    static void WindowGainOffset(double center, double width, double slope, double intercept,
                                 bool invert, double& gain, double& offset) {
        ZEBRenderChain::WindowGainOffset(center, width, slope, intercept, invert, gain, offset);
    }
    static bool DrawDIB(platform::DeviceContext& dc, const ZEBDIBBytes& dib, int32_t x,
                        int32_t y) {
        return ZEBRenderChain::DrawDIB(dc, dib, x, y);
    }

private:
    bool Decode(ZEBDicomFile& file, uint32_t frame, FrameImageInfo& out, bool findWindow);

    std::mutex m_mutex;
    ZEBVRXError m_error;
    ZEBVRXError m_warning;
    std::atomic<bool> m_paintFailed = false;
};
