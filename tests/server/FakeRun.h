// A run the server can take without the game: an upload whose header the server's first look
// accepts (mission 1, car 7, 4733 ticks, the frames' bytes all `fill`), and what the game would
// report after driving it — a finished run, or one that `forged` did not finish.
#pragma once

#include "RunUpload.h"
#include "RunVerdict.h"

#include <string>

constexpr uint32_t FakeRunTicks = 4733;

inline std::string FakeReplay(char fill) {
    std::string body = "KALRPLAY";
    body += char(DrivenReplayVersion & 0xFF);
    body += char(DrivenReplayVersion >> 8);
    body.resize(ReplayLayout::MissionAt, '\0');
    body += char(1); // mission
    body += char(7); // car
    body.resize(ReplayLayout::FrameCountAt, '\0');
    for (int i = 0; i < 4; ++i)
        body += char(FakeRunTicks >> (8 * i) & 0xFF);
    body.append(size_t(FakeRunTicks) * ReplayLayout::FrameBytes, fill);
    return body;
}

inline TDriveReport FakeDrive(bool forged) {
    return {
        std::string("run mission=1 car=7 nick=4a69f8ed claimedScore=3941 claimedTime=43.5087051 ticks=4733 "
                    "runMission=1 runCar=7 finished=") +
            (forged ? "0" : "1") + " score=3941 time=43.5087051 timeMs=43508\n",
        ""};
}
