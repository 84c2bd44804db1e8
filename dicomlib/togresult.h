#pragma once
// Result codes of the DICOM library's operations (0 is success).

namespace TogDicomLib {

constexpr int ResultSuccess = 0;
// A file operation failed for a reason without a code of its own.
constexpr int ResultUnknownError = 1;
// A non-empty basic offset table in the fixed-layout element stream.
constexpr int ResultBasicOffsetTable = 6;
constexpr int ResultOutOfMemory = 7;
// The byte source failed to read or skip.
constexpr int ResultStreamFailed = 9;
// A bad argument to a tree operation, or the wrong storage mode.
constexpr int ResultBadArgument = 10;
// Mapped platform errors of the file utilities.
constexpr int ResultAccessDenied = 1004;
constexpr int ResultInvalidPath = 1007;
constexpr int ResultPathTooLong = 1008;
constexpr int ResultInvalidPathEntry = 1009;
constexpr int ResultAlreadyExists = 1010;
// Malformed input.
constexpr int ResultMalformed = 5000;
// A platform call failed.
constexpr int ResultPlatformCallFailed = 5002;
// The value is absent, out of range or not convertible.
constexpr int ResultNoValue = 5004;

}  // namespace TogDicomLib
