#include "Json.h"

#include <cstdlib>
#include <stdexcept>

namespace {

const TJson NullValue;

class TParser {
  public:
    explicit TParser(const std::string& text) : Text(text) {}

    TJson Value() {
        Space();
        if (Pos >= Text.size())
            Fail("unexpected end");
        TJson value;
        char c = Text[Pos];
        if (c == '{') {
            value.Kind = TJson::TKind::Object;
            ++Pos;
            if (!Take('}')) {
                do {
                    Space();
                    std::string name = String();
                    Space();
                    Expect(':');
                    value.Members[name] = Value();
                } while (Take(','));
                Expect('}');
            }
        } else if (c == '[') {
            value.Kind = TJson::TKind::Array;
            ++Pos;
            if (!Take(']')) {
                do
                    value.Items.push_back(Value());
                while (Take(','));
                Expect(']');
            }
        } else if (c == '"') {
            value.Kind = TJson::TKind::String;
            value.Text = String();
        } else if (Word("true")) {
            value.Kind = TJson::TKind::Bool;
            value.Value = 1;
        } else if (Word("false")) {
            value.Kind = TJson::TKind::Bool;
        } else if (Word("null")) {
        } else {
            const char* start = Text.c_str() + Pos;
            char* end = nullptr;
            value.Value = std::strtod(start, &end);
            if (end == start)
                Fail("unexpected character");
            value.Kind = TJson::TKind::Number;
            Pos += size_t(end - start);
        }
        Space();
        return value;
    }

    void End() {
        Space();
        if (Pos != Text.size())
            Fail("text after the value");
    }

  private:
    [[noreturn]] void Fail(const std::string& why) {
        throw std::runtime_error("JSON: " + why + " at offset " + std::to_string(Pos));
    }
    void Space() {
        while (Pos < Text.size() &&
               (Text[Pos] == ' ' || Text[Pos] == '\t' || Text[Pos] == '\r' || Text[Pos] == '\n'))
            ++Pos;
    }
    bool Take(char c) {
        Space();
        if (Pos < Text.size() && Text[Pos] == c) {
            ++Pos;
            return true;
        }
        return false;
    }
    void Expect(char c) {
        if (!Take(c))
            Fail(std::string("expected '") + c + "'");
    }
    bool Word(const char* word) {
        std::string w(word);
        if (Text.compare(Pos, w.size(), w) != 0)
            return false;
        Pos += w.size();
        return true;
    }
    // A string; escapes other than \" and \\ are kept as written (the dump's names do not need them).
    std::string String() {
        Expect('"');
        std::string out;
        while (Pos < Text.size() && Text[Pos] != '"') {
            if (Text[Pos] == '\\' && Pos + 1 < Text.size() && (Text[Pos + 1] == '"' || Text[Pos + 1] == '\\'))
                ++Pos;
            out += Text[Pos++];
        }
        Expect('"');
        return out;
    }

    const std::string& Text;
    size_t Pos = 0;
};

} // namespace

TJson TJson::Parse(const std::string& text) {
    TParser parser(text);
    TJson value = parser.Value();
    parser.End();
    return value;
}

const TJson& TJson::operator[](const std::string& name) const {
    auto found = Members.find(name);
    return found == Members.end() ? NullValue : found->second;
}

const TJson& TJson::operator[](size_t index) const {
    return index < Items.size() ? Items[index] : NullValue;
}
