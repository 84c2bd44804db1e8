#pragma once
// The format information of one DICOM file: its image header (size, samples,
// data type, colour type, encode type, palette) and what the decode chain
// needs to find and decode one frame (compression, planar configuration,
// byte order, the parts of every frame). Through its tag access it also
// answers any attribute of the file.
//
//   VRX_DICOMInfo info(manager);
//   if (info.load(storage) && info.has_image()) {
//       ... info.width, info.height, info.frame_count(), info.get_string(...) ...
//   }
#include <cstdint>
#include <string_view>

#include "vrx/extension/dicom/vrx_dicomtagobj.h"
#include "vrx/framework/include/vrx_vector.h"
#include "vrx/framework/io/vrx_formatinfo.h"

namespace vrx {

class VRX_DICOMInfo : public VRX_FormatInfo, public VRX_DICOMTagObj {
   public:
    explicit VRX_DICOMInfo(VRX_Manager* manager);
    ~VRX_DICOMInfo() override;

    // Loading is the format information's (the tag access loads through it).
    using VRX_FormatInfo::load;

    // "dicom".
    const char* format_name() const override;

    // True for a transfer syntax whose pixel data the chains read (an empty
    // UID reads as implicit VR little endian); a file in any other is
    // refused with 0x81000000.
    static bool reads_transfer_syntax(std::u16string_view uid);

    // The frame's part offsets and lengths (storage positions), made from
    // the frame table that the loaded data set holds; empty for a frame
    // number at or beyond the number of frames. The parts of a frame that
    // the basic offset table locates are read from the item headers in
    // `storage`, the one the information was loaded from (its position is
    // kept); without it they are empty.
    VRX_Vector<uint32_t> frame_offsets(uint32_t frame, VRX_InputStorage* storage = nullptr) const;
    VRX_Vector<uint32_t> frame_lengths(uint32_t frame, VRX_InputStorage* storage = nullptr) const;
    // The bit of the frame's first byte at which it begins (0 is the least
    // significant bit): frames of 1-bit samples follow one another bit by
    // bit; 0 for every other frame.
    uint32_t frame_first_bit(uint32_t frame) const;
    // The native pixel data ends inside the frame: its samples are not all
    // there.
    bool frame_short(uint32_t frame) const;
    // Both at once; false when memory runs out or a located frame's items
    // cannot be read from `storage`.
    bool frame_parts(uint32_t frame, VRX_InputStorage* storage, VRX_Vector<uint32_t>& offsets,
                     VRX_Vector<uint32_t>& lengths) const;

    // A palette was built from the data set.
    bool has_palette() const { return has_palette_; }
    // 1: samples as stored (little endian); 0: big endian, multi-byte
    // samples are swapped by the reader.
    uint32_t byte_order() const { return byte_order_; }
    // 8-bit or 1-bit samples in 16-bit words stored most significant byte
    // first (explicit VR big endian, Pixel Data of VR OW): the reader
    // exchanges the two bytes of every word of the value back.
    bool words_swapped() const { return words_swapped_; }
    // Storage offset and length of a native Pixel Data value; false for
    // encapsulated pixel data or none.
    bool native_value(uint32_t& offset, uint32_t& length) const;
    // Planar Configuration is non-zero.
    bool planar() const { return planar_; }
    uint32_t frame_count() const { return frame_count_; }
    // Storage position of the Pixel Data tag, and the bytes from there to the
    // end of its value.
    uint32_t pixel_data_start() const { return pixel_data_start_; }
    uint32_t pixel_data_size() const { return pixel_data_size_; }
    // Pixel data in items: a frame is a list of parts.
    bool encapsulated() const { return encapsulated_; }
    // The data set has Pixel Data and the header was filled.
    bool has_image() const { return has_image_; }
    // 0 native, 1 JPEG baseline or extended, 2 JPEG lossless, 3 RLE lossless.
    uint32_t compression() const { return compression_; }
    // The photometric interpretation is YBR_FULL_422.
    bool subsampled_422() const { return subsampled_422_; }
    // The data type Pixel Representation declares (the header keeps
    // unsigned samples for compressed data, whose decoders deliver them).
    const VRX_DataType* declared_data_type() const { return declared_data_type_; }
    // The significant bits of a sample: Bits Stored, at most the allocated
    // bits; the allocated bits when it is missing or 0.
    uint32_t stored_bits() const;
    // 0 implicit VR little endian (or none given), 1 explicit VR little
    // endian, 3 explicit VR big endian, 4 JPEG baseline, 5 JPEG extended,
    // 11 JPEG lossless, 21 JPEG lossless first-order prediction, 31 RLE.
    uint32_t transfer_syntax_code() const { return transfer_syntax_code_; }

   protected:
    // Parses the file from the storage's position; the storage is moved
    // back when that fails.
    bool load_body(VRX_InputStorage* storage) override;

   private:
    bool fill(const VRX_DICOMInfoInternal& internal);
    // Brings the header and the image members back to their defaults.
    void clear_image();

    bool has_palette_ = false;
    uint32_t byte_order_ = 1;
    bool words_swapped_ = false;
    bool planar_ = false;
    uint32_t frame_count_ = 0;
    uint32_t pixel_data_start_ = 0;
    uint32_t pixel_data_size_ = 0;
    bool encapsulated_ = false;
    bool has_image_ = false;
    uint32_t compression_ = 0;
    bool subsampled_422_ = false;
    const VRX_DataType* declared_data_type_;
    uint32_t transfer_syntax_code_ = 0;
};

}  // namespace vrx
