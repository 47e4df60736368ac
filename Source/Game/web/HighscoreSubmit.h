// Sending one mission's highscore table to the highscore web server: one HTTP GET per entry, as the
// server's insert request expects, and the escaping of the nick in it.
#pragma once

#include "player/Highscores.h"

#include <string>
#include <vector>

// The server's address, e.g. "http://127.0.0.1:8080": the settings' HighscoreServer value unless the
// environment variable KALMIROV_HIGHSCORE_SERVER is set.
std::string HighscoreServerAddress();

// Sends the entries of table `mission` (0..15) whose nick is not empty and whose score is not 0, in
// rank order, to `server`. Stops at the first failed request, shows a message box naming the server
// and the cause (the response's status text, or why no response came) and returns false; true when every
// request went through (also for an empty table). Blocks until done; each request gives up after a few
// seconds.
bool SubmitHighscores(const THighscores& table, int mission, const std::string& server);

// The insert request of every entry SubmitHighscores would send, as complete URLs.
std::vector<std::string> InsertUrls(const THighscores& table, int mission, const std::string& server);

// The nick's bytes for the query: '*', '-', '.', '@', 'A'-'Z', '_' and 'a'-'z' unchanged, a blank
// as '+', every other byte (digits and bytes from 128 included) as "%XX" in upper-case hex; stops at
// the first zero byte.
std::string UrlEncode(const std::string& text);
