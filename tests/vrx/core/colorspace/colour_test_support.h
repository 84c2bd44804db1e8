#pragma once
// Test support of the colour stages: the fixtures of
// tests/data/vrx/colour/colour_model.py (results as hex bytes of pixels
// that its xorshift32 generator makes, repeated here), and one-line images
// of 8- or 16-bit samples run through a stage.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"
#include "tests/vrx/framework/support/test_manager.h"

namespace vrx_colour_test {

using namespace vrx;
using namespace vrx_pixel_test;

struct XorShift {
    explicit XorShift(uint32_t seed) : s(seed ? seed : 1) {}
    uint32_t next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    uint32_t below(uint32_t n) { return next() % n; }
    uint32_t s;
};

// The whitespace-separated fields of every line of a fixture that is not a
// comment.
inline std::vector<std::vector<std::string>> read_fixture(const std::string& name) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/vrx/colour/" + name);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::vector<std::string> row;
        for (std::string f; fields >> f;) row.push_back(f);
        rows.push_back(row);
    }
    return rows;
}

// Samples of `bits` bits (little-endian bytes) written as hex.
inline std::vector<uint32_t> hex_samples(const std::string& hex, uint16_t bits) {
    std::vector<uint32_t> samples;
    const size_t step = bits / 4;
    for (size_t i = 0; i + step <= hex.size(); i += step) {
        const uint32_t lo = std::stoul(hex.substr(i, 2), nullptr, 16);
        samples.push_back(bits == 8 ? lo : lo | std::stoul(hex.substr(i + 2, 2), nullptr, 16) << 8);
    }
    return samples;
}

inline const VRX_ColorType* color_type_named(const std::string& name) {
    using C = VRX_ColorType;
    for (const C* t :
         {C::gray(), C::gray_reverse(), C::lstar(), C::s_rgb(), C::adobe_rgb(), C::ycbcr(),
          C::hsl(), C::icc_lab(), C::itu_lab(), C::xyz(), C::cmy(), C::cmyk()})
        if (name == t->name()) return t;
    ADD_FAILURE() << "no colour type " << name;
    return C::unknown();
}

// One line of `samples.size() / channels` pixels of `bits` bits.
inline Format line_format(size_t samples, uint16_t bits, uint16_t channels,
                          const VRX_ColorType* color) {
    Format f;
    f.width = static_cast<uint32_t>(samples / channels);
    f.height = 1;
    f.bits = bits;
    f.channels = channels;
    f.color = color;
    return f;
}

inline std::vector<uint8_t> sample_bytes(const std::vector<uint32_t>& samples, uint16_t bits) {
    std::vector<uint8_t> bytes;
    for (uint32_t v : samples) {
        bytes.push_back(static_cast<uint8_t>(v));
        if (bits == 16) bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    return bytes;
}

// What a stage's header says of its output.
struct Output {
    const VRX_ColorType* color = nullptr;
    uint16_t channels = 0;
    uint16_t bits = 0;
};

// The samples a stage built by `stage` (behind a reader of `samples`)
// yields, empty when the stage or the chain fails; `output` gets the
// stage's header before the chain runs (and ends the stage).
inline std::vector<uint32_t> run_stage(VRX_Manager& manager, const Format& format,
                                       const std::vector<uint32_t>& samples,
                                       const std::function<VRX_Engine*(VRX_Engine*)>& stage,
                                       Output* output = nullptr) {
    const std::vector<uint8_t> bytes = sample_bytes(samples, format.bits);
    VRX_Engine* last = stage(read_memory(manager, format, bytes));
    if (output && last && last->header())
        *output = {last->header()->color_type(), last->header()->channels, last->header()->bits};
    std::vector<uint8_t> out;
    if (!last || !write_memory(manager, last, out)) return {};
    const uint16_t bits = format.bits;
    std::vector<uint32_t> result;
    for (size_t i = 0; i + bits / 8 <= out.size(); i += bits / 8)
        result.push_back(bits == 8 ? out[i] : out[i] | uint32_t{out[i + 1]} << 8);
    return result;
}

// Index of the first sample that differs by more than `tolerance`, or -1.
inline long first_difference(const std::vector<uint32_t>& got, const std::vector<uint32_t>& want,
                             uint32_t tolerance) {
    if (got.size() != want.size()) return 0;
    for (size_t i = 0; i < got.size(); ++i)
        if (std::abs(int64_t{got[i]} - int64_t{want[i]}) > tolerance) return static_cast<long>(i);
    return -1;
}

}  // namespace vrx_colour_test
