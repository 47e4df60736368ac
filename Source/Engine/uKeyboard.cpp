#include "uKeyboard.h"
#include "uByteReader.h"
#include "uErrors.h"

#include <GLFW/glfw3.h>
#include <algorithm>
#include <cstring>
#include <sstream>

namespace {

struct TKeyName {
    const char* Name;
    uint32_t Code;
    int GlfwKey;
};

// Every key with a scan code: its DirectInput name and its GLFW key.
const TKeyName KeyNames[] = {
    {"ESCAPE", DIK_ESCAPE, GLFW_KEY_ESCAPE}, {"1", DIK_1, GLFW_KEY_1}, {"2", DIK_2, GLFW_KEY_2},
    {"3", DIK_3, GLFW_KEY_3}, {"4", DIK_4, GLFW_KEY_4}, {"5", DIK_5, GLFW_KEY_5}, {"6", DIK_6, GLFW_KEY_6},
    {"7", DIK_7, GLFW_KEY_7}, {"8", DIK_8, GLFW_KEY_8}, {"9", DIK_9, GLFW_KEY_9}, {"0", DIK_0, GLFW_KEY_0},
    {"MINUS", DIK_MINUS, GLFW_KEY_MINUS}, {"EQUALS", DIK_EQUALS, GLFW_KEY_EQUAL},
    {"BACK", DIK_BACK, GLFW_KEY_BACKSPACE}, {"TAB", DIK_TAB, GLFW_KEY_TAB}, {"Q", DIK_Q, GLFW_KEY_Q},
    {"W", DIK_W, GLFW_KEY_W}, {"E", DIK_E, GLFW_KEY_E}, {"R", DIK_R, GLFW_KEY_R}, {"T", DIK_T, GLFW_KEY_T},
    {"Y", DIK_Y, GLFW_KEY_Y}, {"U", DIK_U, GLFW_KEY_U}, {"I", DIK_I, GLFW_KEY_I}, {"O", DIK_O, GLFW_KEY_O},
    {"P", DIK_P, GLFW_KEY_P}, {"LBRACKET", DIK_LBRACKET, GLFW_KEY_LEFT_BRACKET},
    {"RBRACKET", DIK_RBRACKET, GLFW_KEY_RIGHT_BRACKET}, {"RETURN", DIK_RETURN, GLFW_KEY_ENTER},
    {"LCONTROL", DIK_LCONTROL, GLFW_KEY_LEFT_CONTROL}, {"A", DIK_A, GLFW_KEY_A}, {"S", DIK_S, GLFW_KEY_S},
    {"D", DIK_D, GLFW_KEY_D}, {"F", DIK_F, GLFW_KEY_F}, {"G", DIK_G, GLFW_KEY_G}, {"H", DIK_H, GLFW_KEY_H},
    {"J", DIK_J, GLFW_KEY_J}, {"K", DIK_K, GLFW_KEY_K}, {"L", DIK_L, GLFW_KEY_L},
    {"SEMICOLON", DIK_SEMICOLON, GLFW_KEY_SEMICOLON}, {"APOSTROPHE", DIK_APOSTROPHE, GLFW_KEY_APOSTROPHE},
    {"GRAVE", DIK_GRAVE, GLFW_KEY_GRAVE_ACCENT}, {"LSHIFT", DIK_LSHIFT, GLFW_KEY_LEFT_SHIFT},
    {"BACKSLASH", DIK_BACKSLASH, GLFW_KEY_BACKSLASH}, {"Z", DIK_Z, GLFW_KEY_Z}, {"X", DIK_X, GLFW_KEY_X},
    {"C", DIK_C, GLFW_KEY_C}, {"V", DIK_V, GLFW_KEY_V}, {"B", DIK_B, GLFW_KEY_B}, {"N", DIK_N, GLFW_KEY_N},
    {"M", DIK_M, GLFW_KEY_M}, {"COMMA", DIK_COMMA, GLFW_KEY_COMMA}, {"PERIOD", DIK_PERIOD, GLFW_KEY_PERIOD},
    {"SLASH", DIK_SLASH, GLFW_KEY_SLASH}, {"RSHIFT", DIK_RSHIFT, GLFW_KEY_RIGHT_SHIFT},
    {"MULTIPLY", DIK_MULTIPLY, GLFW_KEY_KP_MULTIPLY}, {"LMENU", DIK_LMENU, GLFW_KEY_LEFT_ALT},
    {"SPACE", DIK_SPACE, GLFW_KEY_SPACE}, {"CAPITAL", DIK_CAPITAL, GLFW_KEY_CAPS_LOCK},
    {"F1", DIK_F1, GLFW_KEY_F1}, {"F2", DIK_F2, GLFW_KEY_F2}, {"F3", DIK_F3, GLFW_KEY_F3},
    {"F4", DIK_F4, GLFW_KEY_F4}, {"F5", DIK_F5, GLFW_KEY_F5}, {"F6", DIK_F6, GLFW_KEY_F6},
    {"F7", DIK_F7, GLFW_KEY_F7}, {"F8", DIK_F8, GLFW_KEY_F8}, {"F9", DIK_F9, GLFW_KEY_F9},
    {"F10", DIK_F10, GLFW_KEY_F10}, {"NUMLOCK", DIK_NUMLOCK, GLFW_KEY_NUM_LOCK},
    {"SCROLL", DIK_SCROLL, GLFW_KEY_SCROLL_LOCK}, {"NUMPAD7", DIK_NUMPAD7, GLFW_KEY_KP_7},
    {"NUMPAD8", DIK_NUMPAD8, GLFW_KEY_KP_8}, {"NUMPAD9", DIK_NUMPAD9, GLFW_KEY_KP_9},
    {"SUBTRACT", DIK_SUBTRACT, GLFW_KEY_KP_SUBTRACT}, {"NUMPAD4", DIK_NUMPAD4, GLFW_KEY_KP_4},
    {"NUMPAD5", DIK_NUMPAD5, GLFW_KEY_KP_5}, {"NUMPAD6", DIK_NUMPAD6, GLFW_KEY_KP_6},
    {"ADD", DIK_ADD, GLFW_KEY_KP_ADD}, {"NUMPAD1", DIK_NUMPAD1, GLFW_KEY_KP_1},
    {"NUMPAD2", DIK_NUMPAD2, GLFW_KEY_KP_2}, {"NUMPAD3", DIK_NUMPAD3, GLFW_KEY_KP_3},
    {"NUMPAD0", DIK_NUMPAD0, GLFW_KEY_KP_0}, {"DECIMAL", DIK_DECIMAL, GLFW_KEY_KP_DECIMAL},
    {"F11", DIK_F11, GLFW_KEY_F11}, {"F12", DIK_F12, GLFW_KEY_F12},
    {"NUMPADENTER", DIK_NUMPADENTER, GLFW_KEY_KP_ENTER}, {"RCONTROL", DIK_RCONTROL, GLFW_KEY_RIGHT_CONTROL},
    {"DIVIDE", DIK_DIVIDE, GLFW_KEY_KP_DIVIDE}, {"RMENU", DIK_RMENU, GLFW_KEY_RIGHT_ALT},
    {"PAUSE", DIK_PAUSE, GLFW_KEY_PAUSE}, {"HOME", DIK_HOME, GLFW_KEY_HOME}, {"UP", DIK_UP, GLFW_KEY_UP},
    {"PRIOR", DIK_PRIOR, GLFW_KEY_PAGE_UP}, {"LEFT", DIK_LEFT, GLFW_KEY_LEFT},
    {"RIGHT", DIK_RIGHT, GLFW_KEY_RIGHT}, {"END", DIK_END, GLFW_KEY_END}, {"DOWN", DIK_DOWN, GLFW_KEY_DOWN},
    {"NEXT", DIK_NEXT, GLFW_KEY_PAGE_DOWN}, {"INSERT", DIK_INSERT, GLFW_KEY_INSERT},
    {"DELETE", DIK_DELETE, GLFW_KEY_DELETE},
};

uint32_t CheckedCode(uint32_t code) {
    if (code > 255)
        throw ERangeError("Key code " + std::to_string(code) + " out of range");
    return code;
}

} // namespace

uint32_t ScanCodeOfGlfwKey(int glfwKey) {
    for (const TKeyName& key : KeyNames)
        if (key.GlfwKey == glfwKey)
            return key.Code;
    return 0;
}

uint32_t ScanCodeOfName(const std::string& name) {
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.rfind("DIK_", 0) == 0)
        upper = upper.substr(4);
    for (const TKeyName& key : KeyNames)
        if (upper == key.Name)
            return key.Code;
    return 0;
}

std::string NameOfScanCode(uint32_t code) {
    for (const TKeyName& key : KeyNames)
        if (key.Code == code)
            return key.Name;
    return "";
}

void TLiveKeySource::Read(uint8_t state[256], uint64_t) {
    for (int i = 0; i < 256; ++i)
        state[i] = Held[i] | PressedSinceRead[i];
    std::memset(PressedSinceRead, 0, sizeof PressedSinceRead);
}

void TLiveKeySource::SetKey(uint32_t code, bool down) {
    Held[CheckedCode(code)] = down ? 0x80 : 0;
    if (down)
        PressedSinceRead[code] = 0x80;
}

void TLiveKeySource::ReleaseAll() {
    std::memset(Held, 0, sizeof Held);
    std::memset(PressedSinceRead, 0, sizeof PressedSinceRead);
}

bool TScriptKeySource::ParseLine(std::string line, const std::string& name, int lineNumber, TEvent& event) {
    if (std::string::size_type hash = line.find('#'); hash != std::string::npos)
        line.erase(hash);
    std::istringstream words(line);
    std::string passText, action, key, extra;
    if (!(words >> passText))
        return false;
    auto bad = [&](const std::string& why) {
        return Exception(name + ", line " + std::to_string(lineNumber) + ": " + why);
    };
    if (!(words >> action >> key) || (words >> extra))
        throw bad("expected \"<pass> down|up <key>\"");
    if (passText.find_first_not_of("0123456789") != std::string::npos || passText.size() > 12)
        throw bad("\"" + passText + "\" is not a pass number");
    event.Pass = std::stoull(passText);
    if (action != "down" && action != "up")
        throw bad("\"" + action + "\" is neither down nor up");
    event.Down = action == "down";
    event.Code = ScanCodeOfName(key);
    if (event.Code == 0)
        throw bad("unknown key \"" + key + "\"");
    return true;
}

TScriptKeySource TScriptKeySource::FromText(const std::string& text, const std::string& name) {
    TScriptKeySource source;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        TEvent event;
        if (ParseLine(line, name, ++lineNumber, event))
            source.Script.push_back(event);
    }
    std::stable_sort(source.Script.begin(), source.Script.end(),
                     [](const TEvent& a, const TEvent& b) { return a.Pass < b.Pass; });
    return source;
}

TScriptKeySource TScriptKeySource::FromFile(const std::string& fileName) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes))
        throw EInOutError("Cannot read key script " + fileName);
    return FromText(std::string(bytes.begin(), bytes.end()), fileName);
}

void TScriptKeySource::Read(uint8_t state[256], uint64_t pass) {
    while (Next < Script.size() && Script[Next].Pass <= pass) {
        Held[Script[Next].Code] = Script[Next].Down ? 0x80 : 0;
        ++Next;
    }
    std::memcpy(state, Held, 256);
}

void TStreamKeySource::Read(uint8_t state[256], uint64_t pass) {
    std::string line;
    while (!AtEnd && GoPass <= pass) {
        if (!std::getline(Input, line)) {
            AtEnd = true;
            break;
        }
        ++LineNumber;
        std::istringstream words(line);
        std::string passText, word, extra;
        if (words >> passText >> word && word == "go" && !(words >> extra) &&
            passText.find_first_not_of("0123456789") == std::string::npos && passText.size() <= 12) {
            GoPass = std::max<uint64_t>(GoPass, std::stoull(passText) + 1);
            continue;
        }
        TScriptKeySource::TEvent event;
        if (TScriptKeySource::ParseLine(line, Name, LineNumber, event))
            Pending.push_back(event);
    }
    // Events keep their order of arrival; one for a pass already gone takes effect now.
    std::vector<TScriptKeySource::TEvent> later;
    for (const TScriptKeySource::TEvent& event : Pending) {
        if (event.Pass <= pass)
            Held[event.Code] = event.Down ? 0x80 : 0;
        else
            later.push_back(event);
    }
    Pending = std::move(later);
    std::memcpy(state, Held, 256);
}

bool TKeySnapshot::Down(uint32_t code) const { return Now[CheckedCode(code)] != 0; }

bool TKeySnapshot::Pressed(uint32_t code) const {
    CheckedCode(code);
    return Now[code] != 0 && Before[code] == 0;
}

void TKeySnapshot::Save() { std::memcpy(Before, Now, 256); }

void TKeySnapshot::Reset() {
    std::memset(Now, 0, 256);
    std::memset(Before, 0, 256);
}
