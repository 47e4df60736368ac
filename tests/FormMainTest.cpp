// The launcher window on Qt's offscreen platform: nick rules, face buttons, removing and selecting
// profiles, the start and the copy-back of player 1's progress into the profile file. Runs in the
// run directory, so the window reads the generated faces and pictures of the data tree.
#include "app/FormMain.h"
#include "TestSupport.h"
#include "player/Config.h"
#include "tables/FaceTable.h"
#include "uByteReader.h"
#include "uPlatform.h"
#include "uText1250.h"

#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

TProfileRecord Profile(int index, const std::string& nick, int face = 0, bool selected = false) {
    TProfileRecord record;
    record.Index = index;
    record.Nick = nick;
    record.Face = face;
    record.Selected = selected ? 1 : 0;
    return record;
}

class FormMain : public ::testing::Test {
  protected:
    void SetUp() override {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        Dir = fs::temp_directory_path() / (std::string("kal_formmain_") + test->name());
        fs::remove_all(Dir);
        fs::create_directories(Dir);
        File = (Dir / "profiles.dat").string();
        PreviousConfig = SetConfig(&Settings);
        PreviousHandler = SetMessageBoxHandler(
            [this](const std::string& text, const std::string&) { Messages.push_back(Cp1250ToUtf8(text)); });
        Seams.InputBox = [this](const std::string& title, const std::string& prompt,
                                const std::string& text) -> std::optional<std::string> {
            Questions.push_back(title + "|" + prompt + "|" + text);
            if (Answers.empty())
                return std::nullopt; // cancelled
            std::string answer = Answers.front();
            Answers.pop_front();
            return answer;
        };
        Seams.Confirm = [this](const std::string& text) {
            Confirmations.push_back(text);
            return ConfirmAnswer;
        };
        Seams.RunGame = [this](const TGameStart& start, TGameProgress& progress) {
            Starts.push_back(start);
            if (Game)
                Game(progress);
        };
    }
    void TearDown() override {
        SetMessageBoxHandler(PreviousHandler);
        SetConfig(PreviousConfig);
        fs::remove_all(Dir);
    }

    void WriteProfiles(const std::vector<TProfileRecord>& records) {
        TProfileList list;
        list.Records = records;
        ASSERT_TRUE(list.SaveProfiles(File, TestNotice));
    }
    std::vector<uint8_t> FileBytes() {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadWholeFile(File, bytes));
        return bytes;
    }
    std::unique_ptr<TFormGame> Open(std::vector<std::string> args = {}) {
        auto form = std::make_unique<TFormGame>(args, File, Seams);
        form->show();
        QCoreApplication::processEvents();
        return form;
    }

    fs::path Dir;
    std::string File;
    TConfig Settings;
    TConfig* PreviousConfig = nullptr;
    TMessageBoxHandler PreviousHandler;
    TLauncherSeams Seams;
    std::vector<std::string> Messages, Questions, Confirmations;
    std::deque<std::string> Answers;
    bool ConfirmAnswer = true;
    std::vector<TGameStart> Starts;
    std::function<void(TGameProgress&)> Game;
};

TEST_F(FormMain, WindowHasItsCaptionSizeAndControlsInPlace) {
    WriteProfiles({Profile(0, "Alice")});
    auto form = Open();
    EXPECT_EQ(form->windowTitle(), QString("Kalmirov 1.2"));
    EXPECT_EQ(form->size(), QSize(402, 392));
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(67, 67, 67));
    EXPECT_EQ(form->ComboBoxLanguage->geometry().topLeft(), QPoint(304, 140));
    EXPECT_EQ(form->ComboBoxLanguage->width(), 89);
    EXPECT_EQ(form->ListViewPlayer->geometry(), QRect(160, 176, 233, 129));
    EXPECT_EQ(form->ListViewPlayer->columnWidth(0), 190);
    EXPECT_EQ(form->ImageFace->geometry(), QRect(32, 204, 100, 100));
    EXPECT_EQ(form->ButtonFacePrevious->geometry(), QRect(43, 312, 35, 25));
    EXPECT_EQ(form->ButtonFaceNext->geometry(), QRect(89, 312, 35, 25));
    EXPECT_EQ(form->ButtonPlayerRemove->geometry(), QRect(160, 312, 105, 25));
    EXPECT_EQ(form->ButtonPlayerAdd->geometry(), QRect(304, 312, 89, 25));
    EXPECT_EQ(form->ImageStart->geometry(), QRect(1, 359, 401, 33));
    EXPECT_EQ(form->ButtonStart->geometry(), QRect(16, 400, 75, 25));
    EXPECT_TRUE(form->ButtonStart->isDefault());
    EXPECT_EQ(form->LabelLanguage->pos(), QPoint(32, 144));
    EXPECT_EQ(form->LabelPlayer->pos(), QPoint(32, 176));
    EXPECT_EQ(form->LabelLanguageArrow->pos(), QPoint(16, 141));
    EXPECT_EQ(form->LabelPlayerArrow->pos(), QPoint(16, 173));
    EXPECT_EQ(form->LabelPlayer->text(), QString::fromUtf8("Player / Hráč"));
    EXPECT_EQ(form->ButtonPlayerAdd->text(), QString::fromUtf8("Add/Přidat"));
    EXPECT_EQ(form->ListViewPlayer->headerItem()->text(0), QString::fromUtf8("Nick/Přezdívka"));
    ASSERT_EQ(form->ComboBoxLanguage->count(), 2);
    EXPECT_EQ(form->ComboBoxLanguage->itemText(1), QString::fromUtf8("Čeština"));
    ASSERT_EQ(form->ImageListFaces.size(), size_t(LauncherFaceCount));
    for (const QPixmap& face : form->ImageListFaces)
        EXPECT_EQ(face.size(), QSize(100, 100));
    EXPECT_EQ(form->ImageBackground->pixmap().size(), QSize(402, 402));
    EXPECT_EQ(form->ImageStart->pixmap().size(), QSize(401, 33));
}

TEST_F(FormMain, RefusedNicksAreAskedAgainWithTheTypedTextAndCancelSaysNothing) {
    WriteProfiles({Profile(0, "Alice", 0, true)});
    auto form = Open();
    Answers = {"abcdefghijklmnopqrst", "", "Peña", "Alice", "abcdefghijklmnopqrs"};
    form->AddPlayer();
    ASSERT_EQ(Messages.size(), 4u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(Messages[i], "Invalid nick.\r\nŠpatná přezdívka.");
    EXPECT_EQ(Messages[3], DuplicateNickText);
    ASSERT_EQ(Questions.size(), 5u);
    EXPECT_EQ(Questions[0], "New Player/Nový Hráč|Nick/Přezdívka|");
    EXPECT_EQ(Questions[1], "New Player/Nový Hráč|Nick/Přezdívka|abcdefghijklmnopqrst");
    ASSERT_EQ(form->Profiles.Records.size(), 2u);
    EXPECT_EQ(form->Profiles.Records[1].Nick, "abcdefghijklmnopqrs");
    EXPECT_EQ(form->SelectedProfile, 1);
    EXPECT_EQ(FileBytes().size(), 104u) << "a new player is in the file at once";

    form->AddPlayer(); // cancelled
    EXPECT_EQ(Messages.size(), 4u);
    EXPECT_EQ(form->Profiles.Records.size(), 2u);
}

TEST_F(FormMain, InvalidNickMessageShowsOnTwoLines) {
    EXPECT_EQ(DialogText(Utf8ToCp1250(InvalidNickText)),
              QString::fromUtf8("Invalid nick.\nŠpatná přezdívka."));
}

TEST_F(FormMain, MessageThatLooksLikeHtmlShowsAsPlainText) {
    std::unique_ptr<QMessageBox> box = MessageDialog("200 <b>OK</b><img src=\"x.png\">", "Kalmirov");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), QString("200 <b>OK</b><img src=\"x.png\">"));
    EXPECT_EQ(box->windowTitle(), QString("Kalmirov"));
}

TEST_F(FormMain, EmptyFileAsksForTheFirstPlayer) {
    Answers = {"Žofie"};
    auto form = Open();
    QCoreApplication::processEvents();
    ASSERT_EQ(Questions.size(), 1u);
    ASSERT_EQ(form->Profiles.Records.size(), 1u);
    EXPECT_EQ(form->Profiles.Records[0].Nick, Utf8ToCp1250("Žofie"));
    EXPECT_EQ(form->SelectedProfile, 0);
    EXPECT_EQ(form->ListViewPlayer->topLevelItem(0)->text(0), QString::fromUtf8("Žofie"));
    std::vector<uint8_t> bytes = FileBytes();
    ASSERT_EQ(bytes.size(), 52u);
    EXPECT_EQ(bytes[12], 5);
    EXPECT_EQ(bytes[33], 1);
}

TEST_F(FormMain, FaceButtonsStopAtTheEnds) {
    WriteProfiles({Profile(0, "Alice", 0, true)});
    auto form = Open();
    EXPECT_FALSE(form->ButtonFacePrevious->isEnabled());
    EXPECT_TRUE(form->ButtonFaceNext->isEnabled());
    for (int i = 0; i < LauncherFaceCount - 1; ++i)
        QTest::mouseClick(form->ButtonFaceNext, Qt::LeftButton);
    EXPECT_EQ(form->Profiles.Records[0].Face, 18);
    EXPECT_FALSE(form->ButtonFaceNext->isEnabled());
    EXPECT_TRUE(form->ButtonFacePrevious->isEnabled());
    EXPECT_EQ(form->ImageFace->pixmap().toImage(), form->ImageListFaces[18].toImage());
    QTest::mouseClick(form->ButtonFacePrevious, Qt::LeftButton);
    EXPECT_EQ(form->Profiles.Records[0].Face, 17);
    EXPECT_TRUE(form->ButtonFaceNext->isEnabled());
}

TEST_F(FormMain, ButtonsDisabledAtStartWithoutASelection) {
    WriteProfiles({Profile(0, "Alice"), Profile(1, "Bob")});
    auto form = Open();
    EXPECT_EQ(form->SelectedProfile, -1);
    EXPECT_FALSE(form->ButtonFacePrevious->isEnabled());
    EXPECT_FALSE(form->ButtonFaceNext->isEnabled());
    EXPECT_FALSE(form->ButtonPlayerRemove->isEnabled());
    EXPECT_TRUE(form->ButtonPlayerAdd->isEnabled());
    form->StartGame();
    EXPECT_TRUE(Starts.empty()) << "no start without a selected profile";
    EXPECT_TRUE(form->isVisible());
}

TEST_F(FormMain, SecondRecordFlaggedSelectedOpensSelectedWithItsFace) {
    WriteProfiles({Profile(0, "Alice", 3), Profile(1, "Bob", 7, true), Profile(2, "Cyril", 11)});
    auto form = Open();
    EXPECT_EQ(form->SelectedProfile, 1);
    EXPECT_TRUE(form->ListViewPlayer->topLevelItem(1)->isSelected());
    EXPECT_EQ(form->ImageFace->pixmap().toImage(), form->ImageListFaces[7].toImage());
    EXPECT_TRUE(form->ButtonPlayerRemove->isEnabled());
}

TEST_F(FormMain, RemovingTheSecondOfThreeRenumbersAndWritesTheFile) {
    WriteProfiles({Profile(0, "Alice"), Profile(1, "Bob", 2, true), Profile(2, "Cyril", 5)});
    auto form = Open();
    form->ListViewPlayer->setFocus();
    QTest::keyClick(form->ListViewPlayer, Qt::Key_Delete);
    ASSERT_EQ(Confirmations.size(), 1u);
    EXPECT_EQ(Confirmations[0], "Really remove this player?\r\nOpravdu odstranit tohoto hráče?");
    ASSERT_EQ(form->Profiles.Records.size(), 2u);
    EXPECT_EQ(form->Profiles.Records[0].Index, 0);
    EXPECT_EQ(form->Profiles.Records[1].Index, 1);
    EXPECT_EQ(form->Profiles.Records[1].Nick, "Cyril");
    EXPECT_EQ(form->ListViewPlayer->topLevelItemCount(), 2);
    EXPECT_EQ(form->SelectedProfile, -1);
    EXPECT_FALSE(form->ButtonPlayerRemove->isEnabled());

    std::vector<uint8_t> bytes = FileBytes();
    ASSERT_EQ(bytes.size(), 104u) << "the file follows at once";
    EXPECT_EQ(bytes[52 + 4], 1);
    EXPECT_EQ(bytes[52 + 12], 5);
    EXPECT_EQ(std::string(bytes.begin() + 52 + 13, bytes.begin() + 52 + 18), "Cyril");
}

TEST_F(FormMain, CancelledRemovalKeepsThePlayer) {
    WriteProfiles({Profile(0, "Alice", 0, true)});
    auto form = Open();
    ConfirmAnswer = false;
    QTest::mouseClick(form->ButtonPlayerRemove, Qt::LeftButton);
    EXPECT_EQ(Confirmations.size(), 1u);
    EXPECT_EQ(form->Profiles.Records.size(), 1u);
}

TEST_F(FormMain, ThirtyThirdPlayerRefusedWithoutAMessage) {
    std::vector<TProfileRecord> records;
    for (int i = 0; i < MaxProfiles; ++i)
        records.push_back(Profile(i, "P" + std::to_string(i)));
    WriteProfiles(records);
    auto form = Open();
    Answers = {"Extra"};
    form->AddPlayer();
    EXPECT_EQ(form->Profiles.Records.size(), size_t(MaxProfiles));
    EXPECT_EQ(form->ListViewPlayer->topLevelItemCount(), MaxProfiles);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(FormMain, CaptionEditedInPlaceIsCheckedAndUndoneWhenInvalid) {
    WriteProfiles({Profile(0, "Alice", 0, true)});
    auto form = Open();
    QTreeWidgetItem* item = form->ListViewPlayer->topLevelItem(0);
    item->setText(0, QString::fromUtf8("Šárka"));
    EXPECT_EQ(form->Profiles.Records[0].Nick, Utf8ToCp1250("Šárka"));
    item->setText(0, "abcdefghijklmnopqrst");
    EXPECT_EQ(form->Profiles.Records[0].Nick, Utf8ToCp1250("Šárka"));
    EXPECT_EQ(item->text(0), QString::fromUtf8("Šárka"));
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], "Invalid nick.\r\nŠpatná přezdívka.");
    item->setText(0, QString::fromUtf8("Šárka"));
    EXPECT_EQ(Messages.size(), 1u) << "a player's own nick is no duplicate";
}

TEST_F(FormMain, LanguageListIsTheSetting) {
    Settings.Language = 1;
    WriteProfiles({Profile(0, "Alice", 0, true)});
    auto form = Open();
    EXPECT_EQ(form->ComboBoxLanguage->currentIndex(), 1);
    form->ComboBoxLanguage->setCurrentIndex(0);
    EXPECT_EQ(Settings.Language, 0);
}

TEST(LauncherArguments, OnlyAFirstDashWRunsInAWindow) {
    EXPECT_TRUE(FullscreenRequested({}));
    EXPECT_FALSE(FullscreenRequested({"-w"}));
    EXPECT_FALSE(FullscreenRequested({"-w", "-ns"}));
    EXPECT_TRUE(FullscreenRequested({"-ns", "-w"}));
    EXPECT_TRUE(FullscreenRequested({"-W"}));
}

TEST_F(FormMain, StartHandsTheGameTheSelectedProfileAndTheWindowMode) {
    WriteProfiles({Profile(0, "Alice"), Profile(1, "Bob", 0, true)});
    auto form = Open({"-ns", "-w"});
    form->StartGame();
    ASSERT_EQ(Starts.size(), 1u);
    EXPECT_EQ(Starts[0].SelectedProfile, 1);
    EXPECT_EQ(Starts[0].Profiles, &form->Profiles);
    EXPECT_EQ(Starts[0].ProfilesFile, File);
    EXPECT_TRUE(Starts[0].Fullscreen) << "-w counts only as the first argument";

    auto windowed = Open({"-w"});
    windowed->StartGame();
    ASSERT_EQ(Starts.size(), 2u);
    EXPECT_FALSE(Starts[1].Fullscreen);
}

TEST_F(FormMain, CopyBackPutsMissionAndScoreIntoTheRecord) {
    WriteProfiles({Profile(0, "Alice"), Profile(1, "Bob", 4, true)});
    auto form = Open();
    bool hiddenDuringGame = false;
    Game = [&](TGameProgress& progress) {
        hiddenDuringGame = !form->isVisible();
        progress.Mission = 4;
        progress.ScoreCounter = 77;
        progress.Score = 1234;
    };
    QTest::keyClick(form.get(), Qt::Key_Return);
    ASSERT_EQ(Starts.size(), 1u) << "Enter starts the game";
    EXPECT_TRUE(hiddenDuringGame);
    EXPECT_FALSE(form->isVisible()) << "the window closes after the game";
    EXPECT_EQ(form->ExitCode, 0);

    std::vector<uint8_t> bytes = FileBytes();
    ASSERT_EQ(bytes.size(), 104u);
    const uint8_t* bob = &bytes[52];
    EXPECT_EQ(bob[0], 1);
    EXPECT_EQ(bob[33], 4);
    EXPECT_EQ(bob[36], 77);
    EXPECT_EQ(bob[40] | bob[41] << 8 | bob[42] << 16 | bob[43] << 24, 1234);
    EXPECT_EQ(bob[8], 4) << "the face stays";
    EXPECT_EQ(bytes[33], 1) << "the other profile keeps its mission";
}

TEST_F(FormMain, GameErrorStillKeepsTheProgressAndEndsWithAFailure) {
    WriteProfiles({Profile(0, "Alice", 0, true)});
    auto form = Open();
    Game = [](TGameProgress& progress) {
        progress.Mission = 3;
        progress.Score = 500;
        throw std::runtime_error("Mesh bus not in resources.");
    };
    form->StartGame();
    EXPECT_EQ(form->ExitCode, 1);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], "Mesh bus not in resources.");
    std::vector<uint8_t> bytes = FileBytes();
    ASSERT_EQ(bytes.size(), 52u);
    EXPECT_EQ(bytes[33], 3);
    EXPECT_EQ(bytes[40] | bytes[41] << 8, 500);
}

TEST_F(FormMain, EnterAlwaysStartsAndDeletingDefaultsToNo) {
    WriteProfiles({Profile(0, "Alice", 0, true)});
    // Whichever control has the focus (after Add, after a cancelled Remove), Enter starts the game.
    for (int control = 0; control < 3; ++control) {
        auto form = Open();
        QWidget* targets[] = {form->ButtonPlayerAdd, form->ButtonPlayerRemove, form->ListViewPlayer};
        QTest::keyClick(targets[control], Qt::Key_Return);
        EXPECT_EQ(Starts.size(), size_t(control + 1)) << control;
    }
    EXPECT_TRUE(Questions.empty() && Confirmations.empty());

    WriteProfiles({Profile(0, "Alice")});
    auto nobody = Open();
    QTest::keyClick(nobody->ButtonPlayerAdd, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Starts.size(), 3u);
    EXPECT_EQ(Messages, std::vector<std::string>{NoPlayerText});

    // The question before a player goes: Enter answers Cancel; in Czech, Czech buttons.
    Settings.Language = 1;
    std::unique_ptr<QMessageBox> box = ConfirmDialog(RemovePlayerText);
    box->show();
    QTest::keyClick(box.get(), Qt::Key_Return);
    EXPECT_EQ(box->clickedButton(), box->button(QMessageBox::Cancel));
    EXPECT_EQ(box->button(QMessageBox::Yes)->text(), QString("Ano"));
    EXPECT_EQ(box->button(QMessageBox::Cancel)->text(), QString::fromUtf8("Zrušit"));
    std::unique_ptr<QInputDialog> nick = NickDialog(NewPlayerTitle, NickPrompt, "Bob");
    EXPECT_EQ(nick->cancelButtonText(), QString::fromUtf8("Zrušit"));
    ASSERT_NE(nick->findChild<QLineEdit*>(), nullptr);
    EXPECT_EQ(nick->findChild<QLineEdit*>()->maxLength(), MaxNickCharacters);
    EXPECT_EQ(nick->textValue(), QString("Bob"));
}

TEST_F(FormMain, StartBannerClickStarts) {
    WriteProfiles({Profile(0, "Alice", 0, true)});
    auto form = Open();
    QTest::mouseClick(form->ImageStart, Qt::LeftButton, {}, QPoint(200, 16));
    EXPECT_EQ(Starts.size(), 1u);
}

TEST_F(FormMain, EscapeClosesAndSavesTheProfiles) {
    WriteProfiles({Profile(0, "Alice", 0), Profile(1, "Bob", 0, true)});
    auto form = Open();
    form->ListViewPlayer->setCurrentItem(form->ListViewPlayer->topLevelItem(0));
    EXPECT_EQ(form->SelectedProfile, 0);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(Starts.empty());
    std::vector<uint8_t> bytes = FileBytes();
    ASSERT_EQ(bytes.size(), 104u);
    EXPECT_EQ(bytes[0], 1) << "the selection is stored";
    EXPECT_EQ(bytes[52], 0);
}

TEST_F(FormMain, DataTreeCarriesTheIconAndTheDesktopEntry) {
    QImage icon(QString::fromUtf8("data/resources/kalmirov.png"));
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(256, 256));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << "transparent corners";
    EXPECT_EQ(qAlpha(icon.pixel(128, 128)), 255);

    std::ifstream file("data/resources/kalmirov.desktop");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The entry starts the program beside the data tree it came with (a build may link another's).
    std::string runDir = fs::canonical("data").parent_path().string();
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(text.find("\nExec=\"" + runDir + "/kalmirov\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nPath=" + runDir + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nIcon=kalmirov\n"), std::string::npos);

    WriteProfiles({Profile(0, "Alice")});
    auto form = Open();
    EXPECT_FALSE(form->windowIcon().isNull());
}

TEST(LauncherScript, ReadsAnswersKeysAndStart) {
    fs::path file = fs::temp_directory_path() / "kal_launcher_script.txt";
    {
        std::ofstream out(file);
        out << "# first player\nnick Jan Novák\nkeys quit.keys\nstart\n";
    }
    TLauncherScript script = ReadLauncherScript(file.string());
    ASSERT_EQ(script.Nicks.size(), 1u);
    EXPECT_EQ(script.Nicks[0], "Jan Novák");
    EXPECT_EQ(script.GameKeys, "quit.keys");
    EXPECT_TRUE(script.Start);
    {
        std::ofstream out(file);
        out << "press Start\n";
    }
    EXPECT_THROW(ReadLauncherScript(file.string()), std::exception);
    fs::remove(file);
}

// Pictures of the window with three players, in English and with Czech chosen, for review.
TEST_F(FormMain, ScreenshotsWithThreePlayers) {
    // The nicks are stored in Windows-1250.
    WriteProfiles({Profile(0, "Alice", 1), Profile(1, Utf8ToCp1250("Bořek"), 9, true),
                   Profile(2, Utf8ToCp1250("Šárka"), 3)});
    fs::create_directories(KAL_SCREENSHOT_DIR);
    for (int language : {0, 1}) {
        Settings.Language = uint8_t(language);
        auto form = Open();
        EXPECT_EQ(form->ListViewPlayer->topLevelItem(2)->text(0), QString::fromUtf8("Šárka"));
        QImage shot = form->grab().toImage();
        EXPECT_EQ(shot.size() / shot.devicePixelRatio(), QSize(402, 392));
        std::string name =
            std::string(KAL_SCREENSHOT_DIR) + (language == 0 ? "/launcher-en.png" : "/launcher-cs.png");
        EXPECT_TRUE(shot.save(QString::fromStdString(name)));
        // The background colour shows where no picture covers the window.
        EXPECT_EQ(form->palette().color(QPalette::Window), QColor(67, 67, 67));
    }
}

} // namespace

int main(int argc, char** argv) {
    // No display needed: Qt draws into memory.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    std::error_code error;
    fs::current_path(KAL_RUN_DIR, error);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
