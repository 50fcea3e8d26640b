#include "files/atomicfile.h"

#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using namespace testing;

Bytes pattern(size_t size, uint8_t seed) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 9));
    }
    return bytes;
}

TEST(AtomicFile, CommitCreatesOrReplacesTheTargetOnlyThen) {
    // Both sides of the internal buffer, onto a new target and over an existing one.
    for (const size_t size : {size_t{5}, size_t{700000}}) {
        for (const bool existing : {false, true}) {
            SCOPED_TRACE(std::to_string(size) + (existing ? " over a file" : " new"));
            ScratchFolder folder;
            const Bytes before = pattern(100, 1), bytes = pattern(size, 3);
            if (existing) {
                writeBytes(folder / "t.bin", before);
            }
            AtomicFile file;
            ASSERT_TRUE(file.open(folder / "t.bin").ok());
            ASSERT_TRUE(file.write(std::span<const uint8_t>(bytes).first(size / 2)));
            ASSERT_TRUE(file.write(std::span<const uint8_t>(bytes).subspan(size / 2)));
            EXPECT_EQ(readBytes(folder / "t.bin"), existing ? before : Bytes{});
            const FileStatus status = file.commit();
            ASSERT_TRUE(status.ok()) << status.message;
            EXPECT_EQ(readBytes(folder / "t.bin"), bytes);
            EXPECT_EQ(folder.names(), Names{"t.bin"});
        }
    }
}

TEST(AtomicFile, DiscardDestructionOrFailureLeaveTheTargetAsItWas) {
    ScratchFolder folder;
    const std::string target = folder / "keep.bin";
    const Bytes original = pattern(64, 5);
    writeBytes(target, original);
    for (const std::string_view way : {"discard", "destroy", "fail"}) {
        SCOPED_TRACE(way);
        std::optional<AtomicFile> file(std::in_place);
        ASSERT_TRUE(file->open(target).ok());
        ASSERT_TRUE(file->write(pattern(500000, 2)));  // reaches the temporary file on disk
        if (way == "discard") {
            file->discard();
            EXPECT_FALSE(file->commit().ok());
        } else if (way == "destroy") {
            file.reset();
        } else {
            file->fail("the encoder gave up.");
            EXPECT_FALSE(file->write(pattern(10, 2)));
            const FileStatus status = file->commit();
            ASSERT_FALSE(status.ok());
            EXPECT_NE(status.message.find(target), std::string::npos) << status.message;
            EXPECT_NE(status.message.find("the encoder gave up."), std::string::npos);
        }
        EXPECT_EQ(readBytes(target), original);
        EXPECT_EQ(folder.names(), Names{"keep.bin"});
    }
}

TEST(AtomicFile, OpenFailsWhereNoFileCanBeCreated) {
    ScratchFolder folder;
    writeBytes(folder / "plain", Bytes{1, 2, 3});
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
    EXPECT_EQ(readBytes(folder / "plain"), (Bytes{1, 2, 3}));
    EXPECT_EQ(folder.names(), (Names{"plain", "sub"}));
}

TEST(ReadWholeFile, ReadsUpToTheLimitAndRefusesMore) {
    ScratchFolder folder;
    writeBytes(folder / "ten", pattern(10, 0));
    Bytes bytes;
    ASSERT_TRUE(readWholeFile(folder / "ten", 10, bytes).ok());
    EXPECT_EQ(bytes, pattern(10, 0));
    const FileStatus tooLong = readWholeFile(folder / "ten", 9, bytes);
    EXPECT_NE(tooLong.message.find(folder / "ten"), std::string::npos) << tooLong.message;
    EXPECT_TRUE(!tooLong.ok() && bytes.size() == 10);  // one byte over the limit is read
}

}  // namespace
}  // namespace quorvel
