// The face table: the 22 portraits a player profile, the HUD and the menus can show, in face-number
// order. Each name gives the picture's texture key "face_<name>" and its files
// data/bitmaps/face_<name>.bmp (128 x 128, the game) and, for faces 0-18, data/resources/face_<name>.bmp
// (100 x 100, the launcher). Shared by the data set generator and the game's tables.
#pragma once

#include <cstdint>

// Kind of person pictured.
enum TFaceClass : uint8_t {
    fcCitizen = 0, // ordinary people of the city
    fcDriver = 1,  // people of the road trades, in their work headgear
    fcBoss = 2,    // the men who hand out the jobs
    fcAlien = 3,   // the "et" visitors
};

struct TFaceRow {
    const char* Name;
    uint8_t Class;
};

inline constexpr int FaceCount = 22;
// Faces the launcher offers for a profile (0..LauncherFaceCount-1).
inline constexpr int LauncherFaceCount = 19;
// The mission giver shown on the mission screen.
inline constexpr int MissionGiverFace = 19;

inline constexpr TFaceRow FaceTable[FaceCount] = {
    {"adam", fcCitizen},  {"bara", fcCitizen},  {"cyril", fcCitizen},  {"dana", fcCitizen},
    {"emil", fcCitizen},  {"filip", fcCitizen}, {"gita", fcCitizen},   {"hugo", fcCitizen},
    {"ivana", fcCitizen}, {"jakub", fcCitizen}, {"klara", fcCitizen},  {"libor", fcCitizen},
    {"marta", fcCitizen}, {"racer", fcDriver},  {"trucker", fcDriver}, {"cabbie", fcDriver},
    {"et_zyx", fcAlien},  {"et_blop", fcAlien}, {"et_quor", fcAlien},  {"director", fcBoss},
    {"boss", fcBoss},     {"biker", fcDriver},
};
