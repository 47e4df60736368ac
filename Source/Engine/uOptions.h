// TOptionParser: the command line of every Kalmirov program, read one way. A program declares its
// options — flags, numbers with the range they may take, texts, and options with a reader of their
// own — and Parse walks the arguments once. A missing value, a number that is not one or lies out of
// its range, and an unknown option are an EOptionError naming the option and what it needs; nothing
// is half-read (the targets of the options before the bad one are set, as given).
#pragma once

#include "uErrors.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A command line the program cannot run with; the message names the option.
class EOptionError : public Exception {
  public:
    using Exception::Exception;
};

class TOptionParser {
  public:
    // An option without a value: sets `target` to true.
    TOptionParser& Flag(const std::string& name, bool& target);
    // An option accepted and left without effect (kept for old command lines).
    TOptionParser& Ignored(const std::string& name);
    // A whole number from `low` to `high`.
    TOptionParser& Int(const std::string& name, int& target, int low, int high);
    TOptionParser& UInt32(const std::string& name, uint32_t& target, uint32_t low, uint32_t high);
    TOptionParser& UInt64(const std::string& name, uint64_t& target, uint64_t low, uint64_t high);
    // A number (decimal point allowed) from `low` to `high`.
    TOptionParser& Real(const std::string& name, double& target, double low, double high);
    TOptionParser& Real(const std::string& name, float& target, float low, float high);
    TOptionParser& Text(const std::string& name, std::string& target);
    // An option whose value `read` takes apart itself; it throws EOptionError (see Refuse) when the
    // value is bad.
    TOptionParser& Custom(const std::string& name, std::function<void(const std::string& value)> read);

    // Reads `args` (without the program name). Arguments no option claims are handed to `rest` in
    // order when it is given, else they are an error.
    void Parse(const std::vector<std::string>& args,
               const std::function<void(const std::string& argument)>& rest = nullptr) const;
    void Parse(int argc, char** argv,
               const std::function<void(const std::string& argument)>& rest = nullptr) const;

    // `value` of the option `name` as a whole number from `low` to `high`, else its EOptionError.
    static uint64_t WholeNumber(const std::string& name, const std::string& value, uint64_t low,
                                uint64_t high);
    // `value` of the option `name` as a number from `low` to `high`, else its EOptionError.
    static double RealNumber(const std::string& name, const std::string& value, double low, double high);
    // The error for a bad value: "<name> needs <what>, not "<value>"".
    [[noreturn]] static void Refuse(const std::string& name, const std::string& what,
                                    const std::string& value);

  private:
    struct TOption {
        std::string Name;
        bool TakesValue = false;
        std::function<void(const std::string& value)> Read;
    };
    TOptionParser& Add(const std::string& name, bool takesValue,
                       std::function<void(const std::string&)> read);

    std::vector<TOption> Options;
};
