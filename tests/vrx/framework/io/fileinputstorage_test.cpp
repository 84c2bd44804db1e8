#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "tests/test_folder.h"
#include "tests/vrx/framework/io/io_test_support.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"

using namespace vrx;
using iotest::has_status;
using iotest::reported;
using iotest::is_clean;
using iotest::TempFile;

namespace {

class FileInputStorage : public ::testing::Test {
protected:
    VRX_DefaultManager manager;
};

TEST_F(FileInputStorage, EmptyFile) {
    TempFile file({});
    auto* in = VRX_FileInputStorage::create(&manager, file.path());
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->size(), 0);
    EXPECT_TRUE(in->is_end());
    EXPECT_EQ(in->get(), -1);
    unsigned char buffer[4];
    EXPECT_EQ(in->read(buffer, 4), 0);
    EXPECT_TRUE(is_clean(manager));
    in->destroy();
}

TEST_F(FileInputStorage, MissingFileIsRefused) {
    const std::string path = testfolder::file("vrx_io_no_such_file");
    EXPECT_EQ(VRX_FileInputStorage::create(&manager, path.c_str()), nullptr);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_IO, "VRX_PosixStorage::open()"));
}

TEST_F(FileInputStorage, FolderIsRefused) {
    EXPECT_EQ(VRX_FileInputStorage::create(&manager, testfolder::path().c_str()), nullptr);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_IO, "VRX_PosixStorage::open()"));
}

// A file whose size the 32-bit positions cannot reach is refused, never
// misread. The file is sparse: it takes no disc space.
TEST_F(FileInputStorage, FileBeyondThe32BitPositionsIsRefused) {
    TempFile file({});
    {
        const int fd = ::open(file.path(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t{0x80000000}), 0);
        ::close(fd);
    }
    EXPECT_EQ(VRX_FileInputStorage::create(&manager, file.path()), nullptr);
    EXPECT_TRUE(reported(manager, VRX_ERROR_UNSUPPORTED, "VRX_PosixStorage::open()"));
    {
        const int fd = ::open(file.path(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t{0x7FFFFFFF}), 0);
        ::close(fd);
    }
    auto* in = VRX_FileInputStorage::create(&manager, file.path());
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->size(), 0x7FFFFFFF);
    EXPECT_TRUE(in->seek_from_end(-1));
    EXPECT_EQ(in->get(), 0);
    EXPECT_EQ(in->get(), -1);
    EXPECT_TRUE(is_clean(manager));
    in->destroy();
}

TEST_F(FileInputStorage, OpensReadOnlyAndClosedOnExec) {
    TempFile file({1, 2, 3});
    auto* in = VRX_FileInputStorage::create(&manager, file.path());
    ASSERT_NE(in, nullptr);
    const int flags = ::fcntl(in->descriptor(), F_GETFL);
    EXPECT_EQ(flags & O_ACCMODE, O_RDONLY);
    EXPECT_NE(::fcntl(in->descriptor(), F_GETFD) & FD_CLOEXEC, 0);
    EXPECT_EQ(in->name().compare(file.path()), 0);
    in->destroy();
}

TEST_F(FileInputStorage, MovesAreClamped) {
    TempFile file(iotest::counting_bytes(20));
    auto* in = VRX_FileInputStorage::create(&manager, file.path());
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->move(3), 3);
    EXPECT_EQ(in->move(-5), -3);
    EXPECT_EQ(in->position(), 0);
    EXPECT_TRUE(in->seek_from_end(-3));
    EXPECT_EQ(in->move(10), 3);
    EXPECT_TRUE(in->is_end());
    EXPECT_TRUE(in->seek_from_begin(50));
    EXPECT_EQ(in->position(), 20);
    EXPECT_TRUE(in->seek_from_end(-50));
    EXPECT_EQ(in->position(), 0);
    EXPECT_TRUE(is_clean(manager));
    // Beyond the end: reads deliver nothing.
    EXPECT_TRUE(in->seek_from_end(5));
    EXPECT_EQ(in->position(), 25);
    EXPECT_EQ(in->get(), -1);
    EXPECT_FALSE(in->is_end());
    EXPECT_EQ(in->move(3), 0);  // never backwards on a forward move
    EXPECT_EQ(in->move(-1), -1);
    EXPECT_EQ(in->move(-30), -24);
    EXPECT_TRUE(is_clean(manager));
    EXPECT_FALSE(in->seek_from_begin(-1));
    EXPECT_TRUE(has_status(manager, VRX_ERROR_IO, "VRX_PosixLowLevelIO::seek()"));
    in->destroy();
}

TEST_F(FileInputStorage, ReadsAcrossTheReadAheadBuffer) {
    std::mt19937 random(7);
    const auto bytes = iotest::random_bytes(random, 200000);
    TempFile file(bytes);
    auto* in = VRX_FileInputStorage::create(&manager, file.path());
    ASSERT_NE(in, nullptr);
    std::vector<unsigned char> got;
    std::vector<unsigned char> chunk(100000);
    // Mixed sizes: bytes, small reads, one read larger than the read-ahead.
    for (int i = 0; i < 1000; ++i) got.push_back(static_cast<unsigned char>(in->get()));
    for (int step : {1, 7, 4096, 65536, 70000, 100000}) {
        const int32_t n = in->read(chunk.data(), step);
        got.insert(got.end(), chunk.begin(), chunk.begin() + n);
    }
    EXPECT_EQ(got.size(), bytes.size());
    EXPECT_EQ(got, bytes);
    EXPECT_TRUE(in->seek_from_begin(12345));
    EXPECT_EQ(in->get(), bytes[12345]);
    EXPECT_EQ(in->move(-2), -2);
    EXPECT_EQ(in->get(), bytes[12344]);
    EXPECT_TRUE(is_clean(manager));
    in->destroy();
}

TEST_F(FileInputStorage, ReinitiateRenewsTheStampAndClosesTheOldFile) {
    TempFile first({1, 2});
    TempFile second({3, 4, 5});
    auto* in = VRX_FileInputStorage::create(&manager, first.path());
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->stamp().change_count, 2u);
    EXPECT_EQ(in->get(), 1);
    ASSERT_TRUE(in->initiate(second.path()));
    EXPECT_EQ(in->stamp().change_count, 3u);
    EXPECT_EQ(in->size(), 3);
    EXPECT_EQ(in->get(), 3);
    EXPECT_TRUE(in->initiate(static_cast<const char*>(nullptr)));  // nothing happens
    EXPECT_EQ(in->get(), 4);
    EXPECT_TRUE(in->terminate());
    EXPECT_TRUE(in->is_closed());
    in->destroy();
}

TEST_F(FileInputStorage, CreateWithoutANameOpensNothing) {
    EXPECT_EQ(VRX_FileInputStorage::create(&manager, nullptr), nullptr);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_PosixStorage::open()"));
}

TEST_F(FileInputStorage, AdoptsADescriptor) {
    TempFile file(iotest::counting_bytes(10));
    const int fd = ::open(file.path(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::lseek(fd, 4, SEEK_SET), 4);
    auto* in = construct<VRX_FileInputStorage>(&manager);
    ASSERT_NE(in, nullptr);
    EXPECT_TRUE(in->initiate(0));  // nothing happens
    EXPECT_TRUE(in->is_closed());
    EXPECT_FALSE(in->initiate(-3));
    EXPECT_TRUE(reported(manager, VRX_ERROR_ARGUMENT, "VRX_FileInputStorage::initiate()"));
    ASSERT_TRUE(in->initiate(fd));
    EXPECT_EQ(in->position(), 4);
    EXPECT_EQ(in->size(), 10);
    EXPECT_EQ(in->get(), 4);
    in->destroy();  // closes the adopted descriptor
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
}

TEST_F(FileInputStorage, ClosedStorageReportsItsFailures) {
    TempFile file({1});
    auto* in = VRX_FileInputStorage::create(&manager, file.path());
    ASSERT_NE(in, nullptr);
    in->terminate();
    unsigned char byte;
    EXPECT_EQ(in->read(&byte, 1), 0);
    EXPECT_TRUE(reported(manager, VRX_ERROR_IO, "VRX_PosixLowLevelIO::read()"));
    EXPECT_EQ(in->position(), -1);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_IO, "VRX_PosixLowLevelIO::position()"));
    in->destroy();
}

}  // namespace
