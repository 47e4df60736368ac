// The one way the player's files (settings, profiles, highscores) are written and given up on.
// WriteFileAtomic replaces a file as a whole — a temporary file in the same folder, written, synced,
// renamed over the old one, and the folder synced — so a crash, a kill or a full disk leaves the old
// file or the new one, never half of one. SetFileAside and SetAsideDamagedFile keep a damaged file for
// the player, never over one kept before.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the player is told when the game goes on after trouble with one of their own files (a damaged
// file moved aside, a save that failed). The code that reads and writes the player's files hands the
// sentence to the notice its caller gives it; the program's entry decides how it is shown.
using TNotice = std::function<void(const std::string& text)>;

// Writes `bytes` to `fileName` (mode 0644), creating missing folders. False, with `error` (when
// given) naming the file and the cause, when anything fails; the old file is then untouched and no
// temporary file is left behind.
bool WriteFileAtomic(const std::string& fileName, const std::vector<uint8_t>& bytes,
                     std::string* error = nullptr);

// Renames `fileName` to the first free one of "<file><suffix>", "<file><suffix>.1", "<file><suffix>.2",
// ..., so that a file set aside never replaces one set aside before. Returns the new name; empty,
// with the file where it was, when it cannot be moved.
std::string SetFileAside(const std::string& fileName, const std::string& suffix);

// A damaged player file never ends the game: it is set aside as "<file>.bad" (numbered after any
// kept before); the caller goes on with defaults or with the sound records. Returns the sentence for
// the player, naming the file and what is wrong.
std::string SetAsideDamagedFile(const std::string& fileName, const std::string& problem);
