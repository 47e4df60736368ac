// WriteFileAtomic: replaces a file as a whole — a temporary file in the same folder, written, synced
// and renamed over the old one — so a crash or a full disk leaves the old file or the new one, never
// half of one. Used for every file the game and its tools write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes `bytes` to `fileName` (mode 0644), creating missing folders. False, with `error` (when
// given) naming the file and the cause, when anything fails; the old file is then untouched and no
// temporary file is left behind.
bool WriteFileAtomic(const std::string& fileName, const std::vector<uint8_t>& bytes,
                     std::string* error = nullptr);
