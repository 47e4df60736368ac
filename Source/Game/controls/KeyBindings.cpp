#include "controls/KeyBindings.h"

#include "tables/GameConsts.h"
#include "uKeyboard.h"

#include <algorithm>

namespace {

const TTextPair ActionLabels[KeyActionCount] = {
    {"Accelerate", "Plyn"}, {"Brake/reverse", "Brzda/couvání"}, {"Left", "Vlevo"},    {"Right", "Vpravo"},
    {"Horn", "Klakson"},    {"Headlights", "Světla"},           {"City map", "Mapa"}, {"Camera", "Kamera"},
    {"Camera nearer", "Kamera blíž"}, {"Camera farther", "Kamera dál"},
};
const char* const ActionNames[KeyActionCount] = {"Accelerate", "Brake",  "Left", "Right",
                                                 "Horn",       "Lights", "Map",  "Camera",
                                                 "ZoomIn",     "ZoomOut"};

struct TKeyText {
    uint32_t Key;
    TTextPair Label;
};
// Keys shown by another name than their DirectInput one; letters and digits show as themselves.
const TKeyText KeyTexts[] = {
    {DIK_UP, {"Up", "Nahoru"}},
    {DIK_DOWN, {"Down", "Dolů"}},
    {DIK_LEFT, {"Left", "Vlevo"}},
    {DIK_RIGHT, {"Right", "Vpravo"}},
    {DIK_SPACE, {"Space", "Mezerník"}},
    {DIK_LCONTROL, {"Left Ctrl", "Levý Ctrl"}},
    {DIK_LSHIFT, {"Left Shift", "Levý Shift"}},
    {DIK_RSHIFT, {"Right Shift", "Pravý Shift"}},
    {DIK_RCONTROL, {"Right Ctrl", "Pravý Ctrl"}},
    {DIK_LMENU, {"Left Alt", "Levý Alt"}},
    {DIK_RMENU, {"Right Alt", "Pravý Alt"}},
    {DIK_RETURN, {"Enter", "Enter"}},
    {DIK_ESCAPE, {"Escape", "Escape"}},
    {DIK_BACK, {"Backspace", "Backspace"}},
    {DIK_CAPITAL, {"Caps Lock", "Caps Lock"}},
    {DIK_INSERT, {"Insert", "Insert"}},
    {DIK_DELETE, {"Delete", "Delete"}},
    {DIK_HOME, {"Home", "Home"}},
    {DIK_END, {"End", "End"}},
    {DIK_PRIOR, {"Page Up", "Page Up"}},
    {DIK_NEXT, {"Page Down", "Page Down"}},
    {DIK_NUMLOCK, {"Num Lock", "Num Lock"}},
    {DIK_SCROLL, {"Scroll Lock", "Scroll Lock"}},
    {DIK_PAUSE, {"Pause", "Pause"}},
    {DIK_MULTIPLY, {"Num *", "Num *"}},
    {DIK_SUBTRACT, {"Num -", "Num -"}},
    {DIK_ADD, {"Num +", "Num +"}},
    {DIK_DECIMAL, {"Num .", "Num ,"}},
    {DIK_DIVIDE, {"Num /", "Num /"}},
    {DIK_NUMPADENTER, {"Num Enter", "Num Enter"}},
    {DIK_MINUS, {"-", "-"}},
    {DIK_EQUALS, {"=", "="}},
    {DIK_LBRACKET, {"[", "["}},
    {DIK_RBRACKET, {"]", "]"}},
    {DIK_SEMICOLON, {";", ";"}},
    {DIK_APOSTROPHE, {"'", "'"}},
    {DIK_GRAVE, {"`", "`"}},
    {DIK_BACKSLASH, {"\\", "\\"}},
    {DIK_COMMA, {",", ","}},
    {DIK_PERIOD, {".", "."}},
    {DIK_SLASH, {"/", "/"}},
};

const TTextPair NoKeyText = {"none", "žádná"};

} // namespace

TKeyBindings TKeyBindings::Defaults() {
    TKeyBindings keys;
    keys.Keys[0] = {DIK_UP, DIK_DOWN, DIK_LEFT, DIK_RIGHT, DIK_LCONTROL, DIK_Q, DIK_TAB, DIK_C, DIK_PRIOR, DIK_NEXT};
    keys.Keys[1] = {DIK_W, DIK_S, DIK_E, DIK_R, DIK_Y, DIK_A, NoKey, NoKey, NoKey, NoKey};
    return keys;
}

bool ReservedKey(uint32_t key) {
    return key == DIK_ESCAPE || key == DIK_RETURN || key == DIK_LMENU || key == DIK_RMENU ||
           key == DIK_RCONTROL || (key >= DIK_F1 && key <= DIK_F10) || key == DIK_F11 || key == DIK_F12;
}

bool TKeyBindings::Uses(uint32_t key) const {
    for (const auto& player : Keys)
        for (uint32_t k : player)
            if (k != NoKey && k == key)
                return true;
    return false;
}

TBindResult TKeyBindings::Bind(int player, TKeyAction action, uint32_t key, int* holderPlayer,
                               TKeyAction* holderAction) {
    if (key == NoKey || NameOfScanCode(key).empty())
        return TBindResult::Unknown;
    if (ReservedKey(key))
        return TBindResult::Reserved;
    for (int p = 0; p < KeyPlayers; ++p)
        for (int a = 0; a < KeyActionCount; ++a)
            if (Keys[size_t(p)][size_t(a)] == key && !(p == player && a == int(action))) {
                if (holderPlayer)
                    *holderPlayer = p;
                if (holderAction)
                    *holderAction = TKeyAction(a);
                return TBindResult::Taken;
            }
    Keys[size_t(player)][size_t(action)] = key;
    return TBindResult::Bound;
}

bool TKeyBindings::Valid() const {
    TKeyBindings rebuilt;
    for (int p = 0; p < KeyPlayers; ++p)
        for (int a = 0; a < KeyActionCount; ++a) {
            uint32_t key = Keys[size_t(p)][size_t(a)];
            if (key != NoKey && rebuilt.Bind(p, TKeyAction(a), key) != TBindResult::Bound)
                return false;
        }
    return true;
}

std::string KeySettingName(int player, TKeyAction action) {
    return "Player" + std::to_string(player + 1) + ActionNames[size_t(action)];
}

std::string KeyLabel(uint32_t key, int language) {
    if (key == NoKey)
        return PickText(NoKeyText, language);
    for (const TKeyText& text : KeyTexts)
        if (text.Key == key)
            return PickText(text.Label, language);
    std::string name = NameOfScanCode(key);
    if (name.rfind("NUMPAD", 0) == 0)
        return "Num " + name.substr(6);
    return name;
}

std::string KeyActionLabel(TKeyAction action, int language) {
    return PickText(ActionLabels[size_t(action)], language);
}

std::string DrivingKeysText(const TKeyBindings& keys, int player, int language) {
    const auto& own = keys.Keys[size_t(player)];
    const TKeyBindings defaults = TKeyBindings::Defaults();
    const auto& arrows = defaults.Keys[0];
    if (std::equal(arrows.begin(), arrows.begin() + 4, own.begin()))
        return MenuText(mtArrowKeys, language);
    std::string list;
    for (TKeyAction action : {TKeyAction::Accelerate, TKeyAction::Brake, TKeyAction::Left, TKeyAction::Right})
        list += (list.empty() ? "" : ", ") + KeyLabel(keys.Key(player, action), language);
    return PlaceNumber(MenuText(mtKeysList, language), "%s", list);
}

std::string MapHintText(const TKeyBindings& keys, int language) {
    uint32_t key = keys.Key(0, TKeyAction::Map);
    if (key == NoKey)
        return "";
    return PlaceNumber(PickText(HintCityMap, language), "%s", KeyLabel(key, language));
}
