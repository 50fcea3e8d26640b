#include "files/atomicfile.h"

#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using testing::readBytes;
using testing::ScratchFolder;
using testing::writeBytes;

std::vector<uint8_t> pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 9));
    }
    return bytes;
}

using Names = std::vector<std::string>;

TEST(AtomicFile, CommitCreatesTheFileWithTheBytes) {
    // Both sides of the internal buffer: a small write, and one larger than the buffer.
    for (const size_t size : {size_t{5}, size_t{700000}}) {
        SCOPED_TRACE(size);
        ScratchFolder folder;
        const std::vector<uint8_t> bytes = pattern(size, 3);
        AtomicFile file;
        ASSERT_TRUE(file.open(folder / "new.bin").ok());
        ASSERT_TRUE(file.write(std::span<const uint8_t>(bytes).first(size / 2)));
        ASSERT_TRUE(file.write(std::span<const uint8_t>(bytes).subspan(size / 2)));
        const FileStatus status = file.commit();
        ASSERT_TRUE(status.ok()) << status.message;
        EXPECT_EQ(readBytes(folder / "new.bin"), bytes);
        EXPECT_EQ(folder.names(), Names{"new.bin"});
    }
}

TEST(AtomicFile, ReplacesAnExistingTargetOnlyOnCommit) {
    ScratchFolder folder;
    const std::vector<uint8_t> before = pattern(100, 1);
    const std::vector<uint8_t> after = pattern(300, 9);
    writeBytes(folder / "t.bin", before);
    AtomicFile file;
    ASSERT_TRUE(file.open(folder / "t.bin").ok());
    ASSERT_TRUE(file.write(after));
    EXPECT_EQ(readBytes(folder / "t.bin"), before);
    ASSERT_TRUE(file.commit().ok());
    EXPECT_EQ(readBytes(folder / "t.bin"), after);
    EXPECT_EQ(folder.names(), Names{"t.bin"});
}

TEST(AtomicFile, AbandonedOrFailedWritesLeaveTheTargetAsItWas) {
    ScratchFolder folder;
    const std::vector<uint8_t> original = pattern(64, 5);
    writeBytes(folder / "keep.bin", original);
    {
        AtomicFile file;
        ASSERT_TRUE(file.open(folder / "keep.bin").ok());
        ASSERT_TRUE(file.write(pattern(500000, 2)));  // reaches the temporary file on disk
    }
    EXPECT_EQ(readBytes(folder / "keep.bin"), original);
    EXPECT_EQ(folder.names(), Names{"keep.bin"});

    AtomicFile file;
    ASSERT_TRUE(file.open(folder / "keep.bin").ok());
    ASSERT_TRUE(file.write(pattern(10, 2)));
    file.fail("the encoder gave up.");
    EXPECT_FALSE(file.write(pattern(10, 2)));
    const FileStatus status = file.commit();
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.message.find(folder / "keep.bin"), std::string::npos) << status.message;
    EXPECT_NE(status.message.find("the encoder gave up."), std::string::npos) << status.message;
    EXPECT_EQ(readBytes(folder / "keep.bin"), original);
    EXPECT_EQ(folder.names(), Names{"keep.bin"});
}

TEST(AtomicFile, OpenFailsWhereNoFileCanBeCreated) {
    ScratchFolder folder;
    writeBytes(folder / "plain", {1, 2, 3});
    std::filesystem::create_directory(folder / "sub");
    // Root ignores permission bits, so unwritable places are made from paths that cannot
    // exist: a missing parent, a parent that is a regular file, the target being a folder,
    // and a folder of the kernel's own file system.
    for (const std::string& target : {folder / "missing/out.bin", folder / "plain/out.bin",
                                      folder / "sub", std::string("/proc/self/quorvel.bin")}) {
        SCOPED_TRACE(target);
        AtomicFile file;
        const FileStatus status = file.open(target);
        ASSERT_FALSE(status.ok());
        EXPECT_NE(status.message.find("'" + target + "'"), std::string::npos) << status.message;
        EXPECT_FALSE(file.write(pattern(4, 0)));
        EXPECT_FALSE(file.commit().ok());
    }
    EXPECT_EQ(readBytes(folder / "plain"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(folder.names(), (Names{"plain", "sub"}));
}

TEST(AtomicFile, AWriteFailureMakesCommitFailWithoutAPartialFile) {
    ScratchFolder folder;
    const std::vector<uint8_t> original = pattern(32, 4);
    writeBytes(folder / "full.bin", original);
    const std::string target = folder / "full.bin";
    const std::string message = testing::inFileSizeLimitedChild(4096, [&target] {
        AtomicFile file;
        if (!file.open(target).ok()) {
            return std::string("open failed");
        }
        (void)file.write(pattern(600000, 8));
        const FileStatus status = file.commit();
        return status.ok() ? std::string("commit succeeded") : status.message;
    });
    EXPECT_NE(message.find("'" + target + "'"), std::string::npos) << message;
    EXPECT_NE(message.find("large"), std::string::npos) << "expected EFBIG's text: " << message;
    EXPECT_EQ(readBytes(target), original);
    EXPECT_EQ(folder.names(), Names{"full.bin"});
}

TEST(ReadWholeFile, ReadsUpToTheLimitAndRefusesMore) {
    ScratchFolder folder;
    writeBytes(folder / "ten", pattern(10, 0));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readWholeFile(folder / "ten", 10, bytes).ok());
    EXPECT_EQ(bytes, pattern(10, 0));
    const FileStatus tooLong = readWholeFile(folder / "ten", 9, bytes);
    EXPECT_FALSE(tooLong.ok());
    EXPECT_EQ(bytes.size(), 10u);
    EXPECT_NE(tooLong.message.find(folder / "ten"), std::string::npos) << tooLong.message;
}

}  // namespace
}  // namespace quorvel
