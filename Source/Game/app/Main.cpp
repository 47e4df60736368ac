// Program entry: the settings and the sound, then the launcher window, from which the player picks
// the language and a profile and starts the game; player 1's progress goes back into the profile
// file at the end.
//   kalmirov [-w] [-ns]
// -w (first argument only) plays in a window whatever the settings say (F11 or Alt+Enter switches in
// the game, and the settings remember the choice); -ns (first or second) is silent.
// The practice start skips the launcher:
//   kalmirov [-w] [-ns] [--mission N] [--car T] [--profile NICK] [--dump-state FILE|-] [--seed N]
//            [--replay FILE] [--sync-test N] [harness options: --keys FILE|-, --pad FILE, --frames N, --shot N:FILE,
//            --fixed-clock, --headless]
//   kalmirov --verify FILE
// --mission starts game N (1..15) right after loading, as the menu would, with car T for both players
// and the named profile (created when it does not exist yet). --replay drives a recorded run again at
// its own pace, with its own mission, car and seed; nothing of the player's is written then.
// --sync-test N steps every tick the world runs in again from the world saved N such ticks back, with
// the same inputs, stops at the first tick that comes out otherwise (naming it and where the world
// differs) and ends with "sync test: M mismatches in T ticks" on standard output (status 1 for any).
// --verify drives the replay FILE headless to its last tick, or to its mission's tick limit when that
// comes first, and prints one line on standard output: what the replay claims and what the run reached
// (see PrintVerifiedRun); the highscore server believes only that line. A replay of another simulation
// version or data set is not driven at all: "error <why>" instead. Its poses are never read: only its
// inputs drive the car.
// The data set is read from KALMIROV_DATA, else from the "data" folder beside the program (a build's
// run folder), else from where the build installs it (KAL_INSTALLED_DATA_DIR, set when configuring).
// KALMIROV_LAUNCHER_SCRIPT names a script that answers the launcher's boxes and starts the game for an
// unattended test (see TLauncherScript).
#include "player/Config.h"
#include "app/FormMain.h"
#include "session/GameEngine.h"
#include "Sound.h"
#include "uByteReader.h"
#include "uDataDir.h"
#include "uErrors.h"
#include "uOptions.h"
#include "uRandom.h"
#include "uText1250.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct TOptions {
    bool Windowed = false;
    int Mission = 0;
    int Car = -1;
    std::string Profile;
    std::string DumpState;
    int SyncTest = 0; // --sync-test N: every tick stepped again from N ticks back
    bool HasSeed = false;
    uint32_t Seed = 0;
    std::string Replay;
    bool Verify = false; // --verify: headless, to the replay's last tick, the outcome on stdout
};

TOptions ParseOptions(const std::vector<std::string>& args) {
    TOptions options;
    TOptionParser()
        .Flag("-w", options.Windowed)
        .Ignored("-ns")
        .Int("--mission", options.Mission, 1, LastGame)
        .Int("--car", options.Car, 0, 7)
        .Text("--profile", options.Profile)
        .Text("--replay", options.Replay)
        .Custom("--verify",
                [&options](const std::string& file) {
                    options.Replay = file;
                    options.Verify = true;
                })
        .Text("--dump-state", options.DumpState)
        .Int("--sync-test", options.SyncTest, 1, 1000)
        .Custom("--seed",
                [&options](const std::string& seed) {
                    options.Seed = uint32_t(TOptionParser::WholeNumber("--seed", seed, 0, 2147483647));
                    options.HasSeed = true;
                })
        .Parse(args);
    return options;
}

// The profile to play: the named one (created when missing), else the one selected last time, else
// the first; a fresh install gets one player named after the user.
// The game tells the player of trouble with their files in a message box (on standard error when
// unattended: the message box handler says so).
void TellPlayer(const std::string& text) {
    ShowMessageBox(text, "Kalmirov");
}

int ChooseProfile(TProfileList& profiles, const std::string& nick, const std::string& fileName) {
    if (!nick.empty()) {
        std::string stored;
        if (!ValidNick(nick, stored))
            throw Exception("The nick \"" + nick + "\" is not valid: 1 to " +
                            std::to_string(MaxNickCharacters) + " characters of Central European script");
        int i = profiles.Find(stored);
        if (i < 0)
            i = profiles.AddProfile(stored, fileName, TellPlayer);
        if (i < 0)
            throw Exception("Cannot add the profile \"" + nick + "\"");
        return i;
    }
    for (size_t i = 0; i < profiles.Records.size(); ++i)
        if (profiles.Records[i].Selected)
            return int(i);
    if (!profiles.Records.empty())
        return 0;
    int i = profiles.AddProfile("Player", fileName, TellPlayer);
    return i < 0 ? 0 : i;
}

bool HaveDisplay() {
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

// Any option beyond -w and -ns asks for the practice start, which skips the launcher.
bool PracticeStart(const TOptions& options, const THarnessOptions& harness) {
    return options.Mission != 0 || options.Car >= 0 || !options.Profile.empty() ||
           !options.DumpState.empty() || options.SyncTest > 0 || options.HasSeed || !options.Replay.empty() || harness.Unattended();
}

// The outcome of a verified run as one line of words KEY=VALUE: the replay's claims (its nick as hex
// bytes of Windows-1250), then what this run of it reached after its last tick. Finished is 1 only when
// the mission's last target was reached; the time in milliseconds is as the highscore table keeps it.
// `limit` is the tick the drive was stopped at before the replay's end, 0 when it ran to its end.
void PrintVerifiedRun(const TReplay& replay, const TGameEngine& game, uint32_t limit) {
    std::string nick;
    for (unsigned char c : replay.Nick) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", c);
        nick += hex;
    }
    const TPlayerData& player = *game.Players[0];
    double ms = 1000.0 * double(player.Time);
    std::printf("run mission=%d car=%d nick=%s claimedScore=%d claimedTime=%.9g ticks=%zu runMission=%d "
                "runCar=%d finished=%d score=%d time=%.9g timeMs=%d limit=%u\n",
                int(replay.Mission), int(replay.CarType), nick.empty() ? "-" : nick.c_str(), int(replay.Score),
                double(replay.Time), replay.Frames.size(), int(game.Mission), int(player.CarType),
                game.Rules.Finished ? 1 : 0, int(player.Score), double(player.Time),
                int(std::clamp(ms, 0.0, 2147483647.0)), limit);
    std::fflush(stdout);
}

// Straight into the game with the named or last-selected profile.
int RunPractice(const TOptions& options, const THarnessOptions& harness, const TReplay* replay,
                uint64_t dataSet) {
    try {
        TProfileList profiles;
        std::string profilesFile = ProfilesFileName();
        profiles.LoadProfiles(profilesFile, TellPlayer);
        int selected = ChooseProfile(profiles, options.Profile, profilesFile);

        TGameSetup setup;
        setup.Profiles = &profiles;
        setup.SelectedProfile = selected;
        setup.ProfilesFile = profilesFile;
        setup.HighscoreFile = replay ? "" : HighscoreFileName();
        setup.Replay = replay;
        setup.DataSet = dataSet;
        setup.PracticeMission = options.Mission;
        setup.PracticeCar = options.Car;
        setup.DumpStateFile = options.DumpState;
        setup.SyncTestDepth = options.SyncTest;
        setup.Notice = TellPlayer;
        {
            TGameEngine game(640, 480, !options.Windowed && !Config().Windowed, harness, setup);
            game.Run();
            if (replay && options.Verify)
                PrintVerifiedRun(*replay, game, uint32_t(harness.FrameLimit < replay->Frames.size()
                                                             ? harness.FrameLimit
                                                             : 0));
            if (game.SyncMismatches > 0)
                return 1;
            if (replay)
                return 0;
            // Player 1's progress goes back into the profile it came from.
            TGameProgress progress{game.Players[0]->Mission, game.Players[0]->ScoreCounter,
                                   game.Players[0]->Score};
            CopyBackProgress(progress, profiles.Records[size_t(selected)]);
        }
        for (size_t i = 0; i < profiles.Records.size(); ++i)
            profiles.Records[i].Selected = int(i) == selected;
        profiles.SaveProfiles(profilesFile, TellPlayer);
    } catch (const std::exception& e) {
        ShowMessageBox(ErrorText(e), "Kalmirov");
        return 1;
    }
    return 0;
}

// Ends the program when the launcher closes, also when it closes hidden after a game (Qt quits by
// itself only when a visible window closes).
class TQuitOnClose : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close)
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }
};

// The launcher window until it closes; the game runs inside its start.
int RunLauncher(const std::vector<std::string>& args, QApplication& application) {
    try {
        TLauncherSeams seams = DefaultLauncherSeams();
        TLauncherScript script;
        const char* scriptFile = std::getenv("KALMIROV_LAUNCHER_SCRIPT");
        if (scriptFile != nullptr && scriptFile[0] != '\0') {
            script = ReadLauncherScript(scriptFile);
            // Nobody is at the screen: messages go to stderr, the answers come from the script.
            SetMessageBoxHandler([](const std::string& text, const std::string& caption) {
                std::fprintf(stderr, "[%s] %s\n", caption.c_str(), Cp1250ToUtf8(text).c_str());
            });
            seams.InputBox = [nicks = script.Nicks,
                              next = size_t(0)](const std::string&, const std::string&,
                                                const std::string&) mutable -> std::optional<std::string> {
                if (next < nicks.size())
                    return nicks[next++];
                return std::nullopt; // as if cancelled
            };
            seams.Confirm = [](const std::string&) { return true; };
        }
        TFormGame form(args, ProfilesFileName(), seams);
        form.GameHarness.KeyScript = script.GameKeys;
        TQuitOnClose quitOnClose;
        form.installEventFilter(&quitOnClose);
        form.show();
        if (script.Start)
            QTimer::singleShot(0, &form, [&form] {
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QApplication::sendEvent(form.focusWidget() ? form.focusWidget() : &form, &enter);
            });
        application.exec();
        return form.ExitCode;
    } catch (const std::exception& e) {
        ShowMessageBox(ErrorText(e), "Kalmirov");
        return 1;
    }
}

} // namespace

int main(int argc, char** argv) {
    SetDataFolder(FindDataDir(ProcessDataDirPlaces(KAL_INSTALLED_DATA_DIR)));
    std::vector<std::string> args(argv + 1, argv + argc);
    THarnessOptions harness;
    TOptions options;
    try {
        harness = ParseHarnessOptions(args);
        options = ParseOptions(args);
        if (options.Verify)
            harness.Headless = true;
        if (!harness.KeyScript.empty() && harness.KeyScript != "-" && !FileExists(harness.KeyScript))
            throw Exception("the key script " + harness.KeyScript + " does not exist");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalmirov: %s\n", e.what());
        return 2;
    }
    if (!harness.Headless && !HaveDisplay()) {
        std::fprintf(stderr, "kalmirov: no display to open the game window on (DISPLAY is not set); "
                             "start it from a desktop session or under xvfb-run\n");
        return 1;
    }

    // Dialogs only for a person at the screen; unattended runs report on stderr.
    std::unique_ptr<QApplication> application;
    TMessageBoxHandler previousHandler;
    if (!harness.Unattended()) {
        application = std::make_unique<QApplication>(argc, argv);
        previousHandler = SetMessageBoxHandler([](const std::string& text, const std::string& caption) {
            MessageDialog(text, caption)->exec();
        });
    }
    // Qt's boxes only while the application exists.
    struct TRestoreMessageBoxes {
        TMessageBoxHandler& Previous;
        ~TRestoreMessageBoxes() {
            if (Previous)
                SetMessageBoxHandler(Previous);
        }
    } restoreMessageBoxes{previousHandler};

    // The settings and the sound wrapper live until exit; the settings are written back when `config`
    // goes. "-ns" and unattended runs mix into SDL's silent dummy device, so they never need a sound card.
    TConfig config(ConfigFileName(), TellPlayer);
    SetConfig(&config);
    TConfigSoundSettings soundSettings(config);
    TSound sound(&soundSettings, CreateSDLAudioOutput(NoSoundRequested(args) || harness.Unattended()));
    SetSound(&sound);
    struct TUninstall {
        ~TUninstall() {
            SetSound(nullptr);
            SetConfig(nullptr);
        }
    } uninstall;

    TReplay replay;
    uint64_t dataSet = 0;
    if (!options.Replay.empty()) {
        std::string error;
        try {
            replay = ReadNamedReplay(options.Replay);
            // Driven in another world, the same inputs make another run: refused before the drive.
            dataSet = DigestDataSet();
            error = ReplayWorldProblem(replay, dataSet);
        } catch (const EInOutError& e) {
            error = e.what();
        } catch (const EFormatError& e) {
            error = e.what();
        }
        if (!error.empty()) {
            if (options.Verify) {
                std::printf("error %s\n", error.c_str());
                return 1;
            }
            // The file stays as it is: it may be anything the player has, named by mistake.
            ShowMessageBox("There is no replay to drive in " + options.Replay + ": " + error +
                               ". The file was left as it is.",
                           "Kalmirov");
            return 1;
        }
        options.Mission = replay.Mission;
        options.Car = replay.CarType;
        // The recording ends with the tick that finished the mission; a verified run stops there, or
        // at the mission's limit: a replay that never finishes costs no more than the longest run.
        if (options.Verify)
            harness.FrameLimit =
                std::clamp<uint64_t>(replay.Frames.size(), 1, MissionTickLimit(replay.Mission));
        options.HasSeed = true;
        options.Seed = replay.Seed;
    }
    if (options.HasSeed)
        SeedRandom(options.Seed);
    else if (harness.FixedClock || harness.Headless)
        SeedRandom(1);
    else
        Randomize();

    if (PracticeStart(options, harness) || !application)
        return RunPractice(options, harness, options.Replay.empty() ? nullptr : &replay, dataSet);
    return RunLauncher(args, *application);
}
