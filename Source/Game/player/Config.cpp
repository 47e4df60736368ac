#include "player/Config.h"

#include "uAtomicFile.h"
#include "uByteReader.h"
#include "uKeyboard.h"
#include "uPlatform.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace {

constexpr const char* FOLDER = "kalmirov";
constexpr const char* FILE_NAME = "settings.ini";
constexpr const char* HEADER = "# Kalmirov settings. Numbers are written bare, text in double quotes.";

// Windows language ids the installer leaves behind.
constexpr int32_t LANGUAGE_ID_CZECH = 1029;

TConfig* InstalledConfig = nullptr;

// One "Name=value" line. A value is a 32-bit integer ("255") or a quoted text ("\"1029\""); any
// other value has no type, and a read of either type finds it absent.
struct TEntry {
    std::string Name;
    std::optional<int32_t> Integer;
    std::optional<std::string> Text;
};

std::string Trim(const std::string& s) {
    size_t begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return "";
    size_t end = s.find_last_not_of(" \t\r\n");
    return s.substr(begin, end - begin + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// A whole decimal number with an optional sign that fits 32 bits.
std::optional<int32_t> ParseDecimal(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return int32_t(value);
}

std::optional<TEntry> ParseLine(const std::string& line) {
    std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#' || trimmed[0] == ';')
        return std::nullopt;
    size_t equals = trimmed.find('=');
    if (equals == std::string::npos)
        return std::nullopt;
    TEntry entry;
    entry.Name = Trim(trimmed.substr(0, equals));
    if (entry.Name.empty())
        return std::nullopt;
    std::string value = Trim(trimmed.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        entry.Text = value.substr(1, value.size() - 2);
    else
        entry.Integer = ParseDecimal(value);
    return entry;
}

std::vector<std::string> SplitLines(const std::vector<uint8_t>& bytes) {
    std::vector<std::string> lines;
    std::string current;
    // A text editor's UTF-8 byte order mark is not part of the first name.
    size_t start = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
    for (uint8_t byte : std::vector<uint8_t>(bytes.begin() + std::ptrdiff_t(start), bytes.end())) {
        if (byte == '\n') {
            lines.push_back(current);
            current.clear();
        } else if (byte != '\r' && byte != 0) {
            current.push_back(char(byte));
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

// Why the bytes are no settings file at all, or empty when they are text. Hand edits and stray junk
// lines are kept; a file that is mostly control bytes, or far larger than any settings file, is
// something else (a disk error, another program's file) and is set aside.
constexpr size_t MaxSettingsBytes = 65536;

bool IsControl(char c) { return uint8_t(c) < 0x20 && c != '\t'; }

std::string NotSettingsText(const std::vector<uint8_t>& bytes) {
    if (bytes.size() > MaxSettingsBytes)
        return std::to_string(bytes.size()) + " bytes, more than the " + std::to_string(MaxSettingsBytes) +
               " a settings file may have";
    size_t control = 0;
    for (uint8_t byte : bytes)
        if (byte < 0x20 && byte != '\n' && byte != '\r' && byte != '\t')
            ++control;
    if (control * 4 > bytes.size())
        return "it is not text: " + std::to_string(control) + " of its " + std::to_string(bytes.size()) +
               " bytes are control characters";
    return "";
}

// The lines as the bytes of the settings file.
std::vector<uint8_t> FileBytes(const std::vector<std::string>& lines) {
    std::vector<uint8_t> bytes;
    for (const std::string& line : lines) {
        bytes.insert(bytes.end(), line.begin(), line.end());
        bytes.push_back('\n');
    }
    return bytes;
}

// A text value as written: in double quotes, without line breaks or other control characters.
std::string Quoted(const std::string& text) {
    std::string line = text;
    std::erase_if(line, IsControl);
    return "\"" + line + "\"";
}

// What a save may keep of the lines it read, so that the file it writes is one the next start
// reads: lines with control characters (stray bytes, never a setting of ours) go, and should the
// hand-added lines make the file larger than a settings file may be, only the game's own stay.
void KeepReadable(std::vector<std::string>& lines, const std::vector<std::string>& names) {
    std::erase_if(lines, [](const std::string& line) { return std::any_of(line.begin(), line.end(), IsControl); });
    if (FileBytes(lines).size() <= MaxSettingsBytes)
        return;
    std::erase_if(lines, [&](const std::string& line) {
        std::optional<TEntry> entry = ParseLine(line);
        return line != HEADER && !(entry && std::any_of(names.begin(), names.end(), [&](const std::string& name) {
                                       return SameName(entry->Name, name.c_str());
                                   }));
    });
}

} // namespace

std::string ConfigFileName() {
    std::filesystem::path base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    if (xdg != nullptr && xdg[0] == '/')
        base = xdg;
    else if (home != nullptr && home[0] != '\0')
        base = std::filesystem::path(home) / ".config";
    else
        return "";
    return (base / FOLDER / FILE_NAME).string();
}

TConfig::TConfig(const std::string& fileName, TNotice notice)
    : Registry(fileName), Notice(std::move(notice)) {
    if (fileName.empty())
        return;
    std::filesystem::path path(fileName);
    std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec) || access(folder.c_str(), W_OK) != 0)
        return; // no store: defaults, nothing written back
    if (std::filesystem::exists(path, ec)) {
        std::vector<uint8_t> bytes;
        // Something we cannot read as a file is never overwritten.
        if (!std::filesystem::is_regular_file(path, ec) || !ReadWholeFile(fileName, bytes))
            return;
        if (std::string problem = NotSettingsText(bytes); !problem.empty()) {
            Notice(SetAsideDamagedFile(fileName, problem)); // and the defaults stand
        } else {
            Lines = SplitLines(bytes);
            // Stray bytes in a line are damage too: the next save leaves that line out, so the file
            // as it was is kept aside, and the lines that read well are used.
            for (size_t i = 0; i < Lines.size(); ++i)
                if (std::any_of(Lines[i].begin(), Lines[i].end(), IsControl)) {
                    Notice(SetAsideDamagedFile(fileName, "line " + std::to_string(i + 1) +
                                                             " holds control characters, which are no text"));
                    break;
                }
        }
    }

    // The last line of a name counts, as a hand edit appended at the end would expect.
    auto find = [&](const char* name) {
        std::optional<TEntry> found;
        for (const std::string& line : Lines)
            if (std::optional<TEntry> entry = ParseLine(line); entry && SameName(entry->Name, name))
                found = entry;
        return found;
    };
    auto integer = [&](const char* name) -> std::optional<int32_t> {
        std::optional<TEntry> entry = find(name);
        return entry ? entry->Integer : std::nullopt;
    };

    bool languageSet = false;
    if (std::optional<TEntry> installer = find("InstallerLanguage")) {
        if (installer->Text)
            if (std::optional<int32_t> id = ParseDecimal(Trim(*installer->Text))) {
                Language = *id == LANGUAGE_ID_CZECH ? 1 : 0;
                languageSet = true;
            }
        // The installer's choice counts once: remove it at once, so the user's later choice wins.
        std::erase_if(Lines, [](const std::string& line) {
            std::optional<TEntry> entry = ParseLine(line);
            return entry && SameName(entry->Name, "InstallerLanguage");
        });
        WriteFileAtomic(fileName, FileBytes(Lines));
    }
    if (!languageSet)
        if (std::optional<int32_t> language = integer("Language");
            language && (*language == 0 || *language == 1))
            Language = uint8_t(*language);
    if (std::optional<int32_t> volume = integer("SamplesVolume"))
        SamplesVolume = std::clamp(*volume, 0, 255);
    if (std::optional<int32_t> volume = integer("ModulesVolume"))
        ModulesVolume = std::clamp(*volume, 0, 255);
    if (std::optional<int32_t> flag = integer("Windowed"))
        Windowed = *flag != 0;
    // The size comes as a pair; a window smaller than a thumbnail or larger than any screen is no
    // size a player left it at.
    std::optional<int32_t> width = integer("WindowWidth"), height = integer("WindowHeight");
    if (width && height && *width >= 160 && *height >= 120 && *width <= 16384 && *height <= 16384) {
        WindowWidth = *width;
        WindowHeight = *height;
        WindowSizeStored = true;
    }
    if (std::optional<int32_t> flag = integer("Carmageddon"))
        Carmageddon = *flag != 0;
    if (std::optional<int32_t> flag = integer("Ghosts")) {
        Ghosts = *flag != 0;
        GhostsStored = true;
    }
    if (std::optional<int32_t> flag = integer("VSync")) {
        VSync = *flag != 0;
        VSyncStored = true;
    }
    if (std::optional<int32_t> cap = integer("MaxFPS")) {
        MaxFPS = std::clamp(*cap, 0, 1000);
        MaxFPSStored = true;
    }
    if (std::optional<int32_t> flag = integer("Rumble")) {
        Rumble = *flag != 0;
        RumbleStored = true;
    }
    if (std::optional<int32_t> flag = integer("MiniMap")) {
        MiniMap = *flag != 0;
        MiniMapStored = true;
    }
    // Only the menu's own choices; any other number leaves the scale to the game.
    if (std::optional<int32_t> scale = integer("RenderScale")) {
        RenderScale = IsRenderScaleChoice(*scale) ? *scale : 0;
        RenderScaleStored = true;
    }
    if (std::optional<int32_t> view = integer("CameraView")) {
        CameraView = *view == 0 ? 0 : 1;
        CameraViewStored = true;
    }
    if (std::optional<int32_t> zoom = integer("CameraZoom")) {
        CameraZoom = std::clamp(*zoom, CameraZoomMin, CameraZoomMax);
        CameraZoomStored = true;
    }
    // A key by its name; "" for none. A set with an unknown or reserved key, or one key for two
    // actions (a hand edit gone wrong), is no set a player chose in the menu: the defaults stand.
    TKeyBindings keys = Keys;
    bool keysRead = true;
    for (int p = 0; p < KeyPlayers; ++p)
        for (int a = 0; a < KeyActionCount; ++a) {
            std::optional<TEntry> entry = find(KeySettingName(p, TKeyAction(a)).c_str());
            if (!entry)
                continue;
            std::string name = entry->Text ? Trim(*entry->Text) : "";
            uint32_t key = name.empty() ? NoKey : ScanCodeOfName(name);
            if (!entry->Text || (!name.empty() && key == NoKey))
                keysRead = false;
            keys.Keys[size_t(p)][size_t(a)] = key;
            // Stored, even as none: the line stays in the file.
            StoredKeys.Keys[size_t(p)][size_t(a)] = 1;
        }
    // A file written before the camera's zoom had keys may have given their default keys to another
    // action: the zoom then goes without a key rather than the player's set being lost.
    for (int p = 0; p < KeyPlayers; ++p)
        for (int a = int(TKeyAction::ZoomIn); a < KeyActionCount; ++a) {
            uint32_t& key = keys.Keys[size_t(p)][size_t(a)];
            if (StoredKeys.Keys[size_t(p)][size_t(a)] != 0 || key == NoKey)
                continue;
            for (int q = 0; q < KeyPlayers; ++q)
                for (int b = 0; b < KeyActionCount; ++b)
                    if (StoredKeys.Keys[size_t(q)][size_t(b)] != 0 && keys.Keys[size_t(q)][size_t(b)] == key)
                        key = NoKey;
        }
    if (keysRead && keys.Valid())
        Keys = keys;
    // An empty address counts as absent: there would be nowhere to send to.
    if (std::optional<TEntry> server = find("HighscoreServer");
        server && server->Text && !Trim(*server->Text).empty())
        HighscoreServer = Trim(*server->Text);
    KeyOpen = true;
}

TConfig::~TConfig() {
    if (!KeyOpen)
        return;
    // Written back even with no one to tell of a failure.
    Save(Notice ? Notice : TNotice([](const std::string&) {}));
}

bool TConfig::Save(const TNotice& notice) {
    if (!KeyOpen) {
        notice(Registry + ": the settings store is not open");
        return false;
    }
    // The store is the folder opened at start; one removed since is not brought back.
    std::filesystem::path path(Registry);
    std::error_code ec;
    if (!std::filesystem::is_directory(path.has_parent_path() ? path.parent_path() : ".", ec)) {
        notice(Registry + ": cannot be written (its folder is gone)");
        return false;
    }
    std::vector<std::pair<const char*, std::string>> values = {
        {"Language", std::to_string(Language)},           {"SamplesVolume", std::to_string(SamplesVolume)},
        {"ModulesVolume", std::to_string(ModulesVolume)}, {"Windowed", Windowed ? "1" : "0"},
        {"Carmageddon", Carmageddon ? "1" : "0"},         {"HighscoreServer", Quoted(HighscoreServer)},
    };
    // The ghost switch, the frame pacing and the window's size are written once they differ from the
    // defaults (or were in the file), so a file of players who never touch them stays line for line
    // as before.
    if (!Ghosts || GhostsStored)
        values.emplace_back("Ghosts", Ghosts ? "1" : "0");
    if (!VSync || VSyncStored)
        values.emplace_back("VSync", VSync ? "1" : "0");
    if (MaxFPS != 0 || MaxFPSStored)
        values.emplace_back("MaxFPS", std::to_string(MaxFPS));
    if (!Rumble || RumbleStored)
        values.emplace_back("Rumble", Rumble ? "1" : "0");
    if (!MiniMap || MiniMapStored)
        values.emplace_back("MiniMap", MiniMap ? "1" : "0");
    if (RenderScale != 0 || RenderScaleStored)
        values.emplace_back("RenderScale", std::to_string(RenderScale));
    if (CameraView != 1 || CameraViewStored)
        values.emplace_back("CameraView", std::to_string(CameraView));
    if (CameraZoom != 100 || CameraZoomStored)
        values.emplace_back("CameraZoom", std::to_string(CameraZoom));
    const TConfig defaults;
    std::vector<std::string> keyNames; // kept alive for the names' pointers below
    keyNames.reserve(KeyPlayers * KeyActionCount);
    for (int p = 0; p < KeyPlayers; ++p)
        for (int a = 0; a < KeyActionCount; ++a) {
            uint32_t key = Keys.Keys[size_t(p)][size_t(a)];
            if (key == defaults.Keys.Keys[size_t(p)][size_t(a)] && StoredKeys.Keys[size_t(p)][size_t(a)] == 0)
                continue;
            keyNames.push_back(KeySettingName(p, TKeyAction(a)));
            values.emplace_back(keyNames.back().c_str(), Quoted(NameOfScanCode(key)));
        }
    if (WindowWidth != defaults.WindowWidth || WindowHeight != defaults.WindowHeight || WindowSizeStored) {
        values.emplace_back("WindowWidth", std::to_string(WindowWidth));
        values.emplace_back("WindowHeight", std::to_string(WindowHeight));
    }
    std::vector<std::string> lines = Lines;
    std::vector<std::string> names;
    for (const auto& value : values)
        names.emplace_back(value.first);
    if (lines.empty())
        lines.push_back(HEADER);
    for (const auto& [name, value] : values) {
        std::string line = std::string(name) + "=" + value;
        // The value replaces the first line of its name; later duplicates go.
        std::vector<std::string> kept;
        bool placed = false;
        for (std::string& existing : lines) {
            std::optional<TEntry> entry = ParseLine(existing);
            if (entry && SameName(entry->Name, name)) {
                if (!placed)
                    kept.push_back(line);
                placed = true;
            } else {
                kept.push_back(std::move(existing));
            }
        }
        if (!placed)
            kept.push_back(line);
        lines = std::move(kept);
    }
    KeepReadable(lines, names);
    std::string error;
    if (!WriteFileAtomic(Registry, FileBytes(lines), &error)) {
        notice(error);
        return false;
    }
    Lines = lines;
    return true;
}

TConfig& Config() {
    static TConfig defaults;
    return InstalledConfig != nullptr ? *InstalledConfig : defaults;
}

TConfig* SetConfig(TConfig* config) {
    TConfig* previous = InstalledConfig;
    InstalledConfig = config;
    return previous;
}
