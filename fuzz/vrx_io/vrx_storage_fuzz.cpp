// Random stacks of storages (byte array, window, shared-position reader,
// mutex guard, typed reader, combined storage) driven by random operations.
// Every operation must stay inside the data: positions never negative and
// nothing read beyond the end, counts within what was asked.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "vrx/extension/combinedstorage/vrx_combinedinputstorage.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/io/vrx_datainput.h"
#include "vrx/framework/io/vrx_inputstoragebound.h"
#include "vrx/framework/io/vrx_moveinmoveoutinputstorage.h"
#include "vrx/framework/io/vrx_mutexinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

using namespace vrx;

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    int32_t number() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | byte();
        // Mostly small values, sometimes extreme ones.
        switch (v & 3) {
            case 0: return static_cast<int32_t>(v);
            default: return static_cast<int32_t>(v >> 20) - 2048;
        }
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    VRX_DefaultManager manager;
    std::vector<unsigned char> bytes(1 + in.byte() % 200);
    for (auto& b : bytes) b = in.byte();
    std::vector<VRX_Object*> made;
    auto keep = [&](VRX_InputStorage* s) {
        if (s) made.push_back(s);
        return s;
    };
    VRX_InputStorage* top = keep(VRX_ByteArrayInputStorage::create(
        &manager, bytes.data(), static_cast<int32_t>(bytes.size())));
    const int layers = in.byte() % 4;
    for (int i = 0; i < layers && top; ++i) {
        switch (in.byte() % 6) {
            case 0: top = keep(VRX_InputStorageBound<VRX_InputStorage>::create(&manager, top, in.number())); break;
            case 1: top = keep(VRX_InputStorageBound<VRX_InputStorage>::create(&manager, top, in.number(), in.number())); break;
            case 2: top = keep(VRX_MoveInMoveOutInputStorage<VRX_InputStorage>::create(&manager, top, in.number())); break;
            case 3: top = keep(VRX_MutexInputStorage::create(&manager, top)); break;
            case 4: top = keep(VRX_DataInput<VRX_InputStorage>::create(&manager, top, in.byte() & 1)); break;
            default: {
                VRX_Vector<VRX_InputStorage*> parts(&manager);
                const int count = 1 + in.byte() % 3;
                for (int p = 0; p < count; ++p) {
                    auto* reader = keep(VRX_MoveInMoveOutInputStorage<VRX_InputStorage>::create(&manager, top, in.number()));
                    if (reader) parts.push_back(keep(VRX_InputStorageBound<VRX_InputStorage>::create(&manager, reader, in.number())));
                }
                top = keep(VRX_CombinedInputStorage::create(&manager, parts));
                break;
            }
        }
    }
    unsigned char buffer[256];
    auto* decorator = dynamic_cast<VRX_InputStorageDecorator*>(top);
    auto* bound = dynamic_cast<VRX_InputStorageBound<VRX_InputStorage>*>(top);
    while (top && !in.empty()) {
        const int32_t n = in.number();
        const int32_t before = top->position();
        switch (in.byte() % 14) {
            case 0: {
                const int32_t c = top->get();
                check(c >= -1 && c <= 255);
                break;
            }
            case 1: {
                const int32_t want = n < 0 ? -(n % 256) : n % 256;
                const int32_t got = top->read(buffer, want);
                check(got >= 0 && got <= want);
                break;
            }
            case 2: top->skip(n); break;
            case 3: top->move(n); break;
            case 4: top->seek_from_begin(n); break;
            case 5: top->seek_from_end(n); break;
            case 6: top->to_begin(); break;
            case 7: top->to_end(); break;
            case 8: top->is_end(); break;
            case 9: if (decorator) decorator->unget(); break;
            case 10: if (bound) bound->set_bound(n); break;
            case 11: if (bound) bound->set_remain(n, in.number()); break;
            case 12: if (bound) bound->set_remain_count(n); break;
            default: top->read(nullptr, n); break;
        }
        (void)before;
        const int32_t position = top->position();
        const int32_t total = top->size();
        check(total >= 0 && position >= 0);
        // A reader may be placed beyond the end; nothing is read there.
        if (position > total) check(top->read(buffer, 1) == 0 && top->position() == position);
        manager.reset();
    }
    for (auto it = made.rbegin(); it != made.rend(); ++it) (*it)->destroy();
    return 0;
}
