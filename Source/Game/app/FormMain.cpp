#include "app/FormMain.h"

#include "player/Config.h"
#include "tables/FaceTable.h"
#include "session/GameEngine.h"
#include "uBMP.h"
#include "uByteReader.h"
#include "uErrors.h"
#include "uPlatform.h"
#include "uText1250.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QIcon>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* MessageCaption = "Kalmirov";

QString Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.c_str());
}

void ShowLauncherMessage(const char* utf8) {
    ShowMessageBox(Utf8ToCp1250(utf8), MessageCaption);
}

// The launcher tells the player of trouble with the profile file in a message box.
void TellPlayer(const std::string& text) {
    ShowMessageBox(text, MessageCaption);
}

bool Czech() {
    return Config().Language == 1;
}

// A picture of the data set through the game's own BMP reader, so the launcher reads exactly what
// the game does. Throws EInOutError naming a file it cannot read, EFormatError naming a damaged one.
QPixmap LoadPicture(const std::string& gamePath) {
    std::string fileName = NativePath(gamePath);
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes))
        throw EInOutError("Cannot read " + fileName);
    TBMPImage bmp = ParseBMP(bytes, fileName);
    int bpp = bmp.BytesPerPixel();
    QImage image(bmp.Width, bmp.Height, QImage::Format_RGBA8888);
    for (int y = 0; y < bmp.Height; ++y) {
        const uint8_t* row = &bmp.Pixels[size_t(bmp.Height - 1 - y) * size_t(bmp.Width) * size_t(bpp)];
        uint8_t* out = image.scanLine(y);
        for (int x = 0; x < bmp.Width; ++x, row += bpp, out += 4) {
            out[0] = row[0];
            out[1] = bpp >= 3 ? row[1] : row[0];
            out[2] = bpp >= 3 ? row[2] : row[0];
            out[3] = bpp == 4 ? row[3] : 255;
        }
    }
    return QPixmap::fromImage(image);
}

// The right-pointing white triangle before the two row labels (a symbol-font "4" elsewhere).
QPixmap ArrowPicture() {
    QPixmap picture(12, 14);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygonF({QPointF(2, 2), QPointF(10, 7), QPointF(2, 12)}));
    return picture;
}

QLabel* WhiteLabel(QWidget* parent, const char* text, int x, int y, bool bold) {
    auto* label = new QLabel(Text(text), parent);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    label->setStyleSheet("color: white; background: transparent;");
    label->move(x, y);
    label->adjustSize();
    return label;
}

// A nick edited in place takes no more characters than the nick box.
class TNickDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* field = qobject_cast<QLineEdit*>(editor))
            field->setMaxLength(MaxNickCharacters);
        return editor;
    }
};

// Enter never presses a launcher button, whichever has the focus: it always starts the game.
QPushButton* Button(QWidget* parent, const char* text, int x, int y, int w, int h) {
    auto* button = new QPushButton(Text(text), parent);
    button->setGeometry(x, y, w, h);
    button->setAutoDefault(false);
    return button;
}

void RunGameEngine(const TGameStart& start, TGameProgress& progress) {
    TGameSetup setup;
    setup.Profiles = start.Profiles;
    setup.SelectedProfile = start.SelectedProfile;
    setup.ProfilesFile = start.ProfilesFile;
    setup.HighscoreFile = HighscoreFileName();
    TGameEngine game(640, 480, start.Fullscreen, start.Harness, setup);
    auto keep = [&] {
        progress.Mission = game.Players[0]->Mission;
        progress.ScoreCounter = game.Players[0]->ScoreCounter;
        progress.Score = game.Players[0]->Score;
    };
    try {
        game.Run();
    } catch (...) {
        keep();
        throw;
    }
    keep();
}

} // namespace

TLauncherSeams DefaultLauncherSeams() {
    TLauncherSeams seams;
    seams.InputBox = [](const std::string& title, const std::string& prompt,
                        const std::string& text) -> std::optional<std::string> {
        std::unique_ptr<QInputDialog> box = NickDialog(title, prompt, text);
        if (box->exec() != QDialog::Accepted)
            return std::nullopt;
        return box->textValue().toStdString();
    };
    seams.Confirm = [](const std::string& text) {
        std::unique_ptr<QMessageBox> box = ConfirmDialog(text);
        box->exec();
        return box->clickedButton() == box->button(QMessageBox::Yes);
    };
    seams.RunGame = RunGameEngine;
    return seams;
}

std::unique_ptr<QMessageBox> ConfirmDialog(const std::string& text) {
    auto box =
        std::make_unique<QMessageBox>(QMessageBox::Question, MessageCaption, DialogText(Utf8ToCp1250(text)),
                                      QMessageBox::Yes | QMessageBox::Cancel, QApplication::activeWindow());
    box->setDefaultButton(QMessageBox::Cancel);
    box->setEscapeButton(QMessageBox::Cancel);
    if (Czech()) {
        box->button(QMessageBox::Yes)->setText(Text("Ano"));
        box->button(QMessageBox::Cancel)->setText(Text("Zrušit"));
    }
    return box;
}

std::unique_ptr<QInputDialog> NickDialog(const std::string& title, const std::string& prompt,
                                         const std::string& text) {
    auto box = std::make_unique<QInputDialog>(QApplication::activeWindow());
    box->setInputMode(QInputDialog::TextInput);
    box->setWindowTitle(Text(title));
    box->setLabelText(Text(prompt));
    box->setTextValue(Text(text));
    if (Czech())
        box->setCancelButtonText(Text("Zrušit"));
    // Every character a nick may hold is one UTF-16 unit, so the field counts them as the file does.
    if (auto* field = box->findChild<QLineEdit*>())
        field->setMaxLength(MaxNickCharacters);
    return box;
}

QString DialogText(const std::string& cp1250) {
    return Text(Cp1250ToUtf8(cp1250)).replace("\r\n", "\n");
}

std::unique_ptr<QMessageBox> MessageDialog(const std::string& text, const std::string& caption) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, DialogText(caption), DialogText(text),
                                             QMessageBox::Ok, QApplication::activeWindow());
    box->setTextFormat(Qt::PlainText);
    return box;
}

bool FullscreenRequested(const std::vector<std::string>& args) {
    return args.empty() || args[0] != "-w";
}

void CopyBackProgress(const TGameProgress& progress, TProfileRecord& record) {
    record.Mission = progress.Mission;
    record.ScoreCounter = progress.ScoreCounter;
    record.Score = progress.Score;
}

TLauncherScript ReadLauncherScript(const std::string& fileName) {
    std::ifstream file(fileName);
    if (!file)
        throw Exception("Cannot read the launcher script " + fileName);
    TLauncherScript script;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string command, rest;
        words >> command;
        std::getline(words >> std::ws, rest);
        while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r'))
            rest.pop_back();
        if (command.empty())
            continue;
        if (command == "nick")
            script.Nicks.push_back(rest);
        else if (command == "keys" && !rest.empty())
            script.GameKeys = rest;
        else if (command == "start" && rest.empty())
            script.Start = true;
        else
            throw Exception(fileName + ":" + std::to_string(number) + ": unknown command \"" + line + "\"");
    }
    return script;
}

TFormGame::TFormGame(const std::vector<std::string>& args, const std::string& profilesFile,
                     TLauncherSeams seams)
    : Args(args), ProfilesFile(profilesFile), Seams(std::move(seams)) {
    setWindowTitle(LauncherCaption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(402, 392);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(67, 67, 67));
    setPalette(palette);
    // The layout is drawn for the 8-point dialog font of a 96-dpi screen: 11 pixels.
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);
    std::string iconFile = NativePath(".\\data\\resources\\kalmirov.png");
    if (FileExists(iconFile))
        setWindowIcon(QIcon(Text(iconFile)));

    ImageBackground = new QLabel(this);
    ImageBackground->setGeometry(0, 0, 402, 402);
    ImageBackground->setPixmap(LoadPicture(".\\data\\resources\\background.bmp"));

    LabelLanguage = WhiteLabel(this, "Language / Jazyk", 32, 144, true);
    LabelLanguageArrow = WhiteLabel(this, "", 16, 141, false);
    LabelLanguageArrow->setPixmap(ArrowPicture());
    LabelLanguageArrow->adjustSize();
    ComboBoxLanguage = new QComboBox(this);
    ComboBoxLanguage->addItems({"English", Text("Čeština")});
    ComboBoxLanguage->setGeometry(304, 140, 89, 21);
    ComboBoxLanguage->setCurrentIndex(Config().Language == 1 ? 1 : 0);
    connect(ComboBoxLanguage, &QComboBox::currentIndexChanged, this,
            [](int index) { Config().Language = uint8_t(index == 1 ? 1 : 0); });

    LabelPlayer = WhiteLabel(this, "Player / Hráč", 32, 176, true);
    LabelPlayerArrow = WhiteLabel(this, "", 16, 173, false);
    LabelPlayerArrow->setPixmap(ArrowPicture());
    LabelPlayerArrow->adjustSize();

    ListViewPlayer = new QTreeWidget(this);
    ListViewPlayer->setGeometry(160, 176, 233, 129);
    ListViewPlayer->setColumnCount(1);
    ListViewPlayer->setHeaderLabels({Text("Nick/Přezdívka")});
    ListViewPlayer->header()->setStretchLastSection(false);
    ListViewPlayer->setColumnWidth(0, 190);
    ListViewPlayer->setRootIsDecorated(false);
    ListViewPlayer->setSelectionMode(QAbstractItemView::SingleSelection);
    ListViewPlayer->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListViewPlayer->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                                    QAbstractItemView::DoubleClicked);
    // The list keeps the desktop's own colours, not the window's grey, and its selection stays as
    // visible when it loses the focus.
    QPalette listPalette = QApplication::palette(ListViewPlayer);
    listPalette.setColor(QPalette::Window, listPalette.color(QPalette::Window));
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        listPalette.setColor(QPalette::Inactive, role, listPalette.color(QPalette::Active, role));
    ListViewPlayer->setPalette(listPalette);
    ListViewPlayer->setItemDelegate(new TNickDelegate(ListViewPlayer));
    ListViewPlayer->installEventFilter(this);
    connect(ListViewPlayer, &QTreeWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
    connect(ListViewPlayer, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item) { CaptionEdited(item); });

    ImageFace = new QLabel(this);
    ImageFace->setGeometry(32, 204, 100, 100);

    ButtonFacePrevious = Button(this, "<", 43, 312, 35, 25);
    ButtonFaceNext = Button(this, ">", 89, 312, 35, 25);
    ButtonPlayerRemove = Button(this, "Remove/Odstranit", 160, 312, 105, 25);
    ButtonPlayerAdd = Button(this, "Add/Přidat", 304, 312, 89, 25);
    for (QPushButton* button : {ButtonFacePrevious, ButtonFaceNext, ButtonPlayerRemove})
        button->setEnabled(false);
    connect(ButtonFacePrevious, &QPushButton::clicked, this, [this] { StepFace(-1); });
    connect(ButtonFaceNext, &QPushButton::clicked, this, [this] { StepFace(1); });
    connect(ButtonPlayerRemove, &QPushButton::clicked, this, [this] { RemovePlayer(); });
    connect(ButtonPlayerAdd, &QPushButton::clicked, this, [this] { AddPlayer(); });

    ImageStart = new QLabel(this);
    ImageStart->setGeometry(1, 359, 401, 33);
    ImageStart->setPixmap(LoadPicture(".\\data\\resources\\start.bmp"));
    ImageStart->setCursor(Qt::PointingHandCursor);
    ImageStart->installEventFilter(this);

    // Below the client area, never seen: the default button, so that Enter starts the game.
    ButtonStart = Button(this, "ButtonStart", 16, 400, 75, 25);
    ButtonStart->setDefault(true);
    ButtonStart->setFocusPolicy(Qt::NoFocus);
    connect(ButtonStart, &QPushButton::clicked, this, [this] { StartGame(); });

    for (int face = 0; face < LauncherFaceCount; ++face)
        ImageListFaces.push_back(
            LoadPicture(std::string(".\\data\\resources\\face_") + FaceTable[face].Name + ".bmp"));

    Profiles.LoadProfiles(ProfilesFile, TellPlayer);
    QSignalBlocker block(ListViewPlayer);
    for (const TProfileRecord& record : Profiles.Records) {
        auto* item = new QTreeWidgetItem(ListViewPlayer, {Text(Cp1250ToUtf8(record.Nick))});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
}

void TFormGame::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (ShownBefore)
        return;
    ShownBefore = true;
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    if (Profiles.Records.empty()) {
        // Asked once the window is on the screen, so that the box stands in front of it.
        QMetaObject::invokeMethod(
            this, [this] { AddPlayer(); }, Qt::QueuedConnection);
        return;
    }
    for (size_t i = 0; i < Profiles.Records.size(); ++i)
        if (Profiles.Records[i].Selected)
            ListViewPlayer->topLevelItem(int(i))->setSelected(true);
}

void TFormGame::closeEvent(QCloseEvent* event) {
    Profiles.SaveProfiles(ProfilesFile, TellPlayer);
    event->accept();
}

// Escape anywhere in the window closes it, and with it the program.
void TFormGame::reject() {
    close();
}

// Enter that no control takes for itself (a nick being edited in place takes it) starts the game.
void TFormGame::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        StartGame();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TFormGame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListViewPlayer && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete && SelectedProfile >= 0) {
        RemovePlayer();
        return true;
    }
    if (watched == ImageStart && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        ImageStart->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        StartGame();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormGame::SetCaption(int p, const std::string& cp1250Nick) {
    QSignalBlocker block(ListViewPlayer);
    ListViewPlayer->topLevelItem(p)->setText(0, Text(Cp1250ToUtf8(cp1250Nick)));
}

void TFormGame::ShowProfile(int p) {
    if (p < 0 || p >= int(Profiles.Records.size()))
        return;
    const TProfileRecord& profile = Profiles.Records[size_t(p)];
    SetCaption(p, profile.Nick);
    int faces = int(ImageListFaces.size());
    ButtonFaceNext->setEnabled(profile.Face < faces - 1);
    ButtonFacePrevious->setEnabled(profile.Face > 0);
    if (profile.Face >= 0 && profile.Face < faces)
        ImageFace->setPixmap(ImageListFaces[size_t(profile.Face)]);
    else
        ImageFace->clear();
}

void TFormGame::SelectionChanged() {
    QList<QTreeWidgetItem*> selected = ListViewPlayer->selectedItems();
    SelectedProfile = selected.empty() ? -1 : ListViewPlayer->indexOfTopLevelItem(selected.front());
    if (SelectedProfile == -1) {
        for (QPushButton* button : {ButtonFaceNext, ButtonFacePrevious, ButtonPlayerRemove})
            button->setEnabled(false);
        return;
    }
    for (size_t i = 0; i < Profiles.Records.size(); ++i)
        Profiles.Records[i].Selected = int(i) == SelectedProfile ? 1 : 0;
    ShowProfile(SelectedProfile);
    ButtonPlayerRemove->setEnabled(true);
}

void TFormGame::CaptionEdited(QTreeWidgetItem* item) {
    int p = ListViewPlayer->indexOfTopLevelItem(item);
    if (p < 0 || p >= int(Profiles.Records.size()))
        return;
    std::string stored;
    const char* refusal = NickRefusal(item->text(0).toStdString(), p, stored);
    if (refusal == nullptr) {
        Profiles.Records[size_t(p)].Nick = stored;
        ShowProfile(p);
        return;
    }
    SetCaption(p, Profiles.Records[size_t(p)].Nick);
    ShowLauncherMessage(refusal);
}

const char* TFormGame::NickRefusal(const std::string& utf8, int p, std::string& cp1250) const {
    if (!ValidNick(utf8, cp1250))
        return InvalidNickText;
    int holder = Profiles.Find(cp1250);
    return holder >= 0 && holder != p ? DuplicateNickText : nullptr;
}

void TFormGame::StepFace(int step) {
    if (SelectedProfile < 0)
        return;
    TProfileRecord& profile = Profiles.Records[size_t(SelectedProfile)];
    int face = profile.Face + step;
    if (face < 0 || face >= int(ImageListFaces.size()))
        return;
    profile.Face = face;
    ShowProfile(SelectedProfile);
}

void TFormGame::AddPlayer() {
    // A refused nick opens the box again with what was typed, to be mended rather than typed anew.
    std::string typed, stored;
    for (;;) {
        std::optional<std::string> answer = Seams.InputBox(NewPlayerTitle, NickPrompt, typed);
        if (!answer)
            return; // cancelled: nothing was asked of the launcher
        typed = *answer;
        const char* refusal = NickRefusal(typed, -1, stored);
        if (refusal == nullptr)
            break;
        ShowLauncherMessage(refusal);
    }
    int p = Profiles.AddProfile(stored, ProfilesFile, TellPlayer);
    if (p < 0)
        return; // the list is full (refused silently) or the file could not be written (reported)
    QTreeWidgetItem* item = nullptr;
    {
        QSignalBlocker block(ListViewPlayer);
        item = new QTreeWidgetItem(ListViewPlayer, {Text(Cp1250ToUtf8(stored))});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    ListViewPlayer->setCurrentItem(item);
    item->setSelected(true);
    ShowProfile(p);
}

void TFormGame::RemovePlayer() {
    if (SelectedProfile < 0 || !Seams.Confirm(RemovePlayerText))
        return;
    int p = SelectedProfile;
    Profiles.RemoveProfile(p, ProfilesFile, TellPlayer);
    {
        QSignalBlocker block(ListViewPlayer);
        delete ListViewPlayer->takeTopLevelItem(p);
        ListViewPlayer->clearSelection();
        ListViewPlayer->setCurrentItem(nullptr);
    }
    SelectionChanged();
}

void TFormGame::StartGame() {
    if (GameRunning)
        return;
    if (SelectedProfile < 0) {
        ShowLauncherMessage(NoPlayerText);
        return;
    }
    GameRunning = true;
    hide();
    Config().Language = uint8_t(ComboBoxLanguage->currentIndex() == 1 ? 1 : 0);
    TProfileRecord& profile = Profiles.Records[size_t(SelectedProfile)];
    TGameStart start;
    start.Profiles = &Profiles;
    start.SelectedProfile = SelectedProfile;
    start.ProfilesFile = ProfilesFile;
    start.Fullscreen = FullscreenRequested(Args) && !Config().Windowed;
    start.Harness = GameHarness;
    TGameProgress progress{profile.Mission, profile.ScoreCounter, profile.Score};
    std::string error;
    try {
        Seams.RunGame(start, progress);
    } catch (const std::exception& e) {
        error = ErrorText(e);
    }
    // What player 1 reached is kept even when the game ended with an error.
    CopyBackProgress(progress, Profiles.Records[size_t(SelectedProfile)]);
    Profiles.SaveProfiles(ProfilesFile, TellPlayer);
    if (!error.empty()) {
        ShowMessageBox(error, MessageCaption);
        ExitCode = 1;
    }
    close();
}
