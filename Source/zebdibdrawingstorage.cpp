#include "Source/zebdibdrawingstorage.h"

#include <algorithm>
#include <cstring>

#include "vrx/framework/include/vrx_statuscode.h"
#include "vrx/framework/io/vrx_storagefactory.h"
#include "vrx/framework/io/vrx_storageposition.h"
#include "vrx/framework/manager/vrx_manager.h"

ZEBDIBDrawingStorage* ZEBDIBDrawingStorage::create(vrx::VRX_Manager* manager,
                                                   platform::DeviceContext& dc, int32_t x,
                                                   int32_t y, int32_t capacity,
                                                   int32_t headerBytes) {
    return vrx::make_storage<ZEBDIBDrawingStorage>(manager, [&](ZEBDIBDrawingStorage* s) {
        return s->initiate(dc, x, y, capacity, headerBytes);
    });
}

bool ZEBDIBDrawingStorage::initiate(platform::DeviceContext& dc, int32_t x, int32_t y,
                                    int32_t capacity, int32_t headerBytes) {
    if (headerBytes < 1 || headerBytes > kMaxHeaderBytes || capacity < headerBytes) {
        manager_->report(vrx::VRX_ERROR_ARGUMENT, "ZEBDIBDrawingStorage::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    m_dc = &dc;
    m_x = x;
    m_y = y;
    m_capacity = capacity;
    m_headerBytes = headerBytes;
    return true;
}

bool ZEBDIBDrawingStorage::terminate() {
    m_dc = nullptr;
    return true;
}

int32_t ZEBDIBDrawingStorage::put(unsigned char byte) {
    return write(&byte, 1) == 1 ? byte : -1;
}

int32_t ZEBDIBDrawingStorage::write(const void* buffer, int32_t n) {
    constexpr const char* kFunction = "ZEBDIBDrawingStorage::write()";
    if (n == 0) return 0;
    if (n < 0 || !buffer) {
        manager_->report(vrx::VRX_ERROR_ARGUMENT, kFunction, __FILE__, __LINE__);
        return 0;
    }
    const int32_t k = m_dc ? vrx::count_within(m_position, n, m_capacity) : 0;
    if (k == 0) {
        manager_->report(vrx::VRX_ERROR_IO, kFunction, __FILE__, __LINE__);
        return 0;
    }
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    const int32_t end = m_position + k;
    // The header and colour table are kept.
    if (m_position < m_headerBytes) {
        const int32_t kept = std::min(end, m_headerBytes) - m_position;
        std::memcpy(m_header + m_position, bytes, size_t(kept));
    }
    // Rows written over their place are drawn.
    const int32_t from = std::max(m_position, m_headerBytes), to = std::min(end, m_written);
    if (from < to && !Draw(from, to, bytes + (from - m_position))) {
        manager_->report(vrx::VRX_ERROR_UNSUPPORTED, kFunction, __FILE__, __LINE__);
        return 0;
    }
    m_position = end;
    m_written = std::max(m_written, m_position);
    return k;
}

bool ZEBDIBDrawingStorage::Draw(int32_t from, int32_t to, const uint8_t* bytes) {
    if (!m_begun &&
        !(m_begun = m_drawing.Begin(*m_dc, m_header, size_t(m_headerBytes), m_x, m_y)))
        return false;
    const uint64_t stride = m_drawing.Stride();
    const uint64_t rowsAt = m_drawing.RowsAt();
    // Each row's share of the bytes; bytes before the first row (a header
    // longer than the drawing reads) are left out.
    for (uint64_t at = std::max<uint64_t>(uint64_t(from), rowsAt); at < uint64_t(to);) {
        const uint64_t row = (at - rowsAt) / stride, first = (at - rowsAt) % stride;
        const uint64_t count = std::min(stride - first, uint64_t(to) - at);
        m_drawing.DrawRow(static_cast<uint32_t>(std::min<uint64_t>(row, UINT32_MAX)), first,
                          bytes + (at - uint64_t(from)), count);
        at += count;
    }
    return true;
}

int32_t ZEBDIBDrawingStorage::advance(int32_t n) {
    if (n < 0) {
        manager_->report(vrx::VRX_ERROR_ARGUMENT, "ZEBDIBDrawingStorage::advance()", __FILE__,
                         __LINE__);
        return 0;
    }
    const int32_t k = m_dc ? vrx::count_within(m_position, n, m_capacity) : 0;
    m_position += k;
    m_written = std::max(m_written, m_position);
    return k;
}

int32_t ZEBDIBDrawingStorage::move(int32_t n) { return vrx::move_within(m_position, n, m_written); }

bool ZEBDIBDrawingStorage::seek_from_begin(int32_t n) {
    if (n < 0) return false;
    m_position = std::min(n, m_written);
    return true;
}

bool ZEBDIBDrawingStorage::seek_from_end(int32_t n) {
    if (n > 0) {
        manager_->report(vrx::VRX_ERROR_ARGUMENT, "ZEBDIBDrawingStorage::seek_from_end()",
                         __FILE__, __LINE__);
        return false;
    }
    m_position = static_cast<int32_t>(std::max<int64_t>(0, int64_t{m_written} + n));
    return true;
}

bool ZEBDIBDrawingStorage::to_begin() {
    m_position = 0;
    return true;
}

bool ZEBDIBDrawingStorage::to_end() {
    m_position = m_written;
    return true;
}
