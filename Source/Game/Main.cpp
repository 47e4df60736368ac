// Program entry: the settings, the sound and the player's profiles, then the game in its own window
// until the player quits; player 1's progress goes back into the profile file at the end.
//   kalmirov [-w] [-ns] [--mission N] [--car T] [--profile NICK] [--dump-state FILE] [--seed N]
//            [harness options: --keys FILE, --frames N, --shot N:FILE, --fixed-clock]
// --mission starts game N (1..15) right after loading, as the menu would, with car T for both players
// and the named profile (created when it does not exist yet).
#include "Config.h"
#include "GameEngine.h"
#include "Sound.h"
#include "uByteReader.h"
#include "uRandom.h"
#include "uText1250.h"

#include <QApplication>
#include <QMessageBox>
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
    bool HasSeed = false;
    uint32_t Seed = 0;
};

int IntValue(const std::string& option, const std::string& text, int low, int high) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || value < low || value > high)
        throw Exception(option + " needs a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                        ", not \"" + text + "\"");
    return int(value);
}

TOptions ParseOptions(const std::vector<std::string>& args) {
    TOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() {
            if (i + 1 >= args.size())
                throw Exception(a + " needs a value");
            return args[++i];
        };
        if (a == "-w")
            options.Windowed = true;
        else if (a == "-ns")
            continue;
        else if (a == "--mission")
            options.Mission = IntValue(a, value(), 1, 15);
        else if (a == "--car")
            options.Car = IntValue(a, value(), 0, 7);
        else if (a == "--profile")
            options.Profile = value();
        else if (a == "--dump-state")
            options.DumpState = value();
        else if (a == "--seed") {
            options.Seed = uint32_t(IntValue(a, value(), 0, 2147483647));
            options.HasSeed = true;
        } else
            throw Exception("unknown option " + a);
    }
    return options;
}

// The profile to play: the named one (created when missing), else the one selected last time, else
// the first; a fresh install gets one player named after the user.
int ChooseProfile(TProfileList& profiles, const std::string& nick, const std::string& fileName) {
    if (!nick.empty()) {
        std::string stored;
        if (!ValidNick(nick, stored))
            throw Exception("The nick \"" + nick + "\" is not valid: 1 to 20 characters of Central European script");
        int i = profiles.Find(stored);
        if (i < 0)
            i = profiles.AddProfile(stored, fileName);
        if (i < 0)
            throw Exception("Cannot add the profile \"" + nick + "\"");
        return i;
    }
    for (size_t i = 0; i < profiles.Records.size(); ++i)
        if (profiles.Records[i].Selected)
            return int(i);
    if (!profiles.Records.empty())
        return 0;
    int i = profiles.AddProfile("Player", fileName);
    return i < 0 ? 0 : i;
}

bool HaveDisplay() { return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr; }

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    THarnessOptions harness;
    TOptions options;
    try {
        harness = ParseHarnessOptions(args);
        options = ParseOptions(args);
        if (!harness.KeyScript.empty() && !FileExists(harness.KeyScript))
            throw Exception("the key script " + harness.KeyScript + " does not exist");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalmirov: %s\n", e.what());
        return 2;
    }
    if (!HaveDisplay()) {
        std::fprintf(stderr, "kalmirov: no display to open the game window on (DISPLAY is not set); "
                             "start it from a desktop session or under xvfb-run\n");
        return 1;
    }

    // Dialogs only for a person at the screen; unattended runs report on stderr.
    std::unique_ptr<QApplication> application;
    if (!harness.Unattended()) {
        application = std::make_unique<QApplication>(argc, argv);
        SetMessageBoxHandler([](const std::string& text, const std::string& caption) {
            QMessageBox::warning(nullptr, QString::fromUtf8(Cp1250ToUtf8(caption).c_str()),
                                 QString::fromUtf8(Cp1250ToUtf8(text).c_str()));
        });
    }

    // The settings and the sound wrapper live until exit; the settings are written back when `config`
    // goes. "-ns" and unattended runs mix into SDL's silent dummy device, so they never need a sound card.
    TConfig config(ConfigFileName());
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

    if (options.HasSeed)
        SeedRandom(options.Seed);
    else if (harness.FixedClock)
        SeedRandom(1);
    else
        Randomize();

    try {
        TProfileList profiles;
        std::string profilesFile = ProfilesFileName();
        profiles.LoadProfiles(profilesFile);
        int selected = ChooseProfile(profiles, options.Profile, profilesFile);

        TGameSetup setup;
        setup.Profiles = &profiles;
        setup.SelectedProfile = selected;
        setup.ProfilesFile = profilesFile;
        setup.HighscoreFile = HighscoreFileName();
        setup.PracticeMission = options.Mission;
        setup.PracticeCar = options.Car;
        setup.DumpStateFile = options.DumpState;
        {
            TGameEngine game(640, 480, !options.Windowed, harness, setup);
            game.Run();
            // Player 1's progress goes back into the profile it came from.
            TProfileRecord& record = profiles.Records[size_t(selected)];
            record.Mission = game.Players[0]->Mission;
            record.ScoreCounter = game.Players[0]->ScoreCounter;
            record.Score = game.Players[0]->Score;
        }
        for (size_t i = 0; i < profiles.Records.size(); ++i)
            profiles.Records[i].Selected = int(i) == selected;
        profiles.SaveProfiles(profilesFile);
    } catch (const std::exception& e) {
        ShowMessageBox(e.what(), "Kalmirov");
        return 1;
    }
    return 0;
}
