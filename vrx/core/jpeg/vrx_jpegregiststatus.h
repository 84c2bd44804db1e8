#pragma once
// The bridge between the JPEG decoder's statuses and the library's status
// words, and between the library's colour types and the decoder's colour
// spaces.
#include <cstdint>

namespace vrx {

class VRX_ColorType;
class VRX_Manager;

// Reports the library word of a decoder status with `text`: -50 0x81000000,
// -13 and -14 0x80200000, -11 0x80020000, -3 0x80400000, -2 0x80800000,
// warnings 3 0x40400000, 14 0x41000000, 100 0x40200010, anything else
// 0x80000000. Success, -1, -12 and -9999 report nothing.
void MapJpegStatus(VRX_Manager* manager, int32_t status, const char* text);

// The decoder's colour space for a colour type (99999: as stored).
uint32_t ColorTypeToJpegColorSpace(const VRX_ColorType* type);

}  // namespace vrx
