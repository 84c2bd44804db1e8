#pragma once
// Status words of the imaging library. Bit 31 marks an error, bit 30 a
// warning; bits 16 to 26 name one category each; the low 16 bits carry a
// detail number (0 in every word below).
#include <cstdint>

namespace vrx {

inline constexpr uint32_t VRX_SUCCESS = 0x00000000u;

inline constexpr uint32_t VRX_ERROR_BIT = 0x80000000u;
inline constexpr uint32_t VRX_WARNING_BIT = 0x40000000u;
inline constexpr uint32_t VRX_CATEGORY_MASK = 0xFFFF0000u;

// Warnings.
inline constexpr uint32_t VRX_WARNING = 0x40000000u;
inline constexpr uint32_t VRX_WARNING_OUT_OF_MEMORY = 0x40010000u;
inline constexpr uint32_t VRX_WARNING_IO = 0x40020000u;
inline constexpr uint32_t VRX_WARNING_VERSION = 0x40040000u;
inline constexpr uint32_t VRX_WARNING_STATE = 0x40080000u;
inline constexpr uint32_t VRX_WARNING_FORMAT_INFO = 0x40100000u;
inline constexpr uint32_t VRX_WARNING_HEADER = 0x40200000u;
inline constexpr uint32_t VRX_WARNING_DATA = 0x40400000u;
inline constexpr uint32_t VRX_WARNING_ARGUMENT = 0x40800000u;
inline constexpr uint32_t VRX_WARNING_UNSUPPORTED = 0x41000000u;
inline constexpr uint32_t VRX_WARNING_CATEGORY_25 = 0x42000000u;
inline constexpr uint32_t VRX_WARNING_CATEGORY_26 = 0x44000000u;

// Errors.
inline constexpr uint32_t VRX_ERROR = 0x80000000u;                // unexpected failure
inline constexpr uint32_t VRX_ERROR_OUT_OF_MEMORY = 0x80010000u;  // memory exhausted
inline constexpr uint32_t VRX_ERROR_IO = 0x80020000u;  // storage I/O failed, destination exhausted
inline constexpr uint32_t VRX_ERROR_VERSION = 0x80040000u;      // interface version refused
inline constexpr uint32_t VRX_ERROR_STATE = 0x80080000u;        // not allowed in the present state
inline constexpr uint32_t VRX_ERROR_FORMAT_INFO = 0x80100000u;  // format information failed to load
inline constexpr uint32_t VRX_ERROR_HEADER = 0x80200000u;       // header does not suit the format
inline constexpr uint32_t VRX_ERROR_DATA = 0x80400000u;         // malformed data
inline constexpr uint32_t VRX_ERROR_ARGUMENT = 0x80800000u;     // bad argument
inline constexpr uint32_t VRX_ERROR_UNSUPPORTED =
    0x81000000u;  // unsupported encoding, type or format
inline constexpr uint32_t VRX_ERROR_CATEGORY_25 = 0x82000000u;
inline constexpr uint32_t VRX_ERROR_CATEGORY_26 = 0x84000000u;

constexpr bool is_error(uint32_t code) { return (code & VRX_ERROR_BIT) != 0; }
constexpr bool is_warning(uint32_t code) { return (code & VRX_WARNING_BIT) != 0; }
constexpr uint32_t status_category(uint32_t code) { return code & VRX_CATEGORY_MASK; }

}  // namespace vrx
