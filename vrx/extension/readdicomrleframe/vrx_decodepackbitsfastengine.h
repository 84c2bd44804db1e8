#pragma once
// Decodes a PackBits stream into raw lines. Control byte n (signed): 0..127
// copies the next n + 1 bytes, -1..-127 repeats the next byte 1 - n times,
// -128 does nothing. Runs may cross line ends: what does not fit into a line
// begins the next one.
#include <cstdint>

#include "vrx/framework/base/vrx_object.h"
#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

class VRX_DecodePackBitsFastEngine : public VRX_ProcessEngine {
public:
    // The decoding state over the source buffer: the current input block and
    // the part of a run that did not fit into the previous line.
    class DecodeStream : public VRX_Object {
    public:
        explicit DecodeStream(VRX_Manager* manager) : VRX_Object(manager) {}
        ~DecodeStream() override;

        bool terminate() override {
            close();
            return true;
        }
        // Gives the input block back to the manager.
        virtual void close();
        // Reads `source` in blocks of its block size and delivers lines of
        // `line_bytes` bytes; false when the input block cannot be had.
        virtual bool open(VRX_SrcBuffer* source, uint32_t line_bytes);

        // Decodes the next line into `out`; false when the stream ends first
        // or a block cannot be read.
        bool decode_line(unsigned char* out);

    private:
        // Makes at least one unread byte available in the block.
        bool refill();

        VRX_SrcBuffer* source_ = nullptr;
        unsigned char* block_ = nullptr;
        uint32_t block_bytes_ = 0;
        uint32_t index_ = 0;
        uint32_t valid_ = 0;
        uint32_t line_bytes_ = 0;
        unsigned char carry_[128] = {};
        uint8_t carry_index_ = 0;
        uint8_t carry_count_ = 0;
    };

    explicit VRX_DecodePackBitsFastEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_DecodePackBitsFastEngine() override = default;

    // Destroys the decode stream, then as a process engine.
    bool terminate() override;
    // One line per call; false after the last line or a failed decode.
    bool execute() override;
    // The process initiate; the source must be pack_bits encoded unsigned
    // integers (else 0x81000000); its blocks are read whole and decoded into
    // raw lines of the source header's geometry.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst) override;

private:
    DecodeStream* stream_ = nullptr;
    uint32_t lines_ = 0;
    uint32_t lines_done_ = 0;
    uint32_t line_bytes_ = 0;
};

}  // namespace vrx
