#include "Source/zebimagememory.h"

#include "vrx/framework/base/vrx_colortype.h"
#include "vrx/framework/base/vrx_datatype.h"
#include "vrx/framework/base/vrx_encodetype.h"
#include "vrx/framework/base/vrx_header.h"

void ZEBImageMemory::ClearImage() {
    m_colorKind = kGray;
    m_samplesPerPixel = m_bitsPerSample = m_bitsStored = 0;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_rowLength = m_imageWidth = m_imageHeight = 0;
    m_signed = 0;
    m_colorType = nullptr;
    m_rescaleSlope = 1.0;
    m_rescaleIntercept = 0.0;
}

bool ZEBImageMemory::DescribeImage(vrx::VRX_Header& header) const {
    if (!HasImage() || !m_colorType) return false;
    header.width = static_cast<uint32_t>(m_imageWidth);
    header.height = static_cast<uint32_t>(m_imageHeight);
    header.bits = static_cast<uint16_t>(m_bitsPerSample);
    header.channels = static_cast<uint16_t>(m_samplesPerPixel);
    header.data_type(m_signed ? vrx::VRX_DataType::s_integer() : vrx::VRX_DataType::u_integer());
    header.encode_type(vrx::VRX_EncodeType::raw());
    header.color_type(m_colorType);
    uint32_t lineBytes = 0;
    return header.is_valid() && header.line_bytes(lineBytes) &&
           uint64_t{lineBytes} * header.height <= m_buffer.size();
}
