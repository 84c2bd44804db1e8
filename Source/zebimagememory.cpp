#include "Source/zebimagememory.h"

#include <new>

#include "platform/byte_count.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/include/vrx_statuscode.h"
#include "vrx/framework/manager/vrx_manager.h"
#include "vrx/framework/manager/vrx_status.h"

namespace {

// Largest frame kept in memory.
constexpr uint64_t kMaxFrameBytes = 0x7FFFFFFF;

int32_t ColorKindOf(const vrx::VRX_ColorType* color) {
    if (color == vrx::VRX_ColorType::s_rgb()) return ZEBImageMemory::kRgb;
    if (color == vrx::VRX_ColorType::cmyk()) return ZEBImageMemory::kCmyk;
    if (color == vrx::VRX_ColorType::ycbcr()) return ZEBImageMemory::kYCbCr;
    return ZEBImageMemory::kGray;
}

}  // namespace

void ZEBImageMemory::ClearImage() {
    m_colorKind = kGray;
    m_samplesPerPixel = m_bitsPerSample = 0;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_rowLength = m_imageWidth = m_imageHeight = 0;
    m_signed = 0;
}

uint32_t ZEBImageMemory::DecodeFrame(vrx::VRX_Manager& manager, vrx::VRX_InputStorage* storage,
                                     const vrx::VRX_DICOMInfo& info, uint32_t frame) {
    ClearImage();
    vrx::VRX_Status status(&manager);
    vrx::VRX_Engine* engine = vrx::VRX_ReadDICOM(&manager).engine(storage, info, frame);
    uint32_t lineBytes = 0;
    const vrx::VRX_Header* header = engine ? engine->header() : nullptr;
    if (!header || !header->line_bytes(lineBytes)) {
        manager.execute(status);
        return status.code != vrx::VRX_SUCCESS ? status.code : vrx::VRX_ERROR_ARGUMENT;
    }
    const platform::ByteCount bytes = platform::ByteCount(lineBytes) * header->height;
    try {
        if (!bytes.at_most(kMaxFrameBytes)) throw std::bad_alloc();
        m_buffer.resize(static_cast<size_t>(bytes.value()));
    } catch (const std::bad_alloc&) {
        manager.execute(status);
        ClearImage();
        return vrx::VRX_ERROR_OUT_OF_MEMORY;
    }
    const int32_t width = static_cast<int32_t>(header->width);
    const int32_t height = static_cast<int32_t>(header->height);
    const int32_t channels = header->channels;
    const int32_t bits = header->bits;
    const int32_t colorKind = ColorKindOf(header->color_type());
    const int32_t isSigned = header->data_type() == vrx::VRX_DataType::s_integer() ? 1 : 0;
    uint32_t written = 0;
    vrx::VRX_Engine* writer = vrx::VRX_WriteMemory(&manager).engine(
        engine, m_buffer.data(), static_cast<uint32_t>(m_buffer.size()), &written);
    while (writer && writer->execute()) {
    }
    if (!manager.execute(status) || !writer || written != m_buffer.size()) {
        ClearImage();
        return status.code != vrx::VRX_SUCCESS ? status.code : vrx::VRX_ERROR_DATA;
    }
    m_colorKind = colorKind;
    m_samplesPerPixel = channels;
    m_bitsPerSample = bits;
    m_rowLength = width;
    m_imageWidth = width;
    m_imageHeight = height;
    m_signed = isSigned;
    return vrx::VRX_SUCCESS;
}
