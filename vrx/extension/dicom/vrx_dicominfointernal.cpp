#include "vrx/extension/dicom/vrx_dicominfointernal.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "dicomlib/togdicomdataset.h"
#include "dicomlib/togresult.h"
#include "platform/byte_count.h"
#include "vrx/extension/dicom/vrx_dicomitemheader.h"
#include "vrx/extension/dicom/vrx_dicompalettetable.h"
#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/include/vrx_failure.h"
#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kDecodeStart = "VRX_DICOMInfoInternal::decode_start()";
constexpr const char* kCompression = "VRX_DICOMInfoInternal::get_info_compression_type()";
constexpr const char* kColor = "VRX_DICOMInfoInternal::get_info_color_type()";
constexpr const char* kCorrect = "VRX_DICOMInfoInternal::correct_color()";
constexpr const char* kPixelOffset = "VRX_DICOMInfoInternal::get_pixel_offset()";
constexpr const char* kAttributes = "VRX_DICOMInfoInternal::load_attributes()";
constexpr const char* kTextOf = "VRX_DICOMInfoInternal::text_of()";

constexpr uint16_t kItemGroup = VRX_DICOMItemHeader::item_group;
constexpr uint16_t kItem = VRX_DICOMItemHeader::item_element;
constexpr uint32_t kUndefinedLength = 0xFFFFFFFFu;
// Bytes of an item's tag and length in front of its value.
constexpr int64_t kItemHeaderBytes = VRX_DICOMItemHeader::bytes;

int read_storage(void* buffer, int64_t, uint32_t count, void* context, uint8_t* end_of_data) {
    auto* storage = static_cast<VRX_InputStorage*>(context);
    if (!buffer || count == 0) {
        if (end_of_data) *end_of_data = storage->is_end() ? 1 : 0;
        return 0;
    }
    if (count > static_cast<uint32_t>(INT32_MAX)) return -1;
    const int32_t got = storage->read(buffer, static_cast<int32_t>(count));
    if (end_of_data) *end_of_data = storage->is_end() ? 1 : 0;
    return got == static_cast<int32_t>(count) ? 0 : -1;
}

int skip_storage(int64_t, int32_t distance, void* context) {
    auto* storage = static_cast<VRX_InputStorage*>(context);
    return storage->move(distance) == distance ? 0 : -1;
}

struct TransferSyntax {
    const char16_t* uid;
    uint32_t compression;
    const VRX_EncodeType* (*encode)();
    uint8_t byte_order;
    uint32_t code;
};

const TransferSyntax kTransferSyntaxes[] = {
    {u"1.2.840.10008.1.2", 0, &VRX_EncodeType::raw, 1, 0},
    {u"1.2.840.10008.1.2.1", 0, &VRX_EncodeType::raw, 1, 1},
    {u"1.2.840.10008.1.2.2", 0, &VRX_EncodeType::raw, 0, 3},
    {u"1.2.840.10008.1.2.4.50", 1, &VRX_EncodeType::jpeg, 1, 4},
    {u"1.2.840.10008.1.2.4.51", 1, &VRX_EncodeType::jpeg, 1, 5},
    {u"1.2.840.10008.1.2.4.57", 2, &VRX_EncodeType::jpeg, 1, 11},
    {u"1.2.840.10008.1.2.4.70", 2, &VRX_EncodeType::jpeg, 1, 21},
    {u"1.2.840.10008.1.2.5", 3, &VRX_EncodeType::pack_bits, 1, 31},
    {u"", 0, &VRX_EncodeType::raw, 1, 0},
};

}  // namespace

VRX_DICOMInfoInternal::VRX_DICOMInfoInternal(VRX_Manager* manager)
    : VRX_Object(manager),
      frames(manager),
      encode_type(VRX_EncodeType::raw()),
      color_type(VRX_ColorType::none()),
      data_type(VRX_DataType::u_integer()),
      palette(manager) {}

VRX_DICOMInfoInternal::~VRX_DICOMInfoInternal() { release_dataset(); }

void VRX_DICOMInfoInternal::release_dataset() {
    if (!dataset_) return;
    dataset_->~TogDicomDataset();
    detail::deallocate(manager_, dataset_);
    dataset_ = nullptr;
    root_ = nullptr;
}

bool VRX_DICOMInfoInternal::create_dataset(bool keep_odd) {
    release_dataset();
    void* memory = detail::allocate(manager_, sizeof(TogDicomDataset));
    if (!memory) return false;
    dataset_ = ::new (memory) TogDicomDataset(nullptr);
    dataset_->SetKeepOddLengths(keep_odd);
    root_ = dataset_->GetRoot();
    if (root_) return true;
    release_dataset();
    return false;
}

bool VRX_DICOMInfoInternal::decode_start(VRX_InputStorage* storage, bool fixed_layout) {
    if (!dataset_ || !storage) return false;
    try {
        storage_ = storage;
        base_position_ = storage->position();
        const int32_t size = storage->size();
        const int64_t source_size = size >= base_position_ ? size - base_position_ : -1;
        bool ok = false;
        // A data set cut short where memory ran out is not damage: nothing of
        // it is used.
        if (fixed_layout) {
            const int parsed =
                dataset_->OpenReading(&read_storage, &skip_storage, storage, 1, source_size);
            if (parsed == TogDicomLib::ResultOutOfMemory)
                manager_->report(VRX_ERROR_OUT_OF_MEMORY, kDecodeStart, __FILE__, __LINE__);
            ok = parsed == TogDicomLib::ResultSuccess && load_attributes_without_colour();
        } else {
            // The frames of a long multi-frame file are found by its offset
            // table, without reading every fragment item.
            dataset_->SetFramesByOffsetTable(true);
            const int parsed = dataset_->OpenReadingFile(&read_storage, &skip_storage, storage,
                                                         true, TogString(), 1, source_size);
            if (parsed == TogDicomLib::ResultOutOfMemory) {
                manager_->report(VRX_ERROR_OUT_OF_MEMORY, kDecodeStart, __FILE__, __LINE__);
                storage_ = nullptr;
                return false;
            }
            if (parsed != TogDicomLib::ResultSuccess)
                manager_->report(VRX_WARNING_DATA, kDecodeStart, __FILE__, 179);
            root_ = dataset_->GetRoot();
            TogString uid;
            if (parsed != TogDicomLib::ResultSuccess && text_of(0x0002, 0x0010, uid) &&
                TogDicomLib::TransferSyntaxEncoding(uid) == TogDicomLib::Encoding::Deflated) {
                // The data set after the meta group is deflated, which this
                // library does not read: an encoding it does not support, not
                // a file without an image.
                manager_->report(VRX_ERROR_UNSUPPORTED, kDecodeStart, __FILE__, __LINE__);
            } else if (has_pixel_data()) {
                // The frame positions depend on the image attributes.
                ok = load_attributes() && get_pixel_offset();
            } else if (root_->FindChild(0x0004, 0x1220) || root_->FindChild(0x0002, 0x0010) ||
                       root_->FindChild(0x0002, 0x0002)) {
                ok = true;
            } else {
                // Nothing of a DICOM file was found.
                manager_->report(VRX_ERROR_DATA, kDecodeStart, __FILE__, 195);
            }
        }
        storage_ = nullptr;
        return ok;
    } catch (...) {
        storage_ = nullptr;
        detail::report_caught(manager_, kDecodeStart, __FILE__, 202);
        return false;
    }
}

bool VRX_DICOMInfoInternal::has_pixel_data() const {
    return root_ && root_->FindChild(0x7FE0, 0x0010) != nullptr;
}

bool VRX_DICOMInfoInternal::text_of(uint16_t group, uint16_t element, TogString& out) const {
    out.Clear();
    const TogDicomDataElement* e = root_ ? root_->FindChild(group, element) : nullptr;
    const int result = e ? e->GetText(out, TogDicomLib::VR::Blank, -1) : TogDicomLib::ResultNoValue;
    // A text that could not be made is no absent attribute.
    if (result == TogDicomLib::ResultOutOfMemory)
        manager_->report(VRX_ERROR_OUT_OF_MEMORY, kTextOf, __FILE__, __LINE__);
    return result == TogDicomLib::ResultSuccess;
}

uint32_t VRX_DICOMInfoInternal::unsigned_of(uint16_t group, uint16_t element) const {
    return root_ ? root_->GetChildUIntOrDefault(group, element, 0) : 0;
}

bool VRX_DICOMInfoInternal::load_sizes() {
    columns = unsigned_of(0x0028, 0x0011);
    rows = unsigned_of(0x0028, 0x0010);
    samples_per_pixel = unsigned_of(0x0028, 0x0002);
    bits_allocated = static_cast<uint16_t>(unsigned_of(0x0028, 0x0100));
    bits_stored = static_cast<uint16_t>(unsigned_of(0x0028, 0x0101));
    high_bit = static_cast<uint16_t>(unsigned_of(0x0028, 0x0102));
    data_type =
        unsigned_of(0x0028, 0x0103) != 0 ? VRX_DataType::s_integer() : VRX_DataType::u_integer();
    return get_info_compression_type();
}

bool VRX_DICOMInfoInternal::load_attributes() {
    if (!dataset_) return false;
    const int64_t start = base_position_ + dataset_->GetPixelDataStart();
    const int64_t size = dataset_->GetPixelDataSize();
    pixel_data_start = start >= 0 && start <= UINT32_MAX ? static_cast<uint32_t>(start) : 0;
    pixel_data_size = size >= 0 && size <= UINT32_MAX ? static_cast<uint32_t>(size) : 0;
    if (!load_sizes() || !get_info_color_type() || !correct_color()) return false;
    // 1-bit samples are read as one stream of single samples.
    if (bits_allocated == 1 && samples_per_pixel != 1) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kAttributes, __FILE__, __LINE__);
        return false;
    }
    return true;
}

bool VRX_DICOMInfoInternal::load_attributes_without_colour() {
    return load_sizes() && get_info_color_type();
}

bool VRX_DICOMInfoInternal::get_info_compression_type() {
    TogString uid;
    text_of(0x0002, 0x0010, uid);
    for (const TransferSyntax& syntax : kTransferSyntaxes) {
        if (uid != syntax.uid) continue;
        compression = syntax.compression;
        encode_type = syntax.encode();
        byte_order = syntax.byte_order;
        transfer_syntax_code = syntax.code;
        return true;
    }
    manager_->report(VRX_ERROR_UNSUPPORTED, kCompression, __FILE__, 706);
    return false;
}

bool VRX_DICOMInfoInternal::reads_transfer_syntax(std::u16string_view uid) {
    for (const TransferSyntax& syntax : kTransferSyntaxes)
        if (uid == syntax.uid) return true;
    return false;
}

bool VRX_DICOMInfoInternal::get_info_color_type() {
    planar = unsigned_of(0x0028, 0x0006) != 0 ? 1 : 0;
    subsampled_422 = false;
    TogString photometric;
    text_of(0x0028, 0x0004, photometric);
    if (photometric == u"MONOCHROME1") {
        color_type = VRX_ColorType::gray_reverse();
    } else if (photometric == u"MONOCHROME2") {
        color_type = VRX_ColorType::gray();
    } else if (photometric == u"PALETTE COLOR") {
        color_type = VRX_ColorType::s_rgb();
        return get_info_palette();
    } else if (photometric == u"RGB") {
        color_type = VRX_ColorType::s_rgb();
    } else if (photometric == u"HSV") {
        manager_->report(VRX_ERROR_UNSUPPORTED, kColor, __FILE__, 744);
        return false;
    } else if (photometric == u"ARGB") {
        manager_->report(VRX_ERROR_UNSUPPORTED, kColor, __FILE__, 748);
        return false;
    } else if (photometric == u"CMYK") {
        color_type = VRX_ColorType::cmyk();
    } else if (photometric == u"YBR_FULL") {
        color_type = VRX_ColorType::ycbcr();
    } else if (photometric == u"YBR_FULL_422") {
        color_type = VRX_ColorType::ycbcr();
        subsampled_422 = true;
    } else if (photometric == u"YBR_PARTIAL_422") {
        manager_->report(VRX_ERROR_UNSUPPORTED, kColor, __FILE__, 761);
        return false;
    } else if (photometric.IsEmpty() || photometric == u"UNKNOWN") {
        color_type = VRX_ColorType::unknown();
    } else {
        manager_->report(VRX_ERROR_UNSUPPORTED, kColor, __FILE__, 769);
        return false;
    }
    return true;
}

bool VRX_DICOMInfoInternal::correct_color() {
    if (samples_per_pixel != 0) return true;
    if (color_type == VRX_ColorType::gray() || color_type == VRX_ColorType::gray_reverse()) {
        samples_per_pixel = 1;
    } else if (color_type == VRX_ColorType::s_rgb() || color_type == VRX_ColorType::ycbcr()) {
        samples_per_pixel = 3;
    } else if (color_type == VRX_ColorType::cmyk()) {
        samples_per_pixel = 4;
    } else {
        manager_->report(VRX_ERROR_UNSUPPORTED, kCorrect, __FILE__, 784);
        return false;
    }
    return true;
}

bool VRX_DICOMInfoInternal::get_info_palette() {
    VRX_DICOMPaletteTable table(manager_);
    if (!table.load(*root_, bits_allocated, bits_stored, data_type == VRX_DataType::s_integer()))
        return false;
    if (!table.store(palette)) return false;
    has_palette = 1;
    return true;
}

uint32_t VRX_DICOMInfoInternal::declared_frames() const {
    const uint32_t declared = unsigned_of(0x0028, 0x0008);
    return declared == 0 ? 1 : declared;
}

bool VRX_DICOMInfoInternal::add_frame(size_t first, size_t parts) {
    if (!frames.add_frame(first, parts)) return false;
    ++frame_count;
    return true;
}

bool VRX_DICOMInfoInternal::get_pixel_offset() {
    const TogDicomDataElement* pixel_data = root_ ? root_->FindChild(0x7FE0, 0x0010) : nullptr;
    if (!pixel_data) {
        manager_->report(VRX_ERROR_DATA, kPixelOffset, __FILE__, 320);
        return false;
    }
    frames.clear();
    frame_count = 0;
    encapsulated = false;
    words_swapped = false;
    if (pixel_data->GetChildCount() != 0 || pixel_data->GetValueLength() == kUndefinedLength) {
        encapsulated = true;
        return encapsulated_frames(*pixel_data);
    }
    // The value follows the element's tag, VR and length.
    int64_t value_offset = pixel_data->GetValueOffset();
    if (pixel_data->GetStorageMode() != TogDicomLib::ValueStorage::Position) {
        value_offset = dataset_->GetPixelDataStart() + dataset_->GetPixelDataSize() -
                       pixel_data->GetValueLength();
    }
    words_swapped = byte_order == 0 && bits_allocated <= 8 &&
                    dataset_->GetPixelDataVRAsRead() == TogDicomLib::VR::OW;
    return native_frames(*pixel_data, base_position_ + value_offset);
}

bool VRX_DICOMInfoInternal::native_frames(const TogDicomDataElement& pixel_data,
                                          int64_t value_offset) {
    const uint32_t length = pixel_data.GetValueLength();
    if (value_offset < 0 || value_offset + length > INT32_MAX) {
        manager_->report(VRX_ERROR_DATA, kPixelOffset, __FILE__, 326);
        return false;
    }
    const uint32_t offset = static_cast<uint32_t>(value_offset);
    // Bytes of one frame as the reader takes it: YBR_FULL_422 lines hold
    // two samples per pixel, pairs of pixels rounded up.
    platform::ByteCount line = platform::packed_bytes(samples_per_pixel, bits_allocated, columns);
    if (subsampled_422 && compression == compression_none) {
        const uint64_t sample_bytes = (bits_allocated + 7u) / 8u;
        line = platform::ByteCount(2) * sample_bytes * ((uint64_t{columns} + 1) & ~uint64_t{1});
    }
    // Frames of 1-bit samples are counted in bits: rows are not padded and
    // frames follow one another bit by bit.
    const platform::ByteCount frame =
        bits_allocated == 1 ? platform::ByteCount(samples_per_pixel) * columns * rows
                            : line * rows * 8;
    if (length == 0 || !frame.ok() || frame.value() == 0) return true;
    // The declared number of frames counts only as far as the value holds
    // whole frames; a value shorter than one frame is kept as one (short)
    // frame, which the read chain refuses before it builds a reader.
    const uint64_t whole = uint64_t{length} * 8 / frame.value();
    const uint64_t count = whole == 0 ? 1 : std::min<uint64_t>(declared_frames(), whole);
    frames.set_native(offset, length, frame.value(), static_cast<uint32_t>(count));
    frame_count = frames.count();
    return true;
}

bool VRX_DICOMInfoInternal::starts_jpeg_stream(uint32_t offset) {
    if (!storage_) return false;
    const int32_t position = storage_->position();
    unsigned char marker[2] = {0, 0};
    const bool read =
        storage_->seek_from_begin(static_cast<int32_t>(offset)) && storage_->read(marker, 2) == 2;
    storage_->seek_from_begin(position);
    return read && marker[0] == 0xFF && marker[1] == 0xD8;
}

bool VRX_DICOMInfoInternal::encapsulated_frames(const TogDicomDataElement& pixel_data) {
    const uint32_t items = pixel_data.GetChildCount();
    if (items == 0) {
        manager_->report(VRX_ERROR_DATA, kPixelOffset, __FILE__, 335);
        return false;
    }
    const TogDicomDataElement* table = pixel_data.GetChildAt(0);
    if (table->GetGroup() != kItemGroup || table->GetElement() != kItem) {
        manager_->report(VRX_ERROR_DATA, kPixelOffset, __FILE__, 339);
        return false;
    }
    // The fragments: storage offsets and lengths of their values, in one
    // array that the frames index.
    const size_t fragments = items - 1;
    if (!frames.reserve_parts(fragments)) return false;
    for (uint32_t i = 1; i < items; ++i) {
        const TogDicomDataElement* item = pixel_data.GetChildAt(i);
        const int64_t at = item->GetItemOffset();
        const uint32_t length = item->GetValueLength();
        const int64_t value = base_position_ + at + kItemHeaderBytes;
        if (item->GetGroup() != kItemGroup || item->GetElement() != kItem || at < 0 ||
            length == kUndefinedLength || value + length > INT32_MAX) {
            manager_->report(VRX_ERROR_DATA, kPixelOffset, __FILE__, 343);
            return false;
        }
        frames.add_part(static_cast<uint32_t>(value), length);
    }
    const uint32_t declared = declared_frames();
    const uint32_t table_entries = table->GetValueData() ? table->GetValueByteCount() / 4 : 0;

    if (table_entries == 0) {
        if (declared <= 1) return fragments == 0 || add_frame(0, fragments);
        // Without a table a JPEG frame is the run of fragments from one
        // start-of-image marker to the next; an RLE frame is one fragment.
        const bool jpeg =
            compression == compression_jpeg_lossy || compression == compression_jpeg_lossless;
        size_t first = 0;
        for (size_t i = 1; i <= fragments && frame_count < declared; ++i) {
            if (i < fragments && jpeg && !starts_jpeg_stream(frames.part(i).offset)) continue;
            if (!add_frame(first, i - first)) {
                manager_->report(VRX_ERROR_DATA, kPixelOffset, __FILE__, 381);
                return false;
            }
            first = i;
        }
        return true;
    }

    // Each table entry is the offset of a frame's first item from the first
    // fragment's item; the frame runs to the next entry's item. With one
    // entry per fragment each fragment is a frame. Item offsets follow from
    // the value offsets, which lie a fixed header after them.
    const uint8_t* entries = table->GetValueData();
    if (dataset_->GetItemsPassedOver()) return located_frames(entries, table_entries, declared);
    auto item_offset = [&](size_t i) {
        return int64_t{frames.part(i).offset} - int64_t{frames.part(0).offset};
    };
    auto start_of = [&](uint32_t k, size_t& next) {
        if (table_entries != fragments) {
            const int64_t entry = VRX_DICOMItemHeader::le32(entries + 4 * k);
            while (next < fragments && item_offset(next) < entry) ++next;
            if (next == fragments || item_offset(next) != entry) return false;
        }
        return true;
    };
    const uint32_t frame_total = std::min(declared, table_entries);
    size_t next = 0;
    if (!start_of(0, next)) {
        manager_->report(VRX_ERROR_DATA, kPixelOffset, __FILE__, 365);
        return false;
    }
    // Every entry must lead to an item, also those past the declared frames.
    for (uint32_t k = 0; k < table_entries; ++k) {
        const size_t first = next++;
        size_t end = fragments;
        if (k + 1 < table_entries) {
            if (!start_of(k + 1, next)) {
                manager_->report(VRX_ERROR_DATA, kPixelOffset, __FILE__, 365);
                return false;
            }
            end = next;
        }
        if (k < frame_total && !add_frame(first, end - first)) {
            manager_->report(VRX_ERROR_DATA, kPixelOffset, __FILE__, 365);
            return false;
        }
    }
    return true;
}

bool VRX_DICOMInfoInternal::located_frames(const uint8_t* entries, uint32_t table_entries,
                                           uint32_t declared) {
    // The reader passed over the items of every frame but the last, which
    // are the fragments read: the first of them lies where the last entry
    // says, and the other frames where theirs do.
    const uint32_t last = table_entries - 1;
    const int64_t first_item = int64_t{frames.part(0).offset} - kItemHeaderBytes -
                               VRX_DICOMItemHeader::le32(entries + 4 * last);
    const uint32_t frame_total = std::min(declared, table_entries);
    for (uint32_t k = 0; k < frame_total; ++k) {
        const bool added =
            k == last ? frames.add_frame(0, frames.part_count())
                      : frames.add_located_frame(
                            static_cast<uint32_t>(first_item + VRX_DICOMItemHeader::le32(entries + 4 * k)),
                            static_cast<uint32_t>(first_item + VRX_DICOMItemHeader::le32(entries + 4 * (k + 1))));
        if (!added) {
            manager_->report(VRX_ERROR_DATA, kPixelOffset, __FILE__, 365);
            return false;
        }
        ++frame_count;
    }
    return true;
}

}  // namespace vrx
