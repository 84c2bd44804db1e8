// Caller memory at any address: the stages after VRX_ReadMemory (sign
// extension, minimum and maximum, AND with a constant, the 8-64-bit pixel
// operators, the scalers that load samples through typed pointers) give the
// same result from an odd address as from an aligned one (the sanitizer build
// stops on a misaligned load).
#include <gtest/gtest.h>

#include "tests/vrx/core/operation/pixel_chain.h"
#include "vrx/core/operation/vrx_and.h"
#include "vrx/core/operation/vrx_oppixels8xnbits.h"
#include "vrx/core/scale/vrx_scaleppby.h"
#include "vrx/extension/minmaxpixelvalue/vrx_minmaxpixelvalue.h"
#include "vrx/extension/signedextension/vrx_signedextension.h"

namespace {

using namespace vrx_pixel_test;

constexpr uint32_t kWidth = 13, kHeight = 3;

// What the stage `build` makes of `samples` read from caller memory at
// `offset` bytes past an aligned address: the lines (none of an
// `analysis`), then the minimum and maximum it reported (if any).
template <class T, class Build>
std::vector<uint8_t> run(const std::vector<T>& samples, size_t offset, bool analysis, Build&& build) {
    const std::vector<uint8_t> bytes = to_bytes(samples);
    std::vector<uint8_t> held(bytes.size() + 16);
    std::memcpy(held.data() + offset, bytes.data(), bytes.size());
    VRX_DefaultManager manager;
    VRX_Header header(&manager);
    describe(header, format_of<T>(kWidth, kHeight));
    auto source = [&] {
        return VRX_ReadMemory(&manager).engine(&header, held.data() + offset,
                                               static_cast<uint32_t>(bytes.size()));
    };
    double low = 0, high = 0;
    std::vector<uint8_t> out;
    VRX_Engine* last = build(manager, source, low, high);
    if (!analysis) {
        EXPECT_TRUE(write_memory(manager, last, out));
    } else {
        // An analysis yields no lines.
        while (last && last->execute()) {
        }
    }
    EXPECT_NO_ERROR(manager);
    out.insert(out.end(), reinterpret_cast<uint8_t*>(&low), reinterpret_cast<uint8_t*>(&low) + 8);
    out.insert(out.end(), reinterpret_cast<uint8_t*>(&high), reinterpret_cast<uint8_t*>(&high) + 8);
    return out;
}

template <class T, bool analysis = false, class Build>
void same_at_every_offset(Build&& build) {
    std::vector<T> samples(size_t{kWidth} * kHeight);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<T>((i * 2654435761u) >> 7) - static_cast<T>(i);
    const std::vector<uint8_t> aligned = run(samples, 0, analysis, build);
    for (size_t offset = 1; offset < sizeof(T); ++offset)
        EXPECT_EQ(run(samples, offset, analysis, build), aligned) << "offset " << offset;
}

TEST(ReadMemoryAlignment, EnginesReadingCallerLinesInPlaceAcceptAnyAddress) {
    same_at_every_offset<int16_t>([](VRX_Manager& m, auto source, double&, double&) {
        return VRX_SignedExtension(&m).engine(source(), 11);
    });
    same_at_every_offset<uint16_t>([](VRX_Manager& m, auto source, double&, double&) {
        return VRX_And(&m).engine(source(), 0x0FFF);
    });
    same_at_every_offset<double, true>([](VRX_Manager& m, auto source, double& low, double& high) {
        return VRX_MinMaxPixelValue(&m).engine(source(), &low, &high);
    });
    same_at_every_offset<uint32_t>([](VRX_Manager& m, auto source, double&, double&) {
        VRX_Vector<VRX_Engine*> sources(&m);
        sources.push_back(source());
        sources.push_back(source());
        return VRX_OpPixels8xNBitsUnMasked<VRX_PixelOperator::Add, uint32_t>(&m).engine(sources, 2, 1);
    });
    same_at_every_offset<double>([](VRX_Manager& m, auto source, double&, double&) {
        VRX_Vector<VRX_Engine*> sources(&m);
        sources.push_back(source());
        sources.push_back(source());
        return VRX_OpPixels8xNBitsUnMasked<VRX_PixelOperator::Multiply, double>(&m).engine(sources, 0, 0);
    });
    // Width-only reduction and enlargement: the width stages read the lines
    // the memory reader hands on.
    same_at_every_offset<uint16_t>([](VRX_Manager& m, auto source, double&, double&) {
        return VRX_ScalePPBy<double>(&m).engine(source(), 5, kHeight);
    });
    same_at_every_offset<uint16_t>([](VRX_Manager& m, auto source, double&, double&) {
        return VRX_ScalePPBy<double>(&m).engine(source(), 29, kHeight);
    });
}

}  // namespace
