// The old protocol's highscore requests: one HTTP GET per entry of a mission's table, as the server's
// insert request expects, the escaping of the nick in it, and the server's address.
#pragma once

#include "player/Highscores.h"

#include <string>
#include <vector>

// The server's address, e.g. "http://127.0.0.1:8080": the settings' HighscoreServer value unless the
// environment variable KALMIROV_HIGHSCORE_SERVER is set.
std::string HighscoreServerAddress();

// The old protocol's insert request of every entry of table `mission` (0..15) whose nick is not empty
// and whose score is not 0, in rank order, as complete URLs (the web submission sends them).
std::vector<std::string> InsertUrls(const THighscores& table, int mission, const std::string& server);

// The nick's bytes for the query: '*', '-', '.', '@', 'A'-'Z', '_' and 'a'-'z' unchanged, a blank
// as '+', every other byte (digits and bytes from 128 included) as "%XX" in upper-case hex; stops at
// the first zero byte.
std::string UrlEncode(const std::string& text);
