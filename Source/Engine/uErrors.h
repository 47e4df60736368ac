// The game's exception classes. Content errors and forbidden state changes throw one of these with
// the message the player sees; nothing inside the game loop catches them.
#pragma once

#include <stdexcept>
#include <string>

// Base of every exception the game raises on purpose (missing assets, duplicate keys, I/O errors).
class Exception : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Start-up failures of the engine core: window, GL context, keyboard.
class EEngineError : public Exception {
  public:
    using Exception::Exception;
};

// An index outside a fixed-size array, or a value outside its allowed range.
class ERangeError : public Exception {
  public:
    using Exception::Exception;
};

// A file that cannot be opened or read at all.
class EInOutError : public Exception {
  public:
    using Exception::Exception;
};

// A file that was read but cannot be used: malformed, cut short, of the wrong kind.
class EFormatError : public Exception {
  public:
    using Exception::Exception;
};

// The text shown when an error ends the game. One that names a file of the data set ("./data/...")
// also says where the game looked for its data, the data folder of the working directory, and when
// that folder does not exist, that the game must start from its own folder.
std::string ErrorText(const std::exception& error);

// Replaces the one "%s" of a message with the given text ("Texture %s already added.").
std::string FormatMessage(const std::string& pattern, const std::string& value);
