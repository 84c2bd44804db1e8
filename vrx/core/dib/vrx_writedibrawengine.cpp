#include "vrx/core/dib/vrx_writedibrawengine.h"

#include <algorithm>
#include <cstring>

#include "platform/byte_count.h"
#include "vrx/core/dib/vrx_bitmapinfoheader.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/include/vrx_linesample.h"
#include "vrx/framework/io/vrx_outputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

const char initiate_text[] = "VRX_WriteDIBRawEngine::initiate()";
const char option_text[] = "VRX_WriteDIBRawEngine::is_supported_option()";
const char execute_text[] = "VRX_WriteDIBRawEngine::execute()";

// Largest bitmap an output storage can hold: positions are signed 32-bit.
constexpr uint64_t max_bitmap_bytes = 0x7FFFFFFF;

bool is_header_size_written(uint32_t size) { return size == 12 || size == 40; }

// Colour-table entry bytes: blue, green, red, and a zero byte after a 40-byte header.
uint32_t palette_entry_bytes(const VRX_WriteDIBOption& option) {
    return option.info_header_size == 12 ? 3 : 4;
}

}  // namespace

VRX_WriteDIBRawEngine::VRX_WriteDIBRawEngine(VRX_Manager* manager)
    : VRX_WriteEngine(manager), image_(manager) {}

VRX_WriteDIBRawEngine::~VRX_WriteDIBRawEngine() {
    if (row_buffer_) manager_->deallocate(row_buffer_);
}

uint32_t VRX_WriteDIBRawEngine::depth(const VRX_Header& header, const VRX_WriteDIBOption& option) {
    if (option.bits_per_pixel != 0) return option.bits_per_pixel;
    if (header.bits == 8) return header.channels == 1 ? 8 : 24;
    if (header.bits == 1) return 1;
    return 0;
}

uint32_t VRX_WriteDIBRawEngine::palette_entries(const VRX_Header& header, uint32_t depth) {
    const VRX_ColorType* color = header.color_type();
    if (depth == 1 && (color->is_gray() || color->is_gray_reverse())) return 2;
    if (depth == 8 && color->is_gray()) return 256;
    return header.palette().entries;
}

uint64_t VRX_WriteDIBRawEngine::header_bytes(const VRX_Header& header,
                                             const VRX_WriteDIBOption& option) {
    const uint32_t bits = depth(header, option);
    if (bits == 0 || !is_header_size_written(option.info_header_size)) return 0;
    return option.info_header_size +
           uint64_t{palette_entries(header, bits)} * palette_entry_bytes(option);
}

platform::ByteCount VRX_WriteDIBRawEngine::bitmap_bytes(const VRX_Header& header,
                                                        const VRX_WriteDIBOption& option) {
    return platform::ByteCount(header_bytes(header, option)) +
           platform::ByteCount(VRX_BitmapInfoHeader::row_stride(depth(header, option), header.width)) *
               header.height;
}

bool VRX_WriteDIBRawEngine::is_acceptable(const VRX_Header& header) {
    const VRX_ColorType* color = header.color_type();
    const VRX_Header::VRX_Palette& palette = header.palette();
    const bool has_palette = !palette.empty();
    bool ok = header.encode_type()->is_raw() && header.data_type() == VRX_DataType::u_integer();
    if (has_palette) ok = ok && palette.bits == 8 && (!color->is_rgb() || palette.channels == 3);
    if (header.bits == 1)
        ok = ok && (color->is_gray() || color->is_gray_reverse() || (color->is_s_rgb() && has_palette));
    else if (header.bits == 8)
        ok = ok && (color->is_s_rgb() || (color->is_gray() && !has_palette));
    else
        ok = false;
    if (!ok) manager_->report(VRX_ERROR_UNSUPPORTED, initiate_text, __FILE__, __LINE__);
    return ok;
}

bool VRX_WriteDIBRawEngine::is_supported_option(const VRX_Header& header,
                                                const VRX_WriteDIBOption& option) {
    uint32_t code = VRX_SUCCESS;
    switch (option.bits_per_pixel) {
        case 0: break;
        case 1:
            if (header.bits != 1) code = VRX_ERROR_UNSUPPORTED;
            break;
        case 4: code = VRX_ERROR_UNSUPPORTED; break;
        case 8:
            if (header.bits != 8 || header.channels != 1) code = VRX_ERROR_UNSUPPORTED;
            break;
        case 16:
        case 24:
        case 32:
            if (header.bits != 8 || header.channels != 3) code = VRX_ERROR_UNSUPPORTED;
            break;
        default: code = VRX_ERROR_ARGUMENT; break;
    }
    if (code == VRX_SUCCESS) {
        const uint32_t limit = option.info_header_size == 12 ? 32768u : 0x80000000u;
        if (!is_header_size_written(option.info_header_size))
            code = VRX_ERROR_UNSUPPORTED;
        else if (header.width >= limit || header.height >= limit)
            code = VRX_ERROR_ARGUMENT;
    }
    if (code == VRX_SUCCESS) {
        // The whole bitmap must be addressable by an output storage.
        if (!bitmap_bytes(header, option).at_most(max_bitmap_bytes)) code = VRX_ERROR_ARGUMENT;
    }
    if (code == VRX_SUCCESS) return true;
    manager_->report(code, option_text, __FILE__, __LINE__);
    return false;
}

bool VRX_WriteDIBRawEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                     VRX_OutputStorage* storage, const VRX_WriteDIBOption& option) {
    if (!check_version(VRX_INTERFACE_VERSION, initiate_text, __FILE__, __LINE__)) return false;
    if (!VRX_WriteEngine::initiate(header, src, storage)) return false;
    if (!is_acceptable(*header) || !is_supported_option(*header, option)) return false;
    // The bitmap starts where the storage stands (a caller may have written a
    // file header before it); rows are placed relative to that start.
    origin_ = static_cast<uint32_t>(std::max(storage->position(), int32_t{0}));
    if (!write_header(storage, header, option)) return false;

    row_buffer_ = static_cast<unsigned char*>(manager_->allocate(stride_));
    if (!row_buffer_) return false;
    std::memset(row_buffer_, 0, stride_);
    // The whole pixel area exists before any row is placed.
    for (uint32_t row = 0; row < header->height; ++row) {
        if (storage->write(row_buffer_, static_cast<int32_t>(stride_)) !=
            static_cast<int32_t>(stride_)) {
            manager_->report(VRX_ERROR_IO, initiate_text, __FILE__, __LINE__);
            return false;
        }
    }
    if (dib_bits_ == 1) {
        const uint32_t used = header->width % 8;
        last_byte_mask_ = used == 0 ? 0xFF : static_cast<unsigned char>(0xFF00u >> used);
    }
    if (!image_.assign(*header)) return false;
    uint32_t line_bytes = 0;
    if (!header->line_bytes(line_bytes) || !src->block_bytes(line_bytes)) {
        manager_->report(VRX_ERROR_IO, initiate_text, __FILE__, __LINE__);
        return false;
    }
    return true;
}

bool VRX_WriteDIBRawEngine::write_header(VRX_OutputStorage* storage, const VRX_Header* header,
                                         const VRX_WriteDIBOption& option) {
    dib_bits_ = depth(*header, option);
    if (dib_bits_ == 0) {
        manager_->report(VRX_ERROR_UNSUPPORTED, initiate_text, __FILE__, __LINE__);
        return false;
    }
    const uint32_t entries = palette_entries(*header, dib_bits_);
    const uint32_t entry_bytes = palette_entry_bytes(option);
    bits_offset_ = static_cast<uint32_t>(header_bytes(*header, option));
    stride_ = static_cast<uint32_t>(VRX_BitmapInfoHeader::row_stride(dib_bits_, header->width));
    VRX_BitmapInfoHeader info(manager_, option.info_header_size,
                              static_cast<int32_t>(header->width),
                              static_cast<int32_t>(header->height),
                              static_cast<uint16_t>(dib_bits_), option.compression,
                              option.x_resolution, option.y_resolution, entries);
    return info.write(storage) && write_palette(storage, *header, entries, entry_bytes);
}

bool VRX_WriteDIBRawEngine::write_palette(VRX_OutputStorage* storage, const VRX_Header& header,
                                          uint32_t entries, uint32_t entry_bytes) {
    const VRX_ColorType* color = header.color_type();
    const unsigned char* palette = header.palette().value();
    // Each entry as blue, green, red (and a zero byte after a 40-byte header).
    auto entry = [&](uint32_t i, unsigned char out[4]) {
        out[3] = 0;
        if (color->is_rgb() && palette) {
            out[0] = palette[3 * i + 2];
            out[1] = palette[3 * i + 1];
            out[2] = palette[3 * i];
        } else {
            unsigned char level = static_cast<unsigned char>(i);
            if (dib_bits_ == 1) level = (i == 0) == color->is_gray() ? 0 : 255;
            out[0] = out[1] = out[2] = level;
        }
    };
    const bool table = (dib_bits_ == 1 || dib_bits_ == 4 || dib_bits_ == 8) &&
                       (color->is_rgb() || color->is_gray() ||
                        (dib_bits_ == 1 && color->is_gray_reverse()));
    if (!table) return true;
    for (uint32_t i = 0; i < entries; ++i) {
        unsigned char bytes[4];
        entry(i, bytes);
        if (storage->write(bytes, static_cast<int32_t>(entry_bytes)) !=
            static_cast<int32_t>(entry_bytes)) {
            manager_->report(VRX_ERROR_IO, "VRX_WriteDIBRawEngine::write_palette()", __FILE__,
                             __LINE__);
            return false;
        }
    }
    return true;
}

bool VRX_WriteDIBRawEngine::terminate() {
    if (row_buffer_) manager_->deallocate(row_buffer_);
    row_buffer_ = nullptr;
    return VRX_WriteEngine::terminate();
}

bool VRX_WriteDIBRawEngine::move_file_position_by_line(uint32_t line) {
    if (line >= image_.height) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_WriteDIBRawEngine::move_file_position_by_line()",
                         __FILE__, __LINE__);
        return false;
    }
    const uint64_t offset =
        uint64_t{origin_} + bits_offset_ + uint64_t{image_.height - 1 - line} * stride_;
    if (offset > max_bitmap_bytes) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_WriteDIBRawEngine::move_file_position_by_line()",
                         __FILE__, __LINE__);
        return false;
    }
    return output_storage_->seek_from_begin(static_cast<int32_t>(offset));
}

bool VRX_WriteDIBRawEngine::skip_padding(uint32_t data_bytes) {
    const int32_t padding = static_cast<int32_t>(stride_ - data_bytes);
    return padding == 0 || output_storage_->advance(padding) == padding;
}

bool VRX_WriteDIBRawEngine::write_row(const unsigned char* line) {
    VRX_OutputStorage* out = output_storage_;
    const uint32_t width = image_.width;
    auto put = [out](const unsigned char* bytes, uint32_t n) {
        return n == 0 || out->write(bytes, static_cast<int32_t>(n)) == static_cast<int32_t>(n);
    };
    switch (dib_bits_) {
        case 1: {
            const uint32_t whole = width / 8;
            bool ok = put(line, whole);
            if (ok && last_byte_mask_ != 0xFF) {
                const unsigned char last = line[whole] & last_byte_mask_;
                ok = put(&last, 1);
            }
            return ok && skip_padding((width + 7) / 8);
        }
        case 8:
            return put(line, width) && skip_padding(width);
        case 16:
            for (uint32_t x = 0; x < width; ++x) {
                const unsigned char* rgb = line + 3 * x;
                const unsigned value = (rgb[0] >> 3) << 10 | (rgb[1] >> 3) << 5 | rgb[2] >> 3;
                row_buffer_[2 * x] = static_cast<unsigned char>(value & 0xFF);
                row_buffer_[2 * x + 1] = static_cast<unsigned char>(value >> 8);
            }
            return put(row_buffer_, stride_);
        case 24:
            // Blue, green, red.
            reverse_triplets(line, row_buffer_, width);
            return put(row_buffer_, stride_);
        case 32: {
            // Blue, green, red and a zero byte.
            const uint32_t step = 4;
            unsigned char* out = row_buffer_;
            for (const unsigned char *in = line, *end = line + 3 * size_t{width}; in < end;
                 in += 3, out += step) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
            return put(row_buffer_, stride_);
        }
        default:
            manager_->report(VRX_ERROR_UNSUPPORTED, execute_text, __FILE__, __LINE__);
            return false;
    }
}

bool VRX_WriteDIBRawEngine::execute() {
    if (rows_ >= image_.height) return false;
    const unsigned char* line = input_buffer()->get();
    if (!line) {
        // Every missing row is a data error, the last one as well.
        manager_->report(VRX_ERROR_DATA, execute_text, __FILE__, __LINE__);
        return false;
    }
    const bool written = move_file_position_by_line(rows_) && write_row(line);
    if (!written) manager_->report(VRX_ERROR_IO, execute_text, __FILE__, __LINE__);
    ++rows_;
    const bool released = input_buffer()->release();
    return written && released;
}

}  // namespace vrx
