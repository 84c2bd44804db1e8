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
#include <mutex>
#include <string>
#include <vector>

#include "Source/zebimageviewctrl.h"

namespace vrx {
class VRX_Engine;
class VRX_Manager;
}  // namespace vrx
class FrameImageInfo;
class ZEBImageMemory;
struct ZEBDicomFile;

// What the last failed operation reports.
struct ZEBVRXError {
    uint32_t code = 0;      // the imaging library's status word; 0 when none
    std::string function;   // the failing function's text; empty when none
    std::string message;    // the failure in words
    // "message (status 0x81000000, VRX_ReadDICOM::engine())", or the
    // message alone when there is no status.
    std::string Describe() const;
};

// One image of a DICOMDIR, in the directory's tree order.
struct ZEBDirectoryImage {
    std::string path;  // the referenced file (UTF-8); empty when it was not found
    std::u16string fileId;
    std::u16string patientName;
    std::u16string patientId;
    std::u16string studyDate;
    std::u16string studyDescription;
    std::u16string modality;
    std::u16string seriesNumber;
    std::u16string seriesDescription;
    int32_t series = 0;            // the series among all of the directory's, from 0
    int32_t indexInSeries = 0;     // from 0
    int32_t seriesImageCount = 0;  // images of the series
    int32_t instanceNumber = 0;
};

// The part of a frame to render and the size and window it is shown at.
struct ZEBRenderRequest {
    int32_t sourceX = 0;
    int32_t sourceY = 0;
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
    int32_t width = 0;
    int32_t height = 0;
    double windowCenter = 0.0;
    double windowWidth = 0.0;
};

class ZEBVRXHelper {
public:
    // Largest frame the decode chain keeps in memory.
    static constexpr uint64_t kMaxFrameBytes = uint64_t{1} << 30;

    ZEBVRXHelper() = default;
    ZEBVRXHelper(const ZEBVRXHelper&) = delete;
    ZEBVRXHelper& operator=(const ZEBVRXHelper&) = delete;

    // True when the file holds "DICM" at offset 128.
    static bool IsDicomFile(const std::string& path);

    // Reads a DICOMDIR into its images in tree order (patients, studies,
    // series, images). False when the file is not a DICOMDIR or cannot be
    // read; `isDirectory` tells which (true once the file was read as one).
    bool ReadDicomDir(const std::string& path, std::vector<ZEBDirectoryImage>& images,
                      bool& isDirectory);

    // Decodes frame `frame` (from 0) of the DICOM file into `out`: geometry,
    // pixels, corner annotations, the default window (the file's first,
    // else the frame's range; left at 0 without `findWindow`) and the frame
    // count. False (and `out` empty) after a failure.
    bool DecodeFrame(const std::string& path, uint32_t frame, FrameImageInfo& out,
                     bool findWindow = true);
    // Only the geometry and the image number of the file's image (for
    // reference lines); false when the file cannot be read.
    bool ReadGeometry(const std::string& path, FrameImageInfo& out);

    // Renders the request's part of the memory into a packed bitmap (info
    // header, grey colour table for grey images, bottom-up rows): grey
    // images through DICOM's linear VOI function with the request's window
    // (MONOCHROME1 inverted), colour images in RGB over their sample range.
    bool RenderFrame(const ZEBImageMemory& memory, const ZEBRenderRequest& request,
                     std::vector<uint8_t>& dib);
    // Renders the part of the frame the view shows in the device context's
    // clip rectangle, with the frame's window, and draws it there.
    bool PaintFrame(platform::DeviceContext& dc, const FrameImageInfo& frame,
                    const ZEBViewTransform& view);
    // A tile painter that paints through this helper (which must outlive it).
    ZEBImageViewCtrl::ImagePainter Painter();
    // True when the last PaintFrame could not show its frame (LastError
    // says why).
    bool PaintFailed() const { return m_paintFailed; }

    // Writes the picture as a bitmap file (file header, info header, 24-bit
    // rows): into a new file beside `path`, renamed to `path` when complete.
    // Nothing is left behind when it fails.
    bool WriteBitmapFile(const platform::Bitmap& picture, const std::string& path);

    const ZEBVRXError& LastError() const { return m_error; }

    // The gain and offset that map samples (modality value = sample x slope
    // + intercept) to 8 bits through DICOM's linear VOI function, inverted
    // for MONOCHROME1; a width below 1 counts as 1.
    static void WindowGainOffset(double center, double width, double slope, double intercept,
                                 bool invert, double& gain, double& offset);
    // Draws a packed bitmap of 8 (grey table) or 24 bits with its top-left
    // pixel at (x, y), within the device context's clip; false when the
    // bitmap is not one of those.
    static bool DrawDIB(platform::DeviceContext& dc, const std::vector<uint8_t>& dib, int32_t x,
                        int32_t y);

private:
    // Ends the manager's job and keeps its first error with the message
    // (`unsupported` instead when that error is an unsupported format).
    bool Fail(vrx::VRX_Manager& manager, std::string message, std::string unsupported = {});
    bool Fail(uint32_t code, std::string function, std::string message);
    // Opens the file and loads its information; false after a report.
    bool LoadFile(ZEBDicomFile& d);
    bool DecodePixels(vrx::VRX_Manager& manager, vrx::VRX_Engine* reader, uint32_t bitsStored,
                      double slope, double intercept, ZEBImageMemory& out);

    std::mutex m_mutex;
    ZEBVRXError m_error;
    std::atomic<bool> m_paintFailed = false;
};
