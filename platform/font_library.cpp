#include "platform/font_library.h"

#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include FT_FREETYPE_H
#include FT_MODULE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>
#include <new>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/text_converter.h"

#if defined(__SANITIZE_ADDRESS__)
#define PLATFORM_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLATFORM_LSAN 1
#endif
#endif
#ifdef PLATFORM_LSAN
#include <sanitizer/lsan_interface.h>
#endif

namespace platform {
namespace {

// FreeType's memory is the system's, with a note of an allocation that
// failed on this thread: a face or glyph that could not be made for want of
// memory is told from a file FreeType cannot use. Called from C: nothing
// here may throw.
thread_local bool freetype_ran_out = false;

void* freetype_alloc(FT_Memory, long size) noexcept {
    void* block = std::malloc(static_cast<size_t>(size));
    if (!block) freetype_ran_out = true;
    return block;
}

void freetype_free(FT_Memory, void* block) noexcept {
    std::free(block);
}

void* freetype_realloc(FT_Memory, long, long size, void* block) noexcept {
    void* moved = std::realloc(block, static_cast<size_t>(size));
    if (!moved) freetype_ran_out = true;
    return moved;
}

FT_MemoryRec_ freetype_memory = {nullptr, freetype_alloc, freetype_free, freetype_realloc};

// Throws std::bad_alloc when a FreeType call since the note was cleared ran
// out of memory.
void check_freetype_memory() {
    if (freetype_ran_out) {
        freetype_ran_out = false;
        throw std::bad_alloc();
    }
}

// The process's FreeType library and fontconfig configuration, and the fonts
// made so far. Never destroyed: fonts may be in use until the process ends.
struct Library {
    // Recursive: a font made or dropped under it opens or closes its faces.
    std::recursive_mutex mutex;
    FT_Library freetype = nullptr;
    FcConfig* config = nullptr;
    std::map<std::tuple<std::u16string, int32_t, int32_t>, std::shared_ptr<FreeTypeFont>> fonts;

    bool ready() {
        if (!freetype) {
            // As FT_Init_FreeType makes it, over the memory above.
            freetype_ran_out = false;
            FT_Library made = nullptr;
            if (FT_New_Library(&freetype_memory, &made) == 0) {
                FT_Add_Default_Modules(made);
                FT_Set_Default_Properties(made);
                if (freetype_ran_out) FT_Done_Library(made);
            }
            check_freetype_memory();
            freetype = made;
        }
        if (!config) {
            // fontconfig drops a block while it parses its configuration
            // files; the leak checker is told to look away meanwhile.
#ifdef PLATFORM_LSAN
            __lsan_disable();
#endif
            config = FcInitLoadConfigAndFonts();
#ifdef PLATFORM_LSAN
            __lsan_enable();
#endif
            // A configuration file that is missing or broken gives the
            // built-in configuration: none at all is memory that ran out
            // (fontconfig has said so on standard error).
            if (!config) throw std::bad_alloc();
        }
        return freetype && config;
    }
};

Library& library() {
    static Library* instance = new Library;
    return *instance;
}

bool same_family(const char* a, const std::string& b) {
    if (std::char_traits<char>::length(a) != b.size()) return false;
    for (size_t i = 0; i < b.size(); ++i) {
        const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string pattern_string(FcPattern* pattern, const char* object, int n = 0) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch || !value) return {};
    return reinterpret_cast<const char*>(value);
}

}  // namespace

struct FreeTypeFont::Impl {
    struct Face {
        std::string file;
        int index = 0;
        FT_Face face = nullptr;
        bool tried = false;
        // The file, mapped here rather than by FreeType: a mapping refused
        // for want of address space is then told from a file that cannot be
        // read.
        void* bytes = MAP_FAILED;
        size_t size = 0;
    };

    int32_t em = 13;
    bool bold = false;
    FcFontSet* ranked = nullptr;  // faces in fontconfig's order, for missing characters
    std::vector<Face> faces;      // [0] the chosen face, then ranked[i] at i + 1
    std::unordered_map<char32_t, Glyph> glyphs;
    std::mutex mutex;

    ~Impl() {
        std::lock_guard<std::recursive_mutex> lock(library().mutex);
        for (Face& f : faces) {
            if (f.face) FT_Done_Face(f.face);
            if (f.bytes != MAP_FAILED) ::munmap(f.bytes, f.size);
        }
        if (ranked) FcFontSetDestroy(ranked);
    }

    // Maps the face's file; false when it cannot be mapped (FreeType then
    // reads it itself). Throws std::bad_alloc when the address space is full.
    static bool map(Face& f) {
        const int fd = ::open(f.file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        struct stat st;
        int why = 0;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
            f.bytes = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (f.bytes == MAP_FAILED) why = errno;
        }
        ::close(fd);
        if (why == ENOMEM) throw std::bad_alloc();
        if (f.bytes == MAP_FAILED) return false;
        f.size = static_cast<size_t>(st.st_size);
        return true;
    }

    // Opens face i on first use; null when it cannot be used. Throws
    // std::bad_alloc when memory runs out.
    FT_Face face(size_t i) {
        Face& f = faces[i];
        if (f.tried) return f.face;
        Library& lib = library();
        std::lock_guard<std::recursive_mutex> lock(lib.mutex);
        const bool mapped = map(f);
        f.tried = true;
        freetype_ran_out = false;
        FT_Face face = nullptr;
        const FT_Error opened =
            mapped ? FT_New_Memory_Face(lib.freetype, static_cast<const FT_Byte*>(f.bytes),
                                        static_cast<FT_Long>(f.size), f.index, &face)
                   : FT_New_Face(lib.freetype, f.file.c_str(), f.index, &face);
        if (opened != 0) {
            check_freetype_memory();
            return nullptr;
        }
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) != 0) {
            FT_Done_Face(face);
            check_freetype_memory();
            return nullptr;
        }
        f.face = face;
        return face;
    }

    // The face that has c and its glyph index; the chosen face's missing
    // glyph when no face has it.
    std::pair<FT_Face, FT_UInt> find(char32_t c) {
        if (FT_Face f = face(0)) {
            if (FT_UInt gi = FT_Get_Char_Index(f, c)) return {f, gi};
        }
        for (int i = 0; ranked && i < ranked->nfont; ++i) {
            FcCharSet* set = nullptr;
            if (FcPatternGetCharSet(ranked->fonts[i], FC_CHARSET, 0, &set) != FcResultMatch ||
                !FcCharSetHasChar(set, c))
                continue;
            if (FT_Face f = face(static_cast<size_t>(i) + 1)) {
                if (FT_UInt gi = FT_Get_Char_Index(f, c)) return {f, gi};
            }
        }
        return {face(0), 0};
    }

    Glyph render(char32_t c) {
        Glyph g;
        const auto [face, index] = find(c);
        freetype_ran_out = false;
        if (!face || FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0) {
            check_freetype_memory();
            g.advance = em / 2;
            return g;
        }
        FT_GlyphSlot slot = face->glyph;
        if (bold && !(face->style_flags & FT_STYLE_FLAG_BOLD)) FT_GlyphSlot_Embolden(slot);
        if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
            FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
            check_freetype_memory();
            g.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
            return g;
        }
        check_freetype_memory();
        const FT_Bitmap& bm = slot->bitmap;
        g.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = static_cast<int32_t>(bm.width);
        g.height = static_cast<int32_t>(bm.rows);
        g.coverage.assign(static_cast<size_t>(g.width) * g.height, 0);
        for (int32_t y = 0; y < g.height; ++y) {
            const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
            uint8_t* dst = g.coverage.data() + static_cast<size_t>(y) * g.width;
            for (int32_t x = 0; x < g.width; ++x) {
                if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                    dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                    dst[x] = static_cast<uint8_t>(
                        bm.num_grays == 256 ? src[x]
                                            : src[x] * 255 / std::max(1, bm.num_grays - 1));
            }
        }
        if (bm.pixel_mode != FT_PIXEL_MODE_MONO && bm.pixel_mode != FT_PIXEL_MODE_GRAY)
            g.width = g.height = 0, g.coverage.clear();
        return g;
    }
};

FreeTypeFont::FreeTypeFont(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FreeTypeFont::~FreeTypeFont() = default;

const Glyph& FreeTypeFont::glyph(char32_t c) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    auto it = impl_->glyphs.find(c);
    if (it != impl_->glyphs.end()) return it->second;
    return impl_->glyphs.emplace(c, impl_->render(c)).first->second;
}

int32_t points_to_pixels(int32_t points) {
    const int64_t n = int64_t{points} * 96;
    const int64_t q = (std::llabs(n) + 36) / 72;
    return static_cast<int32_t>(n < 0 ? -q : q);
}

std::shared_ptr<FreeTypeFont> open_font(const FontRequest& request) {
    Library& lib = library();
    const int32_t em = std::clamp(request.em_pixels, 1, 1024);
    const int32_t weight = std::clamp(request.weight, 1, 1000);
    std::lock_guard<std::recursive_mutex> lock(lib.mutex);
    const auto key = std::make_tuple(request.face, em, weight);
    if (auto it = lib.fonts.find(key); it != lib.fonts.end()) return it->second;
    if (!lib.ready()) return nullptr;

    std::string name;
    utf16_to_utf8(request.face, name);
    // fontconfig says false, or no match for want of memory, when its
    // memory runs out: that throws std::bad_alloc.
    auto make_pattern = [&](bool by_name) {
        FcPattern* p = FcPatternCreate();
        if (!p) throw std::bad_alloc();
        const bool made =
            (by_name ? FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()))
                     : FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>("ja"))) &&
            FcPatternAddInteger(p, FC_WEIGHT, FcWeightFromOpenType(weight)) &&
            FcPatternAddDouble(p, FC_PIXEL_SIZE, em) && FcPatternAddBool(p, FC_SCALABLE, FcTrue) &&
            FcConfigSubstitute(lib.config, p, FcMatchPattern);
        if (!made) {
            FcPatternDestroy(p);
            throw std::bad_alloc();
        }
        FcDefaultSubstitute(p);
        return p;
    };
    FcResult result = FcResultNoMatch;
    auto best_match = [&](FcPattern* p) {
        FcPattern* found = FcFontMatch(lib.config, p, &result);
        if (!found && result == FcResultOutOfMemory) {
            FcPatternDestroy(p);
            throw std::bad_alloc();
        }
        return found;
    };

    bool by_name = !name.empty();
    FcPattern* pattern = make_pattern(by_name);
    FcPattern* match = best_match(pattern);
    if (by_name) {
        bool named = false;
        for (int n = 0; match && !named; ++n) {
            FcChar8* family = nullptr;
            if (FcPatternGetString(match, FC_FAMILY, n, &family) != FcResultMatch) break;
            named = same_family(reinterpret_cast<const char*>(family), name);
        }
        if (!named) {
            if (match) FcPatternDestroy(match);
            FcPatternDestroy(pattern);
            by_name = false;
            pattern = make_pattern(false);
            match = best_match(pattern);
        }
    }
    if (!match) {
        FcPatternDestroy(pattern);
        return nullptr;
    }

    auto impl = std::make_unique<FreeTypeFont::Impl>();
    impl->em = em;
    impl->bold = weight >= 600;
    int index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    impl->faces.push_back({pattern_string(match, FC_FILE), index});
    impl->ranked = FcFontSort(lib.config, pattern, FcTrue, nullptr, &result);
    for (int i = 0; impl->ranked && i < impl->ranked->nfont; ++i) {
        int ri = 0;
        FcPatternGetInteger(impl->ranked->fonts[i], FC_INDEX, 0, &ri);
        impl->faces.push_back({pattern_string(impl->ranked->fonts[i], FC_FILE), ri});
    }
    std::shared_ptr<FreeTypeFont> font(new FreeTypeFont(std::move(impl)));
    font->family_ = pattern_string(match, FC_FAMILY);
    font->file_ = pattern_string(match, FC_FILE);
    font->found_by_name_ = by_name;
    FcPatternDestroy(match);
    FcPatternDestroy(pattern);

    FT_Face face = font->impl_->face(0);
    if (!face) return nullptr;
    const FT_Size_Metrics& m = face->size->metrics;
    font->ascent_ = static_cast<int32_t>((m.ascender + 63) >> 6);
    font->height_ = font->ascent_ + static_cast<int32_t>((-m.descender + 63) >> 6);
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->xAvgCharWidth > 0 && face->units_per_EM > 0)
        font->average_width_ = static_cast<int32_t>(
            (int64_t{os2->xAvgCharWidth} * em + face->units_per_EM / 2) / face->units_per_EM);
    else
        font->average_width_ = std::max(1, em / 2);
    lib.fonts.emplace(key, font);
    return font;
}

}  // namespace platform
