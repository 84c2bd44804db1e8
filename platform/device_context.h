#pragma once
// A drawing surface over a Bitmap: pens, brushes, rectangles, lines, text
// colours and a font, with clipping.
//
//   Bitmap canvas(640, 480);
//   DeviceContext dc(&canvas);
//   const Pen old = dc.select_pen({PenStyle::solid, 2, kWhite});
//   dc.move_to({10, 10});
//   dc.line_to({100, 50});        // the last pixel is left out
//   dc.select_pen(old);
//
// A context without a bitmap measures text but draws nothing. Every write
// is clipped to the bitmap and the clip rectangle.
#include <cstdint>

#include "platform/bitmap.h"

namespace platform {

class TextFont;

enum class PenStyle {
    solid,
    dot,   // two pixels drawn, two left out, along the line
    null,  // draws nothing
};

struct Pen {
    PenStyle style = PenStyle::solid;
    int32_t width = 1;  // 1 to 3 pixels; below 1 counts as 1
    Color color = kBlack;
};

struct Brush {
    Color color = kWhite;
    bool null = false;  // paints nothing
};

enum class BackgroundMode {
    transparent,  // gaps of dotted lines and text backgrounds are left alone
    opaque,       // they are painted in the background colour
};

class DeviceContext {
public:
    explicit DeviceContext(Bitmap* target = nullptr);

    Bitmap* bitmap() const { return target_; }

    // Each select or set returns what was there before.
    Pen select_pen(const Pen& pen);
    Brush select_brush(const Brush& brush);
    TextFont* select_font(TextFont* font);
    BackgroundMode set_background_mode(BackgroundMode mode);
    Color set_background_color(Color color);
    Color set_text_color(Color color);

    const Pen& pen() const { return pen_; }
    const Brush& brush() const { return brush_; }
    TextFont* font() const { return font_; }
    BackgroundMode background_mode() const { return background_mode_; }
    Color background_color() const { return background_color_; }
    Color text_color() const { return text_color_; }

    // Clip rectangle in bitmap pixels; starts as the whole bitmap.
    void set_clip(const Rect& clip);
    void reset_clip();
    Rect clip() const { return clip_; }

    // Current position; move_to returns the previous one.
    Point move_to(Point p);
    Point position() const { return position_; }
    // Line from the current position to p with the current pen, without p
    // itself; p becomes the current position.
    void line_to(Point p);

    void fill_rect(const Rect& rect, const Brush& brush);
    // One-pixel border just inside the rectangle.
    void frame_rect(const Rect& rect, const Brush& brush);
    // Every byte of the rectangle inverted.
    void invert_rect(const Rect& rect);

    // A coverage mask (w x h bytes, rows `pitch` apart, 0..255) blended in
    // the colour with its top-left at (x, y), clipped to `clip` and to the
    // context's clip.
    void blend_mask(int32_t x, int32_t y, const uint8_t* mask, int32_t w, int32_t h, int32_t pitch,
                    Color color, const Rect& clip);
    void put_pixel(int32_t x, int32_t y, Color color);

private:
    void stamp(int32_t x, int32_t y, int32_t width, Color color);

    Bitmap* target_;
    Rect clip_;
    Pen pen_;
    Brush brush_;
    TextFont* font_ = nullptr;
    BackgroundMode background_mode_ = BackgroundMode::opaque;
    Color background_color_ = kWhite;
    Color text_color_ = kBlack;
    Point position_;
};

}  // namespace platform
