#include "vrx/core/storage/vrx_wordswapinputstorage.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "vrx/framework/io/vrx_storagefactory.h"

namespace vrx {

VRX_WordSwapInputStorage* VRX_WordSwapInputStorage::create(VRX_Manager* manager,
                                                           VRX_InputStorage* storage) {
    return make_storage<VRX_WordSwapInputStorage>(
        manager, [&](VRX_WordSwapInputStorage* s) { return s->initiate(storage); });
}

int32_t VRX_WordSwapInputStorage::get() {
    unsigned char byte = 0;
    return read(&byte, 1) == 1 ? byte : -1;
}

int32_t VRX_WordSwapInputStorage::read(void* buffer, int32_t n) {
    VRX_InputStorage* source = storage();
    if (!source || !buffer || n <= 0) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    constexpr int32_t kChunk = 4096;
    unsigned char words[kChunk];
    int32_t done = 0;
    while (done < n) {
        const int32_t at = source->position();
        if (at < 0) break;
        // From an odd position the word starts one byte back.
        const int32_t lead = at & 1;
        if (lead != 0 && source->move(-1) != -1) break;
        const int32_t wanted = std::min(n - done + lead, kChunk);
        const int32_t got = std::max(source->read(words, (wanted + 1) & ~1), int32_t{0});
        if (got <= lead) {
            source->move(lead - got);
            break;
        }
        for (int32_t i = 0; i + 1 < got; i += 2) std::swap(words[i], words[i + 1]);
        const int32_t taken = std::min(got - lead, n - done);
        std::memcpy(out + done, words + lead, static_cast<size_t>(taken));
        done += taken;
        // The wrapped storage stays just after the last byte handed out.
        const int32_t beyond = got - lead - taken;
        if (beyond > 0 && source->move(-beyond) != -beyond) break;
    }
    return done;
}

}  // namespace vrx
