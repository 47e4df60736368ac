#include "uOptions.h"

#include <charconv>
#include <sstream>

namespace {

// The whole of `text` as a number of type T, or false.
template <typename T> bool ParseWhole(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

template <typename T> std::string Shown(T value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

template <typename T>
std::function<void(const std::string&)> NumberReader(const std::string& name, T& target, T low, T high,
                                                     const char* kind) {
    return [&target, name, low, high, kind](const std::string& value) {
        T number{};
        if (!ParseWhole(value, number) || !(number >= low && number <= high)) // NaN is in no range
            TOptionParser::Refuse(name, std::string(kind) + " from " + Shown(low) + " to " + Shown(high),
                                  value);
        target = number;
    };
}

} // namespace

TOptionParser& TOptionParser::Add(const std::string& name, bool takesValue,
                                  std::function<void(const std::string&)> read) {
    Options.push_back({name, takesValue, std::move(read)});
    return *this;
}

TOptionParser& TOptionParser::Flag(const std::string& name, bool& target) {
    return Add(name, false, [&target](const std::string&) { target = true; });
}

TOptionParser& TOptionParser::Ignored(const std::string& name) {
    return Add(name, false, [](const std::string&) {});
}

TOptionParser& TOptionParser::Int(const std::string& name, int& target, int low, int high) {
    return Add(name, true, NumberReader(name, target, low, high, "a whole number"));
}

TOptionParser& TOptionParser::UInt32(const std::string& name, uint32_t& target, uint32_t low, uint32_t high) {
    return Add(name, true, NumberReader(name, target, low, high, "a whole number"));
}

TOptionParser& TOptionParser::UInt64(const std::string& name, uint64_t& target, uint64_t low, uint64_t high) {
    return Add(name, true, NumberReader(name, target, low, high, "a whole number"));
}

TOptionParser& TOptionParser::Real(const std::string& name, double& target, double low, double high) {
    return Add(name, true, NumberReader(name, target, low, high, "a number"));
}

TOptionParser& TOptionParser::Real(const std::string& name, float& target, float low, float high) {
    return Add(name, true, NumberReader(name, target, low, high, "a number"));
}

TOptionParser& TOptionParser::Text(const std::string& name, std::string& target) {
    return Add(name, true, [&target](const std::string& value) { target = value; });
}

TOptionParser& TOptionParser::Custom(const std::string& name, std::function<void(const std::string&)> read) {
    return Add(name, true, std::move(read));
}

void TOptionParser::Parse(const std::vector<std::string>& args,
                          const std::function<void(const std::string&)>& rest) const {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& argument = args[i];
        const TOption* option = nullptr;
        for (const TOption& candidate : Options)
            if (candidate.Name == argument)
                option = &candidate;
        if (option == nullptr) {
            if (!rest)
                throw EOptionError("unknown option " + argument);
            rest(argument);
        } else if (!option->TakesValue) {
            option->Read("");
        } else {
            if (i + 1 >= args.size())
                throw EOptionError(argument + " needs a value");
            option->Read(args[++i]);
        }
    }
}

void TOptionParser::Parse(int argc, char** argv, const std::function<void(const std::string&)>& rest) const {
    Parse(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0)), rest);
}

uint64_t TOptionParser::WholeNumber(const std::string& name, const std::string& value, uint64_t low,
                                    uint64_t high) {
    uint64_t number = 0;
    NumberReader(name, number, low, high, "a whole number")(value);
    return number;
}

double TOptionParser::RealNumber(const std::string& name, const std::string& value, double low, double high) {
    double number = 0;
    NumberReader(name, number, low, high, "a number")(value);
    return number;
}

void TOptionParser::Refuse(const std::string& name, const std::string& what, const std::string& value) {
    throw EOptionError(name + " needs " + what + ", not \"" + value + "\"");
}
