#include "platform/bitmap.h"

#include <algorithm>
#include <cstring>

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

Bitmap::Bitmap(const Bitmap& other) {
    if (allocate(other.width_, other.height_, false) && !other.bytes().empty())
        std::memcpy(pixels_.get(), other.pixels_.get(), other.bytes().size());
}

Bitmap& Bitmap::operator=(const Bitmap& other) {
    if (this != &other) *this = Bitmap(other);
    return *this;
}

Bitmap::Bitmap(Bitmap&& other) noexcept
    : width_(other.width_), height_(other.height_), pixels_(std::move(other.pixels_)) {
    other.width_ = other.height_ = 0;
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    width_ = other.width_;
    height_ = other.height_;
    pixels_ = std::move(other.pixels_);
    if (this != &other) other.width_ = other.height_ = 0;
    return *this;
}

bool Bitmap::resize(int32_t width, int32_t height) {
    return allocate(width, height, true);
}

bool Bitmap::allocate(int32_t width, int32_t height, bool zero) {
    const ByteCount bytes = ByteCount::from(width) * ByteCount::from(height) * 3;
    pixels_.reset();
    width_ = height_ = 0;
    if (!bytes.at_most(0x7FFFFFFF)) return false;
    // A large picture comes straight from the system's zero pages.
    const size_t size = static_cast<size_t>(bytes.value());
    pixels_ = {static_cast<uint8_t*>(allocate_block(size, zero)), Free{size}};
    if (!pixels_) return false;
    width_ = width;
    height_ = height;
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

void Bitmap::fill(Color c) { fill(bounds(), c); }

void Bitmap::fill(const Rect& rect, Color c) {
    const Rect r = rect.intersect(bounds());
    const size_t bytes = static_cast<size_t>(r.width()) * 3;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint8_t* p = row(y) + static_cast<size_t>(r.left) * 3;
        if (c.r == c.g && c.g == c.b) {
            std::memset(p, c.r, bytes);
            continue;
        }
        for (uint8_t* end = p + bytes; p < end; p += 3) p[0] = c.r, p[1] = c.g, p[2] = c.b;
    }
}

}  // namespace platform
