#include "uAtomicFile.h"
#include "uPlatform.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Fail(std::string* error, const std::string& message) {
    if (error != nullptr)
        *error = message + " (" + std::strerror(errno) + ")";
    return false;
}

bool WriteAll(int fd, const uint8_t* data, size_t left) {
    while (left > 0) {
        ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = EIO;
        if (written <= 0)
            return false;
        data += written;
        left -= size_t(written);
    }
    return true;
}

// A writer killed between creating its temporary file and the rename leaves "<file>.XXXXXX" behind.
// Those older than any save could take are removed; younger ones may belong to a save in progress.
void RemoveStaleTemporaries(const std::filesystem::path& path) {
    constexpr auto StaleAfter = std::chrono::minutes(1);
    std::error_code ec;
    std::string prefix = path.filename().string() + ".";
    auto now = std::filesystem::file_time_type::clock::now();
    for (const auto& entry : std::filesystem::directory_iterator(path.parent_path(), ec)) {
        std::string name = entry.path().filename().string();
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0 ||
            !entry.is_regular_file(ec))
            continue;
        bool temporaryName = std::all_of(name.begin() + std::ptrdiff_t(prefix.size()), name.end(),
                                         [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
        if (temporaryName && now - entry.last_write_time(ec) > StaleAfter)
            std::filesystem::remove(entry.path(), ec);
    }
}

} // namespace

bool WriteFileAtomic(const std::string& fileName, const std::vector<uint8_t>& bytes, std::string* error) {
    std::filesystem::path path(fileName);
    std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);

    std::string temporary = fileName + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0)
        return Fail(error, fileName + ": cannot create a temporary file");
    bool ok = WriteAll(fd, bytes.data(), bytes.size()) && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
    int cause = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        cause = errno;
    }
    if (ok && std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        ok = false;
        cause = errno;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        errno = cause;
        return Fail(error, fileName + ": cannot be written");
    }
    // Make the rename itself durable: until the folder is synced, a power cut may bring back the old
    // name. The new file is in place either way, so a failure here is reported but not undone.
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir < 0)
        return Fail(error, folder.string() + ": the folder cannot be opened to sync the new " + fileName);
    ok = fsync(dir) == 0;
    cause = errno;
    close(dir);
    if (!ok) {
        errno = cause;
        return Fail(error, folder.string() + ": the folder cannot be synced after writing " + fileName);
    }
    RemoveStaleTemporaries(std::filesystem::absolute(path, ec));
    return true;
}

std::string SetFileAside(const std::string& fileName, const std::string& suffix) {
    // Far more than any player collects; past it the file stays where it is.
    constexpr int MaxAsideCopies = 1000;
    for (int copy = 0; copy < MaxAsideCopies; ++copy) {
        std::string aside = fileName + suffix + (copy == 0 ? "" : "." + std::to_string(copy));
        // RENAME_NOREPLACE never takes an existing name, even one made meanwhile; a file system
        // without it gets the check first.
        if (renameat2(AT_FDCWD, fileName.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0)
            return aside;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            return "";
        std::error_code ec;
        if (std::filesystem::symlink_status(aside, ec).type() != std::filesystem::file_type::not_found)
            continue;
        return std::rename(fileName.c_str(), aside.c_str()) == 0 ? aside : "";
    }
    return "";
}

std::string SetAsideDamagedFile(const std::string& fileName, const std::string& problem) {
    std::string text = "The file " + fileName + " is damaged: " + problem + ".";
    std::string aside = SetFileAside(fileName, ".bad");
    if (!aside.empty())
        text += " It was moved aside to " + aside + "; the game goes on without the damaged part.";
    else
        text += " It could not be moved aside and will be replaced.";
    return text;
}
