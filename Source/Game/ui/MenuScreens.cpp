// The menu's screens as drawn: the slide-in, the items with their marker, and the texts of each
// screen at their places on the 640 x 480 overlay (y grows upwards; a text's position is where the
// font starts it). Every text is upper-cased except the two descriptions of the car choice.
#include "cars/Car.h"
#include "player/Config.h"
#include "player/PlayerData.h"
#include "web/HighscoreSubmit.h"
#include "controls/KeyBindings.h"
#include "ui/MenuImprovedEngine.h"
#include "ui/MenuLayout.h"
#include "Sound.h"
#include "uGLFont.h"
#include "uText1250.h"
#include "uFormat.h"

#include <cmath>
#include <cstdio>

namespace {

// The ghost option of the options screen; Czech in Windows-1250.
const TTextPair GhostText = {"Ghost", "Duch"};
const TTextPair GhostOnText = {"On", "Zapnut"};
const TTextPair GhostOffText = {"Off", "Vypnut"};
const TTextPair RumbleText = {"Rumble", "Vibrace"};
const TTextPair RumbleOnText = {"On", "Zapnuta"};
const TTextPair RumbleOffText = {"Off", "Vypnuta"};
const TTextPair ControlsText = {"Controls", "Ovládání"};
const TTextPair RenderScaleText = {"Render scale", "Rozlišení scény"};
const TTextPair RenderScaleAutoText = {"Auto", "Automaticky"};
const TTextPair DefaultKeysText = {"Default keys", "Výchozí klávesy"};
const TTextPair MiniMapText = {"Mini map", "Minimapa"};
const TTextPair MiniMapOnText = {"On", "Zapnuta"};
const TTextPair MiniMapOffText = {"Off", "Vypnuta"};

constexpr uint8_t Crimson[3] = {231, 0, 75};
constexpr float ItemSize = 32;
constexpr float SmallSize = 16;

const char* const MarkerTextures[] = {"menu_enter",       "menu_confirm",      "menu_adjust",
                                      "menu_adjust_left", "menu_adjust_right", "menu_adjust_none"};

std::string Upper(const std::string& text) {
    return UpperCp1250(text);
}

void White(TGLFont& font) {
    font.SetColor(255, 255, 255);
}
void Red(TGLFont& font) {
    font.SetColor(Crimson[0], Crimson[1], Crimson[2]);
}

std::string TrackName(int track) {
    return PickText(MissionTable[track].Name, Config().Language);
}

// The longest names (a track's, a nick of twenty letters) would run past the screen's right edge or
// into the next column: such a text is drawn smaller, on the same line, to end at `right`.
constexpr float ScreenRight = 632;
float FittedSize(const TGLFont& font, const std::string& text, float x, float right, float size) {
    float width = font.TextWidth(text) * 16 * size;
    return width > right - x ? size * (right - x) / width : size;
}

} // namespace

void TMenuImprovedEngine::Tick() {
    if (Screen != msNone)
        SlideIn();
    if (Screen == msSubmission && Submission) {
        TRunSubmissionView view = Submission->View();
        if (view.TableDone)
            Submitted = view.TableSent;
    }
    // Until there is a record to race, Return is the one item on the record screen.
    if (Screen == msRecord && RecordFetch && RecordFetch->View().State != TRecordFetchState::Ready)
        Selected = 1;
}

void TMenuImprovedEngine::SlideIn() {
    const TMenuScreenSetup* setup = MenuScreenSetup(Screen);
    if (!setup || Slide <= 0)
        return;
    int32_t step = setup->SlideStep;
    for (TSprite* sprite : {&Panel, &Logo, &Picture, &SecondPicture})
        sprite->Y += step;
    Slide -= step;
}

void TMenuImprovedEngine::DrawItem(int32_t index, float x, float y, TKind kind, const std::string& text) {
    TGLFont& font = Host.Fonts().Item;
    if (index == Selected) {
        Marker.Texture = Resources().GetTexture(MarkerTextures[int(kind)]);
        Marker.SetPosition(int32_t(x) - 70, int32_t(y) - 2);
        Red(font);
    } else {
        White(font);
    }
    std::string upper = Upper(text);
    font.DrawText(upper, x, y, FittedSize(font, upper, x, ScreenRight, ItemSize));
}

void TMenuImprovedEngine::DrawValueItem(int32_t index, float x, float y, TKind kind, const std::string& value,
                                        const std::string& label) {
    TGLFont& font = Host.Fonts().Item;
    if (index == Selected) {
        Marker.Texture = Resources().GetTexture(MarkerTextures[int(kind)]);
        Marker.SetPosition(int32_t(x) + 190, int32_t(y) - 2);
        Red(font);
    } else {
        White(font);
    }
    std::string upper = Upper(value);
    font.DrawText(Upper(label), x, y, ItemSize);
    font.DrawText(upper, x + 260, y, FittedSize(font, upper, x + 260, ScreenRight, ItemSize));
}

void TMenuImprovedEngine::DrawMenu() {
    if (Screen == msNone)
        return;
    Host.Fonts().Item.Alpha = 255;
    Host.Fonts().Text.Alpha = 255;
    switch (Screen) {
    case msMain:
        DrawMainMenu();
        break;
    case msSingleRace:
        DrawSingleRace();
        break;
    case msRaceForTwo:
        DrawRaceForTwo();
        break;
    case msHighscores:
        DrawHighscores();
        break;
    case msSubmission:
        DrawSubmission();
        break;
    case msRecord:
        DrawRecord();
        break;
    case msOptions:
        DrawOptions();
        break;
    case msControls:
        DrawControls();
        break;
    case msGasStation:
    case msService:
        DrawStation();
        break;
    case msMissionFailed:
        DrawMissionFailed();
        break;
    case msCarChoice:
        DrawCarChoice();
        break;
    case msRaceResult:
        DrawRaceResult();
        break;
    case msSingleResult:
        DrawSingleResult();
        break;
    case msPause:
        DrawPause();
        break;
    case msConfirmQuit:
        DrawConfirmQuit();
        break;
    case msRaceRules:
        DrawRaceRules();
        break;
    default:
        break;
    }
    White(Host.Fonts().Item);
}

float TMenuImprovedEngine::DrawLines(TGLFont& font, const std::string& text, float x, float y, float size,
                                     float width, float step) {
    // A line breaks before the word that would take it past `width`; a word wider than that alone
    // is drawn smaller on a line of its own.
    std::string line;
    auto flush = [&] {
        if (line.empty())
            return;
        font.DrawText(line, x, y, FittedSize(font, line, x, x + width, size));
        y -= step;
        line.clear();
    };
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find(' ', from);
        if (end == std::string::npos)
            end = text.size();
        std::string word = text.substr(from, end - from);
        from = end + 1;
        if (word.empty())
            continue;
        std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && font.TextWidth(longer) * 16 * size > width)
            flush();
        line = line.empty() ? word : line + " " + word;
    }
    flush();
    return y;
}

void TMenuImprovedEngine::DrawMainMenu() {
    DrawItem(0, 350, 300, TKind::Enter, Text(mtSingleRace));
    DrawItem(1, 350, 270, TKind::Enter, Text(mtRaceForTwo));
    DrawItem(2, 350, 240, TKind::Enter, Text(mtHighscore));
    DrawItem(3, 350, 180, TKind::Enter, Text(mtOptions));
    DrawItem(4, 350, 150, TKind::Enter, Text(mtQuitGame));
}

void TMenuImprovedEngine::DrawSingleRace() {
    TGLFont& font = Host.Fonts().Item;
    const TPlayerData& p1 = Host.Player(1);
    White(font);
    font.DrawText(Upper(Text(mtPlayer)), 90, 300, ItemSize);
    font.DrawText(Upper(DrivingKeysText(Config().Keys, 0, Config().Language)), 90, 284, SmallSize);
    font.DrawTextWrapped(Upper(Text(mtArrowsHint1P)), 90, 106, SmallSize, 10);
    DrawItem(0, 350, 300, TKind::Adjust, p1.Nick);
    DrawItem(1, 350, 270, TKind::Adjust, CarTable[p1.CarType].Name);
    DrawValueItem(2, 90, 180, TKind::Adjust, TrackName(SingleTrack), Text(mtTrack1P));
    DrawItem(3, 350, 120, TKind::Confirm, Text(mtStart1P));
    DrawItem(4, 350, 90, TKind::Confirm, Text(mtReturn1P));
}

void TMenuImprovedEngine::DrawRaceForTwo() {
    TGLFont& font = Host.Fonts().Item;
    const TPlayerData& p1 = Host.Player(1);
    const TPlayerData& p2 = Host.Player(2);
    White(font);
    font.DrawText(Upper(Text(mtPlayer1)), 90, 300, ItemSize);
    font.DrawText(Upper(DrivingKeysText(Config().Keys, 0, Config().Language)), 90, 284, SmallSize);
    font.DrawText(Upper(Text(mtPlayer2)), 90, 240, ItemSize);
    font.DrawText(Upper(DrivingKeysText(Config().Keys, 1, Config().Language)), 90, 226, SmallSize);
    font.DrawTextWrapped(Upper(Text(mtArrowsHint2P)), 90, 106, SmallSize, 10);
    DrawItem(0, 350, 300, TKind::Adjust, p1.Nick);
    DrawItem(1, 350, 270, TKind::Adjust, CarTable[p1.CarType].Name);
    DrawItem(2, 350, 240, TKind::Adjust, p2.Nick);
    DrawItem(3, 350, 210, TKind::Adjust, CarTable[p2.CarType].Name);
    DrawValueItem(4, 90, 180, TKind::Adjust, TrackName(RaceTrack), Text(mtTrack2P));
    DrawItem(5, 350, 120, TKind::Confirm, Text(mtStart2P));
    DrawItem(6, 350, 90, TKind::Confirm, Text(mtReturn2P));
}

void TMenuImprovedEngine::DrawHighscores() {
    TGLFont& font = Host.Fonts().Item;
    const auto& ranks = Host.HighscoreTable().Tables[HighscoreTrack];
    bool any = false;
    // All ten rows above the track; an empty row keeps its line. The row of the run just finished
    // is drawn in crimson with a marker before it.
    int32_t ownRow = Host.LastRunPlace(HighscoreTrack);
    for (int l = 0; l < HighscoreRanks; ++l) {
        const THighscoreEntry& entry = ranks[size_t(l)];
        if (entry.Score < 1)
            continue;
        any = true;
        float y = float(310 - 18 * l);
        bool own = l == ownRow;
        Red(font);
        if (own)
            font.DrawText(">", 72, y, SmallSize);
        font.DrawText(std::to_string(l + 1) + ".", 90, y, SmallSize);
        own ? Red(font) : White(font);
        // Nick, car, then the score and the time flush right in their columns.
        std::string nick = Upper(entry.Nick);
        font.DrawText(nick, 120, y, FittedSize(font, nick, 120, 290, SmallSize));
        std::string car = Upper(CarTable[entry.CarType].Name);
        font.DrawText(car, 298, y, FittedSize(font, car, 298, 430, SmallSize));
        std::string score = std::to_string(entry.Score);
        font.DrawText(score, 510 - font.TextWidth(score) * 16 * SmallSize, y, SmallSize);
        std::string time = Format("%.2f S", double(entry.TimeMs) / 1000.0);
        font.DrawText(time, 620 - font.TextWidth(time) * 16 * SmallSize, y, SmallSize);
    }
    White(font);
    if (!any)
        font.DrawText(Upper(Text(mtNoRace)), 90, 310, SmallSize);
    DrawValueItem(0, 90, 112, TKind::Adjust, TrackName(HighscoreTrack), Text(mtTrackHighscore));
    DrawItem(1, 350, 86, TKind::Confirm, Text(mtSubmitToWeb));
    DrawItem(2, 350, 60, TKind::Confirm, Text(mtRaceTheRecord));
    DrawItem(3, 350, 34, TKind::Confirm, Text(mtReturnHighscore));
}

void TMenuImprovedEngine::DrawRecord() {
    TGLFont& font = Host.Fonts().Item;
    TRecordFetchView view = RecordFetch ? RecordFetch->View() : TRecordFetchView{};
    std::string mission = std::to_string(HighscoreTrack);
    auto line = [&](const std::string& text, float y) {
        std::string upper = Upper(text);
        font.DrawText(upper, 90, y, FittedSize(font, upper, 90, 600, SmallSize));
    };
    White(font);
    switch (view.State) {
    case TRecordFetchState::Fetching:
        line(PlaceNumber(Text(mtFetchingRecord), "%d", mission) + HighscoreServerAddress(), 300);
        break;
    case TRecordFetchState::Ready:
        line(PlaceNumber(Text(mtRecordOf), "%d", mission), 300);
        line(view.Nick + "  " + Format("%.2f", double(view.Time)) + Text(mtSeconds) + "  " +
                 std::to_string(view.Score) + Text(mtPoints1P),
             280);
        if (view.FromCache)
            line(Text(mtRecordKept), 260);
        break;
    case TRecordFetchState::NoRecord:
        line(Text(mtNoRecord), 300);
        break;
    case TRecordFetchState::NoConnection:
        Red(font);
        line(Text(mtRecordNoConnection), 300);
        White(font);
        line(Text(mtServerTried) + HighscoreServerAddress(), 280);
        break;
    case TRecordFetchState::Refused: {
        static const TMenuText problems[] = {mtRecordDamaged, mtRecordDamaged, mtRecordOtherMission,
                                             mtRecordOtherVersion, mtRecordOtherDataSet};
        Red(font);
        line(Text(problems[int(view.Problem)]), 300);
        break;
    }
    }
    if (view.State == TRecordFetchState::Ready)
        DrawItem(0, 350, 120, TKind::Confirm, Text(mtRaceIt));
    DrawItem(1, 350, 90, TKind::Confirm, Text(mtReturnHighscore));
}

void TMenuImprovedEngine::DrawSubmission() {
    TGLFont& font = Host.Fonts().Item;
    White(font);
    // Below the logo, as the record screen: the table's answer, then a line a mission, Return last.
    TRunSubmissionView view = Submission ? Submission->View() : TRunSubmissionView{true, Submitted, {}};
    std::string server = HighscoreServerAddress();
    if (!view.TableDone) {
        font.DrawText(Upper(Text(mtSendingTable)), 90, 310, SmallSize);
    } else if (view.TableSent) {
        font.DrawText(Upper(Text(mtSubmitted)), 90, 310, SmallSize);
        font.DrawText(Upper(Text(mtSeeHighscoreAt) + server), 90, 294, SmallSize);
    } else {
        font.DrawText(Upper(Text(mtSubmitError) + " " + Text(mtCheckConnection)), 90, 310,
                      FittedSize(font, Upper(Text(mtSubmitError) + " " + Text(mtCheckConnection)), 90, 600, SmallSize));
        font.DrawText(Upper(Text(mtServerTried) + server), 90, 294, SmallSize);
    }
    if (view.Rows.empty())
        font.DrawText(Upper(Text(mtNoRunsToSend)), 90, 270, SmallSize);
    float y = 272;
    for (const TRunSendRow& row : view.Rows) {
        static const TMenuText states[] = {mtRunSending, mtRunWaiting, mtRunAccepted, mtRunRefused, mtRunNoConnection};
        std::string line = Text(mtMission) + " " + std::to_string(row.Mission) + ": " + Text(states[int(row.State)]);
        if (row.State == TRunSendState::Accepted)
            line += Format(" %.2f", double(row.TimeMs) / 1000.0);
        if (row.State == TRunSendState::Refused)
            line += " " + row.Reason;
        row.State == TRunSendState::Accepted ? White(font) : row.State == TRunSendState::Refused ? Red(font) : White(font);
        std::string upper = Upper(line);
        font.DrawText(upper, 90, y, FittedSize(font, upper, 90, 600, 13));
        y -= 13;
    }
    White(font);
    DrawItem(0, 350, 90, TKind::Confirm, Text(mtReturnHighscore));
}

void TMenuImprovedEngine::DrawOptions() {
    static const TMenuText cameraNames[] = {mtCameraTop, mtCameraChase, mtMultiplayer};
    TGLFont& font = Host.Fonts().Item;
    White(font);
    // The values top down, then Return on its own line with the hint beside it.
    font.DrawTextWrapped(Upper(Text(mtArrowsHintOptions)), 90, 50, SmallSize, 10);
    uint8_t camera = Host.ActiveCameraMode() < 3 ? Host.ActiveCameraMode() : 0;
    DrawValueItem(0, 90, 300, TKind::Adjust, Text(cameraNames[camera]), Text(mtCameraView));
    DrawValueItem(1, 90, 273, TKind::Adjust, VolumePercent(Sound().MusicVolume), Text(mtMusic));
    DrawValueItem(2, 90, 246, TKind::Adjust, VolumePercent(Sound().SFXVolume), Text(mtSound));
    // The chosen language, named in its own words.
    DrawValueItem(3, 90, 219, TKind::Adjust, Text(mtLanguageName), Text(mtLanguage));
    int language = Config().Language;
    DrawValueItem(4, 90, 192, TKind::Adjust, PickText(Config().Ghosts ? GhostOnText : GhostOffText, language),
                  PickText(GhostText, language));
    DrawValueItem(5, 90, 165, TKind::Adjust, PickText(Config().Rumble ? RumbleOnText : RumbleOffText, language),
                  PickText(RumbleText, language));
    DrawValueItem(6, 90, 138, TKind::Enter, "", PickText(ControlsText, language));
    int32_t scale = Config().RenderScale;
    DrawValueItem(7, 90, 111, TKind::Adjust,
                  scale == 0 ? PickText(RenderScaleAutoText, language) : std::to_string(scale) + " %",
                  PickText(RenderScaleText, language));
    DrawValueItem(8, 90, 84, TKind::Adjust,
                  PickText(Config().MiniMap ? MiniMapOnText : MiniMapOffText, language),
                  PickText(MiniMapText, language));
    DrawValueItem(OptionsReturnItem, 90, 55, TKind::Confirm, Text(mtReturnOptions), "");
}

void TMenuImprovedEngine::DrawKeyCell(int32_t index, float x, float y, const std::string& text) {
    TGLFont& font = Host.Fonts().Item;
    if (index == Selected) {
        Marker.Texture = Resources().GetTexture(MarkerTextures[int(TKind::Adjust)]);
        Marker.SetPosition(int32_t(x) - 36, int32_t(y) - 1);
        Red(font);
    } else {
        White(font);
    }
    // A cell waiting for its key shows a question mark.
    std::string upper = index == Selected && Capturing ? "?" : Upper(text);
    font.DrawText(upper, x, y, FittedSize(font, upper, x, x + 150, 18));
}

void TMenuImprovedEngine::DrawControls() {
    // Ten actions a player: the rows stand close enough to leave the note and the two items below.
    constexpr float LabelX = 60, ColumnX[2] = {300, 470}, TopRow = 272, RowStep = 19, RowSize = 18;
    TGLFont& font = Host.Fonts().Item;
    int language = Config().Language;
    const TKeyBindings& keys = Config().Keys;
    White(font);
    font.DrawText(Upper(Text(mtPlayer1)), ColumnX[0], 296, 24);
    font.DrawText(Upper(Text(mtPlayer2)), ColumnX[1], 296, 24);
    for (int a = 0; a < KeyActionCount; ++a) {
        float y = TopRow - RowStep * float(a);
        White(font);
        font.DrawText(Upper(KeyActionLabel(TKeyAction(a), language)), LabelX, y, RowSize);
        for (int p = 0; p < KeyPlayers; ++p)
            DrawKeyCell(p * KeyActionCount + a, ColumnX[p], y, KeyLabel(keys.Key(p, TKeyAction(a)), language));
    }
    const std::string& note = Note[language == 0 ? 0 : 1];
    if (!note.empty()) {
        Capturing ? White(font) : Red(font);
        std::string upper = Upper(note);
        font.DrawText(upper, LabelX, 78, FittedSize(font, upper, LabelX, ScreenRight, SmallSize));
    }
    DrawItem(ControlsDefaultsItem, 90, 48, TKind::Confirm, PickText(DefaultKeysText, language));
    DrawItem(ControlsLastItem, 90, 22, TKind::Confirm, Text(mtReturnOptions));
}

void TMenuImprovedEngine::DrawStation() {
    TGLFont& font = Host.Fonts().Item;
    TCar* car = Host.FirstCar();
    bool gas = Screen == msGasStation;
    float value = car ? (gas ? car->Fuel : car->Damage) : 0;
    float slide = float(Slide);
    DrawValueItem(0, 124, 90 - slide, gas ? TKind::AdjustRight : TKind::AdjustLeft,
                  Format("%.0f%%", double(value)), Text(gas ? mtGas : mtDamage));
    DrawItem(1, 434, 30 - slide, TKind::Confirm, Text(gas ? mtReturnGas : mtReturnService));
    // Fuel goes in with the right arrow, repairs come off with the left one.
    White(font);
    font.DrawTextWrapped(Upper(Text(gas ? mtRightArrowHint : mtLeftArrowHint)), 124, 45 - slide, SmallSize,
                         5);
}

void TMenuImprovedEngine::DrawMissionFailed() {
    TGLFont& font = Host.Fonts().Item;
    float slide = float(Slide);
    Red(font);
    font.DrawText(Upper(Text(mtMissionFailed)), 124, 90 - slide, ItemSize);
    White(font);
    const auto& reason = Host.Player(1).StatusTexts;
    font.DrawText(Upper(reason[Config().Language == 0 ? 0 : 1]), 124, 70 - slide, 24);
    DrawItem(0, 434, 30 - slide, TKind::Confirm, Text(mtRestartMission));
}

void TMenuImprovedEngine::DrawCarChoice() {
    TGLFont& font = Host.Fonts().Item;
    TGLFont& text = Host.Fonts().Text;
    uint8_t mission = Host.Player(1).Mission;
    const TMissionRow& row = MissionTable[mission < MissionCount ? mission : 0];
    int language = Config().Language;
    float slide = float(Slide);
    White(font);
    std::string number = PlaceNumber(Text(mtMissionNumber), "%d", std::to_string(int(mission)));
    // A little higher than the title's line spacing would put it, so the accents of a Czech title
    // stay clear of it.
    font.DrawText(Upper(number), 170, 314 - slide, 24);
    font.DrawText(Upper(PickText(row.Name, language)), 170, 280 - slide, ItemSize);
    // The goal in one or two lines under the title, the mission giver's sentences below it, all
    // clear of "Select car:" at 120.
    constexpr float BriefingWidth = ScreenRight - 170;
    float y = 258 - slide;
    std::string goal = PickText(row.Goal, language);
    if (!goal.empty()) {
        goal = PlaceNumber(goal, "%d", std::to_string(MissionRoute(mission).size()));
        goal = PlaceNumber(
            goal, "%s", Format("%.0f", double(MissionSetups[mission < MissionCount ? mission : 0].ParTime)));
        Red(font);
        y = DrawLines(font, Upper(goal), 170, y, SmallSize, BriefingWidth, SmallSize) - 4;
    }
    White(text);
    DrawLines(text, PickText(row.Briefing, language), 170, y, 19, BriefingWidth, 17);
    text.DrawTextWrapped(PickText(CarTable[CarChoice].Description, language), 170, 60 - slide, 20, 7);
    Red(font);
    font.DrawText(Upper(Text(mtSelectCar)), 170, 120 - slide, 24);
    DrawItem(0, 170, 90 - slide, SingleCarOffered(row.Cars) ? TKind::Fixed : TKind::Adjust,
             CarTable[CarChoice].Name);
    DrawItem(1, 450, 20 - slide, TKind::Confirm, Text(mtContinue));
}

void TMenuImprovedEngine::DrawRaceResult() {
    TGLFont& font = Host.Fonts().Item;
    const TPlayerData& p1 = Host.Player(1);
    const TPlayerData& p2 = Host.Player(2);
    const TPlayerData& winner = RaceWinner(p1.ExtraPoints, p2.ExtraPoints) == 1 ? p1 : p2;
    float slide = float(Slide);
    White(font);
    font.DrawText(Upper(Text(mtWinner)), 60, 230 - slide, ItemSize);
    Red(font);
    font.DrawText(Upper(winner.Nick), 340, 230 - slide, ItemSize);
    font.DrawText(Upper(std::to_string(winner.ExtraPoints) + Text(mtPoints2P)), 340, 200 - slide, ItemSize);
    DrawItem(0, 340, 90 - slide, TKind::Confirm, Text(mtRestart2P));
}

void TMenuImprovedEngine::DrawSingleResult() {
    TGLFont& font = Host.Fonts().Item;
    const TPlayerData& p1 = Host.Player(1);
    int language = Config().Language;
    float slide = float(Slide);
    // The screen opens only for a run that reached its finish: that it is complete, left of the face.
    White(font);
    DrawLines(font, Upper(Text(mtMissionComplete)), 60, 244 - slide, 24, 164, 24);
    font.DrawText(Upper(p1.Nick), 340, 230 - slide,
                  FittedSize(font, Upper(p1.Nick), 340, ScreenRight, ItemSize));
    Red(font);
    font.DrawText(Upper(Format("%.2f", double(p1.Time)) + Text(mtSeconds)), 340, 200 - slide, ItemSize);
    // Then, small: the par time, the time against it, the score and the place in the local table.
    float y = 176 - slide;
    auto line = [&](const std::string& text) {
        std::string upper = Upper(text);
        font.DrawText(upper, 340, y, FittedSize(font, upper, 340, ScreenRight, SmallSize));
        y -= SmallSize;
    };
    if (p1.ParTime > 0) {
        White(font);
        line(PlaceNumber(PickText(ParTimeText, language), "%.2f", Format("%.2f", double(p1.ParTime))));
        // Hundredths as the times are shown: 30.004 s is on par.
        double over = std::round((double(p1.Time) - double(p1.ParTime)) * 100) / 100;
        if (over > 0) {
            Red(font);
            line(PlaceNumber(Text(mtOverPar), "%s", Format("%.2f", over)));
        } else {
            line(over < 0 ? PlaceNumber(Text(mtUnderPar), "%s", Format("%.2f", -over)) : Text(mtOnPar));
        }
    }
    White(font);
    line(PlaceNumber(Text(mtScoreOfRun), "%d", std::to_string(p1.Score)));
    // The place this run took in the table, not that of an earlier run equal to it.
    int32_t place = Host.LastRunPlace(p1.Mission);
    if (place >= 0 && place < HighscoreRanks)
        line(PlaceNumber(PlaceNumber(Text(mtPlaceOf), "%s", PlaceName(place + 1, language)), "%d",
                         std::to_string(RunsInTable(Host.HighscoreTable(), p1.Mission))));
    else if (IsMission(p1.Mission))
        line(Text(mtNotInTable));
    Host.DrawRoutes(slide);
    DrawItem(0, 340, 90 - slide, TKind::Confirm, Text(mtHighscoreTitle));
    DrawItem(1, 340, 60 - slide, TKind::Confirm, Text(mtRestart1P));
}

void TMenuImprovedEngine::DrawPause() {
    TGLFont& font = Host.Fonts().Item;
    // Right of the marker's column, so that the longest item fits before the screen's edge.
    DrawItem(0, 250, 300, TKind::Enter, Text(mtResume));
    DrawItem(1, 250, 270, TKind::Confirm, Text(mtRestartRun));
    DrawItem(2, 250, 240, TKind::Enter, Text(mtPauseOptions));
    DrawItem(3, 250, 180, TKind::Confirm, Text(mtQuitToMenu));
    DrawItem(4, 250, 150, TKind::Confirm, Text(mtPauseQuitGame));
    Red(font);
    font.DrawText(Upper(Text(mtPaused)), 90, 116, ItemSize);
}

void TMenuImprovedEngine::DrawConfirmQuit() {
    TGLFont& font = Host.Fonts().Item;
    White(font);
    float y = DrawLines(font, Upper(Text(AskedToEndGame ? mtConfirmQuitGame : mtConfirmQuitToMenu)), 90, 290,
                        24, ScreenRight - 90, 26);
    // Ending the program over a run gives the run up too.
    if (Host.GameUnderWay())
        DrawLines(font, Upper(Text(mtRunNotScored)), 90, y - 6, SmallSize, ScreenRight - 90, SmallSize);
    DrawItem(0, 350, 180, TKind::Confirm, Text(mtYes));
    DrawItem(1, 350, 150, TKind::Confirm, Text(mtNo));
}

void TMenuImprovedEngine::DrawRaceRules() {
    TGLFont& font = Host.Fonts().Item;
    TGLFont& text = Host.Fonts().Text;
    int language = Config().Language;
    const int route = RaceTrack - LastMission; // the mission whose streets the race takes
    constexpr float Width = ScreenRight - 90;
    White(font);
    std::string title = Upper(PlaceNumber(Text(mtRaceRulesTitle), "%s", TrackName(RaceTrack)));
    font.DrawText(title, 90, 300, FittedSize(font, title, 90, ScreenRight, 24));
    std::string routeText = PlaceNumber(Text(mtRaceRoute), "%d", std::to_string(route));
    routeText = PlaceNumber(routeText, "%s", std::to_string(MissionRoute(RaceTrack).size()));
    routeText = PlaceNumber(routeText, "%s", std::to_string(MissionSetups[RaceTrack].FinishPoints));
    White(text);
    float y = DrawLines(text, routeText, 90, 272, 18, Width, 16);
    y = DrawLines(text, Text(mtRaceWhoWins), 90, y - 4, 18, Width, 16);
    y = DrawLines(text, Text(mtRaceExtraPoints), 90, y - 4, 18, Width, 16);
    // Both players' keys, named by their nicks, as the keys screen has them now.
    Red(font);
    y -= 6;
    for (int player = 0; player < 2; ++player) {
        std::string keys = PlaceNumber(Text(mtRaceKeysOf), "%s", Host.Player(player + 1).Nick) +
                           DrivingKeysText(Config().Keys, player, language);
        y = DrawLines(font, Upper(keys), 90, y, SmallSize, Width, SmallSize);
    }
    DrawItem(0, 350, 90, TKind::Confirm, Text(mtStartRace));
    DrawItem(1, 350, 60, TKind::Confirm, Text(mtReturnRaceRules));
}
