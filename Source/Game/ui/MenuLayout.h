// The in-game menu's fixed layout and its small rules: how each screen sets up its panel and title
// picture, how far it slides in, its last item, and the value steps of its items (tracks, cars,
// volumes, fuel and repairs, the race winner). No drawing here, so
// all of it runs without a window.
#pragma once

#include "controls/KeyBindings.h"

#include "player/Highscores.h"

#include <cstdint>
#include <string>

// What a screen puts on the overlay when it opens (640 x 480 layout pixels, y growing upwards).
struct TMenuScreenSetup {
    uint8_t Screen;
    int32_t PanelY, PanelHeight; // the panel always spans the full width, x 0..640
    const char* Logo;            // texture key of the title picture
    int32_t LogoY;               // before the slide-in
    uint32_t LogoWidth, LogoHeight;
    int32_t Slide;     // pixels the screen rises after opening; 0 for screens that stand still
    int32_t SlideStep; // pixels per drawn frame
    int32_t LastItem;  // index of the last selectable item
    bool ShowsPicture; // a face or portrait beside the texts
};

constexpr int32_t LogoX = 120;
constexpr int32_t PictureSize = 128;
// Where the face or portrait stands once risen, clear of the texts beside it: the car choice's
// portrait left of the mission's title; a result's face between the place (at most 160 pixels wide
// from x 60) and the nick at x 340; after a drawn race both faces between "Winner" and the nick.
constexpr int32_t CarChoicePictureX = 32, CarChoicePictureY = 200;
constexpr int32_t ResultPictureX = 228, ResultPictureY = 140;
constexpr uint32_t ResultPictureSize = 104;
constexpr int32_t DrawPictureX = 172;
constexpr uint32_t DrawPictureSize = 80, DrawPictureGap = 6;

// The keys screen: items 0..9 player 1's actions, 10..19 player 2's, then "Default keys" and Return.
constexpr int32_t ControlsDefaultsItem = 2 * KeyActionCount;
constexpr int32_t ControlsLastItem = ControlsDefaultsItem + 1;
constexpr int32_t OptionsReturnItem = 9; // the options screen's last item, below the mini map's

// The set-up of screen 1..17; nullptr for any other number.
const TMenuScreenSetup* MenuScreenSetup(uint8_t screen);

// value + step, wrapped into low..high (a step is -1 or +1).
int32_t WrapStep(int32_t value, int32_t step, int32_t low, int32_t high);

// Cars a mission offers: bit t for car type t; an empty set offers every car.
bool CarAllowed(uint8_t allowedCars, int32_t carType);
// The lowest car type the mission offers.
int32_t LowestAllowedCar(uint8_t allowedCars);
// The mission offers exactly one car, so there is nothing to choose.
bool SingleCarOffered(uint8_t allowedCars);
// Steps `carType` by `step` (wrapping 0..7) until an offered car is reached, trying at most the
// eight types; unchanged when none is offered.
int32_t StepAllowedCar(int32_t carType, int32_t step, uint8_t allowedCars);

// A master volume 0..255 moved by `step`, clamped to 0..255.
int32_t StepVolume(int32_t volume, int32_t step);
// A volume as the options show it: "0%" .. "100%".
std::string VolumePercent(int32_t volume);

// Fuel and damage in per cent, per frame while the arrow is held at a station.
constexpr float StationStep = 0.05f;
float Refuel(float fuel);   // up by one step, never past 100
float Repair(float damage); // down by one step, never below 0

// A place in a table as the result screen names it: "1st", "2nd", "3rd", "4th" ... in English,
// "1.", "2." ... in Czech; `place` counts from 1.
std::string PlaceName(int32_t place, int language);
// How many runs table `mission` (0..15) holds.
int32_t RunsInTable(const THighscores& table, int mission);

// The winner of a race for two: player 1 only with more points than player 2, else player 2.
int32_t RaceWinner(int32_t points1, int32_t points2);
