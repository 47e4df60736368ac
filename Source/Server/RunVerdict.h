// The verdict on an uploaded run from what the server's own headless game reported after driving it:
// accepted with the time and score that run reached, or refused with the reason. Pure functions over
// the game's report line, so a report cut short, garbled or lying about nothing it saw can only
// refuse.
#pragma once

#include "RunUpload.h"
#include "ScoreRequest.h"

#include <string>
#include <string_view>

enum class TRunState { Waiting, Accepted, Refused };

struct TVerdict {
    TRunState State = TRunState::Refused;
    std::string Reason; // for a refused run, a sentence for the player
    TRun Run;           // for an accepted run: what the server's own drive of it reached
};

// What the driver of the game saw: its standard output, and why it ended when it did not end well.
struct TDriveReport {
    std::string Output;
    std::string Failure; // empty when the game ran to its end; else "timed out", "killed by signal 9", ...
};

// Judges one drive of the replay whose header is `upload`. The run is accepted only when the game
// says the replay's inputs finished that mission with that car, and with exactly the score and time
// the replay claims; the kept time and score are the game's.
TVerdict JudgeDrive(const TDriveReport& drive, const TReplayHeader& upload);

std::string_view RunStateName(TRunState state); // "waiting", "accepted", "refused"
