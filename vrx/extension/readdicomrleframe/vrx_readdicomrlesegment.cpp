#include "vrx/extension/readdicomrleframe/vrx_readdicomrlesegment.h"

#include <cstdint>

#include "vrx/core/storage/vrx_readstorage.h"
#include "vrx/extension/readdicomrleframe/vrx_decodepackbitsfast.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_datainput.h"
#include "vrx/framework/io/vrx_inputstoragebound.h"
#include "vrx/framework/io/vrx_moveinmoveoutinputstorage.h"
#include "vrx/framework/io/vrx_mutexinputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kEngineText = "VRX_ReadDICOMRLESegment::engine()";
// Segment count and fifteen offsets.
constexpr int kTableWords = 16;
constexpr uint32_t kFirstOffset = 64;

// Reads the frame's segment table; false when the storage ends first.
bool read_table(VRX_Manager* manager, VRX_InputStorage* storage, uint32_t (&table)[kTableWords],
                bool& made) {
    auto* in = VRX_DataInput<VRX_InputStorage>::create(manager, storage, VRX_LITTLE_ENDIAN_ORDER);
    made = in != nullptr;
    if (!in) return false;
    bool ok = true;
    for (uint32_t& word : table) ok = ok && in->read_value(word);
    in->destroy();
    return ok;
}

// Ends the engines made so far, the last one first.
void destroy_all(VRX_Vector<VRX_Engine*>& engines) {
    for (size_t i = engines.size(); i > 0; --i) engines[i - 1]->destroy();
    engines.clear();
}

}  // namespace

VRX_Vector<VRX_Engine*> VRX_ReadDICOMRLESegment::engine(VRX_InputStorage* storage,
                                                        const VRX_Header& header, uint32_t length) {
    VRX_Vector<VRX_Engine*> result(manager_);
    if (!storage || storage->is_closed() || !header.is_valid()) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 55);
        return result;
    }
    // Samples that are not whole bytes (1-bit images) have no byte planes:
    // a valid file this reader does not decode.
    if (header.bits % 8 != 0) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kEngineText, __FILE__, __LINE__);
        return result;
    }
    const int32_t start = storage->position();
    if (start < 0) return result;
    uint32_t table[kTableWords] = {};
    bool made = false;
    if (!read_table(manager_, storage, table, made)) {
        if (!made) return result;
        storage->seek_from_begin(start);
        manager_->report(VRX_ERROR_IO, kEngineText, __FILE__, 73);
        return result;
    }
    // offsets[i] is where segment i begins; the last segment ends at the
    // frame's end.
    const uint32_t count = table[0];
    uint32_t offsets[kTableWords] = {};
    for (int i = 0; i < kTableWords - 1; ++i) offsets[i] = table[i + 1];
    const uint64_t planes = uint64_t{header.channels} * header.bits / 8;
    // A frame without segments, or with a segment count other than the byte
    // planes of its samples, cannot be decoded.
    if (count >= kTableWords || count == 0 || offsets[0] != kFirstOffset || count != planes) {
        manager_->report(VRX_ERROR_DATA, kEngineText, __FILE__, 91);
        return result;
    }
    offsets[count] = length;
    if (!storage->seek_from_begin(start)) return result;

    VRX_Header segment(manager_);
    segment.width = header.width;
    segment.height = header.height;
    segment.bits = 8;
    segment.channels = 1;
    if (!segment.color_type(VRX_ColorType::gray()) ||
        !segment.data_type(VRX_DataType::u_integer()) ||
        !segment.encode_type(VRX_EncodeType::pack_bits()))
        return result;

    // The segment readers run in turn over one storage; each keeps its own
    // position over the shared guard.
    VRX_MutexInputStorage* shared = VRX_MutexInputStorage::create(manager_, storage);
    if (!shared) return result;
    VRX_Vector<VRX_Engine*> made_engines(manager_);
    VRX_Vector<VRX_Engine*> decoders(manager_);
    bool ok = made_engines.reserve(size_t{count} * 2) && decoders.reserve(count);
    VRX_ReadStorage read(manager_);
    VRX_DecodePackBitsFast decode(manager_);
    for (uint32_t i = 0; ok && i < count; ++i) {
        auto* reader = VRX_MoveInMoveOutInputStorage<VRX_InputStorage>::create(manager_, shared);
        if (!reader) {
            ok = false;
            break;
        }
        const int64_t begin = int64_t{start} + offsets[i];
        if (begin > INT32_MAX || !reader->seek_from_begin(static_cast<int32_t>(begin))) {
            reader->destroy();
            ok = false;
            break;
        }
        const int64_t bytes = int64_t{offsets[i + 1]} - offsets[i];
        if (bytes <= 0 || bytes > INT32_MAX) {
            reader->destroy();
            manager_->report(VRX_ERROR_DATA, kEngineText, __FILE__, 138);
            ok = false;
            break;
        }
        auto* window = VRX_InputStorageBound<VRX_InputStorage>::create(manager_, reader,
                                                                       static_cast<int32_t>(bytes));
        reader->destroy();
        if (!window) {
            ok = false;
            break;
        }
        VRX_Engine* source = read.engine(window, segment, 0, 0, VRX_MACHINE_ORDER);
        window->destroy();
        if (source) made_engines.push_back(source);
        VRX_Engine* decoder = decode.engine(source);
        if (!decoder) {
            ok = false;
            break;
        }
        made_engines.push_back(decoder);
        decoders.push_back(decoder);
    }
    if (ok && !result.resize(count)) {
        manager_->report(VRX_ERROR_DATA, kEngineText, __FILE__, 175);
        ok = false;
    }
    if (ok) {
        for (uint32_t i = 0; i < count; ++i) result[i] = decoders[i];
    } else {
        destroy_all(made_engines);
        result.clear();
    }
    shared->destroy();
    return result;
}

}  // namespace vrx
