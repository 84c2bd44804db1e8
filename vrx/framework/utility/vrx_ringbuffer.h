#pragma once
// The window of image lines a neighbourhood operation needs around the
// current line: kernel-height lines, each widened by margins on both sides,
// filled from an engine's source buffer one line at a time. Moving the window
// down costs one line read and a rotation of the line pointers; the kept
// lines are never copied.
//
// A line holds (kernel width + width - 1) pixels: anchor x margin pixels,
// the image line, and kernel width - 1 - anchor x margin pixels. After each
// update, line(anchor y) is the current image line and line(k) image line
// current + k - anchor y.
#include <cstdint>

#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/base/vrx_object.h"
#include "vrx/framework/utility/vrx_kernelattr.h"

namespace vrx {

class VRX_SrcBuffer;

class VRX_RingBuffer : public VRX_Object {
public:
    explicit VRX_RingBuffer(VRX_Manager* manager) : VRX_Object(manager) {}
    ~VRX_RingBuffer() override = default;

    // Gives the line table and the line storage back to the manager.
    bool terminate() override;
    // Moves the window to the next output line; false when the source fails
    // to deliver a line (the window is then not to be used).
    virtual bool update() = 0;
    // A null source or header, an empty kernel or an anchor outside it is
    // refused with 0x80800000; a header that is not valid, raw, and of 8, 16
    // or 32-bit integer or 32 or 64-bit floating samples with 0x81000000.
    // Takes the line storage from the manager and sets the source's block
    // size to one image line.
    virtual bool initiate(VRX_SrcBuffer* src, const VRX_Header* header,
                          const VRX_KernelAttr& kernel);

    // Line k of the window (0 <= k < kernel height), from its left margin.
    unsigned char* line(uint32_t k) const { return lines_[k]; }
    // Byte offset of image pixel 0 in every line.
    uint32_t left_margin() const { return left_margin_; }
    uint32_t line_bytes() const { return line_bytes_; }
    uint32_t pixel_bytes() const { return pixel_bytes_; }
    uint32_t lines_delivered() const { return lines_delivered_; }
    const VRX_KernelAttr& kernel() const { return kernel_; }

protected:
    // Reads the next image line into `line` at the left margin and fills both
    // margins with copies of the first and last pixel.
    bool fill_line(unsigned char* line);
    // Copies a whole stored line.
    void copy_line(unsigned char* to, const unsigned char* from) const;

    unsigned char** lines_ = nullptr;
    uint32_t lines_delivered_ = 0;
    VRX_SrcBuffer* source_ = nullptr;
    unsigned char* line_block_ = nullptr;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t pixel_bytes_ = 0;
    VRX_KernelAttr kernel_;
    uint32_t left_margin_ = 0;
    uint32_t last_pixel_ = 0;
    uint32_t line_bytes_ = 0;
    uint32_t line_count_ = 0;
    uint32_t anchor_line_ = 0;
};

}  // namespace vrx
