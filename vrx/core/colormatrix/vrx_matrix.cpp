#include "vrx/core/colormatrix/vrx_matrix.h"

#include <cmath>
#include <limits>

#include "platform/byte_count.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

int32_t q12_truncated(double x) {
    const double scaled = x * VRX_FixedReal12::one_raw;
    if (std::isnan(scaled)) return 0;
    if (scaled >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (scaled <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(scaled);
}

template <class T>
VRX_Matrix<T>::~VRX_Matrix() {
    manager_->deallocate(data_);
}

template <class T>
bool VRX_Matrix<T>::resize(uint32_t rows, uint32_t cols) {
    const platform::ByteCount count = platform::ByteCount(rows) * cols;
    if (data_ && count.value() == uint64_t{rows_} * cols_) {
        rows_ = rows;
        cols_ = cols;
        return true;
    }
    if (count.value() == 0) {
        manager_->deallocate(data_);
        data_ = nullptr;
        rows_ = rows;
        cols_ = cols;
        return true;
    }
    const platform::ByteCount bytes = count * sizeof(T);
    if (!bytes.fits<uint32_t>()) {
        manager_->report(VRX_ERROR_OUT_OF_MEMORY, "VRX_Matrix<T>::resize()", __FILE__, __LINE__);
        return false;
    }
    T* data = static_cast<T*>(manager_->allocate(bytes.value()));
    if (!data) return false;
    manager_->deallocate(data_);
    data_ = data;
    rows_ = rows;
    cols_ = cols;
    return true;
}

template <class T>
void VRX_Matrix<T>::fill(T value) {
    if (!data_) return;
    const size_t count = size_t{rows_} * cols_;
    for (size_t i = 0; i < count; ++i) data_[i] = value;
}

bool convert_matrix(const VRX_Matrix<double>& from, VRX_MatrixQ12& to) {
    if (!to.resize(from.rows(), from.cols())) return false;
    to.fill(VRX_FixedReal12{});
    for (uint32_t r = 0; r < from.rows(); ++r)
        for (uint32_t c = 0; c < from.cols(); ++c)
            to.set(r, c, VRX_FixedReal12::from_raw(q12_truncated(from.at(r, c))));
    return true;
}

template class VRX_Matrix<double>;
template class VRX_Matrix<VRX_FixedReal12>;

}  // namespace vrx
