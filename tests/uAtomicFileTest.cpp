#include "uAtomicFile.h"
#include "TestSupport.h"
#include "uByteReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int EntriesIn(const std::filesystem::path& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

} // namespace

TEST(WriteFileAtomic, CreatesMissingFoldersAndReplacesTheOldFile) {
    TTempDir dir;
    std::string name = dir.File("a/b/file.dat");
    ASSERT_TRUE(WriteFileAtomic(name, {1, 2, 3}));
    ASSERT_TRUE(WriteFileAtomic(name, {4, 5}));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(name, bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{4, 5}));
    EXPECT_EQ(EntriesIn(dir.Path / "a/b"), 1) << "no temporary file is left behind";
    struct stat st;
    ASSERT_EQ(stat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(WriteFileAtomic, FailureLeavesTheOldFileAndNoTemporaryFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TTempDir dir;
    std::string name = dir.File("file.dat");
    ASSERT_TRUE(WriteFileAtomic(name, {7, 7}));
    chmod(dir.Path.c_str(), 0555);
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(name, {1}, &error));
    chmod(dir.Path.c_str(), 0755);
    EXPECT_NE(error.find(name), std::string::npos) << error;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(name, bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{7, 7}));
    EXPECT_EQ(EntriesIn(dir.Path), 1);
}

TEST(WriteFileAtomic, AFolderInTheWayIsNotReplaced) {
    TTempDir dir;
    std::string name = dir.File("file.dat");
    std::filesystem::create_directories(name + "/inside");
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(name, {1}, &error));
    EXPECT_NE(error.find(name + ": cannot be written"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_directory(name + "/inside"));
    EXPECT_EQ(EntriesIn(dir.Path), 1);
}
