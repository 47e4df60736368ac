#include "ui/MenuImprovedEngine.h"

#include "cars/Car.h"
#include "player/Config.h"
#include "session/GameEngine.h"
#include "web/HighscoreSubmit.h"
#include "ui/MenuLayout.h"
#include "player/Replay.h"
#include "Sound.h"
#include "uByteReader.h"
#include "uPlatform.h"

TMenuImprovedEngine::TMenuImprovedEngine(TGameEngine& engine)
    : Engine(engine), Logo(0, LogoX, 320, 512, 128, 255), Panel(0, 0, 107, 640, 286, 248),
      Marker(0, -64, -32, 64, 32, 255), Picture(0, 60, 200, PictureSize, PictureSize, 255),
      SecondPicture(0, 60, 200, PictureSize, PictureSize, 255) {
    for (TSprite* sprite : {&Logo, &Panel, &Marker, &Picture, &SecondPicture})
        sprite->Alive = false;
}

TMenuImprovedEngine::~TMenuImprovedEngine() {
    for (TSprite* sprite : {&Panel, &Logo, &Marker, &Picture, &SecondPicture})
        Engine.RemoveSprite(sprite);
}

std::string TMenuImprovedEngine::Text(TMenuText row) const {
    return MenuText(row, Config().Language);
}

uint8_t TMenuImprovedEngine::PlayerMission() const {
    return Engine.Players[0]->Mission;
}

void TMenuImprovedEngine::ShowPicture(TSprite& sprite, int32_t face, int32_t x, int32_t y, uint32_t size) {
    sprite.Texture = Resources().GetTexture(std::string("face_") + FaceTable[face].Name);
    sprite.SetPosition(x, y);
    sprite.Width = sprite.Height = size;
    Engine.ShowSprite(&sprite);
}

void TMenuImprovedEngine::SetScreen(uint8_t screen) {
    // Leaving the submission gives up its requests at once; the worker winds down on its own.
    if (Submission && screen != 5)
        Submission->Stop();
    // The car engines fall silent under every menu; the cars turn them up again as they drive.
    Sound().SetChannelVolume(0, 0);
    Sound().SetChannelVolume(0, 1);
    for (TSprite* sprite : {&Panel, &Logo, &Marker, &Picture, &SecondPicture})
        Engine.RemoveSprite(sprite);
    Selected = 0;
    Capturing = false;
    Note = {};
    if (screen == Screen)
        return;
    Screen = screen;
    const TMenuScreenSetup* setup = MenuScreenSetup(screen);
    if (!setup)
        return;

    Slide = setup->Slide;
    Panel.Texture = Resources().GetTexture("menu_bg");
    Panel.SetPosition(0, setup->PanelY);
    Panel.Height = uint32_t(setup->PanelHeight);
    Logo.Texture = Resources().GetTexture(setup->Logo);
    Logo.SetPosition(LogoX, setup->LogoY);
    Logo.Width = setup->LogoWidth;
    Logo.Height = setup->LogoHeight;
    // Off screen until the first item is drawn; half size beside the small texts of the keys screen.
    Marker.SetPosition(-64, -32);
    Marker.Width = screen == 7 ? 32 : 64;
    Marker.Height = screen == 7 ? 16 : 32;
    Engine.ShowSprite(&Panel);
    Engine.ShowSprite(&Logo);
    Engine.ShowSprite(&Marker);

    const TPlayerData& p1 = *Engine.Players[0];
    const TPlayerData& p2 = *Engine.Players[1];
    switch (screen) {
    case 5: {
        // In the background: the screen shows each answer as it comes.
        Submission.reset();
        TRunSubmissionJob job;
        job.Server = HighscoreServerAddress();
        job.InsertUrls = InsertUrls(Engine.Highscores, HighscoreTrack, job.Server);
        for (int mission = 1; mission <= 10; ++mission) {
            std::vector<uint8_t> bytes;
            std::string file = ReplayFileName(mission);
            if (!file.empty() && FileExists(file) && ReadWholeFile(file, bytes))
                job.Replays.emplace_back(mission, std::string(bytes.begin(), bytes.end()));
        }
        Submitted = job.InsertUrls.empty();
        Submission = std::make_unique<TRunSubmission>(std::move(job));
        break;
    }
    case 12: {
        const TMissionRow& row = MissionTable[p1.Mission < MissionCount ? p1.Mission : 0];
        // The car already chosen stays when the mission allows it.
        CarChoice = uint8_t(CarAllowed(row.Cars, p1.CarType) ? p1.CarType : LowestAllowedCar(row.Cars));
        ShowPicture(Picture, MissionGiverFace + row.FaceOffset, CarChoicePictureX, CarChoicePictureY - Slide,
                    PictureSize);
        break;
    }
    case 13:
        if (p1.ExtraPoints == p2.ExtraPoints) {
            // A draw: both faces side by side, player 1's first.
            ShowPicture(Picture, p1.Face, DrawPictureX, ResultPictureY - Slide, DrawPictureSize);
            ShowPicture(SecondPicture, p2.Face, DrawPictureX + int32_t(DrawPictureSize + DrawPictureGap),
                        ResultPictureY - Slide, DrawPictureSize);
        } else {
            ShowPicture(Picture, p1.ExtraPoints > p2.ExtraPoints ? p1.Face : p2.Face, ResultPictureX,
                        ResultPictureY - Slide, ResultPictureSize);
        }
        break;
    case 14:
        ShowPicture(Picture, p1.Face, ResultPictureX, ResultPictureY - Slide, ResultPictureSize);
        Engine.PlaySample("menu_enter");
        Selected = 1;
        break;
    default:
        break;
    }
}

void TMenuImprovedEngine::PreviousItem() {
    const TMenuScreenSetup* setup = MenuScreenSetup(Screen);
    if (setup && Screen != 11 && Screen != 13)
        Selected = WrapStep(Selected, -1, 0, setup->LastItem);
    Engine.PlaySample("menu_hover");
}

void TMenuImprovedEngine::NextItem() {
    const TMenuScreenSetup* setup = MenuScreenSetup(Screen);
    if (setup && Screen != 11 && Screen != 13)
        Selected = WrapStep(Selected, 1, 0, setup->LastItem);
    Engine.PlaySample("menu_hover");
}

void TMenuImprovedEngine::DecreaseValue() {
    ChangeValue(-1);
}

void TMenuImprovedEngine::IncreaseValue() {
    ChangeValue(1);
}

void TMenuImprovedEngine::ChangeProfile(int player, int32_t step) {
    int32_t count = int32_t(Engine.Setup.Profiles->Records.size());
    int32_t current = Engine.Players[size_t(player - 1)]->ProfileIndex;
    if (current < 0 || current >= count)
        current = 0;
    Engine.LoadPlayer(player, WrapStep(current, step, 0, count - 1));
}

void TMenuImprovedEngine::ChangeCar(int player, int32_t step) {
    TPlayerData& data = *Engine.Players[size_t(player - 1)];
    data.SetCarType(WrapStep(data.CarType, step, 0, 7));
}

void TMenuImprovedEngine::ChangeValue(int32_t step) {
    switch (Screen) {
    case 2:
        if (Selected == 0)
            ChangeProfile(1, step);
        else if (Selected == 1)
            ChangeCar(1, step);
        else if (Selected == 2)
            SingleTrack = uint8_t(WrapStep(SingleTrack, step, 1, 10));
        break;
    case 3:
        if (Selected <= 3)
            Selected % 2 == 0 ? ChangeProfile(1 + Selected / 2, step) : ChangeCar(1 + Selected / 2, step);
        else if (Selected == 4)
            RaceTrack = uint8_t(WrapStep(RaceTrack, step, 11, 15));
        break;
    case 4:
        if (Selected == 0)
            HighscoreTrack = uint8_t(WrapStep(HighscoreTrack, step, 1, 10));
        break;
    case 6:
        // Left and Right repeat every frame here: a volume moves one step per frame.
        if (Selected == 0) {
            if (step < 0 && Engine.CameraMode == 1)
                Engine.SetCameraMode(0);
            else if (step > 0 && Engine.CameraMode == 0)
                Engine.SetCameraMode(1);
        } else if (Selected == 1) {
            Sound().SetMusicVolume(StepVolume(Sound().MusicVolume, step));
        } else if (Selected == 2) {
            Sound().SetSFXVolume(StepVolume(Sound().SFXVolume, step));
        } else if (Selected == 3) {
            Config().Language = step < 0 ? 0 : 1;
        } else if (Selected == 4) {
            Config().Ghosts = step > 0;
        } else if (Selected == 5) {
            Config().Rumble = step > 0;
        } else if (Selected == 7) {
            // Auto, 100 %, 75 %, 50 %, and no further either way.
            const int32_t count = int32_t(std::size(RenderScaleChoices));
            int32_t at = 0;
            while (at < count && RenderScaleChoices[at] != Config().RenderScale)
                ++at;
            Config().RenderScale = RenderScaleChoices[std::clamp(at + (step > 0 ? 1 : -1), 0, count - 1)];
        }
        break;
    case 7:
        // Left and right go between the players' columns.
        if (Selected < ControlsDefaultsItem)
            Selected = (Selected + KeyActionCount) % (2 * KeyActionCount);
        break;
    case 8:
        if (TCar* car = Engine.Car(1); car && Selected == 0 && step > 0)
            car->Fuel = Refuel(car->Fuel);
        break;
    case 9:
        if (TCar* car = Engine.Car(1); car && Selected == 0 && step < 0)
            car->Damage = Repair(car->Damage);
        break;
    case 12:
        if (Selected == 0) {
            uint8_t mission = PlayerMission();
            CarChoice = uint8_t(
                StepAllowedCar(CarChoice, step, MissionTable[mission < MissionCount ? mission : 0].Cars));
        }
        break;
    default:
        break;
    }
}

// Plays the choice's sound, opens `screen` and selects an item on it.
void TMenuImprovedEngine::OpenFrom(uint8_t screen, int32_t selected, const char* sample) {
    Engine.PlaySample(sample);
    Engine.ShowMenu(screen);
    Selected = selected;
}

void TMenuImprovedEngine::StartSingleRace() {
    // The chosen track is briefed first, as every mission is: its picture, what it asks and the
    // cars it allows; its Continue starts the race.
    Engine.Players[0]->Mission = SingleTrack;
    OpenFrom(12, 0, "menu_enter");
}

void TMenuImprovedEngine::StartRaceForTwo() {
    // Player 1's mission reached stays as it is: a race for two is no progress.
    Engine.PlaySample("menu_enter");
    Engine.TwoPlayer = true;
    Engine.SetGameState(gsStartGame);
    Engine.StartMission(RaceTrack);
    Engine.ShowMenu(0);
}

void TMenuImprovedEngine::RestartMission() {
    Engine.PlaySample("menu_leave");
    TPlayerData& p1 = *Engine.Players[0];
    p1.Score = p1.ScoreCounter;
    Engine.SetGameState(gsStartGame);
    // The game that failed starts again from its beginning.
    if (Engine.Mission >= 1 && Engine.Mission <= 15)
        Engine.StartMission(Engine.Mission);
    Engine.ShowMenu(0);
}

void TMenuImprovedEngine::StartChosenMission() {
    uint8_t mission = PlayerMission();
    Engine.TwoPlayer = false;
    Engine.Players[0]->SetCarType(CarChoice);
    // From the intro the city is loaded first; in a game the play starts afresh.
    Engine.SetGameState(gsStartGame);
    // Mission numbers past the table have no set-up to start.
    if (mission >= 1 && mission <= 15)
        Engine.StartMission(mission);
    Engine.ShowMenu(0);
}

void TMenuImprovedEngine::ChooseItem() {
    if (Screen == 7) {
        ChooseControl();
        return;
    }
    // Screen and item in one number: 23 is item 3 of screen 2, 140 item 0 of screen 14.
    switch (Screen * 10 + Selected) {
    case 10:
        OpenFrom(2, 3, "menu_enter");
        break;
    case 11:
        OpenFrom(3, 5, "menu_enter");
        break;
    case 12:
        OpenFrom(4, 0, "menu_enter");
        break;
    case 13:
        OpenFrom(6, 0, "menu_enter");
        break;
    case 14:
        Engine.PlaySample("menu_enter");
        Engine.SetGameState(gsQuit);
        break;
    case 23:
        StartSingleRace();
        break;
    case 24:
        OpenFrom(1, 0, "menu_leave");
        break;
    case 35:
        StartRaceForTwo();
        break;
    case 36:
        OpenFrom(1, 1, "menu_leave");
        break;
    case 41:
        OpenFrom(5, 0, "menu_enter");
        break;
    case 42:
        OpenFrom(1, 2, "menu_leave");
        break;
    case 50:
        OpenFrom(4, 1, "menu_leave");
        break;
    case 66:
        OpenFrom(7, 0, "menu_enter");
        break;
    case 68:
        OpenFrom(1, 3, "menu_leave");
        break;
    case 81:
    case 91:
        OpenFrom(0, 0, "menu_leave");
        break;
    case 110:
        RestartMission();
        break;
    case 121:
        StartChosenMission();
        break;
    case 130:
        OpenFrom(3, 5, "menu_enter");
        break;
    case 140: {
        uint8_t mission = PlayerMission();
        OpenFrom(4, 2, "menu_enter");
        if (mission >= 1 && mission <= 10)
            HighscoreTrack = mission;
        break;
    }
    case 141:
        OpenFrom(2, 3, "menu_enter");
        break;
    default:
        break;
    }
}

void TMenuImprovedEngine::Back() {
    switch (Screen) {
    case 1:
    case 8:
    case 9:
        Engine.ShowMenu(0);
        break;
    case 2:
    case 3:
    case 4:
    case 6: {
        // Back to the main menu with the item that led here selected.
        const int32_t item = Screen == 2 ? 0 : Screen == 3 ? 1 : Screen == 4 ? 2 : 3;
        Engine.ShowMenu(1);
        Selected = item;
        break;
    }
    case 5:
        Engine.ShowMenu(4);
        Selected = 0;
        break;
    case 7:
        Engine.ShowMenu(6);
        Selected = 6;
        break;
    default:
        // The result screens, the failed mission and the car choice are left by their items only.
        break;
    }
}

namespace {

const TTextPair PressKeyText = {"%s: press the new key (Escape keeps the old one)",
                                "%s: stiskni novou klávesu (Escape ponechá původní)"};
const TTextPair TakenText = {"The key %s is taken (%s)", "Klávesa %s už je obsazená (%s)"};
const TTextPair ReservedText = {"The key %s cannot be assigned", "Klávesu %s nelze přiřadit"};
const TTextPair DefaultsText = {"Default keys restored", "Výchozí klávesy obnoveny"};

// "Player 2, Accelerate" in a language.
std::string ActionOfPlayer(int player, TKeyAction action, int language) {
    return MenuText(player == 0 ? mtPlayer1 : mtPlayer2, language) + ", " + KeyActionLabel(action, language);
}

} // namespace

void TMenuImprovedEngine::ChooseControl() {
    Note = {};
    if (Selected == ControlsDefaultsItem) {
        Engine.PlaySample("menu_enter");
        Config().Keys = TKeyBindings::Defaults();
        Note = PairText(DefaultsText);
    } else if (Selected == ControlsLastItem) {
        OpenFrom(6, 6, "menu_leave");
    } else {
        Engine.PlaySample("menu_enter");
        int player = Selected / KeyActionCount;
        TKeyAction action = TKeyAction(Selected % KeyActionCount);
        for (int language = 0; language < LanguageCount; ++language)
            Note[size_t(language)] = PlaceNumber(PickText(PressKeyText, language), "%s",
                                                 ActionOfPlayer(player, action, language));
        Capturing = true;
    }
}

void TMenuImprovedEngine::CaptureKey(uint32_t key) {
    if (!Capturing)
        return;
    Capturing = false;
    int player = Selected / KeyActionCount;
    int holderPlayer = 0;
    TKeyAction holderAction = TKeyAction::Accelerate;
    TBindResult result =
        Config().Keys.Bind(player, TKeyAction(Selected % KeyActionCount), key, &holderPlayer, &holderAction);
    Note = {};
    if (result == TBindResult::Bound) {
        Engine.PlaySample("menu_enter");
        return;
    }
    Engine.PlaySample("menu_leave");
    for (int language = 0; language < LanguageCount; ++language) {
        std::string& note = Note[size_t(language)];
        note = PlaceNumber(PickText(result == TBindResult::Taken ? TakenText : ReservedText, language), "%s",
                           KeyLabel(key, language));
        if (result == TBindResult::Taken)
            note = PlaceNumber(note, "%s", ActionOfPlayer(holderPlayer, holderAction, language));
    }
}

void TMenuImprovedEngine::CancelCapture() {
    Capturing = false;
    Note = {};
    Engine.PlaySample("menu_leave");
}
