#pragma once
// The palette of a PALETTE COLOR image, read from its three descriptors and
// its plain or segmented red, green and blue tables.
//
// Every count and length is checked before anything is copied: the tables
// must hold as many entries as the descriptor announces, a segmented table
// must expand to exactly that many, and indirect segments may not nest. The
// palette handed to the chain has one entry for every possible stored value
// (2^bits allocated), looked up by the value's stored bits: values below the
// descriptor's first mapped value take the first entry, values past the last
// entry the last one. The entries keep the range of the table's own bits (8
// or 16), whatever the stored bits are.
#include <cstdint>

#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/include/vrx_vector.h"

class TogDicomDataElement;

namespace vrx {

class VRX_DICOMPaletteTable {
   public:
    explicit VRX_DICOMPaletteTable(VRX_Manager* manager);

    // Reads descriptors and tables from the children of `dataset`. Indices
    // are the low `bits_stored` bits of samples of `bits_allocated` bits (8
    // or 16), the bits above ignored; when `signed_indices` they are a two's
    // complement number and the first mapped value is signed too. False
    // after a report (0x80400000 for a malformed palette, 0x81000000 for an
    // index depth other than 8 or 16).
    bool load(const TogDicomDataElement& dataset, uint16_t bits_allocated, uint16_t bits_stored,
              bool signed_indices);
    // Installs the palette: 2^bits allocated entries of R, G, B.
    bool store(VRX_Header::VRX_Palette& palette) const;

    // Expands a segmented table of `bytes` bytes made of units of
    // `unit_bytes` (1 or 2, little endian) into exactly `entries` values.
    static bool expand_segmented(const uint8_t* data, uint32_t bytes, uint32_t unit_bytes,
                                 uint32_t entries, VRX_Vector<uint16_t>& out);

    // What load() found.
    uint32_t entries() const { return entries_; }
    int32_t first_mapped() const { return first_mapped_; }
    // Bits of one entry in the installed palette (8 or 16).
    uint16_t entry_bits() const { return entry_bits_; }

   private:
    bool fail(uint32_t code, uint32_t line) const;
    bool read_descriptors(const TogDicomDataElement& dataset);

    VRX_Manager* manager_;
    VRX_Vector<uint16_t> tables_[3];
    uint32_t entries_ = 0;
    int32_t first_mapped_ = 0;
    uint16_t table_bits_ = 0;
    uint16_t entry_bits_ = 0;
    uint16_t index_bits_ = 0;
    uint16_t stored_bits_ = 0;
    bool signed_indices_ = false;
};

}  // namespace vrx
