#pragma once
// The single-thread block buffer: the byte stream a producer writes, kept in
// a row of memory blocks. A reader that asks for bytes not yet written runs
// the producer one step at a time; blocks every reader has passed are
// dropped, and one spare block is kept for reuse.
//
// Memory blocks are a whole number of reader blocks, so a reader's block
// never straddles two memory blocks; a producer block that would is written
// into a staging area and split when it is released. A single reader that
// copies into its own memory lends that memory to the buffer, and the
// producer writes straight into it.
#include <utility>

#include "vrx/framework/buffer/vrx_dstbufferbase.h"
#include "vrx/framework/include/vrx_list.h"

namespace vrx {

class VRX_Engine;

class VRX_STBlockDstBuffer : public VRX_DstBufferBase {
public:
    // One memory block; a block not owned is memory lent by a reader.
    struct Block {
        unsigned char* memory = nullptr;
        bool owned = false;
    };
    // At most one spare memory block kept for reuse.
    struct BlockCache {
        unsigned char* memory = nullptr;
        bool owned = false;
    };

    explicit VRX_STBlockDstBuffer(VRX_Manager* manager);
    ~VRX_STBlockDstBuffer() override = default;

    // Gives the staging area and every owned block back to the manager.
    bool terminate() override;

    // Producer side: a writable block of the producer's block size (ready
    // state only, else 0x80080000), and its commit. A commit of more than one
    // producer block is refused with 0x80800000.
    unsigned char* get() override;
    bool release(uint32_t bytes) override;

    // The readers' block size; once memory blocks have been sized it can no
    // longer change (0x80080000).
    bool src_block_bytes(uint32_t bytes) override;
    bool read(void* memory, uint32_t position, uint32_t& count) override;
    const unsigned char* src_get(uint32_t position, uint32_t& count) override;
    bool src_release(VRX_SrcBuffer* reader, uint32_t position) override;
    // A reader not known to the buffer is refused with 0x80800000.
    bool src_end(VRX_SrcBuffer* reader) override;
    // Forgets the producer: no further step is run.
    void producer_end() override;

    // Size of one memory block: a multiple of the readers' block size that
    // holds at least one producer block; 0 (after a 0x81000000 report) when no
    // such size exists.
    uint32_t mem_block_bytes();

    // Stream position of the first block held, the blocks held and readers.
    uint32_t base() const { return base_; }
    size_t block_count() const { return blocks_.size() - first_; }
    size_t reader_count() const { return readers_.size(); }
    // Whether the first block held is memory lent by a reader.
    bool first_block_lent() const { return block_count() != 0 && !blocks_.data()[first_].owned; }
    bool has_spare_block() const { return cache_.memory != nullptr; }
    bool has_staging() const { return staging_ != nullptr; }

protected:
    bool add_reader(VRX_SrcBuffer* reader) override;
    virtual bool add_block();
    virtual bool drop_first_block();

private:
    // Runs the producer one step; false when it has ended (it is then
    // destroyed) or there is none.
    bool run_producer();
    // Block i counted from the first block held.
    Block& block(size_t i) { return blocks_.data()[first_ + i]; }
    // Makes owned memory the spare block (the previous spare is freed).
    void keep_spare(unsigned char* memory);
    // Lends the reader's memory as the block at `position` and lets the
    // producer fill it; see read().
    bool lend(unsigned char* memory, uint32_t position, uint32_t& count);
    void free_memory(unsigned char* memory);

    uint32_t mem_block_bytes_ = 0;
    uint32_t base_ = 0;
    unsigned char* staging_ = nullptr;
    BlockCache cache_;
    VRX_Vector<Block> blocks_;
    // Blocks before this index have been dropped and await compaction.
    size_t first_ = 0;
    VRX_List<std::pair<VRX_SrcBuffer*, uint32_t>> readers_;
    // The engine that writes this buffer, found once and kept until it ends.
    VRX_Engine* producer_ = nullptr;
    bool producer_ended_ = false;
};

}  // namespace vrx
