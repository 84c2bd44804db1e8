#pragma once
// The owner of one parsed DICOM data set and of the image attributes derived
// from it: size, bits, sample type, compression by transfer syntax, colour
// type from the photometric interpretation, the palette, and where each
// frame's pixel data lies in the storage.
//
// decode_start() feeds the data set from an input storage through the
// reader's read and skip callbacks. Pixel Data is never read then: its
// position is recorded, and the decode chain reads the frames from the
// storage later. Tag objects share one owner by reference count.
#include <cstdint>
#include <string_view>

#include "vrx/extension/dicom/vrx_dicomframetable.h"
#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/base/vrx_object.h"
#include "vrx/framework/include/vrx_vector.h"

class TogDicomDataset;
class TogDicomDataElement;
class TogString;

namespace vrx {

class VRX_InputStorage;

class VRX_DICOMInfoInternal : public VRX_Object {
   public:
    // Kinds of pixel data compression.
    static constexpr uint32_t compression_none = 0;
    static constexpr uint32_t compression_jpeg_lossy = 1;
    static constexpr uint32_t compression_jpeg_lossless = 2;
    static constexpr uint32_t compression_rle = 3;

    explicit VRX_DICOMInfoInternal(VRX_Manager* manager);
    // Releases the data set.
    ~VRX_DICOMInfoInternal() override;

    // Destroys the data set and gives its memory back.
    virtual void release_dataset();
    // Makes an empty data set with the library's default settings; `keep_odd`
    // keeps odd value lengths as read. False when it cannot be made.
    virtual bool create_dataset(bool keep_odd);

    // Parses the storage from its position (a Part 10 file, or with
    // `fixed_layout` the fixed-layout element stream) and derives the image
    // attributes when the data set has Pixel Data. A parse error is only a
    // warning (0x40400000): what was read is used.
    bool decode_start(VRX_InputStorage* storage, bool fixed_layout);

    // Size, bits, sample type, compression and colour (the Pixel Data
    // position and size first); false after a report.
    bool load_attributes();
    // The same without the colour correction and without the Pixel Data
    // fields.
    bool load_attributes_without_colour();
    bool get_info_compression_type();
    // True for a transfer syntax whose pixel data the chains read (an empty
    // UID reads as implicit VR little endian).
    static bool reads_transfer_syntax(std::u16string_view uid);
    bool get_info_color_type();
    bool get_info_palette();
    bool correct_color();
    // Frame positions: the parts of every frame (storage offsets and
    // lengths) and the frame count. Needs the attributes.
    bool get_pixel_offset();
    bool has_pixel_data() const;

    TogDicomDataset* dataset() const { return dataset_; }
    TogDicomDataElement* root() const { return root_; }
    // Storage position of the first byte handed to the reader.
    int64_t base_position() const { return base_position_; }

    // ---- attributes ----
    // Where every frame lies; shared by every object that shares the data
    // set.
    VRX_DICOMFrameTable frames;
    bool encapsulated = false;
    uint32_t columns = 0;
    uint32_t rows = 0;
    uint32_t samples_per_pixel = 0;
    uint16_t bits_allocated = 0;
    uint16_t bits_stored = 0;
    uint16_t high_bit = 0;
    uint32_t compression = compression_none;
    const VRX_EncodeType* encode_type;
    const VRX_ColorType* color_type;
    const VRX_DataType* data_type;
    VRX_Header::VRX_Palette palette;
    // 1 little endian, 0 big endian.
    uint8_t byte_order = 1;
    uint8_t planar = 0;
    uint8_t has_palette = 0;
    // The photometric interpretation is YBR_FULL_422: two pixels share one
    // chroma pair.
    bool subsampled_422 = false;
    // Samples of 8 bits or 1 bit in 16-bit words stored most significant byte
    // first (explicit VR big endian with Pixel Data of VR OW): the reader
    // exchanges the two bytes of every word of the value.
    bool words_swapped = false;
    uint32_t frame_count = 0;
    uint32_t pixel_data_start = 0;
    uint32_t pixel_data_size = 0;
    // 0 implicit VR little endian, 1 explicit little, 3 explicit big,
    // 4 JPEG baseline, 5 JPEG extended, 11 JPEG lossless, 21 JPEG lossless
    // first-order prediction, 31 RLE lossless.
    uint32_t transfer_syntax_code = 0;

   private:
    bool text_of(uint16_t group, uint16_t element, TogString& out) const;
    uint32_t unsigned_of(uint16_t group, uint16_t element) const;
    bool load_sizes();
    bool native_frames(const TogDicomDataElement& pixel_data, int64_t value_offset);
    bool encapsulated_frames(const TogDicomDataElement& pixel_data);
    bool add_frame(size_t first, size_t parts);
    // The frames of the basic offset table `entries` after the reader passed
    // over the items of all but the last.
    bool located_frames(const uint8_t* entries, uint32_t table_entries, uint32_t declared);
    // Number of frames the data set declares (at least 1).
    uint32_t declared_frames() const;
    bool starts_jpeg_stream(uint32_t offset);

    TogDicomDataset* dataset_ = nullptr;
    TogDicomDataElement* root_ = nullptr;
    // Set while decode_start runs.
    VRX_InputStorage* storage_ = nullptr;
    int64_t base_position_ = 0;
};

}  // namespace vrx
