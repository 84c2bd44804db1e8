#pragma once
// An output storage over a caller's buffer of fixed capacity (not owned). The
// buffer never grows: a write beyond the capacity fails. The render chain
// writes its bitmap into one of these.
#include <cstdint>

#include "vrx/framework/io/vrx_outputstorage.h"

namespace vrx {

class VRX_ByteArrayOutputStorage : public VRX_OutputStorage {
public:
    explicit VRX_ByteArrayOutputStorage(VRX_Manager* manager) : VRX_OutputStorage(manager) {}
    ~VRX_ByteArrayOutputStorage() override = default;

    // A storage over `capacity` bytes at `buffer`; null after a report when the
    // arguments are refused.
    static VRX_ByteArrayOutputStorage* create(VRX_Manager* manager, void* buffer, int32_t capacity);

    // Forgets the buffer; the written size stays. True.
    bool terminate() override;
    bool is_closed() override { return buffer_ == nullptr; }
    // At the capacity: 0x80020000 and -1.
    int32_t put(unsigned char byte) override;
    // Stores min(n, room); no room at all: 0x80020000 and 0. A negative n or a
    // null buffer is refused (0x80800000) and gives 0.
    int32_t write(const void* buffer, int32_t n) override;
    // Advances by min(n, room); a negative n is refused (0x80800000).
    int32_t advance(int32_t n) override;
    // An input storage over the whole capacity.
    VRX_InputStorage* make_input_storage() override;
    // Clamped to [0, written size].
    int32_t move(int32_t n) override;
    // A negative n gives false; else min(n, written size).
    bool seek_from_begin(int32_t n) override;
    // written size + n floored at 0; a place beyond the written size is
    // refused (0x80800000).
    bool seek_from_end(int32_t n) override;
    int32_t position() override { return position_; }
    int32_t size() override { return written_; }
    bool to_begin() override;
    bool to_end() override;

    // buffer non-null and capacity > 0, else 0x80800000. The written size is
    // not reset.
    bool initiate(void* buffer, int32_t capacity);
    bool initiate(void* begin, void* end);
    // n when n more bytes fit, else the room left.
    int32_t available(int32_t n) const;

    int32_t capacity() const { return capacity_; }
    unsigned char* buffer() const { return buffer_; }

private:
    void advance_position(int32_t k);

    unsigned char* buffer_ = nullptr;
    int32_t position_ = 0;
    int32_t capacity_ = 0;
    int32_t written_ = 0;
};

}  // namespace vrx
