#include "Source/zebvrxhelper.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "Source/frameimageinfo.h"
#include "Source/zebbitmapfile.h"
#include "Source/zebdecodechain.h"
#include "Source/zebdicomfile.h"
#include "Source/zeboutputfile.h"

bool ZEBVRXHelper::IsDicomFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char magic[4] = {};
    const bool ok = ::pread(fd, magic, 4, 128) == 4 && std::memcmp(magic, "DICM", 4) == 0;
    ::close(fd);
    return ok;
}

bool ZEBVRXHelper::ReadDicomFile(const std::string& path, std::unique_ptr<ZEBDicomFile>& file,
                                 std::vector<ZEBDirectoryImage>& images,
                                 std::vector<ZEBUnfollowedFile>& unfollowed, bool& isDirectory) {
    std::lock_guard lock(m_mutex);
    images.clear();
    unfollowed.clear();
    file = std::make_unique<ZEBDicomFile>(path);
    isDirectory = file->Load(m_error) && ZEBDicomDirReader::IsDirectory(*file);
    if (!isDirectory) return file->Load(m_error);
    const bool read = ZEBDicomDirReader::Read(*file, path, images, unfollowed, m_error);
    file.reset();
    return read;
}

bool ZEBVRXHelper::ReadGeometry(const std::string& path, FrameImageInfo& out) {
    std::lock_guard lock(m_mutex);
    out.Reset();
    ZEBDicomFile d(path);
    if (!d.Load(m_error)) return false;
    out.ReadImageGeometry(d.info);
    return true;
}

bool ZEBVRXHelper::DecodeFrame(const std::string& path, uint32_t frame, FrameImageInfo& out,
                               bool findWindow) {
    std::lock_guard lock(m_mutex);
    ZEBDicomFile d(path);
    return Decode(d, frame, out, findWindow);
}

bool ZEBVRXHelper::DecodeFrame(ZEBDicomFile& file, uint32_t frame, FrameImageInfo& out,
                               bool findWindow) {
    std::lock_guard lock(m_mutex);
    return Decode(file, frame, out, findWindow);
}

bool ZEBVRXHelper::Decode(ZEBDicomFile& file, uint32_t frame, FrameImageInfo& out, bool findWindow) {
    out.Reset();
    m_warning = ZEBVRXError();
    return file.Load(m_error) &&
           ZEBDecodeChain::Decode(file, frame, out, findWindow, m_error, m_warning);
}

bool ZEBVRXHelper::RenderFrame(const ZEBImageMemory& memory, const ZEBRenderRequest& request,
                               ZEBDIBBytes& dib) {
    std::lock_guard lock(m_mutex);
    return ZEBRenderChain::Render(memory, request, dib, m_error);
}

bool ZEBVRXHelper::PaintFrame(platform::DeviceContext& dc, const FrameImageInfo& frame,
                              const ZEBViewTransform& view, platform::Rect* painted) {
    std::lock_guard lock(m_mutex);
    m_paintFailed = !ZEBRenderChain::Paint(dc, frame, view, m_error, painted);
    return !m_paintFailed;
}

ZEBImageViewCtrl::ImagePainter ZEBVRXHelper::Painter() {
    return [this](platform::DeviceContext& dc, const FrameImageInfo& frame,
                  const ZEBViewTransform& view) {
        platform::Rect painted;
        PaintFrame(dc, frame, view, &painted);
        return painted;
    };
}

bool ZEBVRXHelper::WriteBitmapFile(const platform::Bitmap& picture, ZEBOutputFile& output) {
    std::lock_guard lock(m_mutex);
    return ZEBBitmapFile::Write(picture, output, m_error);
}

bool ZEBVRXHelper::WriteBitmapFile(const platform::Bitmap& picture, const std::string& path) {
    ZEBOutputFile output(path);
    return WriteBitmapFile(picture, output);
}
