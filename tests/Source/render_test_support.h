#pragma once
// Helpers of the render program's tests: the program run in the test's
// process or as a process of its own, bitmap files read back, the
// fixtures' packed pictures unpacked, files written to the test's temporary
// folder.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Source/zebrenderprogram.h"
#include "tests/test_folder.h"
#include "tests/vrx/extension/dicom/dicom_test_support.h"

namespace rendertest {

using dicomtest::kPydicomFiles;
using dicomtest::pydicom_file;
using dicomtest::read_file;

struct Outcome {
    int code = -1;
    std::string out, err;
};

// The program with these arguments, in this process.
inline Outcome run(const std::vector<std::string>& args) {
    Outcome r;
    ZEBRenderOptions options;
    std::string error;
    if (!ParseRenderOptions(args, options, error)) {
        r.code = kRenderBadUsage;
        r.err = error;
        return r;
    }
    std::ostringstream out, err;
    r.code = RunRender(options, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// A 24-bit bitmap file as top-down RGB rows; empty when it is not one.
struct Picture {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* at(int32_t x, int32_t y) const { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
};

inline uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}

inline Picture read_bitmap(const std::string& path) {
    const std::vector<uint8_t> b = read_file(path);
    Picture p;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || le32(b, 2) != b.size() || le32(b, 14) != 40 ||
        (b[28] | b[29] << 8) != 24)
        return p;
    const int32_t w = int32_t(le32(b, 18)), h = int32_t(le32(b, 22));
    const size_t stride = (size_t(w) * 3 + 3) / 4 * 4, bits = le32(b, 10);
    if (w < 1 || h < 1 || bits + stride * size_t(h) != b.size()) return p;
    p.width = w;
    p.height = h;
    p.rgb.resize(size_t(w) * size_t(h) * 3);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)  // blue, green, red in the file
                p.rgb[(size_t(y) * size_t(w) + size_t(x)) * 3 + size_t(c)] =
                    b[bits + stride * size_t(h - 1 - y) + size_t(x) * 3 + size_t(2 - c)];
    return p;
}

inline std::vector<uint8_t> base64(const std::string& text) {
    std::vector<uint8_t> out;
    uint32_t acc = 0;
    int bits = 0;
    for (char c : text) {
        int v = c >= 'A' && c <= 'Z'   ? c - 'A'
                : c >= 'a' && c <= 'z' ? c - 'a' + 26
                : c >= '0' && c <= '9' ? c - '0' + 52
                : c == '+'             ? 62
                : c == '/'             ? 63
                                       : -1;
        if (v < 0) continue;
        acc = acc << 6 | uint32_t(v);
        if ((bits += 6) >= 8) out.push_back(uint8_t(acc >> (bits -= 8)));
    }
    return out;
}

// A zlib stream of `size` bytes unpacked; empty when it does not unpack to that.
inline std::vector<uint8_t> inflate(const std::vector<uint8_t>& packed, size_t size) {
    std::vector<uint8_t> out(size);
    uLongf length = uLongf(size);
    if (uncompress(out.data(), &length, packed.data(), uLong(packed.size())) != Z_OK || length != size)
        out.clear();
    return out;
}

// A file of the test process's own temporary folder.
inline std::string temp_path(const std::string& name) { return testfolder::file(name); }

struct Process {
    int code = -1;
    std::string out, err;
};

// The built program as a process, with the arguments as a shell gives them,
// after the shell commands `before` (which may start a background reader, or
// end in a command the program runs under); background commands are waited
// for. `stdoutTo` redirects standard output elsewhere (">/dev/full", ">&-").
inline Process launch(const std::string& args, const std::string& before = "",
                      const std::string& stdoutTo = "") {
    const std::string out = temp_path("program.out"), err = temp_path("program.err");
    std::remove(out.c_str());
    const std::string command = before + std::string(ZRM_RENDER) + " " + args + " " +
                                (stdoutTo.empty() ? ">" + out : stdoutTo) + " 2>" + err +
                                "; code=$?; wait; exit $code";
    const int status = std::system(command.c_str());
    Process p;
    p.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto text = [](const std::string& path) {
        const std::vector<uint8_t> b = read_file(path);
        return std::string(b.begin(), b.end());
    };
    p.out = text(out);
    p.err = text(err);
    return p;
}

// The bytes as the file `name` in the temporary folder; its path.
inline std::string write_file(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = temp_path(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
    return path;
}

}  // namespace rendertest
