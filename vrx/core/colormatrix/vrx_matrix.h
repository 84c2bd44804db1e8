#pragma once
// A dense matrix of rows x cols elements of T, row by row, in the manager's
// memory. T is double (the colour-space planner's coefficients) or the Q12
// fixed-point real (the integer colour-matrix engines). Reading an element
// outside the matrix, or of a matrix without elements, gives 0; writing one
// does nothing.
#include <cstdint>

#include "vrx/core/lut/vrx_fixedrealimpl.h"
#include "vrx/framework/base/vrx_utility.h"

namespace vrx {

// x x 4096 truncated toward zero (not rounded), the Q12 raw value of a matrix
// coefficient or offset. Values beyond the Q12 range (|x| of 524288 or more)
// saturate to the largest or smallest raw value; a NaN gives 0.
int32_t q12_truncated(double x);

template <class T>
class VRX_Matrix : public VRX_Utility {
public:
    explicit VRX_Matrix(VRX_Manager* manager) : VRX_Utility(manager) {}
    VRX_Matrix(const VRX_Matrix&) = delete;
    VRX_Matrix& operator=(const VRX_Matrix&) = delete;
    // Gives the elements back to the manager.
    ~VRX_Matrix() override;

    // Shapes the matrix to rows x cols. With elements present and the same
    // count, only the shape changes; otherwise the old elements go back and
    // new ones (not cleared) are drawn. False, with the matrix unchanged, when
    // the memory cannot be had (reported by the manager).
    bool resize(uint32_t rows, uint32_t cols);
    // Every element set to value.
    void fill(T value);

    T at(uint32_t row, uint32_t col) const {
        return data_ && row < rows_ && col < cols_ ? data_[size_t{row} * cols_ + col] : T{};
    }
    void set(uint32_t row, uint32_t col, T value) {
        if (data_ && row < rows_ && col < cols_) data_[size_t{row} * cols_ + col] = value;
    }

    uint32_t rows() const { return rows_; }
    uint32_t cols() const { return cols_; }
    const T* data() const { return data_; }

private:
    uint32_t rows_ = 0;
    uint32_t cols_ = 0;
    T* data_ = nullptr;
};

using VRX_MatrixQ12 = VRX_Matrix<VRX_FixedReal12>;

// `to` shaped like `from`, cleared, then every element q12_truncated from
// the double; false when the elements cannot be drawn.
bool convert_matrix(const VRX_Matrix<double>& from, VRX_MatrixQ12& to);

extern template class VRX_Matrix<double>;
extern template class VRX_Matrix<VRX_FixedReal12>;

}  // namespace vrx
