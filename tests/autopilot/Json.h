// A small JSON reader for the game's state dump: one line parses into a tree of values, read by
// member name and element number. Only what the dump writes: objects, arrays, numbers, strings,
// true, false and null.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class TJson {
  public:
    enum class TKind { Null, Bool, Number, String, Array, Object };

    // Parses one JSON text; throws std::runtime_error on anything malformed.
    static TJson Parse(const std::string& text);

    TKind Kind = TKind::Null;
    double Value = 0; // numbers; 1 or 0 for true and false
    std::string Text;
    std::vector<TJson> Items;
    std::map<std::string, TJson> Members;

    bool IsNull() const { return Kind == TKind::Null; }
    // A member, or a null value when there is none.
    const TJson& operator[](const std::string& name) const;
    // An element, or a null value past the end.
    const TJson& operator[](size_t index) const;
    // The number, or `otherwise` for anything else (null, a missing member).
    double Num(double otherwise = 0) const {
        return Kind == TKind::Number || Kind == TKind::Bool ? Value : otherwise;
    }
};
