#pragma once
// Ends a chain by writing its image as a packed device-independent bitmap:
// info header (40 or 12 bytes), colour table, then the rows bottom-up, each
// padded to 4 bytes. No file header is written; header_bytes() tells where
// the rows start. The render chain writes into a byte-array output storage of
// total_bytes():
//
//   VRX_WriteDIBOption option(0, 300, 300, 0);
//   const uint32_t bytes = VRX_WriteDIB::total_bytes(last->header(), option);
//   std::vector<unsigned char> dib(bytes);
//   auto* out = VRX_ByteArrayOutputStorage::create(manager, dib.data(), bytes);
//   VRX_Engine* writer = VRX_WriteDIB(manager).engine(last, out, option);
//   out->destroy();  // the writer keeps it alive
//   while (writer->execute()) {}
//
// Accepted images: raw unsigned 8-bit s_rgb (three channels, or one channel
// with a palette) and gray; 1-bit gray, gray_reverse and s_rgb with a palette.
#include <cstdint>

#include "vrx/core/dib/vrx_writediboption.h"
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

class VRX_OutputStorage;

class VRX_WriteDIB : public VRX_EngineCreator {
public:
    explicit VRX_WriteDIB(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_WriteDIB() override = default;

    // The registered writer of `input`'s image into `storage`, or null. A
    // null input is refused with 0x80800000, a compression other than 0 with
    // 0x81000000.
    virtual VRX_Engine* engine(VRX_Engine* input, VRX_OutputStorage* storage,
                               const VRX_WriteDIBOption& option);

    // Bytes of the info header and the colour table (the offset of the rows);
    // 0 when the header is null, no depth fits or the info header size is
    // not 12 or 40.
    static uint32_t header_bytes(const VRX_Header* header, const VRX_WriteDIBOption& option);
    // header_bytes plus the rows; 0 in the same cases and when the bitmap
    // would exceed 2147483647 bytes.
    static uint32_t total_bytes(const VRX_Header* header, const VRX_WriteDIBOption& option);
};

}  // namespace vrx
