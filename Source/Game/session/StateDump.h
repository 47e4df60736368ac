// The game state as one JSON line, written every tick when asked for, so tests and tools read what
// the game knows instead of guessing it from pixels. TStateDump owns where the lines go.
#pragma once

#include <fstream>
#include <ostream>
#include <string>

class TGameEngine;

// One line of the state of `game` (no line end).
std::string StateJson(const TGameEngine& game);

class TStateDump {
  public:
    // `file`: a file written anew, "-" for standard output, empty for no dump. Throws EInOutError
    // when the file cannot be written.
    explicit TStateDump(const std::string& file);
    // Appends the line of this tick, flushed: a controller program may be waiting for it before it
    // sends the next keys.
    void Write(const TGameEngine& game);

  private:
    std::ofstream File;
    std::ostream* Out = nullptr; // the dump file, standard output for "-", or none
};
