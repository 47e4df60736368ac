// The routes of kalscores on an HTTP server: the game's old insert request (kept as unverified runs),
// the upload of a run's replay and its state, the download of a verified run's replay, the leaderboard
// page and the JSON of one mission. The store is not owned and must outlive the server; `uploaded` is
// called after a new upload was kept (the verifier's wake-up).
#pragma once

#include "ScoreStore.h"

#include <httplib.h>

#include <functional>

constexpr int LeaderboardSize = 100; // runs shown per mission, on the page and in the JSON

void AddScoreRoutes(httplib::Server& server, TScoreStore& store, std::function<void()> uploaded = {});

// How kalscores takes its connections: enough request threads for a burst of uploads (each answer
// only stores the body: verification is queued), and a queue of waiting connections longer than the
// HTTP library's own five, which would make the kernel drop a burst's connection attempts.
constexpr int RequestThreads = 32;
constexpr int ListenBacklog = 128;

// Binds `server` to `host`:`port` (0: any free port) with those limits; the bound port, or -1.
int BindScoreServer(httplib::Server& server, const std::string& host, int port);
