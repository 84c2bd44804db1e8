#pragma once
// An input storage over bytes in memory (not owned). Made by an output
// storage's make_input_storage(), or by create() over a caller's array.
#include <cstdint>

#include "vrx/framework/io/vrx_inputstorage.h"

namespace vrx {

class VRX_ByteArrayInputStorage : public VRX_InputStorage, public VRX_PositionedInput {
public:
    explicit VRX_ByteArrayInputStorage(VRX_Manager* manager) : VRX_InputStorage(manager) {}
    ~VRX_ByteArrayInputStorage() override = default;

    // A storage over `size` bytes at `data` (not copied, not owned); null
    // after a report when the arguments are refused.
    static VRX_ByteArrayInputStorage* create(VRX_Manager* manager, const void* data, int32_t size);

    // Forgets the array; true.
    bool terminate() override;
    bool is_closed() override { return data_ == nullptr; }
    // -1 at the end, without a report.
    int32_t get() override;
    // Copies min(n, bytes left); a negative n or a null buffer is refused
    // (0x80800000) and gives 0.
    int32_t read(void* buffer, int32_t n) override;
    int32_t position() override { return position_; }
    int32_t move(int32_t n) override;
    // A negative n gives false and keeps the position.
    bool seek_from_begin(int32_t n) override;
    // size + n floored at 0; a place beyond the end is refused (0x80800000).
    bool seek_from_end(int32_t n) override;
    int32_t size() override { return size_; }
    bool to_begin() override;
    bool to_end() override;

    // data non-null and size > 0, else 0x80800000.
    bool initiate(const void* data, int32_t size);
    bool initiate(const void* begin, const void* end);
    // n when n more bytes are left, else the bytes left.
    int32_t available(int32_t n) const;

    // Positioned reads straight from the array.
    bool can_read_at() override { return data_ != nullptr; }
    bool read_at_is_costly() override { return false; }
    int32_t read_at(int32_t position, void* buffer, int32_t n) override;

    const unsigned char* data() const { return data_; }

private:
    const unsigned char* data_ = nullptr;
    int32_t position_ = 0;
    int32_t size_ = 0;
};

}  // namespace vrx
