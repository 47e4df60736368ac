#include "ui/MenuImprovedEngine.h"

#include "cars/Car.h"
#include "player/Config.h"
#include "player/PlayerData.h"
#include "web/HighscoreSubmit.h"
#include "ui/MenuLayout.h"
#include "player/Replay.h"
#include "Sound.h"
#include "uByteReader.h"
#include "uPlatform.h"

TMenuImprovedEngine::TMenuImprovedEngine(TMenuHost& host)
    : Host(host), Logo(0, LogoX, 320, 512, 128, 255), Panel(0, 0, 107, 640, 286, 248),
      Marker(0, -64, -32, 64, 32, 255), Picture(0, 60, 200, PictureSize, PictureSize, 255),
      SecondPicture(0, 60, 200, PictureSize, PictureSize, 255) {
    for (TSprite* sprite : {&Logo, &Panel, &Marker, &Picture, &SecondPicture})
        sprite->Alive = false;
}

TMenuImprovedEngine::~TMenuImprovedEngine() {
    for (TSprite* sprite : {&Panel, &Logo, &Marker, &Picture, &SecondPicture})
        Host.RemoveSprite(sprite);
}

std::string TMenuImprovedEngine::Text(TMenuText row) const {
    return MenuText(row, Config().Language);
}

uint8_t TMenuImprovedEngine::PlayerMission() const {
    return Host.Player(1).Mission;
}

void TMenuImprovedEngine::ShowPicture(TSprite& sprite, int32_t face, int32_t x, int32_t y, uint32_t size) {
    sprite.Texture = Resources().GetTexture(std::string("face_") + FaceTable[face].Name);
    sprite.SetPosition(x, y);
    sprite.Width = sprite.Height = size;
    Host.ShowSprite(&sprite);
}

void TMenuImprovedEngine::SetScreen(uint8_t screen) {
    // Leaving the submission gives up its requests at once; the worker winds down on its own.
    if (Submission && screen != msSubmission)
        Submission->Stop();
    if (RecordFetch && screen != msRecord)
        RecordFetch->Stop();
    // The car engines fall silent under every menu; the cars turn them up again as they drive.
    Sound().SetChannelVolume(0, 0);
    Sound().SetChannelVolume(0, 1);
    for (TSprite* sprite : {&Panel, &Logo, &Marker, &Picture, &SecondPicture})
        Host.RemoveSprite(sprite);
    Selected = 0;
    Capturing = false;
    Note = {};
    if (screen == Screen)
        return;
    // Where Escape and Return of the briefing, the options and the question lead back to. The keys
    // screen hands the options back, so it leaves theirs as it was.
    if (screen == msCarChoice)
        BriefedFrom = Screen;
    else if (screen == msOptions && Screen != msControls)
        OptionsFrom = Screen == msPause ? msPause : msMain;
    else if (screen == msConfirmQuit)
        AskedFrom = Screen;
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
    Marker.Width = screen == msControls ? 32 : 64;
    Marker.Height = screen == msControls ? 16 : 32;
    Host.ShowSprite(&Panel);
    Host.ShowSprite(&Logo);
    Host.ShowSprite(&Marker);

    const TPlayerData& p1 = Host.Player(1);
    const TPlayerData& p2 = Host.Player(2);
    switch (screen) {
    case msSubmission: {
        // In the background: the screen shows each answer as it comes.
        Submission.reset();
        TRunSubmissionJob job;
        job.Server = HighscoreServerAddress();
        job.InsertUrls = InsertUrls(Host.HighscoreTable(), HighscoreTrack, job.Server);
        for (int mission = 1; mission <= LastMission; ++mission) {
            std::vector<uint8_t> bytes;
            std::string file = ReplayFileName(mission);
            if (!file.empty() && FileExists(file) && ReadWholeFile(file, bytes))
                job.Replays.emplace_back(mission, std::string(bytes.begin(), bytes.end()));
        }
        Submitted = job.InsertUrls.empty();
        Submission = std::make_unique<TRunSubmission>(std::move(job));
        break;
    }
    case msRecord:
        RecordFetch.reset();
        RecordFetch = std::make_unique<TRecordFetch>(
            TRecordFetchJob{HighscoreServerAddress(), HighscoreTrack, RecordFileName(HighscoreTrack),
                             Host.DataSetOfRuns()});
        break;
    case msCarChoice: {
        const TMissionRow& row = MissionTable[p1.Mission < MissionCount ? p1.Mission : 0];
        // The car already chosen stays when the mission allows it.
        CarChoice = uint8_t(CarAllowed(row.Cars, p1.CarType) ? p1.CarType : LowestAllowedCar(row.Cars));
        ShowPicture(Picture, MissionGiverFace + row.FaceOffset, CarChoicePictureX, CarChoicePictureY - Slide,
                    PictureSize);
        break;
    }
    case msRaceResult:
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
    case msSingleResult:
        ShowPicture(Picture, p1.Face, ResultPictureX, ResultPictureY - Slide, ResultPictureSize);
        Host.PlaySample("menu_enter");
        Selected = 1;
        break;
    default:
        break;
    }
}

void TMenuImprovedEngine::PreviousItem() {
    const TMenuScreenSetup* setup = MenuScreenSetup(Screen);
    if (setup && Screen != msMissionFailed && Screen != msRaceResult)
        Selected = WrapStep(Selected, -1, 0, setup->LastItem);
    Host.PlaySample("menu_hover");
}

void TMenuImprovedEngine::NextItem() {
    const TMenuScreenSetup* setup = MenuScreenSetup(Screen);
    if (setup && Screen != msMissionFailed && Screen != msRaceResult)
        Selected = WrapStep(Selected, 1, 0, setup->LastItem);
    Host.PlaySample("menu_hover");
}

void TMenuImprovedEngine::DecreaseValue() {
    ChangeValue(-1);
}

void TMenuImprovedEngine::IncreaseValue() {
    ChangeValue(1);
}

void TMenuImprovedEngine::ChangeProfile(int player, int32_t step) {
    int32_t count = Host.ProfileCount();
    int32_t current = Host.Player(player).ProfileIndex;
    if (current < 0 || current >= count)
        current = 0;
    Host.LoadPlayer(player, WrapStep(current, step, 0, count - 1));
}

void TMenuImprovedEngine::ChangeCar(int player, int32_t step) {
    TPlayerData& data = Host.Player(player);
    data.SetCarType(WrapStep(data.CarType, step, 0, 7));
}

void TMenuImprovedEngine::ChangeValue(int32_t step) {
    switch (Screen) {
    case msSingleRace:
        if (Selected == 0)
            ChangeProfile(1, step);
        else if (Selected == 1)
            ChangeCar(1, step);
        else if (Selected == 2)
            SingleTrack = uint8_t(WrapStep(SingleTrack, step, 1, 10));
        break;
    case msRaceForTwo:
        if (Selected <= 3)
            Selected % 2 == 0 ? ChangeProfile(1 + Selected / 2, step) : ChangeCar(1 + Selected / 2, step);
        else if (Selected == 4)
            RaceTrack = uint8_t(WrapStep(RaceTrack, step, 11, 15));
        break;
    case msHighscores:
        if (Selected == 0)
            HighscoreTrack = uint8_t(WrapStep(HighscoreTrack, step, 1, 10));
        break;
    case msOptions:
        // Left and Right repeat every frame here: a volume moves one step per frame.
        if (Selected == 0) {
            if (step < 0 && Host.ActiveCameraMode() == 1)
                Host.SetCameraMode(0);
            else if (step > 0 && Host.ActiveCameraMode() == 0)
                Host.SetCameraMode(1);
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
        } else if (Selected == 8) {
            Config().MiniMap = step > 0;
        } else if (Selected == 7) {
            // Auto, 100 %, 75 %, 50 %, and no further either way.
            const int32_t count = int32_t(std::size(RenderScaleChoices));
            int32_t at = 0;
            while (at < count && RenderScaleChoices[at] != Config().RenderScale)
                ++at;
            Config().RenderScale = RenderScaleChoices[std::clamp(at + (step > 0 ? 1 : -1), 0, count - 1)];
        }
        break;
    case msControls:
        // Left and right go between the players' columns.
        if (Selected < ControlsDefaultsItem)
            Selected = (Selected + KeyActionCount) % (2 * KeyActionCount);
        break;
    case msGasStation:
        if (TCar* car = Host.FirstCar(); car && Selected == 0 && step > 0)
            car->Fuel = Refuel(car->Fuel);
        break;
    case msService:
        if (TCar* car = Host.FirstCar(); car && Selected == 0 && step < 0)
            car->Damage = Repair(car->Damage);
        break;
    case msCarChoice:
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
    Host.PlaySample(sample);
    Host.ShowMenu(screen);
    Selected = selected;
}

void TMenuImprovedEngine::StartSingleRace() {
    // The chosen track is briefed first, as every mission is: its picture, what it asks and the
    // cars it allows; its Continue starts the race.
    Host.Player(1).Mission = SingleTrack;
    OpenFrom(msCarChoice, 0, "menu_enter");
}

void TMenuImprovedEngine::RaceTheRecord() {
    std::unique_ptr<TReplay> record = RecordFetch ? RecordFetch->TakeRecord() : nullptr;
    if (!record) {
        // Nothing fetched (yet): the item does nothing but say so.
        Host.PlaySample("menu_leave");
        return;
    }
    // Briefed and started as the single race of that track is; the record is the ghost of its game.
    Host.RaceRecordNext(std::move(record));
    Host.Player(1).Mission = HighscoreTrack;
    OpenFrom(msCarChoice, 0, "menu_enter");
}

void TMenuImprovedEngine::StartRaceForTwo() {
    // Player 1's mission reached stays as it is: a race for two is no progress.
    Host.PlaySample("menu_enter");
    Host.StartGame(RaceTrack, true);
}

void TMenuImprovedEngine::LeaveBriefing() {
    // Back to the choice of the mission: the single race's Start, the record's Race item, or the game
    // the mission keys opened the briefing over.
    if (BriefedFrom == msSingleRace)
        OpenFrom(msSingleRace, 3, "menu_leave");
    else if (BriefedFrom == msRecord)
        OpenFrom(msRecord, 0, "menu_leave");
    else
        OpenFrom(msNone, 0, "menu_leave");
}

void TMenuImprovedEngine::LeaveOptions() {
    if (OptionsFrom == msPause)
        OpenFrom(msPause, 2, "menu_leave");
    else
        OpenFrom(msMain, 3, "menu_leave");
}

void TMenuImprovedEngine::AskBeforeQuitting(bool endGame) {
    AskedToEndGame = endGame;
    // "No" first: a stray Enter keeps the run.
    OpenFrom(msConfirmQuit, 1, "menu_enter");
}

void TMenuImprovedEngine::LeaveQuestion() {
    if (AskedFrom == msPause)
        OpenFrom(msPause, AskedToEndGame ? 4 : 3, "menu_leave");
    else
        OpenFrom(msMain, 4, "menu_leave");
}

void TMenuImprovedEngine::Answer(bool yes) {
    if (!yes) {
        LeaveQuestion();
    } else if (AskedToEndGame) {
        Host.PlaySample("menu_enter");
        Host.Quit();
    } else {
        Host.GiveUpRun();
        OpenFrom(msMain, 0, "menu_leave");
    }
}

void TMenuImprovedEngine::RestartMission() {
    Host.PlaySample("menu_leave");
    TPlayerData& p1 = Host.Player(1);
    p1.Score = p1.ScoreCounter;
    // The game that failed starts again from its beginning.
    Host.RestartGame();
}

void TMenuImprovedEngine::StartChosenMission() {
    Host.Player(1).SetCarType(CarChoice);
    // From the intro the city is loaded first; in a game the play starts afresh. Mission numbers
    // past the table have no set-up to start.
    Host.StartGame(PlayerMission(), false);
}

void TMenuImprovedEngine::ChooseItem() {
    if (Screen == msControls) {
        ChooseControl();
        return;
    }
    // What the selected item of the open screen does.
    switch (MenuItem(TMenuScreen(Screen), Selected)) {
    case MenuItem(msMain, 0):
        OpenFrom(msSingleRace, 3, "menu_enter");
        break;
    case MenuItem(msMain, 1):
        OpenFrom(msRaceForTwo, 5, "menu_enter");
        break;
    case MenuItem(msMain, 2):
        OpenFrom(msHighscores, 0, "menu_enter");
        break;
    case MenuItem(msMain, 3):
        OpenFrom(msOptions, 0, "menu_enter");
        break;
    case MenuItem(msMain, 4):
        if (Host.GameUnderWay()) {
            AskBeforeQuitting(true);
        } else {
            Host.PlaySample("menu_enter");
            Host.Quit();
        }
        break;
    case MenuItem(msSingleRace, 3):
        StartSingleRace();
        break;
    case MenuItem(msSingleRace, 4):
        OpenFrom(msMain, 0, "menu_leave");
        break;
    case MenuItem(msRaceForTwo, 5):
        // The rules and both players' keys first; their Start starts the race.
        OpenFrom(msRaceRules, 0, "menu_enter");
        break;
    case MenuItem(msRaceRules, 0):
        StartRaceForTwo();
        break;
    case MenuItem(msRaceRules, 1):
        OpenFrom(msRaceForTwo, 5, "menu_leave");
        break;
    case MenuItem(msRaceForTwo, 6):
        OpenFrom(msMain, 1, "menu_leave");
        break;
    case MenuItem(msHighscores, 1):
        OpenFrom(msSubmission, 0, "menu_enter");
        break;
    case MenuItem(msHighscores, 2):
        OpenFrom(msRecord, 0, "menu_enter");
        break;
    case MenuItem(msHighscores, 3):
        OpenFrom(msMain, 2, "menu_leave");
        break;
    case MenuItem(msSubmission, 0):
        OpenFrom(msHighscores, 1, "menu_leave");
        break;
    case MenuItem(msRecord, 0):
        RaceTheRecord();
        break;
    case MenuItem(msRecord, 1):
        OpenFrom(msHighscores, 2, "menu_leave");
        break;
    case MenuItem(msOptions, 6):
        OpenFrom(msControls, 0, "menu_enter");
        break;
    case MenuItem(msOptions, OptionsReturnItem):
        LeaveOptions();
        break;
    case MenuItem(msGasStation, 1):
    case MenuItem(msService, 1):
        OpenFrom(msNone, 0, "menu_leave");
        break;
    case MenuItem(msMissionFailed, 0):
        RestartMission();
        break;
    case MenuItem(msCarChoice, 0): // Enter on the car takes it
    case MenuItem(msCarChoice, 1):
        StartChosenMission();
        break;
    case MenuItem(msPause, 0):
        OpenFrom(msNone, 0, "menu_leave");
        break;
    case MenuItem(msPause, 1):
        Host.PlaySample("menu_leave");
        Host.RestartGame();
        break;
    case MenuItem(msPause, 2):
        OpenFrom(msOptions, 0, "menu_enter");
        break;
    case MenuItem(msPause, 3):
        AskBeforeQuitting(false);
        break;
    case MenuItem(msPause, 4):
        AskBeforeQuitting(true);
        break;
    case MenuItem(msConfirmQuit, 0):
        Answer(true);
        break;
    case MenuItem(msConfirmQuit, 1):
        Answer(false);
        break;
    case MenuItem(msRaceResult, 0):
        OpenFrom(msRaceForTwo, 5, "menu_enter");
        break;
    case MenuItem(msSingleResult, 0): {
        uint8_t mission = PlayerMission();
        OpenFrom(msHighscores, 3, "menu_enter");
        if (IsMission(mission))
            HighscoreTrack = mission;
        break;
    }
    case MenuItem(msSingleResult, 1):
        OpenFrom(msSingleRace, 3, "menu_enter");
        break;
    default:
        break;
    }
}

void TMenuImprovedEngine::Back() {
    switch (Screen) {
    case msMain:
        // Over a run given up there is no game to go back to.
        if (!Host.RunGivenUp())
            Host.ShowMenu(msNone);
        break;
    case msPause:
        OpenFrom(msNone, 0, "menu_leave");
        break;
    case msConfirmQuit:
        LeaveQuestion();
        break;
    case msCarChoice:
        LeaveBriefing();
        break;
    case msRaceRules:
        OpenFrom(msRaceForTwo, 5, "menu_leave");
        break;
    case msOptions:
        LeaveOptions();
        break;
    case msGasStation:
    case msService:
        Host.ShowMenu(msNone);
        break;
    case msSingleRace:
    case msRaceForTwo:
    case msHighscores: {
        // Back to the main menu with the item that led here selected.
        const int32_t item = Screen == msSingleRace ? 0 : Screen == msRaceForTwo ? 1 : 2;
        Host.ShowMenu(msMain);
        Selected = item;
        break;
    }
    case msSubmission:
        Host.ShowMenu(msHighscores);
        Selected = 0;
        break;
    case msRecord:
        // At once, whatever the fetch is doing: it is cancelled in the background.
        Host.ShowMenu(msHighscores);
        Selected = 2;
        break;
    case msControls:
        Host.ShowMenu(msOptions);
        Selected = 6;
        break;
    default:
        // The result screens and the failed mission are left by their items only.
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
        Host.PlaySample("menu_enter");
        Config().Keys = TKeyBindings::Defaults();
        Note = PairText(DefaultsText);
    } else if (Selected == ControlsLastItem) {
        OpenFrom(msOptions, 6, "menu_leave");
    } else {
        Host.PlaySample("menu_enter");
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
        Host.PlaySample("menu_enter");
        return;
    }
    Host.PlaySample("menu_leave");
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
    Host.PlaySample("menu_leave");
}
