#include <gtest/gtest.h>

#include "tests/vrx/framework/io/io_test_support.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/io/vrx_bytearrayoutputstorage.h"
#include "vrx/framework/io/vrx_formatinfo.h"
#include "vrx/framework/io/vrx_readengine.h"
#include "vrx/framework/io/vrx_writeengine.h"

using namespace vrx;
using iotest::has_status;
using iotest::is_clean;

namespace {

// A format whose body is a 3-byte width, height and depth; a zero depth does
// not load.
class TinyFormat : public VRX_FormatInfo {
public:
    using VRX_FormatInfo::VRX_FormatInfo;
    const char* format_name() const override { return "tiny"; }

protected:
    bool load_body(VRX_InputStorage* storage) override {
        unsigned char body[3];
        if (storage->read(body, 3) != 3 || body[2] == 0) return false;
        width = body[0];
        height = body[1];
        bits = body[2];
        channels = 1;
        resolution_.set(72.0, 72.0, 2);
        return true;
    }
};

class StorageEdge : public ::testing::Test {
protected:
    VRX_DefaultManager manager;
    unsigned char bytes[8] = {9, 4, 2, 8, 5, 6, 0, 1};
};

TEST_F(StorageEdge, FormatInfoLoadsFromThePosition) {
    auto* storage = VRX_ByteArrayInputStorage::create(&manager, bytes, 8);
    storage->seek_from_begin(1);
    TinyFormat info(&manager);
    EXPECT_FALSE(info.is_loaded());
    EXPECT_EQ(info.resolution_info()->unit, 1u);
    ASSERT_TRUE(info.load(storage));
    EXPECT_TRUE(info.is_loaded());
    EXPECT_TRUE(info.is_valid());
    EXPECT_EQ(info.header()->width, 4u);
    EXPECT_EQ(info.resolution_info()->horizontal, 72.0);
    EXPECT_EQ(storage->position(), 4);
    storage->destroy();
}

TEST_F(StorageEdge, FailedLoadLeavesTheStorageWhereItWas) {
    auto* storage = VRX_ByteArrayInputStorage::create(&manager, bytes, 8);
    storage->seek_from_begin(4);
    TinyFormat info(&manager);
    EXPECT_FALSE(info.load(storage));  // depth 0
    EXPECT_FALSE(info.is_loaded());
    EXPECT_EQ(storage->position(), 4);
    EXPECT_TRUE(is_clean(manager));
    storage->terminate();
    EXPECT_FALSE(info.load(storage));
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_FormatInfo::load()"));
    storage->destroy();
}

class NullReadEngine : public VRX_ReadEngine {
public:
    using VRX_ReadEngine::VRX_ReadEngine;
    bool execute() override { return false; }
};

class NullWriteEngine : public VRX_WriteEngine {
public:
    using VRX_WriteEngine::VRX_WriteEngine;
    bool execute() override { return false; }
};

TEST_F(StorageEdge, ReadEngineKeepsItsStorage) {
    auto* storage = VRX_ByteArrayInputStorage::create(&manager, bytes, 8);
    VRX_Header header(&manager);
    header.width = 1;
    header.height = 1;
    header.bits = 8;
    header.channels = 1;
    VRX_DstBuffer* dst = manager.new_dst_buffer();
    auto* engine = construct<NullReadEngine>(&manager);
    ASSERT_TRUE(engine->initiate(storage, &header, dst));
    EXPECT_EQ(engine->storage(), storage);
    storage->destroy();  // the engine keeps it alive
    EXPECT_EQ(engine->storage()->get(), 9);
    engine->set_initiated();
    engine->destroy();

    storage = VRX_ByteArrayInputStorage::create(&manager, bytes, 8);
    storage->terminate();
    engine = construct<NullReadEngine>(&manager);
    dst = manager.new_dst_buffer();
    EXPECT_FALSE(engine->initiate(storage, &header, dst));
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_ReadEngine::initiate()"));
    engine->destroy();
    dst->destroy();
    storage->destroy();
}

TEST_F(StorageEdge, StorageOutputEngineRefusesATerminatedStorage) {
    auto* storage = VRX_ByteArrayOutputStorage::create(&manager, bytes, 8);
    storage->terminate();
    auto* engine = construct<NullWriteEngine>(&manager);
    EXPECT_FALSE(engine->initiate(static_cast<VRX_OutputStorage*>(storage)));
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_StorageOutputEngine::initiate()"));
    // After the first error, initiate fails without a report of its own.
    EXPECT_FALSE(engine->initiate(static_cast<VRX_OutputStorage*>(nullptr)));
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_StorageOutputEngine::initiate()"));
    engine->destroy();
    storage->destroy();
}

TEST_F(StorageEdge, WriteEngineChecksItsSourceAfterTheStorage) {
    auto* storage = VRX_ByteArrayOutputStorage::create(&manager, bytes, 8);
    VRX_Header header(&manager);
    auto* engine = construct<NullWriteEngine>(&manager);
    EXPECT_FALSE(engine->initiate(&header, nullptr, storage));
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_BufferInputEngine::initiate()"));
    EXPECT_EQ(engine->output_storage(), storage);
    EXPECT_EQ(engine->header(), nullptr);  // no output
    engine->destroy();
    storage->destroy();
}

}  // namespace
