#include "player/Config.h"
#include "uKeyboard.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace std::string_literals;

namespace {

std::string ReadText(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteText(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(name).parent_path());
    std::ofstream(name, std::ios::binary) << text;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class TConfigTest : public ::testing::Test {
  protected:
    std::string File() const { return Dir.File("kalmirov/settings.ini"); }
    TTempDir Dir;
};

} // namespace

TEST_F(TConfigTest, FirstStartCreatesTheStoreWithDefaults) {
    {
        TConfig config(File(), TestNotice);
        EXPECT_TRUE(config.KeyOpen);
        EXPECT_EQ(config.Language, 0);
        EXPECT_EQ(config.SamplesVolume, 255);
        EXPECT_EQ(config.ModulesVolume, 255);
        EXPECT_FALSE(config.Windowed);
        EXPECT_FALSE(config.Carmageddon);
        EXPECT_EQ(config.HighscoreServer, "http://127.0.0.1:8080");
        EXPECT_TRUE(std::filesystem::is_directory(Dir.File("kalmirov")));
    }
    std::string text = ReadText(File());
    for (const char* line : {"Language=0\n", "SamplesVolume=255\n", "ModulesVolume=255\n", "Windowed=0\n",
                             "Carmageddon=0\n", "HighscoreServer=\"http://127.0.0.1:8080\"\n"})
        EXPECT_TRUE(Has(text, line)) << line << " in\n" << text;
    EXPECT_LT(text.find("Language="), text.find("Carmageddon=")) << "written in their order";
}

TEST_F(TConfigTest, ValuesSurviveARun) {
    {
        TConfig config(File(), TestNotice);
        config.Language = 1;
        config.SamplesVolume = 17;
        config.ModulesVolume = 0;
        config.Windowed = true;
        config.Carmageddon = true;
        config.HighscoreServer = "http://scores.example:9000";
    }
    TConfig again(File(), TestNotice);
    EXPECT_EQ(again.Language, 1);
    EXPECT_EQ(again.SamplesVolume, 17);
    EXPECT_EQ(again.ModulesVolume, 0);
    EXPECT_TRUE(again.Windowed);
    EXPECT_TRUE(again.Carmageddon);
    EXPECT_EQ(again.HighscoreServer, "http://scores.example:9000");
}

TEST_F(TConfigTest, HighscoreServerIsAQuotedText) {
    const std::pair<std::string, std::string> cases[] = {
        {"HighscoreServer=\"http://scores.local:8080\"\n", "http://scores.local:8080"},
        {"HighscoreServer = \" http://spaced:1 \" \n", "http://spaced:1"},
        {"highscoreserver=\"http://any-case\"\n", "http://any-case"},
        {"HighscoreServer=http://unquoted\n", "http://127.0.0.1:8080"}, // not a text: absent
        {"HighscoreServer=\"\"\n", "http://127.0.0.1:8080"},            // empty: absent
        {"HighscoreServer=8080\n", "http://127.0.0.1:8080"},
    };
    for (const auto& [text, expected] : cases) {
        WriteText(File(), text);
        EXPECT_EQ(TConfig(File(), TestNotice).HighscoreServer, expected) << text;
    }
}

TEST_F(TConfigTest, OlderFileGainsTheHighscoreServerAndKeepsItsLines) {
    WriteText(File(), "# mine\nLanguage=1\nSamplesVolume=7\n");
    {
        TConfig config(File(), TestNotice);
        EXPECT_EQ(config.HighscoreServer, "http://127.0.0.1:8080");
        config.HighscoreServer = "http://bad\nLanguage=0\"";
    }
    EXPECT_EQ(ReadText(File()), "# mine\nLanguage=1\nSamplesVolume=7\nModulesVolume=255\nWindowed=0\n"
                                "Carmageddon=0\nHighscoreServer=\"http://badLanguage=0\"\"\n")
        << "a line break cannot end the value's line early";
    TConfig again(File(), TestNotice);
    EXPECT_EQ(again.Language, 1);
    EXPECT_EQ(again.HighscoreServer, "http://badLanguage=0\"");
}

TEST_F(TConfigTest, InstallerLanguageIsReadOnceAndRemovedAtOnce) {
    WriteText(File(), "InstallerLanguage=\"1029\"\nSamplesVolume=100\n");
    {
        TConfig config(File(), TestNotice);
        EXPECT_EQ(config.Language, 1);
        EXPECT_EQ(config.SamplesVolume, 100);
        std::string now = ReadText(File());
        EXPECT_FALSE(Has(now, "InstallerLanguage")) << now;
        EXPECT_TRUE(Has(now, "SamplesVolume=100")) << now;
        config.Language = 0; // the user picks English in the launcher
    }
    EXPECT_TRUE(Has(ReadText(File()), "Language=0\n"));
    EXPECT_EQ(TConfig(File(), TestNotice).Language, 0) << "the user's choice wins from then on";
}

TEST_F(TConfigTest, InstallerLanguageRules) {
    struct TCase {
        std::string Text;
        int Expected;
    };
    const TCase cases[] = {
        {"InstallerLanguage=\"1029\"\n", 1},
        {"InstallerLanguage=\"1031\"\n", 0},
        {"InstallerLanguage=\"1033\"\nLanguage=1\n", 0},
        {"Language=1\nInstallerLanguage=\"1029\"\n", 1},
        {"InstallerLanguage=\"cz\"\nLanguage=1\n", 1}, // not a number: absent, Language counts
        {"InstallerLanguage=1029\nLanguage=0\n", 0},   // not a text: absent
        {"InstallerLanguage=\"\"\n", 0},
        {"Language=1\n", 1},
    };
    for (const TCase& c : cases) {
        WriteText(File(), c.Text);
        TConfig config(File(), TestNotice);
        EXPECT_EQ(config.Language, c.Expected) << c.Text;
        EXPECT_FALSE(Has(ReadText(File()), "InstallerLanguage")) << c.Text;
    }
}

TEST_F(TConfigTest, WrongTypesAndOddValuesCountAsAbsent) {
    WriteText(File(), "Language=2\n"
                      "SamplesVolume=\"100\"\n"
                      "ModulesVolume=12abc\n"
                      "Windowed=yes\n"
                      "Carmageddon=99999999999\n");
    TConfig config(File(), TestNotice);
    EXPECT_EQ(config.Language, 0);
    EXPECT_EQ(config.SamplesVolume, 255);
    EXPECT_EQ(config.ModulesVolume, 255);
    EXPECT_FALSE(config.Windowed);
    EXPECT_FALSE(config.Carmageddon);
}

TEST_F(TConfigTest, VolumesAreClampedAndAnyNonZeroIsTrue) {
    WriteText(File(), "SamplesVolume=999\nModulesVolume=-4\nWindowed=-1\nCarmageddon=2\n");
    TConfig config(File(), TestNotice);
    EXPECT_EQ(config.SamplesVolume, 255);
    EXPECT_EQ(config.ModulesVolume, 0);
    EXPECT_TRUE(config.Windowed);
    EXPECT_TRUE(config.Carmageddon);
}

// The render scale: the menu's choices are read as they are, any other number (or text) leaves it
// to the game; it is written once it differs from auto.
TEST_F(TConfigTest, RenderScaleIsOneOfTheMenusChoices) {
    const std::pair<const char*, int32_t> cases[] = {
        {"RenderScale=50\n", 50}, {"RenderScale=100\n", 100}, {"RenderScale=33\n", 0},
        {"RenderScale=-75\n", 0}, {"RenderScale=\"75\"\n", 0}, {"", 0},
    };
    for (const auto& [line, expected] : cases) {
        WriteText(File(), line);
        TConfig config(File(), TestNotice);
        EXPECT_EQ(config.RenderScale, expected) << line;
    }
    WriteText(File(), "");
    {
        TConfig config(File(), TestNotice);
        config.RenderScale = 75;
    }
    EXPECT_TRUE(Has(ReadText(File()), "RenderScale=75\n"));
    EXPECT_EQ(TConfig(File(), TestNotice).RenderScale, 75);
}

// The window's size is written only once it differs from the default, is read back as a pair, and a
// size no window could have leaves the default.
TEST_F(TConfigTest, WindowSizeIsWrittenOnceChangedAndReadAsAPair) {
    {
        TConfig config(File(), TestNotice);
        EXPECT_EQ(config.WindowWidth, 640);
    }
    EXPECT_FALSE(Has(ReadText(File()), "WindowWidth")) << "untouched, the file stays as before";
    {
        TConfig config(File(), TestNotice);
        config.WindowWidth = 1024;
        config.WindowHeight = 700;
    }
    TConfig again(File(), TestNotice);
    EXPECT_EQ(again.WindowWidth, 1024);
    EXPECT_EQ(again.WindowHeight, 700);
    const std::pair<const char*, int> cases[] = {
        {"WindowWidth=800\n", 640},                       // half a pair
        {"WindowWidth=0\nWindowHeight=600\n", 640},       // no window
        {"WindowWidth=99999\nWindowHeight=600\n", 640},   // no screen
        {"WindowWidth=\"800\"\nWindowHeight=600\n", 640}, // not a number
        {"WindowWidth=800\nWindowHeight=600\n", 800},
    };
    for (const auto& [text, width] : cases) {
        WriteText(File(), text);
        EXPECT_EQ(TConfig(File(), TestNotice).WindowWidth, width) << text;
    }
}

TEST_F(TConfigTest, KeysAndRumbleAreKeptByNameOnceChanged) {
    {
        TConfig config(File(), TestNotice);
        EXPECT_TRUE(config.Rumble);
        EXPECT_EQ(config.Keys, TKeyBindings::Defaults());
    }
    std::string untouched = ReadText(File());
    EXPECT_FALSE(Has(untouched, "Player") || Has(untouched, "Rumble")) << "untouched, the file stays as before";
    {
        TConfig config(File(), TestNotice);
        config.Rumble = false;
        ASSERT_EQ(config.Keys.Bind(0, TKeyAction::Accelerate, DIK_I), TBindResult::Bound);
        ASSERT_EQ(config.Keys.Bind(1, TKeyAction::Map, DIK_M), TBindResult::Bound);
    }
    std::string text = ReadText(File());
    EXPECT_TRUE(Has(text, "Player1Accelerate=\"I\"\n") && Has(text, "Player2Map=\"M\"\n") &&
                Has(text, "Rumble=0\n"))
        << text;
    EXPECT_FALSE(Has(text, "Player1Brake")) << "a key left as it was is not written";
    {
        TConfig config(File(), TestNotice);
        EXPECT_FALSE(config.Rumble);
        EXPECT_EQ(config.Keys.Key(0, TKeyAction::Accelerate), DIK_I);
        EXPECT_EQ(config.Keys.Key(1, TKeyAction::Map), DIK_M);
        // Back to the default, the line stays and says so.
        config.Keys = TKeyBindings::Defaults();
    }
    EXPECT_TRUE(Has(ReadText(File()), "Player1Accelerate=\"UP\"\n"));
    // A hand-edited set that cannot be played: the defaults stand.
    const std::pair<const char*, uint32_t> cases[] = {
        {"Player1Horn=\"lcontrol\"\nPlayer2Camera=\"\"\nPlayer1Map=\"DIK_M\"\n", DIK_M}, // names as scripts take them
        {"Player1Map=\"Q\"\n", DIK_TAB},          // Q is player 1's headlights too
        {"Player1Map=\"F11\"\n", DIK_TAB},        // the display's key
        {"Player1Map=\"NOSUCHKEY\"\n", DIK_TAB},
        {"Player1Map=7\n", DIK_TAB},                // a number is no key name
    };
    for (const auto& [fileText, map] : cases) {
        WriteText(File(), fileText);
        EXPECT_EQ(TConfig(File(), TestNotice).Keys.Key(0, TKeyAction::Map), map) << fileText;
    }
}

TEST_F(TConfigTest, KeyOfANewerActionGivesWayToTheFilesOwnSet) {
    // Written before the camera had keys of its own: player 2 drove with Page Up.
    WriteText(File(), "Player2Accelerate=\"PRIOR\"\nCameraView=0\nCameraZoom=400\n");
    TConfig config(File(), TestNotice);
    EXPECT_EQ(config.Keys.Key(1, TKeyAction::Accelerate), DIK_PRIOR);
    EXPECT_EQ(config.Keys.Key(0, TKeyAction::ZoomIn), NoKey);
    EXPECT_EQ(config.Keys.Key(0, TKeyAction::ZoomOut), DIK_NEXT);
    EXPECT_EQ(config.CameraView, 0);
    EXPECT_EQ(config.CameraZoom, CameraZoomMax);
}

TEST_F(TConfigTest, HandEditedFileWithJunkIsReadAndKept) {
    std::string junk = "\xEF\xBB\xBF  language =  1  \r\n"
                       "# my comment\r\n"
                       "this line has no equals sign\r\n"
                       "=5\r\n"
                       "SamplesVolume=10\r\n"
                       "samplesvolume=20\r\n"
                       "Other=\"kept\"\r\n"
                       "\x01\x02\xff\xfe\x00garbage\n"
                       "ModulesVolume=30"s;
    WriteText(File(), junk);
    {
        TConfig config(File(), TestNotice);
        EXPECT_TRUE(config.KeyOpen);
        EXPECT_EQ(config.Language, 1) << "names match in any case, spaces trimmed";
        EXPECT_EQ(config.SamplesVolume, 20) << "the last of a repeated name counts";
        EXPECT_EQ(config.ModulesVolume, 30) << "a last line without newline is read";
    }
    std::string text = ReadText(File());
    EXPECT_TRUE(Has(text, "# my comment\n"));
    EXPECT_TRUE(Has(text, "this line has no equals sign\n"));
    EXPECT_TRUE(Has(text, "Other=\"kept\"\n"));
    EXPECT_TRUE(Has(text, "SamplesVolume=20\n"));
    EXPECT_FALSE(Has(text, "samplesvolume=20")) << "one line per name after a save";
    EXPECT_FALSE(Has(text, "SamplesVolume=10"));
    EXPECT_EQ(TConfig(File(), TestNotice).SamplesVolume, 20);
}

TEST_F(TConfigTest, StoreThatCannotBeOpenedKeepsDefaultsAndWritesNothing) {
    // The settings folder's place is taken by a file.
    WriteText(Dir.File("kalmirov"), "not a folder");
    {
        TConfig config(File(), TestNotice);
        EXPECT_FALSE(config.KeyOpen);
        EXPECT_EQ(config.SamplesVolume, 255);
        config.SamplesVolume = 3;
        EXPECT_FALSE(config.Save([](const std::string&) {}));
    }
    EXPECT_EQ(ReadText(Dir.File("kalmirov")), "not a folder");
    TConfig none;
    EXPECT_FALSE(none.KeyOpen);
}

TEST_F(TConfigTest, SettingsFileThatIsAFolderIsNotTouched) {
    std::filesystem::create_directories(File());
    TConfig config(File(), TestNotice);
    EXPECT_FALSE(config.KeyOpen);
}

TEST_F(TConfigTest, SaveReplacesTheFileInOneStep) {
    WriteText(File(), "Language=1\n");
    // A second name for the old file: an in-place rewrite would change it, a rename leaves it.
    std::filesystem::create_hard_link(File(), Dir.File("kalmirov/old.ini"));
    {
        TConfig config(File(), TestNotice);
        config.SamplesVolume = 42;
    }
    EXPECT_EQ(ReadText(Dir.File("kalmirov/old.ini")), "Language=1\n");
    EXPECT_TRUE(Has(ReadText(File()), "SamplesVolume=42\n"));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Dir.File("kalmirov")))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 2) << "no temporary file is left behind";
}

TEST_F(TConfigTest, FailedSaveNamesTheFileAndLeavesNoTemporaryFile) {
    TConfig config(File(), TestNotice);
    // Something that cannot be replaced by a file now stands where the settings go.
    std::filesystem::create_directories(File() + "/inside");
    std::string error;
    auto keep = [&error](const std::string& text) { error = text; };
    EXPECT_FALSE(config.Save(keep));
    EXPECT_TRUE(Has(error, File() + ": cannot be written")) << error;
    EXPECT_TRUE(std::filesystem::is_directory(File() + "/inside"));
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Dir.File("kalmirov")))
        entries += entry.path() != File() ? 1 : 0;
    EXPECT_EQ(entries, 0) << "the temporary file is removed";
    std::filesystem::remove_all(Dir.File("kalmirov"));
    error.clear();
    EXPECT_FALSE(config.Save(keep));
    EXPECT_TRUE(Has(error, File())) << error;
    config.KeyOpen = false; // nothing to report at the end of the test
}

TEST(ConfigFileName, FollowsXdgConfigHome) {
    {
        TEnvironment xdg("XDG_CONFIG_HOME", "/somewhere/config");
        EXPECT_EQ(ConfigFileName(), "/somewhere/config/kalmirov/settings.ini");
    }
    TEnvironment home("HOME", "/home/player");
    {
        TEnvironment xdg("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(ConfigFileName(), "/home/player/.config/kalmirov/settings.ini");
    }
    {
        TEnvironment xdg("XDG_CONFIG_HOME", "relative/path");
        EXPECT_EQ(ConfigFileName(), "/home/player/.config/kalmirov/settings.ini")
            << "a relative one is ignored";
    }
}

TEST(Config, SoundVolumesLiveInTheSettings) {
    TTempDir dir;
    TConfig config(dir.File("kalmirov/settings.ini"), TestNotice);
    config.SamplesVolume = 0;
    config.ModulesVolume = 120;
    TConfigSoundSettings settings(config);
    TSound sound(&settings, nullptr);
    EXPECT_EQ(settings.StoredSFXVolume(), 0);
    settings.StoreSFXVolume(77);
    settings.StoreMusicVolume(5);
    EXPECT_EQ(config.SamplesVolume, 77);
    EXPECT_EQ(config.ModulesVolume, 5);
    EXPECT_EQ(&Config(), &Config()) << "defaults until one is installed";
    TConfig* previous = SetConfig(&config);
    EXPECT_EQ(&Config(), &config);
    SetConfig(previous);
}

TEST_F(TConfigTest, ManyRunsKeepOneLinePerSetting) {
    for (int run = 0; run < 5; ++run) {
        TConfig config(File(), TestNotice);
        config.SamplesVolume = 100 + run;
    }
    std::string after5 = ReadText(File());
    for (int run = 0; run < 5; ++run)
        TConfig config(File(), TestNotice);
    EXPECT_EQ(ReadText(File()).size(), after5.size()) << "the file grows with every start:\n" << ReadText(File());
    for (const char* name : {"Language=", "SamplesVolume=", "ModulesVolume=", "Windowed=", "Carmageddon=",
                             "HighscoreServer="}) {
        size_t first = after5.find(name);
        ASSERT_NE(first, std::string::npos) << name;
        EXPECT_EQ(after5.find(name, first + 1), std::string::npos) << name << " twice in\n" << after5;
    }
    EXPECT_TRUE(Has(after5, "SamplesVolume=104\n"));
}

TEST_F(TConfigTest, FileThatIsNotTextIsSetAsideAndTheDefaultsStand) {
    std::string binary(600, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = char(i * 7 % 32);
    binary.replace(10, 16, "SamplesVolume=3\n");
    WriteText(File(), binary);
    TMessageRecorder messages;
    {
        TConfig config(File(), TestNotice);
        EXPECT_TRUE(config.KeyOpen);
        EXPECT_EQ(config.SamplesVolume, 255) << "nothing is read from a damaged file";
    }
    ASSERT_EQ(messages.Messages.size(), 1u);
    EXPECT_TRUE(Has(messages.Messages[0].Text, File() + " is damaged: it is not text"))
        << messages.Messages[0].Text;
    EXPECT_EQ(ReadText(File() + ".bad"), binary) << "the player's file is kept aside as it was";
    EXPECT_TRUE(Has(ReadText(File()), "SamplesVolume=255\n")) << "a fresh file takes its place";
}

// Whatever junk a file carries, what a save writes is read back by the next start: dropping the
// duplicates of a file with stray control bytes must not tip it over into "not text", and hand-added
// lines must not push it over the size a settings file may have.
TEST_F(TConfigTest, SavedFileIsAlwaysReadBack) {
    std::string junky = "# Kalmirov settings\nSamplesVolume=200\nstray bytes " + std::string(70, '\x05') + "\n";
    for (int i = 0; i < 3; ++i)
        junky += "SamplesVolume=200\nModulesVolume=20\nCarmageddon=0\nHighscoreServer=\"http://127.0.0.1:8080\"\n";
    std::string huge = "SamplesVolume=200\n";
    while (huge.size() < 65500)
        huge += "my own note, kept by hand " + std::to_string(huge.size()) + "\n";
    for (const std::string& text : {junky, huge}) {
        WriteText(File(), text);
        std::filesystem::remove(File() + ".bad");
        TMessageRecorder messages;
        {
            TConfig config(File(), TestNotice);
            ASSERT_TRUE(config.KeyOpen);
            config.SamplesVolume = 81;
            config.HighscoreServer = "http://scores.example:8080";
        }
        TConfig again(File(), TestNotice);
        again.KeyOpen = false;
        EXPECT_EQ(again.SamplesVolume, 81) << ReadText(File());
        EXPECT_EQ(again.HighscoreServer, "http://scores.example:8080");
        // Stray bytes are damage: that file is kept aside as it was, with a message.
        EXPECT_EQ(messages.Messages.size(), text == junky ? 1u : 0u);
        EXPECT_EQ(std::filesystem::exists(File() + ".bad") ? ReadText(File() + ".bad") : "",
                  text == junky ? junky : "");
        EXPECT_LE(ReadText(File()).size(), 65536u);
    }
}
