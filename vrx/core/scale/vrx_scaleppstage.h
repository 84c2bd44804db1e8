#pragma once
// Base of the one-axis area (pixel-projection) creators: the build of one
// engine along an axis, and the choice of the engine family for a new size
// on that axis.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"
#include "vrx/core/scale/vrx_scalesupport.h"

namespace vrx {

enum class VRX_ScaleAxis { width, height };

class VRX_ScalePPStageCreator : public VRX_StageCreator {
public:
    explicit VRX_ScalePPStageCreator(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScalePPStageCreator() override = default;

protected:
    static uint32_t extent(const VRX_Header& h, VRX_ScaleAxis axis) {
        return axis == VRX_ScaleAxis::height ? h.height : h.width;
    }

    // Nearest neighbour to `size` along the axis, the other axis kept.
    VRX_Engine* nearest(VRX_Engine* source, const VRX_Header& h, VRX_ScaleAxis axis, uint32_t size);

    // One E<T, C> stage to `size` along the axis, T by the bits per sample
    // (8 or 16, else 0x81000000 on bits_line); the source itself at its own
    // size; with `single_by_nearest` a source one sample long is repeated by
    // nearest neighbour. A missing source or header: 0x80800000 on
    // null_line.
    template <template <class, class> class E, class C>
    VRX_Engine* axis_stage(VRX_Engine* source, uint32_t size, VRX_ScaleAxis axis, const char* text,
                           const char* file, uint32_t null_line, uint32_t bits_line,
                           bool single_by_nearest) {
        const VRX_Header* h = source_header(source, text, file, null_line);
        if (!h) return nullptr;
        if (extent(*h, axis) == size) return source;
        if (single_by_nearest && extent(*h, axis) == 1) return nearest(source, *h, axis, size);
        return by_unsigned_sample(manager_, *h, text, file, bits_line,
                                  [&]<class T>(T*) { return build<E<T, C>>(source, h, size); });
    }

    // The general choice along the axis for size n from source size s, first
    // match: n = 0 is refused (0x80800000 on zero_line), n = s keeps the
    // source, s = 1 repeats by nearest neighbour, s < n enlarges (E), s not
    // a multiple of n reduces (R), else averaging by s / n.
    template <class C>
    VRX_Engine* projection(VRX_Engine* source, uint32_t size, VRX_ScaleAxis axis, const char* text,
                           const char* file, uint32_t null_line, uint32_t zero_line);

    // The fast front end's choice: n = 0 refused, n = s keeps the source, a
    // reduction by a ratio that is not whole takes the fast R engine, the
    // rest goes to the general two-axis choice.
    template <class C>
    VRX_Engine* fast_projection(VRX_Engine* source, uint32_t size, VRX_ScaleAxis axis,
                                const char* text, const char* file, uint32_t null_line,
                                uint32_t zero_line);

private:
    const VRX_Header* sized_source(VRX_Engine* source, uint32_t size, const char* text,
                                   const char* file, uint32_t null_line, uint32_t zero_line);
};

// Whether reducing the height (width) of the image to n is a reduction by a
// ratio that is not whole: the source size s is not 1, s > n and s is not a
// multiple of n.
bool is_fractional_height_reduction(const VRX_Header& header, uint32_t height);
bool is_fractional_width_reduction(const VRX_Header& header, uint32_t width);

}  // namespace vrx
