// The screens of the menu. The numbers are the menu's own and stand in the state dump's "menu".
#pragma once

#include <cstdint>

enum TMenuScreen : uint8_t {
    msNone = 0, // no menu open
    msMain = 1,
    msSingleRace = 2,
    msRaceForTwo = 3,
    msHighscores = 4,
    msSubmission = 5, // the highscores sent to the web
    msOptions = 6,
    msControls = 7,
    msGasStation = 8,
    msService = 9,
    msRecord = 10, // racing the record of a mission
    msMissionFailed = 11,
    msCarChoice = 12, // a mission's car
    msRaceResult = 13,
    msSingleResult = 14,
    msPause = 15,       // Escape while driving: the world stands still
    msConfirmQuit = 16, // yes or no before a run is given up or the game ends
    msRaceRules = 17,   // a race for two's rules and keys, before its countdown
};

// A screen and its selected item as one case label: MenuItem(msMain, 2) is item 2 of the main menu.
constexpr int MenuItem(TMenuScreen screen, int item) {
    return screen * 10 + item;
}
