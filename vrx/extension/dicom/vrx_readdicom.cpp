#include "vrx/extension/dicom/vrx_readdicom.h"

#include <algorithm>
#include <cstdio>

#include "vrx/core/applypalette/vrx_applypalette.h"
#include "vrx/core/jfif/vrx_jfifinfo.h"
#include "vrx/core/jfif/vrx_readjfif.h"
#include "vrx/core/jpeg/vrx_jpeginfo.h"
#include "vrx/core/jpeg/vrx_readjpeg.h"
#include "vrx/core/jpeg/vrx_readlosslessjpeg.h"
#include "vrx/core/storage/vrx_readstorage.h"
#include "vrx/core/storage/vrx_wordswapinputstorage.h"
#include "vrx/extension/combinedstorage/vrx_combinedinputstorage.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"
#include "vrx/extension/dicom/vrx_readstorageplanar.h"
#include "vrx/extension/dicom/vrx_ybr422toycbcr.h"
#include "vrx/extension/readdicomrleframe/vrx_readdicomrleframe.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/engine/vrx_rewriteheader.h"
#include "vrx/framework/io/vrx_inputstoragebound.h"
#include "vrx/framework/io/vrx_moveinmoveoutinputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kEngine = "VRX_ReadDICOM::engine()";
constexpr const char* kResetHeader = "VRX_ReadDICOM::reset_comp_header()";

using Bound = VRX_InputStorageBound<VRX_InputStorage>;
using MoveInMoveOut = VRX_MoveInMoveOutInputStorage<VRX_InputStorage>;

void destroy_all(VRX_Vector<VRX_InputStorage*>& storages) {
    for (VRX_InputStorage* s : storages) s->destroy();
    storages.clear();
}

// The samples of the lossless lines that damage or a stream cut short
// loses: the middle of the range the samples can hold, that of the stored
// bits (at most the allocated ones) or of the stream's precision when it is
// smaller, 0 for signed samples, so that they show mid-grey under the
// frame's full range.
uint16_t lost_sample(const VRX_DICOMInfo& info, const VRX_JPEGInfo& stream) {
    if (info.declared_data_type() == VRX_DataType::s_integer()) return 0;
    const uint32_t bits = std::min(info.stored_bits(), stream.precision());
    return static_cast<uint16_t>(1u << (std::clamp<uint32_t>(bits, 1, 16) - 1));
}

}  // namespace

VRX_Engine* VRX_ReadDICOM::engine(VRX_InputStorage* storage, uint32_t frame) {
    VRX_DICOMInfo info(manager_);
    if (!info.load(storage)) {
        manager_->report(VRX_ERROR_FORMAT_INFO, kEngine, __FILE__, 79);
        return nullptr;
    }
    return engine(storage, info, frame);
}

VRX_InputStorage* VRX_ReadDICOM::swapped_words(VRX_InputStorage* storage,
                                               const VRX_DICOMInfo& info, uint32_t offset) {
    // The words count from the value's first byte, which a frame need not
    // start on.
    uint32_t value = 0;
    uint32_t length = 0;
    if (!info.native_value(value, length) || offset < value ||
        !storage->seek_from_begin(static_cast<int32_t>(value))) {
        manager_->report(VRX_ERROR_IO, kEngine, __FILE__, 162);
        return nullptr;
    }
    Bound* window = Bound::create(manager_, storage, static_cast<int32_t>(length));
    // The decorator keeps the window alive.
    VRX_InputStorage* words = window ? VRX_WordSwapInputStorage::create(manager_, window) : nullptr;
    vrx::destroy(window);
    if (words && words->seek_from_begin(static_cast<int32_t>(offset - value))) return words;
    vrx::destroy(words);
    manager_->report(VRX_ERROR_IO, kEngine, __FILE__, 162);
    return nullptr;
}

VRX_InputStorage* VRX_ReadDICOM::frame_source(VRX_InputStorage* storage,
                                              const VRX_DICOMInfo& info,
                                              const VRX_Vector<uint32_t>& offsets,
                                              const VRX_Vector<uint32_t>& lengths) {
    if (!info.encapsulated()) {
        // The reader sees the frame's bytes only, so that a short frame ends
        // as truncated rather than running into what follows it.
        VRX_InputStorage* from = storage;
        if (info.words_swapped()) {
            from = swapped_words(storage, info, offsets[0]);
            if (!from) return nullptr;
        } else if (!storage->seek_from_begin(static_cast<int32_t>(offsets[0]))) {
            manager_->report(VRX_ERROR_IO, kEngine, __FILE__, 162);
            return nullptr;
        }
        VRX_InputStorage* frame = Bound::create(manager_, from, static_cast<int32_t>(lengths[0]));
        if (from != storage) from->destroy();
        return frame;
    }
    VRX_Vector<VRX_InputStorage*> parts(manager_);
    for (size_t i = 0; i < offsets.size(); ++i) {
        MoveInMoveOut* reader = MoveInMoveOut::create(manager_, storage);
        if (!reader) {
            destroy_all(parts);
            manager_->report(VRX_ERROR_IO, kEngine, __FILE__, 126);
            return nullptr;
        }
        if (!reader->seek_from_begin(static_cast<int32_t>(offsets[i]))) {
            reader->destroy();
            destroy_all(parts);
            manager_->report(VRX_ERROR_IO, kEngine, __FILE__, 132);
            return nullptr;
        }
        // The window keeps the reader alive.
        Bound* part = Bound::create(manager_, reader, static_cast<int32_t>(lengths[i]));
        reader->destroy();
        if (!part) {
            destroy_all(parts);
            return nullptr;
        }
        if (!parts.push_back(part)) {
            part->destroy();
            destroy_all(parts);
            manager_->report(VRX_ERROR_IO, kEngine, __FILE__, 145);
            return nullptr;
        }
    }
    // The combined storage keeps its parts alive.
    VRX_InputStorage* combined = VRX_CombinedInputStorage::create(manager_, parts);
    destroy_all(parts);
    if (!combined) manager_->report(VRX_ERROR_IO, kEngine, __FILE__, 155);
    return combined;
}

VRX_Engine* VRX_ReadDICOM::native_reader(VRX_InputStorage* source, const VRX_DICOMInfo& info,
                                         uint32_t frame) {
    // 1-bit samples are one stream of bits across rows and frames.
    if (info.bits == 1)
        return VRX_ReadStorage(manager_).bit_stream_engine(source, info, 0, info.frame_first_bit(frame));
    const int32_t order = static_cast<int32_t>(info.byte_order());
    // YBR_FULL_422 lines hold two samples per pixel; they are read in that
    // size and expanded.
    if (info.subsampled_422()) return VRX_YBR422ToYCbCr(manager_).engine(source, info, 0, order);
    if (info.planar()) return VRX_ReadStoragePlanar(manager_).engine(source, info, 0, 0, order);
    return VRX_ReadStorage(manager_).engine(source, info, 0, 0, order);
}

bool VRX_ReadDICOM::stream_matches(const VRX_JPEGInfo& stream, const VRX_DICOMInfo& info) {
    // The stream's samples must fill the frame the file declares: its size,
    // one component per sample, and a precision the allocated bits hold
    // (Bits Stored may differ either way: encoders write precision 16 for 12
    // stored bits, and 8-bit streams stand in 16-bit frames).
    if (stream.width == info.width && stream.height == info.height && stream.channels == info.channels &&
        stream.precision() <= info.bits)
        return true;
    std::snprintf(mismatch_, sizeof mismatch_,
                  "the JPEG stream is %u x %u with %u component%s of %u bits, the file declares %u x %u "
                  "with %u sample%s in %u bits",
                  unsigned{stream.width}, unsigned{stream.height}, unsigned{stream.channels},
                  stream.channels == 1 ? "" : "s", stream.precision(), unsigned{info.width},
                  unsigned{info.height}, unsigned{info.channels}, info.channels == 1 ? "" : "s",
                  unsigned{info.bits});
    manager_->report(VRX_ERROR_DATA, kEngine, __FILE__, 206);
    return false;
}

VRX_Engine* VRX_ReadDICOM::named_refusal(VRX_Engine* reader, const VRX_JPEGInfo& stream) {
    static constexpr const char* kWords[] = {
        "12-bit DCT JPEG (SOF1, 12-bit precision) is not supported",
        "12-bit DCT JPEG (SOF2, 12-bit precision) is not supported"};
    const uint32_t marker = stream.frame_marker();
    if (!reader && stream.precision() == 12 && (marker == 0xC1 || marker == 0xC2))
        unsupported_ = kWords[marker - 0xC1];
    return reader;
}

VRX_Engine* VRX_ReadDICOM::jpeg_reader(VRX_InputStorage* source, const VRX_DICOMInfo& info,
                                       bool& keep_colour) {
    // Each stream's header is read first and compared with the file before
    // anything is decoded. A stream whose header does not load goes to the
    // reader itself, which reports why.
    const int32_t start = source->position();
    if (info.compression() == 2) {
        VRX_JPEGInfo stream(manager_);
        if (!stream.load(source)) {
            source->seek_from_begin(start);
            return VRX_ReadLosslessJPEG(manager_).engine(source);
        }
        if (!stream_matches(stream, info)) return nullptr;
        decoder_ = stream.internal();
        VRX_Engine* reader = VRX_ReadLosslessJPEG(manager_).engine(source, stream, lost_sample(info, stream));
        return reader && info.subsampled_422() ? VRX_YBR422ToYCbCr(manager_).engine(reader, 1)
                                               : reader;
    }
    // A JFIF stream keeps the colour type its own header gives.
    VRX_JFIFInfo jfif(manager_);
    if (jfif.load(source)) {
        keep_colour = true;
        if (!stream_matches(jfif, info)) return nullptr;
        decoder_ = jfif.internal();
        return named_refusal(VRX_ReadJFIF(manager_).engine(source, jfif, 256), jfif);
    }
    VRX_JPEGInfo stream(manager_);
    if (!stream.load(source)) {
        source->seek_from_begin(start);
        return VRX_ReadJPEG(manager_).engine(source, 256);
    }
    if (!stream_matches(stream, info)) return nullptr;
    decoder_ = stream.internal();
    return named_refusal(VRX_ReadJPEG(manager_).engine(source, stream, 256), stream);
}

VRX_Engine* VRX_ReadDICOM::engine(VRX_InputStorage* storage, const VRX_DICOMInfo& info,
                                  uint32_t frame) {
    mismatch_[0] = '\0';
    unsupported_ = "";
    decoder_.release();
    if (!storage || storage->is_closed() || !info.is_loaded() || !info.is_valid()) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngine, __FILE__, 97);
        return nullptr;
    }
    if (frame >= info.frame_count()) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngine, __FILE__, 103);
        return nullptr;
    }
    VRX_Vector<uint32_t> offsets(manager_);
    VRX_Vector<uint32_t> lengths(manager_);
    // A native frame the value ends inside is refused before any engine
    // (and the caller's frame memory) exists: its reader would fail at the
    // missing lines anyway.
    if (!info.frame_parts(frame, storage, offsets, lengths) || offsets.empty() ||
        offsets.size() != lengths.size() || info.frame_short(frame)) {
        manager_->report(VRX_ERROR_DATA, kEngine, __FILE__, 109);
        return nullptr;
    }
    uint64_t total = 0;
    for (uint32_t length : lengths) total += length;
    if (total > UINT32_MAX) {
        manager_->report(VRX_ERROR_DATA, kEngine, __FILE__, 115);
        return nullptr;
    }

    VRX_InputStorage* source = frame_source(storage, info, offsets, lengths);
    if (!source) return nullptr;
    VRX_Engine* reader = nullptr;
    bool keep_colour = false;
    const uint32_t compression = info.compression();
    switch (compression) {
        case 0:
            reader = native_reader(source, info, frame);
            break;
        case 1:
        case 2:
            reader = jpeg_reader(source, info, keep_colour);
            if (reader && info.has_palette()) {
                // The decoder's header does not carry the file's palette.
                VRX_Header with_palette(manager_);
                reader = with_palette.assign(*reader->header()) &&
                                 with_palette.palette(info.palette()) &&
                                 with_palette.color_type(info.color_type())
                             ? VRX_RewriteHeader(manager_).engine(reader, &with_palette)
                             : nullptr;
            }
            break;
        case 3:
            reader =
                VRX_ReadDICOMRLEFrame(manager_).engine(source, info, static_cast<uint32_t>(total));
            break;
        default:
            manager_->report(VRX_ERROR_UNSUPPORTED, kEngine, __FILE__, 224);
            break;
    }
    if (reader) reader = VRX_ApplyPalette(manager_).engine(reader);
    if (reader && compression != 0) reader = reset_comp_header(reader, info, keep_colour);
    // The chain's readers keep their storage alive.
    source->destroy();
    return reader;
}

VRX_Engine* VRX_ReadDICOM::reset_comp_header(VRX_Engine* engine, const VRX_DICOMInfo& info,
                                             bool keep_colour) {
    const VRX_Header* header = engine ? engine->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, kResetHeader, __FILE__, 266);
        return nullptr;
    }
    VRX_Header copy(manager_);
    if (!copy.assign(*header)) {
        manager_->report(VRX_ERROR_ARGUMENT, kResetHeader, __FILE__, 272);
        return nullptr;
    }
    bool changed = false;
    // Colours looked up in a palette are unsigned, whatever its indices are.
    if (info.declared_data_type() == VRX_DataType::s_integer() && !info.has_palette() &&
        copy.data_type() != VRX_DataType::s_integer()) {
        copy.data_type(VRX_DataType::s_integer());
        changed = true;
    }
    if (!keep_colour && copy.color_type() != info.color_type()) {
        copy.color_type(info.color_type());
        changed = true;
    }
    return changed ? VRX_RewriteHeader(manager_).engine(engine, &copy) : engine;
}

}  // namespace vrx
