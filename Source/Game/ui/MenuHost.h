// TMenuHost: what the menu needs of the game — the overlay's sprite list and sounds, the fonts, the
// players and their profiles, the first car at a station, the camera mode, the highscore table and
// the last run's place in it, and the few things the menu's items start (a game, a restart, the
// record's race, giving a run up, the end of the program). The game engine is the one host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class TCar;
class TGLFont;
class THighscores;
class TPlayerData;
struct TReplay;
class TSprite;

// The two fonts the menu writes with: the items' and the longer texts' (the briefing, a car's
// description).
struct TMenuFonts {
    TGLFont& Item;
    TGLFont& Text;
};

class TMenuHost {
  public:
    virtual ~TMenuHost() = default;

    // The overlay: a sprite is put on top once, even when it is there already, or taken off at once
    // (no-op when it is not there).
    virtual void ShowSprite(TSprite* sprite) = 0;
    virtual void RemoveSprite(TSprite* sprite) = 0;
    // Plays a registered sample once on any free channel.
    virtual void PlaySample(const std::string& key) = 0;
    virtual TMenuFonts Fonts() = 0;
    // Opens a screen of the menu (msNone closes it), with its music and the HUD symbols it hides.
    virtual void ShowMenu(uint8_t screen) = 0;

    // Player 1 or 2; ERangeError for any other.
    virtual TPlayerData& Player(int i) = 0;
    // Profiles in the launcher's list, and player 1 or 2 loaded from one of them (keeping the car).
    virtual int32_t ProfileCount() const = 0;
    virtual void LoadPlayer(int i, int profile) = 0;
    // The first player's car, or nullptr while there is none.
    virtual TCar* FirstCar() const = 0;

    // 0 top view, 1 chase view, 2 the shared view of a race for two.
    virtual uint8_t ActiveCameraMode() const = 0;
    virtual void SetCameraMode(uint8_t mode) = 0;

    virtual const THighscores& HighscoreTable() const = 0;
    // The rank 0..9 the last finished one-player run took in `mission`'s table; -1 when it was
    // slower than the ten there or the last run was of another mission.
    virtual int32_t LastRunPlace(uint8_t mission) const = 0;
    // DigestDataSet() of the data set the runs are driven on, as a record must match it.
    virtual uint64_t DataSetOfRuns() = 0;
    // This run's and the record run's routes on the city map of the result screen, risen as far as
    // the screen (`slide` pixels still to rise).
    virtual void DrawRoutes(float slide) = 0;

    // Game `mission`, for one player or two, starts afresh (from the intro the city is loaded first;
    // a number that is no game of the table starts nothing) and the menu closes.
    virtual void StartGame(int mission, bool twoPlayer) = 0;
    // The game that ran starts again from its beginning and the menu closes.
    virtual void RestartGame() = 0;
    // The fetched record is raced as the ghost in the next game of its mission, once.
    virtual void RaceRecordNext(std::unique_ptr<TReplay> record) = 0;
    // The program ends after this tick.
    virtual void Quit() = 0;
    // A game is being played: started, and neither finished nor given up. Quitting asks first then.
    virtual bool GameUnderWay() const = 0;
    // The game that runs is left for the main menu: its run is neither scored nor recorded, and there is
    // nothing to go back to until the next game starts.
    virtual void GiveUpRun() = 0;
    virtual bool RunGivenUp() const = 0;
};
