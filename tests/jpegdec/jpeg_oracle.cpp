#include "tests/jpegdec/jpeg_oracle.h"

#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

namespace jpegoracle {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    int warnings = 0;
};

void OnError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1); }
// Nothing is printed; warnings are counted.
void Quiet(j_common_ptr cinfo, int level) {
    if (level < 0) ++reinterpret_cast<ErrorManager*>(cinfo->err)->warnings;
}

}  // namespace

Bytes ReadFile(const std::string& path) {
    Bytes bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(f);
    return bytes;
}

namespace {

// Reads the header and runs `body` on the decompressor; false when libjpeg
// reports an error (the body's results are then incomplete).
template <class Body>
bool WithDecompressor(const Bytes& jpeg, Body body) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    err.base.emit_message = Quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    body(cinfo);
    jpeg_abort_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

Image Decode(const Bytes& jpeg, uint32_t scale, bool rgb) {
    Image image;
    image.ok = WithDecompressor(jpeg, [&](jpeg_decompress_struct& cinfo) {
        cinfo.dct_method = JDCT_ISLOW;
        cinfo.do_fancy_upsampling = FALSE;
        cinfo.out_color_space = rgb ? JCS_RGB : cinfo.jpeg_color_space;
        cinfo.scale_num = 1;
        cinfo.scale_denom = scale;
        jpeg_start_decompress(&cinfo);
        image.width = cinfo.output_width;
        image.height = cinfo.output_height;
        image.channels = static_cast<uint32_t>(cinfo.output_components);
        const size_t line = size_t{image.width} * image.channels;
        image.pixels.resize(line * image.height);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = image.pixels.data() + line * cinfo.output_scanline;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
    });
    return image.ok ? image : Image{};
}

int Warnings(const Bytes& jpeg) {
    int warnings = 0;
    const bool ok = WithDecompressor(jpeg, [&](jpeg_decompress_struct& cinfo) {
        jpeg_start_decompress(&cinfo);
        // libjpeg's own memory: an error jumps past every destructor here.
        JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                    cinfo.output_width * static_cast<JDIMENSION>(cinfo.output_components), 1);
        while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, row, 1);
        jpeg_finish_decompress(&cinfo);
        warnings = reinterpret_cast<ErrorManager*>(cinfo.err)->warnings;
    });
    return ok ? warnings : -1;
}

Coefficients ReadCoefficients(const Bytes& jpeg) {
    Coefficients out;
    out.ok = WithDecompressor(jpeg, [&](jpeg_decompress_struct& cinfo) {
        jvirt_barray_ptr* arrays = jpeg_read_coefficients(&cinfo);
        out.planes.resize(static_cast<size_t>(cinfo.num_components));
        for (int c = 0; c < cinfo.num_components; ++c) {
            const jpeg_component_info& comp = cinfo.comp_info[c];
            Coefficients::Plane& plane = out.planes[static_cast<size_t>(c)];
            plane.blocksWide = comp.width_in_blocks;
            plane.blocksHigh = comp.height_in_blocks;
            plane.values.resize(size_t{plane.blocksWide} * plane.blocksHigh * 64);
            for (JDIMENSION by = 0; by < comp.height_in_blocks; ++by) {
                JBLOCKARRAY rows = (*cinfo.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                                    arrays[c], by, 1, FALSE);
                for (JDIMENSION bx = 0; bx < comp.width_in_blocks; ++bx)
                    std::copy(rows[0][bx], rows[0][bx] + 64,
                              plane.values.begin() + (size_t{by} * plane.blocksWide + bx) * 64);
            }
        }
    });
    return out.ok ? out : Coefficients{};
}

HeaderInfo ReadHeaderInfo(const Bytes& jpeg) {
    HeaderInfo h;
    h.ok = WithDecompressor(jpeg, [&](jpeg_decompress_struct& cinfo) {
        h.width = cinfo.image_width;
        h.height = cinfo.image_height;
        h.components = static_cast<uint32_t>(cinfo.num_components);
        h.progressive = cinfo.progressive_mode != 0;
        h.jfif = cinfo.saw_JFIF_marker != 0;
        h.adobe = cinfo.saw_Adobe_marker != 0;
        h.colorSpace = cinfo.jpeg_color_space;
        for (int c = 0; c < cinfo.num_components && cinfo.num_components >= 3; ++c)
            h.sampling = (h.sampling << 8) | static_cast<uint32_t>(cinfo.comp_info[c].h_samp_factor << 4 |
                                                                    cinfo.comp_info[c].v_samp_factor);
        if (cinfo.num_components < 3) h.sampling = 0x111111;
    });
    return h;
}

int MaxDifference(const Image& a, const Image& b) {
    if (!a.ok || !b.ok || a.channels != b.channels || a.pixels.empty() || b.pixels.empty()) return 255;
    int worst = 0;
    const uint32_t w = std::min(a.width, b.width), h = std::min(a.height, b.height);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            for (uint32_t c = 0; c < a.channels; ++c) worst = std::max(worst, std::abs(a.at(x, y, c) - b.at(x, y, c)));
    return worst;
}

}  // namespace jpegoracle
