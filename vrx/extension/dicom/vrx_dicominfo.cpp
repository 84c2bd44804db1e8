#include "vrx/extension/dicom/vrx_dicominfo.h"

#include "vrx/extension/dicom/vrx_dicominfointernal.h"
#include "vrx/framework/io/vrx_inputstorage.h"

namespace vrx {

VRX_DICOMInfo::VRX_DICOMInfo(VRX_Manager* manager)
    : VRX_FormatInfo(manager),
      VRX_DICOMTagObj(manager),
      declared_data_type_(VRX_DataType::u_integer()) {}

VRX_DICOMInfo::~VRX_DICOMInfo() = default;

const char* VRX_DICOMInfo::format_name() const { return "dicom"; }

uint32_t VRX_DICOMInfo::stored_bits() const {
    uint32_t declared = 0;
    return read_integer(0x0028, 0x0101, declared) && declared > 0 && declared < bits ? declared : bits;
}

bool VRX_DICOMInfo::frame_parts(uint32_t frame, VRX_InputStorage* storage,
                                VRX_Vector<uint32_t>& offsets,
                                VRX_Vector<uint32_t>& lengths) const {
    offsets.clear();
    lengths.clear();
    // The table is the loaded data set's, shared rather than copied.
    const VRX_DICOMInfoInternal* parsed = internal();
    return frame >= frame_count_ || !parsed ||
           parsed->frames.parts_of(frame, storage, offsets, lengths);
}

bool VRX_DICOMInfo::native_value(uint32_t& offset, uint32_t& length) const {
    const VRX_DICOMInfoInternal* parsed = internal();
    if (!has_image_ || encapsulated_ || !parsed) return false;
    offset = parsed->frames.value_offset();
    length = parsed->frames.value_length();
    return true;
}

uint32_t VRX_DICOMInfo::frame_first_bit(uint32_t frame) const {
    const VRX_DICOMInfoInternal* parsed = internal();
    return frame < frame_count_ && parsed ? parsed->frames.first_bit(frame) : 0;
}

bool VRX_DICOMInfo::frame_short(uint32_t frame) const {
    const VRX_DICOMInfoInternal* parsed = internal();
    return frame < frame_count_ && parsed && parsed->frames.is_short(frame);
}

VRX_Vector<uint32_t> VRX_DICOMInfo::frame_offsets(uint32_t frame,
                                                  VRX_InputStorage* storage) const {
    VRX_Vector<uint32_t> offsets(VRX_FormatInfo::manager());
    VRX_Vector<uint32_t> lengths(VRX_FormatInfo::manager());
    if (!frame_parts(frame, storage, offsets, lengths)) offsets.clear();
    return offsets;
}

VRX_Vector<uint32_t> VRX_DICOMInfo::frame_lengths(uint32_t frame,
                                                  VRX_InputStorage* storage) const {
    VRX_Vector<uint32_t> offsets(VRX_FormatInfo::manager());
    VRX_Vector<uint32_t> lengths(VRX_FormatInfo::manager());
    if (!frame_parts(frame, storage, offsets, lengths)) lengths.clear();
    return lengths;
}

void VRX_DICOMInfo::clear_image() {
    // A default header: no size, no palette, the default types.
    VRX_Header::assign(VRX_Header(VRX_FormatInfo::manager()));
    has_palette_ = false;
    byte_order_ = 1;
    words_swapped_ = false;
    planar_ = false;
    frame_count_ = 0;
    pixel_data_start_ = 0;
    pixel_data_size_ = 0;
    encapsulated_ = false;
    has_image_ = false;
    compression_ = 0;
    subsampled_422_ = false;
    declared_data_type_ = VRX_DataType::u_integer();
    transfer_syntax_code_ = 0;
}

bool VRX_DICOMInfo::reads_transfer_syntax(std::u16string_view uid) {
    return VRX_DICOMInfoInternal::reads_transfer_syntax(uid);
}

bool VRX_DICOMInfo::load_body(VRX_InputStorage* storage) {
    const int32_t position = storage->position();
    // Nothing of an earlier load may describe this file.
    clear_image();
    VRX_DICOMInfoInternal* parsed = VRX_DICOMTagObj::load() ? internal() : nullptr;
    const bool ok = parsed && parsed->decode_start(storage, false) &&
                    (!parsed->has_pixel_data() || fill(*parsed));
    if (!ok) {
        storage->seek_from_begin(position);
        return false;
    }
    has_image_ = parsed->has_pixel_data();
    return true;
}

bool VRX_DICOMInfo::fill(const VRX_DICOMInfoInternal& parsed) {
    planar_ = parsed.planar != 0;
    width = parsed.columns;
    height = parsed.rows;
    // A sample count no header can carry leaves the header invalid.
    channels =
        parsed.samples_per_pixel <= 0xFFFF ? static_cast<uint16_t>(parsed.samples_per_pixel) : 0;
    bits = parsed.bits_allocated;
    if (!color_type(parsed.color_type) || !encode_type(parsed.encode_type) ||
        !palette(parsed.palette))
        return false;
    has_palette_ = parsed.has_palette != 0;
    compression_ = parsed.compression;
    byte_order_ = parsed.byte_order;
    words_swapped_ = parsed.words_swapped;
    pixel_data_start_ = parsed.pixel_data_start;
    pixel_data_size_ = parsed.pixel_data_size;
    frame_count_ = parsed.frame_count;
    encapsulated_ = parsed.encapsulated;
    subsampled_422_ = parsed.subsampled_422;
    if (parsed.data_type == VRX_DataType::s_integer()) {
        declared_data_type_ = VRX_DataType::s_integer();
        // The decompressors deliver unsigned samples; the chain restores the
        // signed type behind them. Palette indices are read as their stored
        // bits, which the palette maps as signed numbers.
        data_type(compression_ == 0 && !has_palette_ ? VRX_DataType::s_integer()
                                                      : VRX_DataType::u_integer());
    } else {
        declared_data_type_ = VRX_DataType::u_integer();
        data_type(VRX_DataType::u_integer());
    }
    transfer_syntax_code_ = parsed.transfer_syntax_code;
    return true;
}

}  // namespace vrx
