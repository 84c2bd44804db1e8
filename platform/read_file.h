#pragma once
// Whole-file reads for small files (settings and the like).
//
//   std::vector<unsigned char> bytes;
//   std::string why;
//   if (!read_small_file("OverlaySetting.xml", 1u << 20, bytes, &why)) ... why ...
#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Reads the regular file at `path` (UTF-8) into `out`; false, and `out`
// empty, when it cannot be opened or read, is not a regular file (a FIFO,
// device or socket is never waited for) or holds more than `max_bytes`
// bytes. Then `why`, when given, says which in words ("cannot be opened:
// Permission denied", "cannot be read: Is a directory", "is not a regular
// file", "is larger than 1 MiB"). A larger file is refused by its size,
// before it is read. Throws std::bad_alloc when memory runs out.
bool read_small_file(const std::string& path, size_t max_bytes, std::vector<unsigned char>& out,
                     std::string* why = nullptr);

}  // namespace platform
