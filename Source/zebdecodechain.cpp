#include "Source/zebdecodechain.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>

#include "Source/frameimageinfo.h"
#include "Source/zebdicomfile.h"
#include "Source/zebdicomvalues.h"
#include "Source/zebframeannotations.h"
#include "Source/zebframefunctionalgroups.h"
#include "Source/zeblookuptable.h"
#include "Source/zebvrxchain.h"
#include "jpegdec/jpeg_decoder.h"
#include "platform/byte_count.h"
#include "vrx/core/colormatrix/vrx_colormatrix.h"
#include "vrx/core/colorspace/vrx_csutilitymaker.h"
#include "vrx/core/convertdatatype/vrx_convertdatatype.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/core/operation/vrx_and.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/extension/minmaxpixelvalue/vrx_minmaxpixelvalue.h"
#include "vrx/extension/signedextension/vrx_signedextension.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/include/vrx_statuscode.h"
#include "vrx/framework/manager/vrx_status.h"

using vrx::VRX_ColorType;
using vrx::VRX_DataType;
using vrx::VRX_Engine;
using vrx::VRX_Header;
using vrx::VRX_Manager;

namespace {

constexpr const char* kDecodeFunction = "ZEBVRXHelper::DecodeFrame()";

bool IsWhole(double v) { return std::isfinite(v) && v == std::nearbyint(v); }

bool IsGrey(const ZEBImageMemory& memory) {
    return memory.m_samplesPerPixel == 1 && memory.m_colorKind == ZEBImageMemory::kGray;
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
        RunChain(minmax.engine(source, &lo, &hi));
        low = lo, high = hi;
    } else {
        unsigned lo = 0, hi = 0;
        RunChain(minmax.engine(source, &lo, &hi));
        low = lo, high = hi;
    }
    vrx::VRX_Status status(&manager);
    return manager.execute(status) && low <= high;
}

// A failed decode in words by the kind of its first error; `where` follows
// them (" in frame 2", whether the reader or its decoding failed). A
// process the reader named as one it does not offer (`unsupported`, else
// empty) is said in its own words, whichever reader refused it.
std::string FailureWords(const vrx::VRX_Status& status, const std::string& where,
                         const char* unsupported = "") {
    if (*unsupported) return unsupported + where;
    const uint32_t kind = status.category();
    if (kind == vrx::VRX_ERROR_OUT_OF_MEMORY) return "out of memory" + where;
    if (kind == vrx::VRX_ERROR_UNSUPPORTED) return "unsupported compression or coding process" + where;
    return "corrupt pixel data" + where;
}

// The JPEG decoder's damage in words by what is shown, the worst first:
// what could not be decoded is mid-grey, but a progressive frame shows what
// its scans before the damage gave; coded data left over before a marker was
// decoded as it came; a stream that only lacks its end gave every row.
std::string JpegDamageWords(uint32_t damage, bool progressive) {
    const char* words = "coded data is left over before a marker, so the picture may be wrong";
    if (damage & (jpegdec::kJpegDamageLost | (progressive ? jpegdec::kJpegDamageNoEnd : 0)))
        words = progressive ? "shown as the scans before the damage give it"
                            : "what could not be decoded is shown mid-grey";
    else if (damage == jpegdec::kJpegDamageNoEnd)
        words = "the stream ends without its end-of-image marker; every row is decoded";
    return std::string("damaged JPEG data: ") + words;
}

// Refuses a frame of `bytes` over the limit of a decoded frame; true when
// it is within it.
bool WithinFrameLimit(vrx::VRX_Manager& manager, const platform::ByteCount& bytes, ZEBVRXError& error) {
    if (bytes.at_most(ZEBDecodeChain::kMaxFrameBytes)) return true;
    vrx::VRX_Status status(&manager);
    manager.execute(status);
    return error.Fail(vrx::VRX_ERROR_OUT_OF_MEMORY, kDecodeFunction,
                      "the frame needs " + std::to_string(bytes.ok() ? bytes.value() : 0) +
                          " bytes, over 1 GiB");
}

// YCbCr of `stored` significant bits in 16-bit samples as RGB over the range
// those bits hold: the chroma centred on 2^(stored - 1), the full-range
// matrix, every result clamped to 0 to 2^stored - 1.
VRX_Engine* StoredYbrToRgb(VRX_Manager& manager, VRX_Engine* source, uint32_t stored) {
    vrx::VRX_CsUtilityMaker<uint16_t> plan(&manager);
    vrx::VRX_Vector<double> offsets(&manager, 3, 0.0);
    if (offsets.size() != 3 || !plan.make(VRX_ColorType::ycbcr(), VRX_ColorType::s_rgb(), 16))
        return nullptr;
    offsets[1] = offsets[2] = -std::exp2(stored - 1);
    VRX_Engine* rgb = vrx::VRX_ColorMatrix(&manager).engine(source, plan.utility().matrix, &offsets,
                                                            nullptr, VRX_ColorType::s_rgb(), false);
    const int32_t top = (1 << stored) - 1;
    return rgb ? MapSamples(manager, rgb, 16, [top](int32_t v) { return uint16_t(std::min(v, top)); })
               : nullptr;
}

bool DecodePixels(VRX_Manager& manager, VRX_Engine* reader, uint32_t bitsStored, double slope,
                  double intercept, const ZEBLookupTable& modalityLut, ZEBImageMemory& out,
                  const std::string& where, ZEBVRXError& error, ZEBVRXError& warning) {
    const VRX_Header* header = reader->header();
    const uint16_t bits = header->bits;
    const bool isSigned = header->data_type() == VRX_DataType::s_integer();
    VRX_Engine* engine = reader;

    // Bits above the significant ones: the sign copied into them, or cleared.
    uint32_t significant = bits;
    if ((bits == 8 || bits == 16) && bitsStored >= 1 && bitsStored < bits) {
        significant = bitsStored;
        engine = isSigned
                     ? vrx::VRX_SignedExtension(&manager).engine(engine,
                                                                 static_cast<uint8_t>(bitsStored - 1))
                     : vrx::VRX_And(&manager).engine(engine, (1u << bitsStored) - 1);
        if (!engine) return error.Fail(manager, "cannot mask the samples");
    }
    // YCbCr whose chroma centres on the middle of its stored bits, not on
    // that of its samples, is RGB before the render chain sees it.
    if (header->color_type() == VRX_ColorType::ycbcr() && bits == 16 && !isSigned &&
        significant < bits) {
        engine = StoredYbrToRgb(manager, engine, significant);
        if (!engine) return error.Fail(manager, "cannot convert the colour to RGB");
    }
    const VRX_Engine* samples = engine;

    // A Modality LUT maps the samples to modality values in place of the
    // rescale. The rescale goes into the samples when whole numbers keep
    // every value within 16 bits; otherwise the memory keeps the stored
    // values and the render chain applies it.
    const VRX_ColorType* color = header->color_type();
    const bool grey = header->channels == 1 && bits >= 8 && color != VRX_ColorType::s_rgb();
    const bool rescale = grey && (slope != 1.0 || intercept != 0.0);
    out.m_rescaleSlope = 1.0;
    out.m_rescaleIntercept = 0.0;
    if (grey && !modalityLut.Empty() && (bits == 8 || bits == 16)) {
        engine = MapSamples(manager, engine, modalityLut.Bits() <= 8 ? 8 : 16,
                            [&](int32_t stored) { return modalityLut.Value(stored); });
        if (!engine) return error.Fail(manager, "cannot apply the modality LUT");
    } else if (rescale) {
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
            if (!engine) return error.Fail(manager, "cannot rescale the samples");
        } else {
            out.m_rescaleSlope = slope;
            out.m_rescaleIntercept = intercept;
        }
    }

    const VRX_Header* final = engine->header();
    uint32_t lineBytes = 0;
    if (!final || !final->line_bytes(lineBytes)) return error.Fail(manager, "cannot decode the frame");
    // Modality values fill the samples they were converted to.
    if (engine != samples) significant = final->bits;
    const platform::ByteCount bytes = platform::ByteCount(lineBytes) * final->height;
    if (!WithinFrameLimit(manager, bytes, error)) return false;
    try {
        out.m_buffer.resize(static_cast<size_t>(bytes.value()));
    } catch (const std::bad_alloc&) {
        vrx::VRX_Status status(&manager);
        manager.execute(status);
        return error.Fail(vrx::VRX_ERROR_OUT_OF_MEMORY, kDecodeFunction, "out of memory for the frame");
    }
    out.m_imageWidth = out.m_rowLength = static_cast<int32_t>(final->width);
    out.m_imageHeight = static_cast<int32_t>(final->height);
    out.m_samplesPerPixel = final->channels;
    out.m_bitsPerSample = final->bits;
    out.m_bitsStored = static_cast<int32_t>(std::min<uint32_t>(significant, final->bits));
    out.m_signed = final->data_type() == VRX_DataType::s_integer() ? 1 : 0;
    out.m_colorType = final->color_type();
    out.m_colorKind = final->color_type() == VRX_ColorType::s_rgb()   ? ZEBImageMemory::kRgb
                      : final->color_type() == VRX_ColorType::cmyk()  ? ZEBImageMemory::kCmyk
                      : final->color_type() == VRX_ColorType::ycbcr() ? ZEBImageMemory::kYCbCr
                                                                       : ZEBImageMemory::kGray;
    uint32_t written = 0;
    RunChain(vrx::VRX_WriteMemory(&manager).engine(engine, out.m_buffer.data(),
                                             static_cast<uint32_t>(out.m_buffer.size()), &written));
    vrx::VRX_Status status(&manager);
    if (!manager.execute(status) || written != out.m_buffer.size())
        return error.Fail(status.code, status.function, FailureWords(status, where));
    // Decoded with a warning: the caller words it.
    if (status.is_warning()) warning = ZEBVRXError{status.code, status.function, {}};
    return true;
}

}  // namespace

bool ZEBDecodeChain::Decode(ZEBDicomFile& d, uint32_t frame, FrameImageInfo& out, bool findWindow,
                            ZEBVRXError& error, ZEBVRXError& warning) {
    out.Reset();
    warning = ZEBVRXError();
    vrx::VRX_Manager& manager = d.manager;
    const vrx::VRX_DICOMInfo& info = d.info;
    if (!info.has_image()) {
        // A data set that could not be read to its end has no image either.
        vrx::VRX_Status status(&manager);
        manager.execute(status);
        if (status.code == vrx::VRX_SUCCESS)
            for (const auto& [element, name] :
                 {std::pair{0x0008, "Float Pixel Data (7FE0,0008)"},
                  std::pair{0x0009, "Double Float Pixel Data (7FE0,0009)"}})
                if (info.exists(0x7FE0, uint16_t(element)))
                    return error.Fail(vrx::VRX_ERROR_UNSUPPORTED, kDecodeFunction,
                                      std::string(name) + " is not supported");
        return error.Fail(status.code, status.function,
                    status.category() == vrx::VRX_ERROR_OUT_OF_MEMORY
                        ? "out of memory reading the data set: no pixel data could be read"
                    : status.code != vrx::VRX_SUCCESS
                        ? "corrupt or truncated data set: no pixel data could be read"
                        : "no pixel data");
    }
    // An image of no bytes has no frame: the attribute that makes it so.
    for (const auto& [element, name] : {std::pair{0x0010, "Rows (0028,0010)"},
                                        std::pair{0x0011, "Columns (0028,0011)"},
                                        std::pair{0x0100, "Bits Allocated (0028,0100)"}})
        if (uint32_t value = 1; info.frame_count() == 0 &&
                                info.read_integer(0x0028, uint16_t(element), value) && value == 0)
            return error.Fail(vrx::VRX_ERROR_DATA, kDecodeFunction,
                              std::string(name) + " is 0: the image has no pixels");
    if (frame >= info.frame_count())
        return error.Fail(vrx::VRX_ERROR_ARGUMENT, kDecodeFunction,
                    "frame " + std::to_string(uint64_t{frame} + 1) + " is out of range (the file has " +
                        std::to_string(info.frame_count()) + ")");
    out.ReadImageGeometry(info, frame);

    // Significant bits and the rescale to modality values (the frame's own
    // in an enhanced image).
    using Groups = ZEBFrameFunctionalGroups;
    const Groups groups(info, frame);
    // Colours looked up in a palette fill the bits of its entries: the stored
    // bits are the indices', which the palette has read.
    const uint32_t bitsStored = info.has_palette() ? 0 : info.stored_bits();
    double slope = 1.0, intercept = 0.0;
    if (!groups.ReadFiniteValues(Groups::kPixelValueTransformation, 0x0028, 0x1053, &slope, 1) ||
        slope == 0.0)
        slope = 1.0;
    if (!groups.ReadFiniteValues(Groups::kPixelValueTransformation, 0x0028, 0x1052, &intercept, 1))
        intercept = 0.0;

    // A frame over the limit is refused by its size before its reader is
    // made, whatever its coding.
    if (!WithinFrameLimit(manager,
                          platform::packed_bytes(info.channels, info.bits, info.width) * info.height,
                          error))
        return false;
    vrx::VRX_ReadDICOM read(&manager);
    VRX_Engine* reader = read.engine(d.file.get(), d.info, frame);
    const std::string number = std::to_string(uint64_t{frame} + 1);
    if (!reader) {
        vrx::VRX_Status status(&manager);
        manager.execute(status);
        std::string where = " in frame " + number;
        if (*read.mismatch()) where += std::string(": ") + read.mismatch();
        return error.Fail(status.code, status.function, FailureWords(status, where, read.unsupported()));
    }
    const bool storedSigned =
        reader->header() && reader->header()->data_type() == VRX_DataType::s_integer();
    ZEBLookupTable modalityLut;
    modalityLut.Read(info, 0x0028, 0x3000, storedSigned);
    // A warning of the set-up (the data set read in part, a note about a
    // JPEG header) is kept apart, so that damage met while decoding is what
    // the record then holds.
    const vrx::VRX_Status setup = manager.status();
    if (setup.is_warning()) manager.reset();
    if (!DecodePixels(manager, reader, bitsStored, slope, intercept, modalityLut, out, " in frame " + number,
                      error, warning)) {
        out.Reset();
        return false;
    }
    // Damage is told in words by what is shown; notes about headers are not
    // told.
    const bool jpeg = info.compression() == 1 || info.compression() == 2;
    if (vrx::status_category(warning.code) == vrx::VRX_WARNING_DATA && jpeg)
        warning.message = JpegDamageWords(read.jpeg_damage(), read.progressive());
    else if (setup.category() == vrx::VRX_WARNING_DATA)
        warning = ZEBVRXError{setup.code, setup.function,
                              "damaged data set: what could be read is shown"};
    else
        warning = ZEBVRXError();
    ResolveFrameAnnotations(info, out.m_annotations, frame);
    out.m_frameCount = static_cast<int32_t>(info.frame_count());

    // The window: the frame's first, else the first VOI LUT (shown in place
    // of a window; the window values then span the values it maps), else
    // the frame's range.
    double center = 0.0, width = 0.0;
    if (!findWindow) return true;
    if (groups.ReadFiniteValues(Groups::kFrameVoiLut, 0x0028, 0x1050, &center, 1) &&
        groups.ReadFiniteValues(Groups::kFrameVoiLut, 0x0028, 0x1051, &width, 1) && width >= 1.0) {
        out.m_windowCenter = center;
        out.m_windowWidth = width;
    } else if (IsGrey(out) && (out.m_bitsPerSample == 8 || out.m_bitsPerSample == 16) &&
               out.m_voiLut.Read(groups.Find(Groups::kFrameVoiLut, 0x0028, 0x3010), 0x0028, 0x3010,
                                 out.m_signed != 0)) {
        out.m_windowCenter = out.m_voiLut.FirstMapped() + out.m_voiLut.Entries() / 2.0;
        out.m_windowWidth = out.m_voiLut.Entries();
    } else if (IsGrey(out)) {
        double low = 0.0, high = 0.0;
        if (!SampleRange(manager, out, low, high)) {
            out.Reset();
            return error.Fail(manager, "cannot read the range of frame " + std::to_string(uint64_t{frame} + 1));
        }
        low = out.ModalityValue(low);
        high = out.ModalityValue(high);
        if (low > high) std::swap(low, high);
        // The range maps onto 0 to 255 exactly.
        out.m_windowCenter = (low + high + 1.0) / 2.0;
        out.m_windowWidth = high - low + 1.0;
    } else {
        // Colour: the range its stored bits hold.
        const double levels = std::exp2(out.m_bitsStored);
        out.m_windowCenter = levels / 2.0;
        out.m_windowWidth = levels;
    }
    return true;
}
