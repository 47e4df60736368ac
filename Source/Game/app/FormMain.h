// TFormGame: the launcher window that comes before the game — the language, the player profiles
// (nick and face) and the start. Owns its controls, the face pictures and the profile list; the game
// runs inside its start handler, and player 1's progress goes back into the selected profile.
#pragma once

#include "player/PlayerData.h"
#include "uHarness.h"

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QInputDialog;
class QLabel;
class QMessageBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The launcher's texts (UTF-8; the message boxes receive them in Windows-1250, as every game text).
inline constexpr const char* LauncherCaption = "Kalmirov 1.2";
inline constexpr const char* InvalidNickText = "Invalid nick.\r\nŠpatná přezdívka.";
inline constexpr const char* RemovePlayerText =
    "Really remove this player?\r\nOpravdu odstranit tohoto hráče?";
inline constexpr const char* NewPlayerTitle = "New Player/Nový Hráč";
inline constexpr const char* NickPrompt = "Nick/Přezdívka";
inline constexpr const char* DuplicateNickText =
    "Another player already has this nick.\r\nTuto přezdívku už má jiný hráč.";
inline constexpr const char* NoPlayerText =
    "Choose a player first, or add one.\r\nNejdřív vyberte hráče, nebo přidejte nového.";

// Player 1's progress as a game leaves it.
struct TGameProgress {
    uint8_t Mission = 1;
    int32_t ScoreCounter = 0;
    int32_t Score = 0;
};

// What the start hands the game.
struct TGameStart {
    TProfileList* Profiles = nullptr; // the launcher's list (not owned)
    int SelectedProfile = -1;
    std::string ProfilesFile;
    bool Fullscreen = true;
    THarnessOptions Harness; // empty for a person at the keyboard
};

// Where the launcher meets a person and the game; tests replace each of them.
struct TLauncherSeams {
    // The input box, opened with `text` already typed; returns the UTF-8 answer, nothing when
    // cancelled.
    std::function<std::optional<std::string>(const std::string& title, const std::string& prompt,
                                             const std::string& text)>
        InputBox;
    // A Yes/Cancel question (UTF-8 text); true for Yes.
    std::function<bool(const std::string& text)> Confirm;
    // Runs one game until the player quits. `progress` holds what player 1 reached when it returns,
    // and also when it throws.
    std::function<void(const TGameStart& start, TGameProgress& progress)> RunGame;
};
// Qt's input dialog and question box, and the real game engine in its own window.
TLauncherSeams DefaultLauncherSeams();

// The question before something is deleted (UTF-8 text): Yes and Cancel, in Czech when the game's
// language is, and Cancel the default, so that a hasty Enter deletes nothing.
std::unique_ptr<QMessageBox> ConfirmDialog(const std::string& text);
// The nick box: at most MaxNickCharacters can be typed, OK and Cancel in the game's language.
std::unique_ptr<QInputDialog> NickDialog(const std::string& title, const std::string& prompt,
                                         const std::string& text);

// A game text (Windows-1250, lines ending "\r\n") as a Qt dialog shows it.
QString DialogText(const std::string& cp1250);
// The warning box of a game message (Windows-1250 text and caption). Messages carry file names,
// nicks and the score server's answers, so the box shows them as plain text: text that looks like
// HTML would otherwise be read as markup.
std::unique_ptr<QMessageBox> MessageDialog(const std::string& text, const std::string& caption);

// The command line leaves the game full screen: the first argument is not exactly "-w", which forces a
// window. The player's last choice (the settings' Windowed) may still ask for a window.
bool FullscreenRequested(const std::vector<std::string>& args);
// Mission, score counter and score go back into the profile; nick, face and index stay as they are.
void CopyBackProgress(const TGameProgress& progress, TProfileRecord& record);

// The launcher driven without a person (end-to-end tests). One command a line, '#' starts a comment:
//   nick TEXT   the answer of the next input box (boxes beyond the listed answers get none)
//   keys FILE   the game reads its keys from this key script instead of the keyboard
//   start       presses Enter in the window once it is shown
struct TLauncherScript {
    std::vector<std::string> Nicks;
    std::string GameKeys;
    bool Start = false;
};
// Throws Exception naming the file and line on an unknown command or an unreadable file.
TLauncherScript ReadLauncherScript(const std::string& fileName);

class TFormGame : public QDialog {
  public:
    // Window created: the faces, the language and the profiles of `profilesFile`. Throws
    // EInOutError when a picture of the data set cannot be read. Positions and sizes are those of a
    // 96-dpi layout; Qt scales them by the screen's device-pixel ratio.
    TFormGame(const std::vector<std::string>& args, const std::string& profilesFile, TLauncherSeams seams);

    // Shows profile p: its caption, the face buttons and its face.
    void ShowProfile(int p);
    // Asks for a nick and adds the player (at most 32; the file is written at once).
    void AddPlayer();
    // Asks, then removes the selected player; the file is written at once.
    void RemovePlayer();
    // Runs the game with the selected profile, stores player 1's progress and closes the window;
    // with nobody selected it says so.
    void StartGame();

    QLabel* ImageBackground = nullptr;
    QLabel* LabelLanguage = nullptr;
    QLabel* LabelLanguageArrow = nullptr;
    QComboBox* ComboBoxLanguage = nullptr;
    QLabel* LabelPlayer = nullptr;
    QLabel* LabelPlayerArrow = nullptr;
    QTreeWidget* ListViewPlayer = nullptr;
    QLabel* ImageFace = nullptr;
    QPushButton* ButtonFacePrevious = nullptr;
    QPushButton* ButtonFaceNext = nullptr;
    QPushButton* ButtonPlayerRemove = nullptr;
    QPushButton* ButtonPlayerAdd = nullptr;
    QLabel* ImageStart = nullptr;
    QPushButton* ButtonStart = nullptr;
    std::vector<QPixmap> ImageListFaces; // faces 0..18 of the face table, 100 x 100

    TProfileList Profiles;        // Records.size() is the profile count
    int32_t SelectedProfile = -1; // -1 when no list item is selected
    THarnessOptions GameHarness;  // handed to the game (the launcher's end-to-end test)
    int ExitCode = 0;             // 1 once a game has ended with an error

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SelectionChanged();
    void CaptionEdited(QTreeWidgetItem* item);
    void StepFace(int step);
    void SetCaption(int p, const std::string& cp1250Nick);
    // Why `utf8` cannot be the nick of profile p (-1 for a new one): the message to show, or
    // nullptr when it can, with `cp1250` the bytes to store.
    const char* NickRefusal(const std::string& utf8, int p, std::string& cp1250) const;

    std::vector<std::string> Args;
    std::string ProfilesFile;
    TLauncherSeams Seams;
    bool ShownBefore = false;
    bool GameRunning = false;
};
