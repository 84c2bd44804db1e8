#pragma once
// The bitmap writer's output drawn straight into a device context: an
// output storage of a packed bitmap's size that keeps the info header and
// colour table written into it and draws the pixel rows into the context's
// bitmap (as ZEBDIBDrawing does) instead of holding them, so that a render
// holds no bitmap of the whole picture.
//
// It follows the way VRX_WriteDIB fills its storage: the header, then the
// whole pixel area as zero rows, then each row over its place. Bytes that
// extend the storage (the zero rows) are counted, not drawn; bytes written
// over bytes already written (the rows) are drawn.
//
//   auto* storage = ZEBDIBDrawingStorage::create(&manager, dc, x, y, total, headerBytes);
//   VRX_Engine* writer = VRX_WriteDIB(&manager).engine(last, storage, option);
//   vrx::destroy(storage);  // the writer keeps it alive
//   RunChain(writer);
#include <cstdint>

#include "Source/zebdibdrawing.h"
#include "platform/device_context.h"
#include "vrx/framework/io/vrx_outputstorage.h"

class ZEBDIBDrawingStorage : public vrx::VRX_OutputStorage {
public:
    explicit ZEBDIBDrawingStorage(vrx::VRX_Manager* manager) : vrx::VRX_OutputStorage(manager) {}
    ~ZEBDIBDrawingStorage() override = default;

    // Most header bytes kept: a 40-byte info header and 256 table entries.
    static constexpr int32_t kMaxHeaderBytes = 40 + 256 * 4;

    // A storage for a bitmap of `capacity` bytes whose first `headerBytes`
    // (at most kMaxHeaderBytes) are its info header and colour table, drawn
    // with its top-left pixel at (x, y); null after a report (0x80800000)
    // when the sizes are refused.
    static ZEBDIBDrawingStorage* create(vrx::VRX_Manager* manager, platform::DeviceContext& dc,
                                        int32_t x, int32_t y, int32_t capacity,
                                        int32_t headerBytes);

    bool terminate() override;
    bool is_closed() override { return m_dc == nullptr; }
    int32_t put(unsigned char byte) override;
    // Keeps header bytes, draws rows written over their place; beyond the
    // capacity 0x80020000 and what fits; a pixel row before a header that
    // cannot be drawn: 0x81000000 and 0.
    int32_t write(const void* buffer, int32_t n) override;
    int32_t advance(int32_t n) override;
    // None: the rows are not kept.
    vrx::VRX_InputStorage* make_input_storage() override { return nullptr; }
    int32_t move(int32_t n) override;
    bool seek_from_begin(int32_t n) override;
    bool seek_from_end(int32_t n) override;
    int32_t position() override { return m_position; }
    int32_t size() override { return m_written; }
    bool to_begin() override;
    bool to_end() override;

private:
    bool initiate(platform::DeviceContext& dc, int32_t x, int32_t y, int32_t capacity,
                  int32_t headerBytes);
    // Draws the pixel-area bytes [from, to) given at `bytes`.
    bool Draw(int32_t from, int32_t to, const uint8_t* bytes);

    platform::DeviceContext* m_dc = nullptr;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_capacity = 0;
    int32_t m_position = 0;
    int32_t m_written = 0;
    int32_t m_headerBytes = 0;
    uint8_t m_header[kMaxHeaderBytes] = {};
    ZEBDIBDrawing m_drawing;
    bool m_begun = false;
};
