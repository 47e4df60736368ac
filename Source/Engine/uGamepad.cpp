#include "uGamepad.h"
#include "uByteReader.h"
#include "uErrors.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

const char* const AxisNames[PadAxisCount] = {"LEFTX",  "LEFTY",        "RIGHTX",
                                             "RIGHTY", "LEFT_TRIGGER", "RIGHT_TRIGGER"};
const char* const ButtonNames[PadButtonCount] = {
    "A",     "B",          "X",           "Y",       "LEFT_BUMPER", "RIGHT_BUMPER", "BACK",      "START",
    "GUIDE", "LEFT_THUMB", "RIGHT_THUMB", "DPAD_UP", "DPAD_RIGHT",  "DPAD_DOWN",    "DPAD_LEFT",
};

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

bool PadAxisOfName(const std::string& name, TPadAxis& axis) {
    std::string upper = Upper(name);
    for (int i = 0; i < PadAxisCount; ++i)
        if (upper == AxisNames[i]) {
            axis = TPadAxis(i);
            return true;
        }
    return false;
}

bool PadButtonOfName(const std::string& name, TPadButton& button) {
    std::string upper = Upper(name);
    for (int i = 0; i < PadButtonCount; ++i)
        if (upper == ButtonNames[i]) {
            button = TPadButton(i);
            return true;
        }
    return false;
}

TScriptPadSource TScriptPadSource::FromText(const std::string& text, const std::string& name) {
    TScriptPadSource source;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (std::string::size_type hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> word;
        for (std::string w; words >> w;)
            word.push_back(w);
        if (word.empty())
            continue;
        auto bad = [&](const std::string& why) {
            return Exception(name + ", line " + std::to_string(lineNumber) + ": " + why);
        };
        TEvent event{};
        if (word[0].find_first_not_of("0123456789") != std::string::npos || word[0].size() > 12)
            throw bad("\"" + word[0] + "\" is not a pass number");
        event.Pass = std::stoull(word[0]);
        size_t at = 1;
        if (word.size() > 1 && (word[1] == "pad1" || word[1] == "pad2")) {
            event.Pad = word[1] == "pad1" ? 0 : 1;
            ++at;
        }
        if (word.size() != at + 3)
            throw bad("expected \"<pass> [pad1|pad2] axis <name> <value>\" or \"... button <name> down|up\"");
        const std::string &kind = word[at], &what = word[at + 1], &value = word[at + 2];
        if (kind == "axis") {
            TPadAxis axis;
            if (!PadAxisOfName(what, axis))
                throw bad("unknown axis \"" + what + "\"");
            char* end = nullptr;
            float v = std::strtof(value.c_str(), &end);
            if (*end != 0 || !std::isfinite(v) || v < -1 || v > 1)
                throw bad("\"" + value + "\" is not an axis value from -1 to 1");
            event.IsAxis = true;
            event.Index = int(axis);
            event.Value = v;
        } else if (kind == "button") {
            TPadButton button;
            if (!PadButtonOfName(what, button))
                throw bad("unknown button \"" + what + "\"");
            if (value != "down" && value != "up")
                throw bad("\"" + value + "\" is neither down nor up");
            event.Index = int(button);
            event.Value = value == "down" ? 1.0f : 0.0f;
        } else {
            throw bad("\"" + kind + "\" is neither axis nor button");
        }
        source.Script.push_back(event);
    }
    std::stable_sort(source.Script.begin(), source.Script.end(),
                     [](const TEvent& a, const TEvent& b) { return a.Pass < b.Pass; });
    return source;
}

TScriptPadSource TScriptPadSource::FromFile(const std::string& fileName) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes))
        throw EInOutError("Cannot read pad script " + fileName);
    return FromText(std::string(bytes.begin(), bytes.end()), fileName);
}

void TScriptPadSource::Read(TPadState pads[MaxPads], uint64_t pass) {
    while (Next < Script.size() && Script[Next].Pass <= pass) {
        const TEvent& event = Script[Next++];
        TPadState& pad = Held[event.Pad];
        pad.Connected = true;
        if (event.IsAxis)
            pad.Axes[event.Index] = event.Value;
        else
            pad.Buttons[event.Index] = event.Value != 0;
    }
    for (int i = 0; i < MaxPads; ++i)
        pads[i] = Held[i];
}
