#include "platform/device_context.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <utility>

namespace platform {

DeviceContext::DeviceContext(Bitmap* target) : target_(target) {
    reset_clip();
}

Pen DeviceContext::select_pen(const Pen& pen) {
    const Pen old = pen_;
    pen_ = pen;
    pen_.width = std::clamp(pen_.width, 1, 3);
    return old;
}

Brush DeviceContext::select_brush(const Brush& brush) {
    return std::exchange(brush_, brush);
}
TextFont* DeviceContext::select_font(TextFont* font) {
    return std::exchange(font_, font);
}
BackgroundMode DeviceContext::set_background_mode(BackgroundMode mode) {
    return std::exchange(background_mode_, mode);
}
Color DeviceContext::set_background_color(Color color) {
    return std::exchange(background_color_, color);
}
Color DeviceContext::set_text_color(Color color) {
    return std::exchange(text_color_, color);
}

void DeviceContext::set_clip(const Rect& clip) {
    clip_ = target_ ? clip.normalized().intersect(target_->bounds()) : Rect{};
}

void DeviceContext::reset_clip() {
    clip_ = target_ ? target_->bounds() : Rect{};
}

Point DeviceContext::move_to(Point p) {
    return std::exchange(position_, p);
}

void DeviceContext::put_pixel(int32_t x, int32_t y, Color color) {
    if (clip_.contains({x, y})) target_->set_pixel(x, y, color);
}

void DeviceContext::blend_mask(int32_t x, int32_t y, const uint8_t* mask, int32_t w, int32_t h,
                               int32_t pitch, Color color, const Rect& clip) {
    if (!target_) return;
    const Rect r = Rect{x, y, x + w, y + h}.intersect(clip.intersect(clip_));
    for (int32_t py = r.top; py < r.bottom; ++py) {
        const uint8_t* m = mask + static_cast<ptrdiff_t>(py - y) * pitch + (r.left - x);
        uint8_t* p = target_->row(py) + static_cast<size_t>(r.left) * 3;
        for (int32_t px = r.left; px < r.right; ++px, ++m, p += 3) {
            const unsigned a = *m;
            if (a == 0) continue;
            if (a == 255) {
                p[0] = color.r, p[1] = color.g, p[2] = color.b;
                continue;
            }
            const unsigned na = 255u - a;
            p[0] = static_cast<uint8_t>((color.r * a + p[0] * na + 127) / 255);
            p[1] = static_cast<uint8_t>((color.g * a + p[1] * na + 127) / 255);
            p[2] = static_cast<uint8_t>((color.b * a + p[2] * na + 127) / 255);
        }
    }
}

// A pen of width w covers the square from -(w - 1) / 2 to w / 2 around each
// point of the line.
void DeviceContext::stamp(int32_t x, int32_t y, int32_t width, Color color) {
    if (width == 1) {
        put_pixel(x, y, color);
        return;
    }
    const int32_t lo = -(width - 1) / 2, hi = width / 2;
    for (int32_t dy = lo; dy <= hi; ++dy)
        for (int32_t dx = lo; dx <= hi; ++dx) put_pixel(x + dx, y + dy, color);
}

void DeviceContext::line_to(Point p) {
    const Point from = std::exchange(position_, p);
    if (!target_ || pen_.style == PenStyle::null) return;
    // Step k along the major axis puts the minor coordinate at k x minor /
    // major rounded half up, in the direction of travel; the end point is
    // left out. Only the steps whose major coordinate can reach the clip
    // rectangle are walked, so far-away end points cost nothing.
    const int64_t dx = int64_t{p.x} - from.x, dy = int64_t{p.y} - from.y;
    const bool x_major = std::llabs(dx) >= std::llabs(dy);
    const int64_t major = x_major ? std::llabs(dx) : std::llabs(dy);
    const int64_t minor = x_major ? std::llabs(dy) : std::llabs(dx);
    const int64_t major0 = x_major ? from.x : from.y, minor0 = x_major ? from.y : from.x;
    const int64_t major_step = (x_major ? dx : dy) < 0 ? -1 : 1;
    const int64_t minor_step = (x_major ? dy : dx) < 0 ? -1 : 1;
    const Rect reach = clip_.inflate(pen_.width);
    const int64_t lo = x_major ? reach.left : reach.top, hi = x_major ? reach.right : reach.bottom;
    int64_t first = 0, last = major;  // steps [first, last)
    if (major_step > 0) {
        first = std::max<int64_t>(first, lo - major0);
        last = std::min<int64_t>(last, hi - major0);
    } else {
        first = std::max<int64_t>(first, major0 - hi + 1);
        last = std::min<int64_t>(last, major0 - lo + 1);
    }
    for (int64_t k = first; k < last; ++k) {
        const int64_t along = major0 + major_step * k;
        const int64_t across =
            minor0 + minor_step * static_cast<int64_t>((__int128{2} * k * minor + major) /
                                                       (__int128{2} * major));
        const int64_t x = x_major ? along : across, y = x_major ? across : along;
        if (x < reach.left || x >= reach.right || y < reach.top || y >= reach.bottom) continue;
        const int32_t xi = static_cast<int32_t>(x), yi = static_cast<int32_t>(y);
        if (pen_.style == PenStyle::solid || (k / 2) % 2 == 0)
            stamp(xi, yi, pen_.width, pen_.color);
        else if (background_mode_ == BackgroundMode::opaque)
            stamp(xi, yi, pen_.width, background_color_);
    }
}

void DeviceContext::fill_rect(const Rect& rect, const Brush& brush) {
    if (!target_ || brush.null) return;
    target_->fill(rect.intersect(clip_), brush.color);
}

void DeviceContext::frame_rect(const Rect& rect, const Brush& brush) {
    if (rect.empty()) return;
    fill_rect({rect.left, rect.top, rect.right, rect.top + 1}, brush);
    fill_rect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, brush);
    fill_rect({rect.left, rect.top, rect.left + 1, rect.bottom}, brush);
    fill_rect({rect.right - 1, rect.top, rect.right, rect.bottom}, brush);
}

void DeviceContext::invert_rect(const Rect& rect) {
    if (!target_) return;
    const Rect r = rect.intersect(clip_);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint8_t* p = target_->row(y) + static_cast<size_t>(r.left) * 3;
        for (int32_t i = 0; i < r.width() * 3; ++i) p[i] = static_cast<uint8_t>(~p[i]);
    }
}

}  // namespace platform
