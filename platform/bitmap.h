#pragma once
// Points, rectangles, colours and the 8-bit RGB bitmap that device contexts
// draw on.
//
// A bitmap is top-down: row 0 is the top line. Each row holds width x 3 bytes
// in the order red, green, blue, without padding, which is the line layout of
// a raw 8-bit s_rgb image in the imaging library, so rows can be handed to its
// bitmap writer as they are.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/large_block.h"

namespace platform {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Left and top are inside, right and bottom outside.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    // Left and top inclusive, right and bottom exclusive.
    bool contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    Rect offset(int32_t dx, int32_t dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    // Grown by d on every side (shrunk for a negative d).
    Rect inflate(int32_t d) const { return {left - d, top - d, right + d, bottom + d}; }
    // Left <= right and top <= bottom.
    Rect normalized() const;
    // The common part, empty ({0,0,0,0}) when there is none.
    Rect intersect(const Rect& other) const;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Color {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};

class Bitmap {
public:
    Bitmap() = default;
    // An image of the given size filled with black; empty when a side is
    // negative, the image would exceed 2^31 - 1 bytes or memory runs out.
    // The black of a new image is the zero memory the system hands out: a
    // large image costs nothing until it is drawn on.
    Bitmap(int32_t width, int32_t height);
    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;
    ~Bitmap() = default;

    // Resizes and fills with black; false (and empty) when the size is refused.
    bool resize(int32_t width, int32_t height);

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    size_t stride() const { return static_cast<size_t>(width_) * 3; }
    Rect bounds() const { return {0, 0, width_, height_}; }

    uint8_t* row(int32_t y) { return pixels_.get() + stride() * static_cast<size_t>(y); }
    const uint8_t* row(int32_t y) const {
        return pixels_.get() + stride() * static_cast<size_t>(y);
    }
    // Every row, top first.
    std::span<const uint8_t> bytes() const {
        return {pixels_.get(), stride() * static_cast<size_t>(height_)};
    }

    // Black outside the bitmap.
    Color pixel(int32_t x, int32_t y) const;
    // Ignored outside the bitmap.
    void set_pixel(int32_t x, int32_t y, Color c);
    void fill(Color c);
    // The part of the rectangle inside the bitmap.
    void fill(const Rect& rect, Color c);

private:
    struct Free {
        Free() noexcept : bytes(0) {}
        explicit Free(size_t size) noexcept : bytes(size) {}
        void operator()(uint8_t* p) const { free_block(p, bytes); }
        size_t bytes;
    };
    // Empty, and false, when memory runs out.
    bool allocate(int32_t width, int32_t height, bool zero);

    int32_t width_ = 0;
    int32_t height_ = 0;
    std::unique_ptr<uint8_t[], Free> pixels_;
};

}  // namespace platform
