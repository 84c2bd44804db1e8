#include "Source/zebvrxhelper.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "Source/frameimageinfo.h"
#include "Source/zebdicomvalues.h"
#include "Source/zebframeannotations.h"
#include "platform/byte_count.h"
#include "vrx/core/colorspace/vrx_colorspace.h"
#include "vrx/core/convertdatatype/vrx_convertdatatype.h"
#include "vrx/core/crop/vrx_crop.h"
#include "vrx/core/dib/vrx_writedib.h"
#include "vrx/core/dib/vrx_writediboption.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/core/operation/vrx_and.h"
#include "vrx/core/scale/vrx_scalelifastby.h"
#include "vrx/core/scale/vrx_scalenn.h"
#include "vrx/core/scale/vrx_scaleppfastby.h"
#include "vrx/extension/dicom/vrx_dicomdirinfo.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/extension/minmaxpixelvalue/vrx_minmaxpixelvalue.h"
#include "vrx/extension/signedextension/vrx_signedextension.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/engine/vrx_rewriteheader.h"
#include "vrx/framework/include/vrx_statuscode.h"
#include "vrx/framework/io/vrx_bytearrayoutputstorage.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"
#include "vrx/framework/manager/vrx_status.h"

using vrx::VRX_ColorType;
using vrx::VRX_DataType;
using vrx::VRX_Engine;
using vrx::VRX_Header;
using vrx::VRX_Manager;

// An input storage over a file, given back when it goes.
class ZEBFileStorage {
public:
    ZEBFileStorage(VRX_Manager& manager, const std::string& path)
        : m_file(vrx::VRX_FileInputStorage::create(&manager, path.c_str())) {}
    ~ZEBFileStorage() { vrx::destroy(m_file); }
    ZEBFileStorage(const ZEBFileStorage&) = delete;
    ZEBFileStorage& operator=(const ZEBFileStorage&) = delete;
    vrx::VRX_FileInputStorage* get() const { return m_file; }

private:
    vrx::VRX_FileInputStorage* m_file;
};

// A DICOM file under a manager of its own, with its information.
struct ZEBDicomFile {
    explicit ZEBDicomFile(const std::string& path) : file(manager, path), info(&manager) {}
    vrx::VRX_DefaultManager manager;
    ZEBFileStorage file;
    vrx::VRX_DICOMInfo info;
};

namespace {

constexpr const char* kDecodeFunction = "ZEBVRXHelper::DecodeFrame()";
constexpr const char* kRenderFunction = "ZEBVRXHelper::RenderFrame()";
// Offset of the pixel rows of a bitmap file: file header and info header.
constexpr uint32_t kFileHeaderBytes = 14;

std::u16string Text(const vrx::VRX_BasicString<char16_t>& s) {
    return std::u16string(s.view());
}

bool IsWhole(double v) { return std::isfinite(v) && v == std::nearbyint(v); }

bool IsGrey(const ZEBImageMemory& memory) {
    return memory.m_samplesPerPixel == 1 && memory.m_colorKind == ZEBImageMemory::kGray;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}

void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Runs the chain that ends in `last` to its end.
void Run(VRX_Engine* last) {
    while (last && last->execute()) {
    }
}

// The scale step of the render chain: pixel projection when the image
// shows narrower than it is, linear interpolation when at least as wide.
// Projection takes unsigned samples only, interpolation unsigned and signed
// ones of 8 or 16 bits; other samples (1 or 32 bits) take the nearest
// neighbour.
VRX_Engine* ScaleForDisplay(VRX_Manager& manager, VRX_Engine* source, uint32_t width,
                            uint32_t height) {
    const VRX_Header* h = source->header();
    if (h->width == width && h->height == height) return source;
    const bool integer = h->data_type() == VRX_DataType::u_integer() ||
                         h->data_type() == VRX_DataType::s_integer();
    if (!integer || (h->bits != 8 && h->bits != 16))
        return vrx::VRX_ScaleNN(&manager).engine(source, width, height);
    if (width < h->width && h->data_type() == VRX_DataType::u_integer())
        return vrx::VRX_ScalePPFastBy<vrx::VRX_FixedReal12>(&manager).engine(source, width, height);
    return vrx::VRX_ScaleLIFastBy<vrx::VRX_FixedReal12>(&manager).engine(source, width, height);
}

// Smallest and largest sample of a grey memory (stored values).
bool SampleRange(VRX_Manager& manager, const ZEBImageMemory& memory, double& low, double& high) {
    if (memory.m_bitsPerSample == 1) {
        low = 0.0;
        high = 1.0;
        return true;
    }
    VRX_Header header(&manager);
    if (!memory.DescribeImage(header)) return false;
    VRX_Engine* source = vrx::VRX_ReadMemory(&manager).engine(
        &header, memory.m_buffer.data(), static_cast<uint32_t>(memory.m_buffer.size()));
    vrx::VRX_MinMaxPixelValue minmax(&manager);
    if (memory.m_signed) {
        int lo = 0, hi = 0;
        Run(minmax.engine(source, &lo, &hi));
        low = lo, high = hi;
    } else {
        unsigned lo = 0, hi = 0;
        Run(minmax.engine(source, &lo, &hi));
        low = lo, high = hi;
    }
    vrx::VRX_Status status(&manager);
    return manager.execute(status) && low <= high;
}

}  // namespace

std::string ZEBVRXError::Describe() const {
    if (code == 0 && function.empty()) return message;
    char status[24];
    std::snprintf(status, sizeof status, "0x%08X", code);
    std::string out = message + " (status " + status;
    if (!function.empty()) out += ", " + function;
    return out + ")";
}

bool ZEBVRXHelper::Fail(VRX_Manager& manager, std::string message, std::string unsupported) {
    vrx::VRX_Status status(&manager);
    manager.execute(status);
    const bool isUnsupported = !unsupported.empty() && status.category() == vrx::VRX_ERROR_UNSUPPORTED;
    return Fail(status.code, status.function, isUnsupported ? std::move(unsupported) : std::move(message));
}

bool ZEBVRXHelper::Fail(uint32_t code, std::string function, std::string message) {
    m_error.code = code;
    m_error.function = std::move(function);
    m_error.message = std::move(message);
    return false;
}

bool ZEBVRXHelper::IsDicomFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char magic[4] = {};
    const bool ok = ::pread(fd, magic, 4, 128) == 4 && std::memcmp(magic, "DICM", 4) == 0;
    ::close(fd);
    return ok;
}

bool ZEBVRXHelper::ReadDicomDir(const std::string& path, std::vector<ZEBDirectoryImage>& images,
                                bool& isDirectory) {
    std::lock_guard lock(m_mutex);
    images.clear();
    isDirectory = false;
    vrx::VRX_DefaultManager manager;
    ZEBFileStorage file(manager, path);
    if (!file.get()) return Fail(manager, "cannot open the file");
    vrx::VRX_DICOMDIRInfo dir(&manager);
    if (!dir.load(file.get())) return Fail(manager, "not a DICOMDIR");
    isDirectory = true;
    int32_t seriesIndex = 0;
    try {
        for (const vrx::VRX_DICOMDIRPatient& patient : dir.patients) {
            for (const vrx::VRX_DICOMDIRStudy& study : patient.studies) {
                for (const vrx::VRX_DICOMDIRSeries& series : study.series) {
                    int32_t index = 0;
                    for (const vrx::VRX_DICOMDIRImage& image : series.images) {
                        ZEBDirectoryImage entry;
                        vrx::VRX_BasicString<char> file_path(&manager);
                        if (dir.resolve_file_id(image.referenced_file_id, file_path))
                            entry.path = std::string(file_path.view());
                        entry.fileId = Text(image.referenced_file_id);
                        entry.patientName = Text(patient.patient_name);
                        entry.patientId = Text(patient.patient_id);
                        entry.studyDate = Text(study.study_date);
                        entry.studyDescription = Text(study.study_description);
                        entry.modality = Text(series.modality);
                        entry.seriesNumber = AttributeText(series.tag_obj, 0x0020, 0x0011);
                        entry.seriesDescription = Text(series.series_description);
                        entry.series = seriesIndex;
                        entry.indexInSeries = index++;
                        entry.seriesImageCount = static_cast<int32_t>(series.images.size());
                        entry.instanceNumber = static_cast<int32_t>(image.instance_number);
                        images.push_back(std::move(entry));
                    }
                    ++seriesIndex;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        images.clear();
        return Fail(vrx::VRX_ERROR_OUT_OF_MEMORY, "ZEBVRXHelper::ReadDicomDir()",
                    "not enough memory for the directory");
    }
    vrx::VRX_Status status(&manager);
    manager.execute(status);
    return true;
}

bool ZEBVRXHelper::LoadFile(ZEBDicomFile& d) {
    if (!d.file.get()) return Fail(d.manager, "cannot open the file");
    if (!d.info.load(d.file.get()))
        return Fail(d.manager, "corrupt or unreadable data set",
                    "unsupported transfer syntax or image type");
    return true;
}

bool ZEBVRXHelper::ReadGeometry(const std::string& path, FrameImageInfo& out) {
    std::lock_guard lock(m_mutex);
    out.Reset();
    ZEBDicomFile d(path);
    if (!LoadFile(d)) return false;
    out.ReadImageGeometry(d.info);
    return true;
}

bool ZEBVRXHelper::DecodeFrame(const std::string& path, uint32_t frame, FrameImageInfo& out,
                               bool findWindow) {
    std::lock_guard lock(m_mutex);
    out.Reset();
    ZEBDicomFile d(path);
    if (!LoadFile(d)) return false;
    vrx::VRX_Manager& manager = d.manager;
    const vrx::VRX_DICOMInfo& info = d.info;
    if (!info.has_image()) {
        // A data set that could not be read to its end has no image either.
        vrx::VRX_Status status(&manager);
        manager.execute(status);
        return Fail(status.code, status.function,
                    status.code != vrx::VRX_SUCCESS
                        ? "corrupt or truncated data set: no pixel data could be read"
                        : "no pixel data");
    }
    if (frame >= info.frame_count())
        return Fail(vrx::VRX_ERROR_ARGUMENT, kDecodeFunction,
                    "frame " + std::to_string(uint64_t{frame} + 1) + " is out of range (the file has " +
                        std::to_string(info.frame_count()) + ")");
    out.ReadImageGeometry(info);

    // Significant bits and the rescale to modality values.
    uint32_t bitsStored = info.bits;
    if (uint32_t declared = 0; info.read_integer(0x0028, 0x0101, declared) && declared > 0)
        bitsStored = std::min<uint32_t>(declared, info.bits);
    double slope = 1.0, intercept = 0.0;
    if (!ReadFiniteValues(info, 0x0028, 0x1053, &slope, 1) || slope == 0.0) slope = 1.0;
    if (!ReadFiniteValues(info, 0x0028, 0x1052, &intercept, 1)) intercept = 0.0;

    VRX_Engine* reader = vrx::VRX_ReadDICOM(&manager).engine(d.file.get(), d.info, frame);
    const std::string number = std::to_string(uint64_t{frame} + 1);
    if (!reader)
        return Fail(manager, "corrupt pixel data in frame " + number,
                    "unsupported compression or coding process in frame " + number);
    if (!DecodePixels(manager, reader, bitsStored, slope, intercept, out)) {
        out.Reset();
        return false;
    }
    ResolveFrameAnnotations(info, out.m_annotations);
    out.m_frameCount = static_cast<int32_t>(info.frame_count());

    // The window: the file's first, else the frame's range.
    double center = 0.0, width = 0.0;
    if (!findWindow) return true;
    if (ReadFiniteValues(info, 0x0028, 0x1050, &center, 1) &&
        ReadFiniteValues(info, 0x0028, 0x1051, &width, 1) && width >= 1.0) {
        out.m_windowCenter = center;
        out.m_windowWidth = width;
    } else if (IsGrey(out)) {
        double low = 0.0, high = 0.0;
        if (!SampleRange(manager, out, low, high)) {
            out.Reset();
            return Fail(manager, "cannot read the range of frame " + std::to_string(uint64_t{frame} + 1));
        }
        low = out.ModalityValue(low);
        high = out.ModalityValue(high);
        if (low > high) std::swap(low, high);
        // The range maps onto 0 to 255 exactly.
        out.m_windowCenter = (low + high + 1.0) / 2.0;
        out.m_windowWidth = high - low + 1.0;
    } else {
        // Colour: the whole sample range.
        const double levels = std::exp2(out.m_bitsPerSample);
        out.m_windowCenter = levels / 2.0;
        out.m_windowWidth = levels;
    }
    return true;
}

bool ZEBVRXHelper::DecodePixels(VRX_Manager& manager, VRX_Engine* reader, uint32_t bitsStored,
                                double slope, double intercept, ZEBImageMemory& out) {
    const VRX_Header* header = reader->header();
    const uint16_t bits = header->bits;
    const bool isSigned = header->data_type() == VRX_DataType::s_integer();
    VRX_Engine* engine = reader;

    // Bits above the significant ones: the sign copied into them, or cleared.
    if ((bits == 8 || bits == 16) && bitsStored >= 1 && bitsStored < bits) {
        engine = isSigned
                     ? vrx::VRX_SignedExtension(&manager).engine(engine,
                                                                 static_cast<uint8_t>(bitsStored - 1))
                     : vrx::VRX_And(&manager).engine(engine, (1u << bitsStored) - 1);
        if (!engine) return Fail(manager, "cannot mask the samples");
    }

    // The rescale goes into the samples when whole numbers keep every value
    // within 16 bits; otherwise the memory keeps the stored values and the
    // render chain applies it.
    const VRX_ColorType* color = header->color_type();
    const bool grey = header->channels == 1 && bits >= 8 && color != VRX_ColorType::s_rgb();
    const bool rescale = grey && (slope != 1.0 || intercept != 0.0);
    out.m_rescaleSlope = 1.0;
    out.m_rescaleIntercept = 0.0;
    if (rescale) {
        const uint32_t n = std::min<uint32_t>(bitsStored, bits);
        const double lowStored = isSigned ? -std::exp2(n - 1) : 0.0;
        const double highStored = isSigned ? std::exp2(n - 1) - 1.0 : std::exp2(n) - 1.0;
        const double a = lowStored * slope + intercept, b = highStored * slope + intercept;
        const double low = std::min(a, b), high = std::max(a, b);
        const VRX_DataType* type = nullptr;
        uint16_t typeBits = 16;
        if (IsWhole(slope) && IsWhole(intercept)) {
            if (low >= 0.0 && high <= 255.0 && bits == 8)
                type = VRX_DataType::u_integer(), typeBits = 8;
            else if (low >= 0.0 && high <= 65535.0)
                type = VRX_DataType::u_integer();
            else if (low >= -32768.0 && high <= 32767.0)
                type = VRX_DataType::s_integer();
        }
        if (type) {
            engine = vrx::VRX_ConvertDataType(&manager).engine(engine, type, typeBits, slope,
                                                               intercept);
            if (!engine) return Fail(manager, "cannot rescale the samples");
        } else {
            out.m_rescaleSlope = slope;
            out.m_rescaleIntercept = intercept;
        }
    }

    const VRX_Header* final = engine->header();
    uint32_t lineBytes = 0;
    if (!final || !final->line_bytes(lineBytes)) return Fail(manager, "cannot decode the frame");
    const platform::ByteCount bytes = platform::ByteCount(lineBytes) * final->height;
    if (!bytes.at_most(kMaxFrameBytes)) {
        vrx::VRX_Status status(&manager);
        manager.execute(status);
        return Fail(vrx::VRX_ERROR_OUT_OF_MEMORY, kDecodeFunction,
                    "the frame needs " + std::to_string(bytes.ok() ? bytes.value() : 0) +
                        " bytes, over 1 GiB");
    }
    try {
        out.m_buffer.resize(static_cast<size_t>(bytes.value()));
    } catch (const std::bad_alloc&) {
        vrx::VRX_Status status(&manager);
        manager.execute(status);
        return Fail(vrx::VRX_ERROR_OUT_OF_MEMORY, kDecodeFunction, "not enough memory for the frame");
    }
    out.m_imageWidth = out.m_rowLength = static_cast<int32_t>(final->width);
    out.m_imageHeight = static_cast<int32_t>(final->height);
    out.m_samplesPerPixel = final->channels;
    out.m_bitsPerSample = final->bits;
    out.m_signed = final->data_type() == VRX_DataType::s_integer() ? 1 : 0;
    out.m_colorType = final->color_type();
    out.m_colorKind = final->color_type() == VRX_ColorType::s_rgb()   ? ZEBImageMemory::kRgb
                      : final->color_type() == VRX_ColorType::cmyk()  ? ZEBImageMemory::kCmyk
                      : final->color_type() == VRX_ColorType::ycbcr() ? ZEBImageMemory::kYCbCr
                                                                       : ZEBImageMemory::kGray;
    uint32_t written = 0;
    Run(vrx::VRX_WriteMemory(&manager).engine(engine, out.m_buffer.data(),
                                             static_cast<uint32_t>(out.m_buffer.size()), &written));
    vrx::VRX_Status status(&manager);
    if (!manager.execute(status) || written != out.m_buffer.size())
        return Fail(status.code, status.function,
                    status.category() == vrx::VRX_ERROR_UNSUPPORTED
                        ? "unsupported compression or coding process"
                        : "corrupt pixel data");
    return true;
}

void ZEBVRXHelper::WindowGainOffset(double center, double width, double slope, double intercept,
                                    bool invert, double& gain, double& offset) {
    // y = ((v - (c - 0.5)) / (w - 1) + 0.5) x 255 with v = s x slope +
    // intercept, below and above the window held at 0 and 255 by the
    // conversion's saturation. A width of 1 is a threshold at c - 0.5.
    const double span = width > 1.0 ? width - 1.0 : 1.0 / 4096.0;
    const double scale = 255.0 / span;
    gain = slope * scale;
    offset = (intercept - (center - 0.5)) * scale + (width > 1.0 ? 127.5 : 0.0);
    if (invert) {
        gain = -gain;
        offset = 255.0 - offset;
    }
}

bool ZEBVRXHelper::RenderFrame(const ZEBImageMemory& memory, const ZEBRenderRequest& request,
                               std::vector<uint8_t>& dib) {
    std::lock_guard lock(m_mutex);
    dib.clear();
    vrx::VRX_DefaultManager manager;
    VRX_Header header(&manager);
    if (!memory.DescribeImage(header))
        return Fail(vrx::VRX_ERROR_ARGUMENT, kRenderFunction, "the frame holds no image");
    if (request.sourceX < 0 || request.sourceY < 0 || request.sourceWidth < 1 ||
        request.sourceHeight < 1 || request.width < 1 || request.height < 1 ||
        uint64_t(request.sourceX) + uint64_t(request.sourceWidth) > header.width ||
        uint64_t(request.sourceY) + uint64_t(request.sourceHeight) > header.height)
        return Fail(vrx::VRX_ERROR_ARGUMENT, kRenderFunction, "the part to render is not in the frame");

    VRX_Engine* e = vrx::VRX_ReadMemory(&manager).engine(
        &header, memory.m_buffer.data(), static_cast<uint32_t>(memory.m_buffer.size()));
    if (e)
        e = vrx::VRX_Crop(&manager).engine(e, uint32_t(request.sourceX), uint32_t(request.sourceY),
                                           uint32_t(request.sourceWidth),
                                           uint32_t(request.sourceHeight));
    if (e) e = ScaleForDisplay(manager, e, uint32_t(request.width), uint32_t(request.height));
    if (!e) return Fail(manager, "cannot scale the frame");

    const VRX_DataType* u8 = VRX_DataType::u_integer();
    if (header.channels == 1) {
        double gain = 0.0, offset = 0.0;
        WindowGainOffset(request.windowCenter, request.windowWidth, memory.m_rescaleSlope,
                         memory.m_rescaleIntercept,
                         header.color_type() == VRX_ColorType::gray_reverse(), gain, offset);
        if (header.bits == 1) {
            // The two values, each as the window makes it.
            const double zero = std::clamp(std::floor(offset + 0.5), 0.0, 255.0);
            const double one = std::clamp(std::floor(gain + offset + 0.5), 0.0, 255.0);
            gain = one - zero;
            offset = zero;
        }
        e = vrx::VRX_ConvertDataType(&manager).engine(e, u8, 8, gain, offset);
        if (e && e->header()->color_type() != VRX_ColorType::gray()) {
            VRX_Header grey(&manager);
            if (!grey.assign(*e->header()) || !grey.color_type(VRX_ColorType::gray()))
                return Fail(manager, "cannot render the frame");
            e = vrx::VRX_RewriteHeader(&manager).engine(e, &grey);
        }
    } else {
        if (header.color_type() != VRX_ColorType::s_rgb())
            e = vrx::VRX_ColorSpace(&manager).engine(e, VRX_ColorType::s_rgb());
        if (e && header.bits > 8)
            e = vrx::VRX_ConvertDataType(&manager).engine(e, u8, 8,
                                                          255.0 / (std::exp2(header.bits) - 1.0), 0.0);
    }
    if (!e) return Fail(manager, "cannot render the frame");

    const vrx::VRX_WriteDIBOption option;
    const uint32_t total = vrx::VRX_WriteDIB::total_bytes(e->header(), option);
    if (total == 0) return Fail(manager, "cannot render the frame as a bitmap");
    try {
        dib.assign(total, 0);
    } catch (const std::bad_alloc&) {
        vrx::VRX_Status status(&manager);
        manager.execute(status);
        return Fail(vrx::VRX_ERROR_OUT_OF_MEMORY, kRenderFunction, "not enough memory for the bitmap");
    }
    vrx::VRX_ByteArrayOutputStorage* storage =
        vrx::VRX_ByteArrayOutputStorage::create(&manager, dib.data(), static_cast<int32_t>(total));
    VRX_Engine* writer = storage ? vrx::VRX_WriteDIB(&manager).engine(e, storage, option) : nullptr;
    vrx::destroy(storage);
    Run(writer);
    vrx::VRX_Status status(&manager);
    if (!writer || !manager.execute(status)) {
        dib.clear();
        return Fail(status.code, status.function, "cannot render the frame");
    }
    return true;
}

bool ZEBVRXHelper::DrawDIB(platform::DeviceContext& dc, const std::vector<uint8_t>& dib, int32_t x,
                           int32_t y) {
    platform::Bitmap* target = dc.bitmap();
    if (!target || dib.size() < 40 || Le32(dib, 0) != 40) return false;
    const int32_t width = static_cast<int32_t>(Le32(dib, 4));
    const int32_t height = static_cast<int32_t>(Le32(dib, 8));
    const uint32_t depth = dib[14] | dib[15] << 8;
    const uint32_t colours = Le32(dib, 32);
    if (width < 1 || height < 1 || (depth != 8 && depth != 24) || colours > 256) return false;
    const uint64_t stride = (uint64_t(width) * depth / 8 + 3) / 4 * 4;
    const uint64_t bits = 40 + uint64_t{colours} * 4;
    if (bits + stride * uint64_t(height) > dib.size()) return false;
    const platform::Rect clip = dc.clip().intersect(target->bounds());
    const platform::Rect area = clip.intersect({x, y, x + width, y + height});
    // The colour of each 8-bit value: its table entry, else the grey level.
    uint8_t colours8[256][3];
    for (uint32_t v = 0; v < 256; ++v) {
        const uint8_t* entry = dib.data() + 40 + size_t{v} * 4;
        colours8[v][0] = v < colours ? entry[2] : uint8_t(v);
        colours8[v][1] = v < colours ? entry[1] : uint8_t(v);
        colours8[v][2] = v < colours ? entry[0] : uint8_t(v);
    }
    for (int32_t row = area.top; row < area.bottom; ++row) {
        const uint8_t* src = dib.data() + bits + stride * uint64_t(height - 1 - (row - y));
        uint8_t* dst = target->row(row) + size_t(area.left) * 3;
        if (depth == 24) {
            for (const uint8_t* s = src + size_t(area.left - x) * 3, *end = s + size_t(area.width()) * 3;
                 s < end; s += 3, dst += 3)
                dst[0] = s[2], dst[1] = s[1], dst[2] = s[0];
        } else {
            for (const uint8_t* s = src + (area.left - x), *end = s + area.width(); s < end; ++s, dst += 3)
                std::memcpy(dst, colours8[*s], 3);
        }
    }
    return true;
}

bool ZEBVRXHelper::PaintFrame(platform::DeviceContext& dc, const FrameImageInfo& frame,
                              const ZEBViewTransform& view) {
    m_paintFailed = true;
    if (!frame.HasImage() || !(view.zoom > 0.0))
        return Fail(vrx::VRX_ERROR_ARGUMENT, kRenderFunction, "the frame holds no image");
    const CZEBOverlayCommon& g = frame.m_overlay;
    const double zoomX = view.zoom, zoomY = view.zoom * g.m_verticalAspect;
    const platform::Rect clip =
        dc.clip().intersect(dc.bitmap() ? dc.bitmap()->bounds() : platform::Rect{});
    // Image columns and rows with a part inside the clip, widened until
    // their screen edges, placed as the overlays place image points, cover
    // the clip.
    const auto screen = [&](int64_t x, int64_t y) {
        return g.ImageToScreen({int32_t(x), int32_t(y)}, view.offsetX, view.offsetY, view.origin,
                               view.zoom);
    };
    const auto span = [](double low, double high, double offset, double origin, double zoom,
                         int32_t size, int64_t& first, int64_t& last) {
        first = std::clamp(static_cast<int64_t>(std::floor((low - offset) / zoom + origin)),
                           int64_t{0}, int64_t{size});
        last = std::clamp(static_cast<int64_t>(std::ceil((high - offset) / zoom + origin)),
                          int64_t{0}, int64_t{size});
    };
    int64_t x0, x1, y0, y1;
    span(clip.left, clip.right, view.offsetX, view.origin.x, zoomX, frame.m_imageWidth, x0, x1);
    span(clip.top, clip.bottom, view.offsetY, view.origin.y, zoomY, frame.m_imageHeight, y0, y1);
    while (x0 > 0 && screen(x0, 0).x > clip.left) --x0;
    while (x1 < frame.m_imageWidth && screen(x1, 0).x < clip.right) ++x1;
    while (y0 > 0 && screen(0, y0).y > clip.top) --y0;
    while (y1 < frame.m_imageHeight && screen(0, y1).y < clip.bottom) ++y1;
    m_paintFailed = false;
    if (x1 <= x0 || y1 <= y0) return true;
    const platform::Point topLeft = screen(x0, y0);
    const platform::Point bottomRight = screen(x1, y1);
    ZEBRenderRequest request;
    request.sourceX = int32_t(x0);
    request.sourceY = int32_t(y0);
    request.sourceWidth = int32_t(x1 - x0);
    request.sourceHeight = int32_t(y1 - y0);
    request.width = bottomRight.x - topLeft.x;
    request.height = bottomRight.y - topLeft.y;
    request.windowCenter = frame.m_windowCenter;
    request.windowWidth = frame.m_windowWidth;
    if (request.width < 1 || request.height < 1) return true;
    std::vector<uint8_t> dib;
    m_paintFailed = !RenderFrame(frame, request, dib) || !DrawDIB(dc, dib, topLeft.x, topLeft.y);
    return !m_paintFailed;
}

ZEBImageViewCtrl::ImagePainter ZEBVRXHelper::Painter() {
    return [this](platform::DeviceContext& dc, const FrameImageInfo& frame,
                  const ZEBViewTransform& view) { PaintFrame(dc, frame, view); };
}

bool ZEBVRXHelper::WriteBitmapFile(const platform::Bitmap& picture, const std::string& path) {
    std::lock_guard lock(m_mutex);
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
        return Fail(vrx::VRX_ERROR_ARGUMENT, kFunction, "no picture to write");
    // The bitmap writer fills every byte after the file header.
    const size_t size = kFileHeaderBytes + size_t{dibBytes};
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size]);
    if (!bytes) return Fail(vrx::VRX_ERROR_OUT_OF_MEMORY, kFunction, "not enough memory for the bitmap");
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
    Run(writer);
    vrx::VRX_Status status(&manager);
    if (!writer || !manager.execute(status))
        return Fail(status.code, status.function, "cannot make the bitmap");

    // A new file beside the output, renamed over it once complete.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return Fail(0, "", std::string("cannot create the output: ") + std::strerror(errno));
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
        const int error = writeError ? writeError : errno;
        ::unlink(temporary.c_str());
        return Fail(0, "", std::string("cannot write the output: ") + std::strerror(error));
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Fail(0, "", std::string("cannot write the output: ") + std::strerror(error));
    }
    return true;
}
