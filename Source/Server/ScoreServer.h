// The routes of kalscores on an HTTP server: the game's insert request, the leaderboard page and the
// JSON of one mission. The store is not owned and must outlive the server.
#pragma once

#include "ScoreStore.h"

#include <httplib.h>

constexpr int LeaderboardSize = 100; // runs shown per mission, on the page and in the JSON

void AddScoreRoutes(httplib::Server& server, TScoreStore& store);
