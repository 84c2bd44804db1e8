#pragma once
// Images for the bitmap writer tests: a description, its packed lines, the
// colours a reader should see, and a chain that writes it as a bitmap.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "vrx/core/dib/vrx_writedib.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/framework/io/vrx_bytearrayoutputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace dibtest {

struct Image {
    std::string name;
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bits = 8;
    uint16_t channels = 1;
    const vrx::VRX_ColorType* color = vrx::VRX_ColorType::gray();
    std::vector<unsigned char> palette;  // red, green, blue per entry
    std::vector<unsigned char> pixels;   // packed lines, top line first

    uint32_t line_bytes() const { return (uint32_t{channels} * bits * width + 7) / 8; }
    uint32_t entries() const { return static_cast<uint32_t>(palette.size() / 3); }

    // The header of the image, bound to `manager`.
    void fill(vrx::VRX_Header& header) const {
        header.width = width;
        header.height = height;
        header.bits = bits;
        header.channels = channels;
        header.color_type(color);
        if (!palette.empty()) {
            header.palette().bits = 8;
            header.palette().channels = 3;
            header.palette().entries = entries();
            header.palette().value(palette.data(), static_cast<uint32_t>(palette.size()));
        }
    }

    // The colour of pixel (x, y) as red, green, blue.
    void rgb(uint32_t x, uint32_t y, unsigned char out[3]) const {
        const unsigned char* line = pixels.data() + size_t{y} * line_bytes();
        if (bits == 1) {
            const unsigned bit = (line[x / 8] >> (7 - x % 8)) & 1u;
            if (!palette.empty()) {
                out[0] = palette[3 * bit];
                out[1] = palette[3 * bit + 1];
                out[2] = palette[3 * bit + 2];
            } else {
                const bool white = color->is_gray() ? bit == 1 : bit == 0;
                out[0] = out[1] = out[2] = white ? 255 : 0;
            }
        } else if (channels == 3) {
            out[0] = line[3 * x];
            out[1] = line[3 * x + 1];
            out[2] = line[3 * x + 2];
        } else if (!palette.empty()) {
            out[0] = palette[3 * line[x]];
            out[1] = palette[3 * line[x] + 1];
            out[2] = palette[3 * line[x] + 2];
        } else {
            out[0] = out[1] = out[2] = line[x];
        }
    }
};

// Random pixels (palette indices below the entry count); in 1-bit lines the
// bits after the last pixel are set, so the writer has to clear them.
inline Image make_image(std::string name, uint32_t width, uint32_t height, uint16_t bits,
                        uint16_t channels, const vrx::VRX_ColorType* color, uint32_t entries,
                        std::mt19937& random) {
    Image image{std::move(name), width, height, bits, channels, color, {}, {}};
    for (uint32_t i = 0; i < 3 * entries; ++i) image.palette.push_back(static_cast<unsigned char>(random()));
    image.pixels.resize(size_t{image.line_bytes()} * height);
    for (auto& p : image.pixels) p = static_cast<unsigned char>(random());
    if (bits == 8 && channels == 1 && entries != 0)
        for (auto& p : image.pixels) p = static_cast<unsigned char>(p % entries);
    if (bits == 1 && width % 8 != 0)
        for (uint32_t y = 0; y < height; ++y)
            image.pixels[size_t{y} * image.line_bytes() + width / 8] |= static_cast<unsigned char>(0xFF >> (width % 8));
    return image;
}

struct Written {
    bool engine_made = false;
    uint32_t total = 0;
    uint32_t header_bytes = 0;
    std::vector<unsigned char> dib;
    vrx::VRX_Status status;
};

// Reads the image from memory and writes it through VRX_WriteDIB into a
// byte array of lead + total_bytes + extra bytes, after `lead` bytes of 0x5A
// written first; runs the chain to its end.
inline Written write_dib(const Image& image, const vrx::VRX_WriteDIBOption& option,
                         int32_t extra = 0, int32_t lead = 0) {
    vrx::VRX_DefaultManager manager;
    Written out;
    vrx::VRX_Header header(&manager);
    image.fill(header);
    out.total = vrx::VRX_WriteDIB::total_bytes(&header, option);
    out.header_bytes = vrx::VRX_WriteDIB::header_bytes(&header, option);
    out.dib.assign(static_cast<size_t>(std::max<int64_t>(int64_t{lead} + out.total + extra, 1)), 0xEE);
    auto* storage = vrx::VRX_ByteArrayOutputStorage::create(
        &manager, out.dib.data(), static_cast<int32_t>(out.dib.size()));
    const std::vector<unsigned char> leading(static_cast<size_t>(lead), 0x5A);
    if (lead > 0) storage->write(leading.data(), lead);
    vrx::VRX_ReadMemory reader(&manager);
    vrx::VRX_Engine* source = reader.engine(&header, image.pixels.data(),
                                            static_cast<uint32_t>(image.pixels.size()));
    vrx::VRX_Engine* writer = vrx::VRX_WriteDIB(&manager).engine(source, storage, option);
    vrx::destroy(storage);
    out.engine_made = writer != nullptr;
    if (writer)
        while (writer->execute()) {
        }
    manager.execute(out.status);
    return out;
}

}  // namespace dibtest
