// A session: one game process that plays game after game, as a player does who never quits. The
// autopilot drives each game until it is won or its time is up, then goes through the game's own
// screens to the next one, and notes the process's resident memory after every tenth game.
#pragma once

#include <string>
#include <vector>

struct TSessionGame {
    int Mission = 1; // 1..10 a mission, 11..15 a race for two
    int Car = 7;     // car type of both players, 0..7
};

struct TSessionOptions {
    std::string Game, RunDir;
    std::vector<TSessionGame> Games; // played in turn, over and over
    int Count = 200;                 // games to play
    double Limit = 45;               // seconds of game time after which a game is given up
    unsigned Seed = 1;
};

// Reads MISSION:CAR; throws std::runtime_error when it is malformed or the mission does not offer
// the car.
TSessionGame ParseSessionGame(const std::string& text);

// Memory readings in kilobytes, one after every tenth game. Empty when they stay flat, else why not.
std::string MemoryGrowth(const std::vector<long>& readings);

// Plays the session; 0 when every game ran and ended cleanly and the memory stayed flat, 1 if not.
int PlaySession(const TSessionOptions& options);
