#include "uAtomicFile.h"
#include "TestSupport.h"
#include "uByteReader.h"

#include <gtest/gtest.h>

#include <chrono>
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

TEST(WriteFileAtomic, TemporariesOfAKilledWriterAreRemovedOnceStale) {
    TTempDir dir;
    std::string name = dir.File("profiles.dat");
    std::string stale = name + ".a1B2c3", fresh = name + ".Zz9999", other = dir.File("other.dat.a1B2c3");
    for (const std::string& file : {stale, fresh, other})
        ASSERT_TRUE(WriteFileAtomic(file, {1}));
    auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(2);
    std::filesystem::last_write_time(stale, old);
    std::filesystem::last_write_time(other, old);
    ASSERT_TRUE(WriteFileAtomic(name, {2}));
    EXPECT_FALSE(std::filesystem::exists(stale)) << "a killed save's leftover";
    EXPECT_TRUE(std::filesystem::exists(fresh)) << "may be a save in progress";
    EXPECT_TRUE(std::filesystem::exists(other)) << "another file's";
}

TEST(SetAsideDamagedFile, KeepsTheFileAsBadNeverOverAnEarlierCopyAndSaysWhy) {
    TTempDir dir;
    std::string name = dir.File("highscore.dat");
    ASSERT_TRUE(WriteFileAtomic(name, {1, 2, 3}));
    TMessageRecorder messages;
    std::string text = SetAsideDamagedFile(name, "3 bytes, not 22400");
    EXPECT_TRUE(messages.Messages.empty()) << "the caller tells the player";
    EXPECT_EQ(text, "The file " + name + " is damaged: 3 bytes, not 22400. It was moved aside to " + name +
                        ".bad; the game goes on without the damaged part.");
    EXPECT_FALSE(std::filesystem::exists(name));

    // Damaged again and again: every copy is kept, each under a name of its own.
    ASSERT_TRUE(WriteFileAtomic(name, {4}));
    EXPECT_EQ(SetFileAside(name, ".bad"), name + ".bad.1");
    ASSERT_TRUE(WriteFileAtomic(name, {5}));
    EXPECT_NE(SetAsideDamagedFile(name, "1 byte").find(name + ".bad.2;"), std::string::npos);
    std::vector<uint8_t> bytes;
    for (auto [aside, kept] :
         {std::pair{".bad", std::vector<uint8_t>{1, 2, 3}}, {".bad.1", {4}}, {".bad.2", {5}}}) {
        ASSERT_TRUE(ReadWholeFile(name + aside, bytes)) << aside;
        EXPECT_EQ(bytes, kept) << aside;
    }
    EXPECT_EQ(SetFileAside(name, ".bad"), "") << "no file, nothing moved";
}
