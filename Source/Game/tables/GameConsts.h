// The game's fixed vocabulary: the car, mission and face tables, the mission set-ups and target
// routes, the station places and areas, and every text of the HUD, hints and menus in English and
// Czech. Plain constant tables; nothing here changes at run time.
#pragma once

#include "tables/FaceTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int LanguageCount = 2; // 0 English, 1 Czech
constexpr int MissionCount = 16; // rows 0..15; 0 stands for no mission
constexpr int LastMission = 10;  // games 1..10 are missions for one player, 11..15 races for two
constexpr int LastGame = 15;

constexpr bool IsMission(int game) {
    return game >= 1 && game <= LastMission;
}
constexpr bool IsRace(int game) {
    return game > LastMission && game <= LastGame;
}
constexpr bool IsGame(int game) {
    return game >= 1 && game <= LastGame;
}

// An English and a Czech text, written in UTF-8 here.
struct TTextPair {
    const char* English;
    const char* Czech;
};
// The text of a pair in a language (0 English, anything else Czech), as Windows-1250 bytes.
std::string PickText(const TTextPair& pair, int language);
// Both texts of a pair as Windows-1250 bytes, English first.
std::array<std::string, 2> PairText(const TTextPair& pair);
// A text with one number in it, whose place the printf directive `mark` ("%d", "%.2f") marks. The
// number comes already written, so no text of the tables is ever used as a format.
std::string PlaceNumber(const std::string& text, const char* mark, const std::string& number);

struct TCarRow {
    const char* Name; // one text for both languages
    TTextPair Description;
    int32_t Cargo; // items the car can carry
};
extern const TCarRow CarTable[8];

struct TMissionRow {
    int32_t Number;     // the row index for 0..10; 29..33 for the races 11..15
    int32_t FaceOffset; // added to the mission giver's face (19)
    TTextPair Name;
    // What the mission asks in one line: "%d" stands for the number of its targets, "%s" for its par
    // time in whole seconds (PlaceNumber fills them in). Empty for the races and row 0.
    TTextPair Goal;
    TTextPair Briefing; // two or three sentences of the mission giver; empty for the races and row 0
    uint8_t Cars;       // bit t: car type t offered; 0 offers every car
};
extern const TMissionRow MissionTable[MissionCount];

struct TMapPoint {
    float X, Y; // map units, the car's plane coordinates
};

// How a game is set up: missions 1..10 for one player, races 11..15 for two.
struct TMissionSetup {
    int32_t Pedestrians;
    int32_t TrafficCars;
    int32_t Hour;
    float ParTime;       // seconds; 0 for the races
    TMapPoint Start[2];  // car 1 and car 2 (car 2 only in the races)
    float Heading;       // degrees
    bool Snow;
    int32_t MusicOrder;
    int32_t FinishPoints; // races: points of the finish target
    bool LightsOn;        // races 13..15
};
// Indexed by mission number; row 0 is unused.
extern const TMissionSetup MissionSetups[MissionCount];
// The targets of game n (1..15) in creation order, the finish first (the races take the routes of
// missions 1..5 as their rows say).
const std::vector<TMapPoint>& MissionRoute(int n);

// One leg a mission drives, world metres: from the start to the last listed target, then down the
// list to the first. The races run along the same legs.
struct TMissionLeg {
    float FromX, FromY, ToX, ToY;
};
// Every leg of missions 1..LastMission, in order.
std::vector<TMissionLeg> MissionLegs();

struct TMapRect {
    float Left, Right, Bottom, Top; // inclusive bounds, map units
};
inline bool PointInRect(float x, float y, const TMapRect& r) {
    return x >= r.Left && x <= r.Right && y >= r.Bottom && y <= r.Top;
}
extern const TMapPoint GasStationPlaces[4];
extern const TMapPoint ServicePlaces[6];
extern const TMapRect GasStationAreas[4];
extern const TMapRect ServiceAreas[6];

// Hints.
extern const TTextPair HintFuelLow;      // fuel falls to 10 %
extern const TTextPair HintBadlyDamaged; // damage reaches 90 %
extern const TTextPair HintCargo;        // cargo breakage reaches 5 %
extern const TTextPair HintCityMap;      // the map key ("%s") and the city map
extern const TTextPair HintBackOnWheels; // a car stuck on its side was set upright
extern const TTextPair HintCargoLoaded;  // mission 10: an item taken on board
extern const TTextPair HintCargoFull;    // mission 10: no room for more
// The mission's par time on the result screen, "%.2f" seconds.
extern const TTextPair ParTimeText;
// "%s extra scores!" / "%s bere extra bod!"
extern const TTextPair ExtraScoresText;

// Menu and HUD texts, in the order of the menu screens; the names say where each is used.
enum TMenuText : int {
    mtLanguageName,
    // main menu
    mtRaceForTwo, mtSingleRace, mtHighscore, mtOptions, mtQuitGame,
    // two-player race set-up
    mtPlayer1, mtPlayer2, mtProfile1, mtCar1, mtProfile2, mtCar2, mtTrack2P, mtStart2P, mtReturn2P,
    mtArrowsHint2P,
    // two-player race result
    mtRestart2P, mtWinner, mtPoints2P,
    // controls shown for two players
    mtArrowKeys, mtKeysList, mtPlayer, mtArrowKeys2,
    // one-player race set-up and result
    mtArrowsHint1P, mtTrack1P, mtStart1P, mtReturn1P, mtPoints1P, mtSeconds, mtCompleted, mtRestart1P,
    // highscore screen and web submission
    mtHighscoreTitle, mtPlace1, mtPlace2, mtPlace3, mtPlace4, mtPlace5, mtPlace6, mtPlace7, mtPlace8,
    mtPlace9, mtPlace10, mtWebHighscore, mtSubmitToWeb, mtReturnHighscore, mtTrackHighscore, mtNoRace,
    mtSubmitted, mtSeeHighscoreAt, mtSubmitError, mtCheckConnection, mtServerTried,
    // options
    mtCameraView, mtCameraTop, mtCameraChase, mtMultiplayer, mtMusic, mtSound, mtLanguage, mtReturnOptions,
    mtArrowsHintOptions,
    // mission screens
    mtMission, mtContinue, mtMissionNumber, mtSelectCar, mtMissionFailed, mtBetterLuck, mtRestartMission,
    // gas station and service
    mtGas, mtReturnGas, mtRightArrowHint, mtDamage, mtReturnService, mtLeftArrowHint,
    // HUD
    mtPressEnter,
    // the runs sent for verification on the web submission screen
    mtSendingTable, mtNoRunsToSend, mtRunSending, mtRunWaiting, mtRunAccepted, mtRunRefused, mtRunNoConnection,
    // the record fetched from the server to race its ghost
    mtRaceTheRecord, mtFetchingRecord, mtRecordOf, mtRecordKept, mtRaceIt, mtNoRecord, mtRecordNoConnection,
    mtRecordDamaged, mtRecordOtherMission, mtRecordOtherVersion, mtRecordOtherDataSet,
    // the pause menu and the question before quitting
    mtPaused, mtResume, mtRestartRun, mtPauseOptions, mtQuitToMenu, mtPauseQuitGame, mtConfirmQuitGame,
    mtConfirmQuitToMenu, mtRunNotScored, mtYes, mtNo,
    // the rules of a race for two, shown before its countdown
    mtRaceRulesTitle, mtRaceRoute, mtRaceWhoWins, mtRaceExtraPoints, mtRaceKeysOf, mtStartRace,
    mtReturnRaceRules,
    // the one-player result: the run against the par time and the table
    mtMissionComplete, mtOverPar, mtUnderPar, mtOnPar, mtScoreOfRun, mtPlaceOf, mtNotInTable,
    mtTextCount
};
extern const TTextPair MenuTexts[mtTextCount];
// The text of a menu row in a language, as Windows-1250 bytes.
inline std::string MenuText(TMenuText row, int language) { return PickText(MenuTexts[row], language); }
