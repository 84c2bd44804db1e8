#pragma once
// Fonts over fontconfig and FreeType.
//
// A font is asked for by face name, em height in pixels and weight
// (400 regular, 700 bold). fontconfig finds the face by its family name;
// when no installed face has that name, a face for Japanese text stands in.
// A character that face lacks is drawn from the first face fontconfig
// ranks next that has it. Glyphs are rendered once, with grey-level
// antialiasing (or from the face's own bitmaps), and kept with the font.
//
//   std::shared_ptr<TextFont> font =
//       open_font({u"IPAGothic", points_to_pixels(10), 400});
//   dc.select_font(font.get());
//
// Fonts are shared: asking twice for the same face, height and weight gives
// the same object. They are safe to use from several threads.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/text_font.h"

namespace platform {

struct FontRequest {
    std::u16string face;     // family name; empty picks the stand-in face
    int32_t em_pixels = 13;  // em height in pixels (at least 1)
    int32_t weight = 400;    // 600 and above is bold (made bold when the face is not)
};

// Points to pixels at 96 pixels per inch, rounded half away from zero.
int32_t points_to_pixels(int32_t points);

class FreeTypeFont : public TextFont {
public:
    ~FreeTypeFont() override;
    int32_t ascent() const override { return ascent_; }
    int32_t height() const override { return height_; }
    int32_t average_char_width() const override { return average_width_; }
    const Glyph& glyph(char32_t c) override;

    // The family and file of the face chosen for the request.
    const std::string& family() const { return family_; }
    const std::string& file() const { return file_; }
    // True when the face was found under the requested name.
    bool found_by_name() const { return found_by_name_; }

private:
    friend std::shared_ptr<FreeTypeFont> open_font(const FontRequest& request);
    struct Impl;
    explicit FreeTypeFont(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> impl_;
    int32_t ascent_ = 0;
    int32_t height_ = 0;
    int32_t average_width_ = 0;
    std::string family_;
    std::string file_;
    bool found_by_name_ = false;
};

// The font for the request; null only when fontconfig knows no usable face.
// Throws std::bad_alloc when memory runs out, FreeType's or fontconfig's
// included (as does drawing a glyph the font has not rendered yet).
std::shared_ptr<FreeTypeFont> open_font(const FontRequest& request);

}  // namespace platform
