#pragma once
// Value representations as the library holds them: a 32-bit number made of the
// two ASCII letters, the first letter in the low byte ("OB" is 0x424F).
#include <cstdint>

namespace TogDicomLib {

constexpr uint32_t MakeVR(char first, char second) {
    return static_cast<uint32_t>(static_cast<unsigned char>(first)) |
           (static_cast<uint32_t>(static_cast<unsigned char>(second)) << 8);
}

namespace VR {
// Two blanks: "not known"; asked of a getter it means the element's own VR.
constexpr uint32_t Blank = 0x2020;
constexpr uint32_t AE = MakeVR('A', 'E');
constexpr uint32_t AS = MakeVR('A', 'S');
constexpr uint32_t AT = MakeVR('A', 'T');
constexpr uint32_t CS = MakeVR('C', 'S');
constexpr uint32_t DA = MakeVR('D', 'A');
constexpr uint32_t DS = MakeVR('D', 'S');
constexpr uint32_t DT = MakeVR('D', 'T');
constexpr uint32_t FD = MakeVR('F', 'D');
constexpr uint32_t FL = MakeVR('F', 'L');
constexpr uint32_t IS = MakeVR('I', 'S');
constexpr uint32_t LO = MakeVR('L', 'O');
constexpr uint32_t LT = MakeVR('L', 'T');
constexpr uint32_t OB = MakeVR('O', 'B');
constexpr uint32_t OD = MakeVR('O', 'D');
constexpr uint32_t OF = MakeVR('O', 'F');
constexpr uint32_t OL = MakeVR('O', 'L');
constexpr uint32_t OV = MakeVR('O', 'V');
constexpr uint32_t OW = MakeVR('O', 'W');
constexpr uint32_t PN = MakeVR('P', 'N');
constexpr uint32_t SH = MakeVR('S', 'H');
constexpr uint32_t SL = MakeVR('S', 'L');
constexpr uint32_t SQ = MakeVR('S', 'Q');
constexpr uint32_t SS = MakeVR('S', 'S');
constexpr uint32_t ST = MakeVR('S', 'T');
constexpr uint32_t SV = MakeVR('S', 'V');
constexpr uint32_t TM = MakeVR('T', 'M');
constexpr uint32_t UC = MakeVR('U', 'C');
constexpr uint32_t UI = MakeVR('U', 'I');
constexpr uint32_t UL = MakeVR('U', 'L');
constexpr uint32_t UN = MakeVR('U', 'N');
constexpr uint32_t UR = MakeVR('U', 'R');
constexpr uint32_t US = MakeVR('U', 'S');
constexpr uint32_t UT = MakeVR('U', 'T');
constexpr uint32_t UV = MakeVR('U', 'V');
}  // namespace VR

}  // namespace TogDicomLib
