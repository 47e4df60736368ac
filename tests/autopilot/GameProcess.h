// The game as a child process in lock step: its state dump comes line by line from its standard
// output, and the keys go to its standard input ("--keys - --dump-state -"), one pass at a time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/types.h>
#include <vector>

// A fresh temporary folder, for the player's files of a game.
std::string MakeTempHome();

class TGameProcess {
  public:
    // Starts `program` with `args` in `directory`, the player's files in `home`.
    TGameProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::string& directory, const std::string& home);
    ~TGameProcess();
    TGameProcess(const TGameProcess&) = delete;
    TGameProcess& operator=(const TGameProcess&) = delete;

    // The next line of the state dump; false when the game has closed its output.
    bool ReadLine(std::string& line);
    // Sends the key lines of a pass and lets the game play it.
    void Send(uint64_t pass, const std::string& keyLines);
    // Closes the keys: the game ends after the pass it is in. Returns its exit status.
    int Finish();
    // The game's resident memory now, in kilobytes (VmRSS); 0 when it has ended.
    long ResidentKilobytes() const;
    // The game's peak resident memory in kilobytes, known after Finish.
    long PeakKilobytes = 0;

  private:
    pid_t Child = -1;
    FILE* Keys = nullptr;
    FILE* State = nullptr;
    char* Buffer = nullptr;
    size_t BufferSize = 0;
};
