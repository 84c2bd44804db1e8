#pragma once
// Whole-file reads for small files (settings and the like).
//
//   std::vector<unsigned char> bytes;
//   if (read_small_file("OverlaySetting.xml", 16u << 20, bytes)) ...
#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Reads the file at `path` (UTF-8) into `out`; false, and `out` empty, when
// it cannot be opened or read or holds more than `max_bytes` bytes.
bool read_small_file(const std::string& path, size_t max_bytes, std::vector<unsigned char>& out);

}  // namespace platform
