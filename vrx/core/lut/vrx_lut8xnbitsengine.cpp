#include "vrx/core/lut/vrx_lut8xnbitsengine.h"

#include <cstring>

#include "vrx/core/convertdatatype/vrx_pixelmath.h"
#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/core/lut/vrx_lutdata.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kBaseText = "VRX_Lut8xNbitsEngine::initiate()";

// An unsigned integer of n bytes: entries are moved as raw bits, so the
// kernel depends only on the source type and the entry width.
template <size_t n>
struct EntryBits;
template <>
struct EntryBits<1> {
    using type = uint8_t;
};
template <>
struct EntryBits<2> {
    using type = uint16_t;
};
template <>
struct EntryBits<4> {
    using type = uint32_t;
};
template <>
struct EntryBits<8> {
    using type = uint64_t;
};

// One line: tables[c] points at the entry of source value 0 of channel c, so
// a signed sample indexes below it. Table entries lie in the engine's own
// memory; line samples are loaded and stored with memcpy (load_sample).
template <class Src, class Entry>
void lookup_line(const unsigned char* __restrict in, unsigned char* __restrict out,
                 const unsigned char* const* tables, uint32_t width, uint16_t channels,
                 bool shared) {
    if (shared) {
        const Entry* table = reinterpret_cast<const Entry*>(tables[0]);
        const size_t count = size_t{width} * channels;
        for (size_t i = 0; i < count; ++i)
            store_sample<Entry>(out, i, table[load_sample<Src>(in, i)]);
        return;
    }
    for (size_t x = 0, i = 0; x < width; ++x) {
        for (uint16_t c = 0; c < channels; ++c, ++i) {
            const Entry* table = reinterpret_cast<const Entry*>(tables[c]);
            store_sample<Entry>(out, i, table[load_sample<Src>(in, i)]);
        }
    }
}

}  // namespace

template <class Src, class Dst>
bool VRX_Lut8xNbitsEngine<Src, Dst>::terminate() {
    manager_->deallocate(table_);
    table_ = nullptr;
    manager_->deallocate(channel_tables_);
    channel_tables_ = nullptr;
    return VRX_ProcessEngine::terminate();
}

template <class Src, class Dst>
bool VRX_Lut8xNbitsEngine<Src, Dst>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                              VRX_DstBuffer* dst, const VRX_LutData* table,
                                              const VRX_ColorType* color_type) {
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    if (!header->palette().empty() || header->bits != sample_bits<Src>) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kBaseText, __FILE__, 94);
        return false;
    }
    const uint32_t entries = int_pow(2, sample_bits<Src>);
    uint32_t table_bytes = 0;
    if (!table || !table->data() || !table->is_valid() ||
        (table->channels != 1 && table->channels != header->channels) ||
        table->bits != sample_bits<Dst> || table->entries != entries ||
        !table->byte_count(table_bytes)) {
        manager_->report(VRX_ERROR_ARGUMENT, kBaseText, __FILE__, 111);
        return false;
    }
    if (color_type) {
        if (table->channels > 1 && !color_type->is_acceptable_channels(table->channels)) {
            manager_->report(VRX_ERROR_ARGUMENT, kBaseText, __FILE__, 121);
            return false;
        }
        if (!header_.color_type(color_type)) return false;
    }
    header_.bits = table->bits;
    if (!header_.data_type(table->data_type)) return false;
    entries_ = entries;
    width_ = header_.width;
    channels_ = header_.channels;
    shared_ = table->channels == 1;

    table_ = static_cast<unsigned char*>(manager_->allocate(table_bytes));
    if (!table_) return false;
    channel_tables_ = static_cast<const unsigned char**>(
        manager_->allocate(sizeof(const unsigned char*) * channels_));
    if (!channel_tables_) return false;
    for (uint16_t c = 0; c < channels_; ++c) {
        const size_t k = shared_ ? 0 : c;
        channel_tables_[c] = table_ + (k * entries_ + offset_) * sizeof(Dst);
    }
    std::memcpy(table_, table->data(), table_bytes);

    uint32_t bytes = 0;
    return header_.line_bytes(bytes) && dst->block_bytes(bytes);
}

template <class Src, class Dst>
bool VRX_Lut8xNbitsEngine<Src, Dst>::process_line(const unsigned char* src, unsigned char* dst) {
    using Entry = typename EntryBits<sizeof(Dst)>::type;
    lookup_line<Src, Entry>(src, dst, channel_tables_, width_, channels_, shared_);
    return true;
}

#define VRX_LUT_MAKE(Src, Dst) template class VRX_Lut8xNbitsEngine<Src, Dst>;
VRX_LUT_FOR_EACH_DST(VRX_LUT_MAKE, uint8_t)
VRX_LUT_FOR_EACH_DST(VRX_LUT_MAKE, uint16_t)
VRX_LUT_FOR_EACH_DST(VRX_LUT_MAKE, int8_t)
VRX_LUT_FOR_EACH_DST(VRX_LUT_MAKE, int16_t)
#undef VRX_LUT_MAKE

}  // namespace vrx
