#pragma once
// The engine of the bitmap writer: writes the info header, the colour table
// and a zeroed pixel area at initiate, then places one image line per
// execute as a bitmap row (bottom row first in the bitmap, so the top image
// line is the last row). The bitmap starts at the storage's position when the
// engine is initiated. Needs an output storage that can be positioned back to
// any byte already written.
#include <cstdint>

#include "platform/byte_count.h"
#include "vrx/core/dib/vrx_writediboption.h"
#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/io/vrx_writeengine.h"

namespace vrx {

class VRX_WriteDIBRawEngine : public VRX_WriteEngine {
public:
    explicit VRX_WriteDIBRawEngine(VRX_Manager* manager);
    ~VRX_WriteDIBRawEngine() override;

    // Gives the row buffer back, then terminates as a write engine.
    bool terminate() override;
    // One image line; false once every row is written or a step failed. A
    // source that ends before the last row is reported (0x80400000).
    bool execute() override;

    using VRX_WriteEngine::initiate;
    // Checks the image and the option, writes headers, colour table and zero
    // rows, and asks the source for one line per block.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_OutputStorage* storage,
                          const VRX_WriteDIBOption& option);

    // The depth written for an image: the option's, or when that is 0, 8 for
    // an 8-bit one-channel image, 24 for other 8-bit images, 1 for a 1-bit
    // image; 0 when none fits.
    static uint32_t depth(const VRX_Header& header, const VRX_WriteDIBOption& option);
    // Colour-table entries at a depth: 2 for depth 1 in gray or gray_reverse,
    // 256 for depth 8 in gray, else the palette's entry count.
    static uint32_t palette_entries(const VRX_Header& header, uint32_t depth);
    // Bytes of the info header and the colour table, or 0 when no depth fits
    // or the header size is not 12 or 40.
    static uint64_t header_bytes(const VRX_Header& header, const VRX_WriteDIBOption& option);
    // header_bytes plus the padded rows; not ok when the count overflows.
    static platform::ByteCount bitmap_bytes(const VRX_Header& header,
                                            const VRX_WriteDIBOption& option);

    uint32_t row_stride() const { return stride_; }
    uint32_t bits_offset() const { return bits_offset_; }
    uint32_t dib_bits_per_pixel() const { return dib_bits_; }
    uint32_t rows_written() const { return rows_; }

protected:
    // Writes the info header and the colour table.
    virtual bool write_header(VRX_OutputStorage* storage, const VRX_Header* header,
                              const VRX_WriteDIBOption& option);

private:
    bool is_acceptable(const VRX_Header& header);
    bool is_supported_option(const VRX_Header& header, const VRX_WriteDIBOption& option);
    bool write_palette(VRX_OutputStorage* storage, const VRX_Header& header, uint32_t entries,
                       uint32_t entry_bytes);
    bool move_file_position_by_line(uint32_t line);
    bool write_row(const unsigned char* line);
    bool skip_padding(uint32_t data_bytes);

    uint32_t stride_ = 0;
    // Storage position of the info header's first byte.
    uint32_t origin_ = 0;
    uint32_t bits_offset_ = 0;
    uint32_t dib_bits_ = 0;
    VRX_Header image_;
    uint32_t rows_ = 0;
    unsigned char* row_buffer_ = nullptr;
    unsigned char last_byte_mask_ = 0xFF;
};

}  // namespace vrx
