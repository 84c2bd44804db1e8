// Random operation sequences over every kind of input storage, checked
// step by step against a plain byte vector with a position.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "tests/vrx/framework/io/io_test_support.h"
#include "vrx/extension/combinedstorage/vrx_combinedinputstorage.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/io/vrx_inputstoragebound.h"
#include "vrx/framework/io/vrx_moveinmoveoutinputstorage.h"
#include "vrx/framework/io/vrx_mutexinputstorage.h"

using namespace vrx;

namespace {

using Bound = VRX_InputStorageBound<VRX_InputStorage>;
using Reader = VRX_MoveInMoveOutInputStorage<VRX_InputStorage>;

// What a storage does with a negative seek_from_begin and a positive
// seek_from_end; everything else is common to all kinds.
enum class Seeks {
    array,    // keeps the position, false; past the end: refused with a report
    file,     // negative: a failing system seek (reported); past the end: allowed
    fallback, // the interface defaults: to the start or end, then false
    window,   // clamped to the window, true
};

struct Model {
    std::vector<unsigned char> data;
    int64_t pos = 0;
    Seeks seeks = Seeks::array;

    int64_t size() const { return static_cast<int64_t>(data.size()); }
    int32_t get() { return pos < size() ? data[static_cast<size_t>(pos++)] : -1; }
    std::vector<unsigned char> read(int32_t n) {
        const int64_t k = std::clamp<int64_t>(size() - pos, 0, n);
        std::vector<unsigned char> out(data.begin() + pos, data.begin() + pos + k);
        pos += k;
        return out;
    }
    int32_t move(int32_t n) {
        if (n == 0) return 0;
        const int64_t target = std::clamp<int64_t>(pos + n, 0, std::max(size(), pos));
        const int64_t moved = target - pos;
        pos = target;
        return static_cast<int32_t>(moved);
    }
    // The result, and whether a report is due.
    std::pair<bool, bool> seek_from_begin(int32_t n) {
        if (n >= 0) {
            pos = std::min<int64_t>(n, size());
            return {true, false};
        }
        switch (seeks) {
            case Seeks::array: return {false, false};
            case Seeks::file: return {false, true};
            case Seeks::fallback: pos = 0; return {false, false};
            case Seeks::window: pos = 0; return {true, false};
        }
        return {false, false};
    }
    std::pair<bool, bool> seek_from_end(int32_t n) {
        if (n <= 0) {
            pos = std::max<int64_t>(0, size() + n);
            return {true, false};
        }
        switch (seeks) {
            case Seeks::array: return {false, true};
            case Seeks::file: pos = size() + n; return {true, false};
            case Seeks::fallback: pos = size(); return {false, false};
            case Seeks::window: pos = size(); return {true, false};
        }
        return {false, false};
    }
    bool is_end() const { return size() == 0 || pos == size(); }
    bool unget() {
        if (pos <= 0 || pos > size()) return false;
        --pos;
        return true;
    }
};

// One storage under test with what it shows (model), and what must not move
// behind it (the shared storage of a shared-position reader).
struct Subject {
    VRX_InputStorage* storage = nullptr;
    Model model;
    std::function<int32_t()> shared_position;  // empty when nothing to watch
};

class StorageModel : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto it = owned.rbegin(); it != owned.rend(); ++it) (*it)->destroy();
    }

    template <class T>
    T* keep(T* storage) {
        EXPECT_NE(storage, nullptr);
        if (storage) owned.push_back(storage);
        return storage;
    }

    // A byte-array storage over a copy of the bytes kept with the test.
    VRX_InputStorage* array_over(const std::vector<unsigned char>& bytes) {
        arrays.push_back(bytes);
        return keep(VRX_ByteArrayInputStorage::create(&manager, arrays.back().data(),
                                                      static_cast<int32_t>(bytes.size())));
    }
    VRX_InputStorage* file_over(const std::vector<unsigned char>& bytes) {
        files.push_back(std::make_unique<iotest::TempFile>(bytes));
        return keep(VRX_FileInputStorage::create(&manager, files.back()->path()));
    }

    // Runs `steps` random operations on the subject, comparing each result
    // and the position with the model.
    void run(Subject& subject, std::mt19937& random, int steps) {
        VRX_InputStorage* s = subject.storage;
        Model& m = subject.model;
        auto* decorator = dynamic_cast<VRX_InputStorageDecorator*>(s);
        const int32_t span = static_cast<int32_t>(m.size()) + 8;
        auto distance = [&] { return static_cast<int32_t>(random() % (2 * span + 1)) - span; };
        std::vector<unsigned char> buffer;
        for (int step = 0; step < steps; ++step) {
            const int32_t watched = subject.shared_position ? subject.shared_position() : 0;
            const unsigned op = random() % 12;
            const int32_t n = distance();
            bool report = false;
            SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(op) + " n " +
                         std::to_string(n) + " at " + std::to_string(m.pos));
            switch (op) {
                case 0:
                    ASSERT_EQ(s->get(), m.get());
                    break;
                case 1: {
                    const int32_t count = std::abs(n);
                    buffer.assign(static_cast<size_t>(count) + 1, 0);
                    const int32_t got = s->read(buffer.data(), count);
                    const auto expected = m.read(count);
                    ASSERT_EQ(got, static_cast<int32_t>(expected.size()));
                    ASSERT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin()));
                    break;
                }
                case 2:
                    ASSERT_EQ(s->skip(n), m.move(n));
                    break;
                case 3:
                    ASSERT_EQ(s->move(n), m.move(n));
                    break;
                case 4: {
                    const auto [ok, reports] = m.seek_from_begin(n);
                    ASSERT_EQ(s->seek_from_begin(n), ok);
                    report = reports;
                    break;
                }
                case 5: {
                    const auto [ok, reports] = m.seek_from_end(n);
                    ASSERT_EQ(s->seek_from_end(n), ok);
                    report = reports;
                    break;
                }
                case 6:
                    ASSERT_TRUE(s->to_begin());
                    m.pos = 0;
                    break;
                case 7:
                    ASSERT_TRUE(s->to_end());
                    m.pos = m.size();
                    break;
                case 8:
                    ASSERT_EQ(s->is_end(), m.is_end());
                    break;
                case 9:
                    ASSERT_EQ(s->size(), m.size());
                    break;
                case 10:
                    if (decorator) {
                        ASSERT_EQ(decorator->unget(), m.unget());
                    }
                    break;
                default: {
                    // Read to the end in small pieces.
                    std::vector<unsigned char> all;
                    unsigned char piece[5];
                    int32_t got = 0;
                    while ((got = s->read(piece, 5)) > 0) all.insert(all.end(), piece, piece + got);
                    ASSERT_EQ(all, m.read(span));
                    break;
                }
            }
            ASSERT_EQ(s->position(), m.pos);
            if (subject.shared_position) {
                ASSERT_EQ(subject.shared_position(), watched);
            }
            ASSERT_EQ(manager.status().code != 0, report) << manager.status().function;
            manager.reset();
        }
    }

    VRX_DefaultManager manager;
    std::vector<VRX_Object*> owned;
    std::vector<std::unique_ptr<iotest::TempFile>> files;
    std::list<std::vector<unsigned char>> arrays;
};

constexpr int sequences = 40;
constexpr int steps = 150;

TEST_F(StorageModel, ByteArray) {
    std::mt19937 random(1);
    for (int i = 0; i < sequences; ++i) {
        auto bytes = iotest::random_bytes(random, 1 + random() % 200);
        Subject subject{array_over(bytes), Model{bytes, 0, Seeks::array}, {}};
        run(subject, random, steps);
        if (HasFatalFailure()) return;
    }
}

TEST_F(StorageModel, File) {
    std::mt19937 random(2);
    for (int i = 0; i < sequences; ++i) {
        auto bytes = iotest::random_bytes(random, random() % 200);
        Subject subject{file_over(bytes), Model{bytes, 0, Seeks::file}, {}};
        run(subject, random, steps);
        if (HasFatalFailure()) return;
    }
}

TEST_F(StorageModel, Window) {
    std::mt19937 random(3);
    for (int i = 0; i < sequences; ++i) {
        auto bytes = iotest::random_bytes(random, 1 + random() % 200);
        const int32_t size = static_cast<int32_t>(bytes.size());
        const int32_t begin = static_cast<int32_t>(random() % static_cast<unsigned>(size));
        const int32_t end = begin + static_cast<int32_t>(random() % static_cast<unsigned>(size - begin + 1));
        VRX_InputStorage* base = (i % 2) ? file_over(bytes) : array_over(bytes);
        Subject subject{keep(Bound::create(&manager, base, begin, end)),
                        Model{std::vector<unsigned char>(bytes.begin() + begin, bytes.begin() + end), 0,
                              Seeks::window},
                        {}};
        run(subject, random, steps);
        if (HasFatalFailure()) return;
    }
}

// Shared-position readers: over a byte array and a file (positioned reads),
// over a mutex storage, and over a window (moved in and out). The shared
// storage never moves.
TEST_F(StorageModel, SharedPositionReader) {
    std::mt19937 random(4);
    for (int i = 0; i < sequences; ++i) {
        auto bytes = iotest::random_bytes(random, 1 + random() % 200);
        VRX_InputStorage* shared = nullptr;
        switch (i % 4) {
            case 0: shared = array_over(bytes); break;
            case 1: shared = file_over(bytes); break;
            case 2: shared = keep(VRX_MutexInputStorage::create(&manager, file_over(bytes))); break;
            default:
                shared = keep(Bound::create(&manager, array_over(bytes), 0,
                                            static_cast<int32_t>(bytes.size())));
                break;
        }
        shared->seek_from_begin(static_cast<int32_t>(random() % bytes.size()));
        Reader* reader = keep(Reader::create(&manager, shared, 0));
        Subject subject{reader, Model{bytes, 0, Seeks::fallback},
                        [shared] { return shared->position(); }};
        run(subject, random, steps);
        if (HasFatalFailure()) return;
    }
}

// Combined storages of byte arrays, and of windows over shared-position
// readers of one guarded file (the way compressed fragments are read).
TEST_F(StorageModel, Combined) {
    std::mt19937 random(5);
    for (int i = 0; i < sequences; ++i) {
        const int parts = 1 + static_cast<int>(random() % 5);
        std::vector<unsigned char> all;
        VRX_Vector<VRX_InputStorage*> list(&manager);
        if (i % 2 == 0) {
            for (int p = 0; p < parts; ++p) {
                auto bytes = iotest::random_bytes(random, 1 + random() % 40);
                all.insert(all.end(), bytes.begin(), bytes.end());
                list.push_back(array_over(bytes));
            }
        } else {
            auto file_bytes = iotest::random_bytes(random, 300);
            auto* guarded = keep(VRX_MutexInputStorage::create(&manager, file_over(file_bytes)));
            for (int p = 0; p < parts; ++p) {
                const int32_t begin = static_cast<int32_t>(random() % 250);
                const int32_t length = 1 + static_cast<int32_t>(random() % 50);
                Reader* reader = keep(Reader::create(&manager, guarded, begin));
                list.push_back(keep(Bound::create(&manager, reader, length)));
                all.insert(all.end(), file_bytes.begin() + begin, file_bytes.begin() + begin + length);
            }
        }
        auto* combined = keep(VRX_CombinedInputStorage::create(&manager, list));
        ASSERT_NE(combined, nullptr);
        Subject subject{combined, Model{all, 0, Seeks::fallback}, {}};
        run(subject, random, steps);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
