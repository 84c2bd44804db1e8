#pragma once
// Tetrahedral interpolation in a direct lookup table. S is the sample type
// (uint8_t or uint16_t), W the weight type: unsigned integers in units of
// 1/16384 for 8-bit samples, doubles for 16-bit ones. A pixel's N fractional
// positions within its cell, sorted largest first, choose the N + 1 vertices
// of its simplex; the weights are the differences of consecutive fractions.
#include <cstdint>
#include <utility>

#include "vrx/core/dlut/vrx_dlutengine.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

template <class S, class W>
class VRX_DLutTetrahedronEngine : public VRX_DLutEngine {
public:
    explicit VRX_DLutTetrahedronEngine(VRX_Manager* manager)
        : VRX_DLutEngine(manager), order_pairs_(manager) {}
    ~VRX_DLutTetrahedronEngine() override = default;

    // Gives the fractions back, then ends as the base.
    bool terminate() override;
    // Version test, the base initiate, then every sample value's cell and
    // fraction: x = s x (grid - 1) / max, cell floor(x), fraction x - cell
    // (for 8 bits x 16384 rounded half up); the largest value takes the last
    // cell with a whole fraction.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst, uint16_t bits,
                  uint16_t outputs, uint16_t grid, uint8_t first_slowest, const void* table,
                  const VRX_ColorType* color_type) override;
    using VRX_DLutEngine::initiate;

    // order[0 .. N - 1]: the inputs sorted by their fraction f, largest first
    // (equal fractions in either order).
    void order_simplex_vertices(const W* f, uint32_t* order);

    W fraction(uint32_t sample) const { return sample <= max_ ? fraction_[sample] : W{}; }

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    template <uint32_t N>
    void interpolate_line(const S* in, S* out);
    void interpolate_pixel(const S* in, S* out, uint32_t n, uint32_t* order, W* f);
    void interpolate_line3(const S* in, S* out);

    uint16_t shift_ = 0;
    W one_{};
    W rounding_{};
    W* fraction_ = nullptr;
    VRX_Vector<std::pair<uint16_t, W>> order_pairs_;
};

extern template class VRX_DLutTetrahedronEngine<uint8_t, uint32_t>;
extern template class VRX_DLutTetrahedronEngine<uint16_t, double>;

}  // namespace vrx
