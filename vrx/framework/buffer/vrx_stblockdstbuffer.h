#pragma once
// The single-thread block buffer: the byte stream a producer writes, kept in
// a row of memory blocks. A reader that asks for bytes not yet written runs
// the producer (through the manager); blocks every reader has passed are
// dropped, and one spare block is kept for reuse.
#include <utility>

#include "vrx/framework/buffer/vrx_dstbufferbase.h"
#include "vrx/framework/include/vrx_list.h"

namespace vrx {

class VRX_STBlockDstBuffer : public VRX_DstBufferBase {
public:
    // One memory block; a block not owned is memory lent by a reader.
    struct Block {
        unsigned char* memory = nullptr;
        bool owned = false;
    };
    struct BlockCache {
        unsigned char* memory = nullptr;
        bool owned = false;
    };

    explicit VRX_STBlockDstBuffer(VRX_Manager* manager);
    ~VRX_STBlockDstBuffer() override = default;

    // Gives the staging area and every owned block back to the manager.
    bool terminate() override;

    unsigned char* get() override;
    bool release(uint32_t bytes) override;
    bool read(void* memory, uint32_t position, uint32_t& count) override;
    const unsigned char* src_get(uint32_t position, uint32_t& count) override;
    bool src_release(VRX_SrcBuffer* reader, uint32_t position) override;
    bool src_end(VRX_SrcBuffer* reader) override;

    // Size of one memory block: a multiple of the readers' block size that
    // holds at least one producer block; 0 (after a 0x81000000 report) when no
    // such size exists.
    uint32_t mem_block_bytes();
    // Stream position of the first block held, and the number of blocks held.
    uint32_t base() const { return base_; }
    size_t block_count() const { return blocks_.size(); }
    size_t reader_count() const { return readers_.size(); }

protected:
    bool add_reader(VRX_SrcBuffer* reader) override;
    virtual bool add_block();
    virtual bool drop_first_block();

private:
    void free_memory(unsigned char* memory);

    uint32_t mem_block_bytes_ = 0;
    uint32_t base_ = 0;
    unsigned char* staging_ = nullptr;
    BlockCache cache_;
    VRX_Vector<Block> blocks_;
    VRX_List<std::pair<VRX_SrcBuffer*, uint32_t>> readers_;
};

}  // namespace vrx
