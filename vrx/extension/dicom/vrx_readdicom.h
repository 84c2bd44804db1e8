#pragma once
// The creator at the head of every decode chain: one frame of a DICOM file
// becomes one engine whose lines are the frame's pixels, with the palette
// applied and the sample and colour types the file declares. The caller
// appends its own stages (bit mask or sign extension, rescale, conversion,
// write to memory).
//
//   VRX_FileInputStorage* file = VRX_FileInputStorage::create(manager, path);
//   VRX_Engine* frame = VRX_ReadDICOM(manager).engine(file, 0);
//   VRX_Engine* out = VRX_WriteMemory(manager).engine(frame, pixels, size);
//   while (out && out->execute()) {}
//   manager.execute(status);
//   file->destroy();
//
// The storage must outlive the chain. JPEG frames are read by the JFIF
// reader when they carry a JFIF APP0 segment (keeping the stream's colour
// type), else by the JPEG reader; lossless frames by the lossless reader.
#include <cstdint>

#include "vrx/core/jpeg/vrx_jpeginfointernal.h"
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/include/vrx_sharedowner.h"

namespace vrx {

class VRX_DICOMInfo;
class VRX_Engine;
class VRX_InputStorage;
class VRX_JPEGInfo;

class VRX_ReadDICOM : public VRX_EngineCreator {
   public:
    explicit VRX_ReadDICOM(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ReadDICOM() override = default;

    // Frame `frame` (from 0) of the loaded `info` of the file in `storage`;
    // null after a report.
    virtual VRX_Engine* engine(VRX_InputStorage* storage, const VRX_DICOMInfo& info,
                               uint32_t frame);
    // Loads the file's information from the storage first (0x80100000 when
    // it does not load).
    virtual VRX_Engine* engine(VRX_InputStorage* storage, uint32_t frame);

    // Restores behind a decompressor the signed data type the file declares
    // and, unless `keep_colour`, the file's colour type: `engine` itself when
    // nothing changes, else a header rewrite of it; null after a report.
    VRX_Engine* reset_comp_header(VRX_Engine* engine, const VRX_DICOMInfo& info, bool keep_colour);

    // After engine refused a frame whose JPEG stream does not match the file
    // (0x80400000): both sizes in words; empty otherwise.
    const char* mismatch() const { return mismatch_; }
    // After engine failed on a frame of a coding process that the decoders
    // do not offer and that has words of its own (12-bit DCT JPEG, extended
    // or progressive): those words; empty otherwise. The failure is
    // 0x81000000, or 0x80200000 where a JFIF stream's reader refused the
    // precision.
    const char* unsupported() const { return unsupported_; }
    // After engine made the reader of a frame: its JPEG stream is
    // progressive (damage then keeps what the scans before it gave).
    bool progressive() const { return decoder_.counted() && decoder_->is_progressive(); }
    // After the frame's lines were read: the kinds of damage its JPEG
    // decoder met (the decoder's kJpegDamage bits), 0 for none or for a
    // frame of another coding. The creator keeps the decoder for this.
    uint32_t jpeg_damage() const { return decoder_.counted() ? decoder_->damage() : 0; }

   private:
    // The storage the frame's reader reads: a window over the frame's bytes
    // (over the value read with its words' bytes exchanged, when the info
    // says so), or the frame's parts read one after the other. Null after a
    // report.
    VRX_InputStorage* frame_source(VRX_InputStorage* storage, const VRX_DICOMInfo& info,
                                   const VRX_Vector<uint32_t>& offsets,
                                   const VRX_Vector<uint32_t>& lengths);
    // A window of the value read with its words' bytes exchanged, moved to
    // the frame at `offset`; null after a report.
    VRX_InputStorage* swapped_words(VRX_InputStorage* storage, const VRX_DICOMInfo& info,
                                    uint32_t offset);
    VRX_Engine* native_reader(VRX_InputStorage* source, const VRX_DICOMInfo& info, uint32_t frame);
    VRX_Engine* jpeg_reader(VRX_InputStorage* source, const VRX_DICOMInfo& info, bool& keep_colour);
    // The stream's frame header against the file's Rows, Columns, Samples
    // per Pixel and Bits Allocated; false after a report (and the words in
    // mismatch_).
    bool stream_matches(const VRX_JPEGInfo& stream, const VRX_DICOMInfo& info);
    // `reader`, the reader made for `stream`; when it is null and the stream
    // is a 12-bit DCT one, its words go into unsupported_.
    VRX_Engine* named_refusal(VRX_Engine* reader, const VRX_JPEGInfo& stream);

    char mismatch_[192] = {};
    const char* unsupported_ = "";
    VRX_SharedOwner<VRX_JPEGInfoInternal> decoder_;  // of the frame's JPEG stream
};

}  // namespace vrx
