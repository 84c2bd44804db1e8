#include "platform/bitmap.h"

#include <algorithm>

#include "platform/byte_count.h"

namespace platform {

Rect Rect::normalized() const {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
}

Rect Rect::intersect(const Rect& other) const {
    Rect r{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
           std::min(bottom, other.bottom)};
    return r.empty() ? Rect{} : r;
}

Bitmap::Bitmap(int32_t width, int32_t height) {
    resize(width, height);
}

bool Bitmap::resize(int32_t width, int32_t height) {
    const ByteCount bytes = ByteCount::from(width) * ByteCount::from(height) * 3;
    if (!bytes.at_most(0x7FFFFFFF)) {
        width_ = height_ = 0;
        pixels_.clear();
        return false;
    }
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(bytes.value()), 0);
    return true;
}

Color Bitmap::pixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kBlack;
    const uint8_t* p = row(y) + static_cast<size_t>(x) * 3;
    return {p[0], p[1], p[2]};
}

void Bitmap::set_pixel(int32_t x, int32_t y, Color c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    uint8_t* p = row(y) + static_cast<size_t>(x) * 3;
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

void Bitmap::fill(Color c) {
    for (size_t i = 0; i + 2 < pixels_.size(); i += 3) {
        pixels_[i] = c.r;
        pixels_[i + 1] = c.g;
        pixels_[i + 2] = c.b;
    }
}

}  // namespace platform
