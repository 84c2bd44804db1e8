#pragma once
// Helpers of the JPEG reader tests: a stream read through one of the
// creators under a test manager, drained into memory.
#include <functional>
#include <string>

#include "tests/jpegdec/jpeg_oracle.h"
#include "tests/vrx/core/storage/vrx_pixelread_test_support.h"
#include "vrx/framework/engine/vrx_engine.h"

namespace jpegreadertest {

using jpegoracle::Bytes;

inline std::string fixture(const std::string& name) { return std::string(TEST_DATA_DIR) + "/jpegdec/" + name; }
inline Bytes read_fixture(const std::string& name) { return jpegoracle::ReadFile(fixture(name)); }

// A stream, the engine a creator builds over it, and what the engine wrote.
struct Read {
    vrx_test::TestManager manager;
    Bytes bytes;
    vrx::VRX_InputStorage* storage = nullptr;
    vrx::VRX_Engine* engine = nullptr;
    pixeltest::Shape shape;
    jpegoracle::Image image;  // the lines written, as an image of the engine's header
    bool clean = false;       // the job ended without an error

    using Make = std::function<vrx::VRX_Engine*(vrx::VRX_Manager*, vrx::VRX_InputStorage*)>;
    Read(Bytes b, const Make& make) : bytes(std::move(b)) {
        storage = pixeltest::storage_over(manager, bytes);
        engine = make(&manager, storage);
        shape = pixeltest::shape_of(engine);
        if (engine) {
            image.width = engine->header()->width;
            image.height = engine->header()->height;
            image.channels = engine->header()->channels;
        }
        image.pixels = drain_lines(engine);
        image.ok = engine != nullptr;
        image.height = lines();
        vrx::VRX_Status status(&manager);
        // The first status of the job stays readable after execute.
        first = manager.status();
        clean = manager.execute(status);
    }
    ~Read() { vrx::destroy(storage); }
    // Every line the engine delivers, written one at a time so that the lines
    // before a failure stay.
    Bytes drain_lines(vrx::VRX_Engine* source) {
        if (!source) return {};
        uint32_t line = 0;
        source->header()->line_bytes(line);
        Bytes out(size_t{line} * source->header()->height);
        uint32_t written = 0;
        vrx::VRX_Engine* writer = vrx::VRX_WriteMemory(&manager).engine(
            source, out.data(), static_cast<uint32_t>(out.size()), &written,
            [](vrx::VRX_MemoryCallbackInfo*) { return false; });
        while (writer && writer->execute()) {
        }
        out.resize(written);
        return out;
    }
    // Whole lines written.
    uint32_t lines() const {
        const size_t line = size_t{image.width} * image.channels;
        return line ? static_cast<uint32_t>(image.pixels.size() / line) : 0;
    }
    bool reported(uint32_t code, const char* function) const {
        return first.code == code && std::string(first.function) == function;
    }
    vrx::VRX_Status first;
};

}  // namespace jpegreadertest
