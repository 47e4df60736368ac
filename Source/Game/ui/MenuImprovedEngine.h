// TMenuImprovedEngine: the menu inside the game window — the main menu, the set-up screens of the
// races for one and for two, the highscore table and its web submission, the options, the gas
// station and service, the race results, the failed mission, a mission's briefing with its car
// choice, a race for two's rules, the players' keys, the pause and the question before quitting. It is a
// screen number plus a selected item; the game opens screens, routes the menu keys here while one is open and
// has it drawn last in each frame. The menu reaches the game only through its host (ui/MenuHost.h). Owns its
// panel, title, marker and face sprites.
#pragma once

#include "tables/GameConsts.h"
#include "ui/MenuHost.h"
#include "ui/MenuScreen.h"
#include "web/RecordFetch.h"
#include "web/RunSubmission.h"
#include "uSprite.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class TGLFont;

class TMenuImprovedEngine {
  public:
    explicit TMenuImprovedEngine(TMenuHost& host);
    ~TMenuImprovedEngine();
    TMenuImprovedEngine(const TMenuImprovedEngine&) = delete;
    TMenuImprovedEngine& operator=(const TMenuImprovedEngine&) = delete;

    // Opens a screen, or closes the menu with msNone (called by the engine's ShowMenu).
    // Opening the screen that is already open leaves the menu without its sprites.
    void SetScreen(uint8_t screen);
    void PreviousItem();  // Up
    void NextItem();      // Down
    void DecreaseValue(); // Left
    void IncreaseValue(); // Right
    void ChooseItem();    // Enter
    void Back();          // Escape
    // While the keys screen waits for a key: the key pressed goes to the selected action, unless
    // another action has it or the game keeps it (a message then says so). Escape keeps the old key.
    void CaptureKey(uint32_t key);
    void CancelCapture();
    // A tick of the open screen: its panel slides in on by a step.
    void Tick();
    void DrawMenu();

    TMenuHost& Host;
    uint8_t Screen = msNone; // a TMenuScreen
    int32_t Selected = 0;
    uint8_t CarChoice = 0; // 0..7, the car offered on the car choice of a mission
    TSprite Logo, Panel, Marker, Picture;
    TSprite SecondPicture;      // player 2's face beside player 1's after a drawn race for two
    int32_t Slide = 0;          // pixels the panel still has to rise
    uint8_t RaceTrack = 11;     // 11..15
    uint8_t SingleTrack = 1;    // 1..10
    uint8_t HighscoreTrack = 1; // 1..10
    bool Submitted = false;     // result of the last web submission's table (the old insert requests)
    bool Capturing = false;     // the keys screen waits for the selected action's new key
    // The screens the briefing, the options and the question before quitting were opened from, which
    // Escape and Return go back to.
    uint8_t BriefedFrom = msNone, OptionsFrom = msMain, AskedFrom = msMain;
    bool AskedToEndGame = false; // the question is whether to end the program, else to give up the run
    // The keys screen's last message in English and Czech (Windows-1250), empty for none.
    std::array<std::string, 2> Note;
    // The web submission under way in the background, or the last one (stopped when its screen is left).
    std::unique_ptr<TRunSubmission> Submission;
    // The fetch of HighscoreTrack's record for screen 10, under way or done (stopped when it is left).
    std::unique_ptr<TRecordFetch> RecordFetch;

  private:
    // Marker textures, by what the selected item does.
    enum class TKind { Enter, Confirm, Adjust, AdjustLeft, AdjustRight, Fixed };

    void ChangeValue(int32_t step);
    void ChooseControl();
    void ChangeProfile(int player, int32_t step);
    void ChangeCar(int player, int32_t step);
    void StartSingleRace();
    void RaceTheRecord();
    void StartRaceForTwo();
    void RestartMission();
    void StartChosenMission();
    void LeaveBriefing();
    void LeaveOptions();
    void AskBeforeQuitting(bool endGame);
    void LeaveQuestion();
    void Answer(bool yes);
    void OpenFrom(uint8_t screen, int32_t selected, const char* sample);
    void ShowPicture(TSprite& sprite, int32_t face, int32_t x, int32_t y, uint32_t size);
    uint8_t PlayerMission() const;

    // Drawing (MenuScreens.cpp).
    void SlideIn();
    void DrawItem(int32_t index, float x, float y, TKind kind, const std::string& text);
    void DrawValueItem(int32_t index, float x, float y, TKind kind, const std::string& value,
                       const std::string& label);
    void DrawMainMenu();
    void DrawSingleRace();
    void DrawRaceForTwo();
    void DrawHighscores();
    void DrawSubmission();
    void DrawRecord();
    void DrawOptions();
    void DrawControls();
    void DrawKeyCell(int32_t index, float x, float y, const std::string& text);
    void DrawStation();
    void DrawMissionFailed();
    void DrawCarChoice();
    void DrawRaceResult();
    void DrawSingleResult();
    void DrawPause();
    void DrawConfirmQuit();
    void DrawRaceRules();
    // `text` in lines no wider than `width` pixels at `size`, from (x, y) down by `step` a line; the
    // y of the line that would come next.
    float DrawLines(TGLFont& font, const std::string& text, float x, float y, float size, float width,
                    float step);
    // A menu text in the current language, as drawn before upper-casing.
    std::string Text(TMenuText row) const;
};
