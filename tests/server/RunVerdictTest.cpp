// The verdict on a drive of an uploaded run: only the game's own report of a finished run with the
// claimed score and time is accepted, and what is kept is what the game saw.
#include "RunVerdict.h"

#include <gtest/gtest.h>

namespace {

const TReplayHeader Upload{1, 7, 4733};
const std::string Real =
    "run mission=1 car=7 nick=4a69f8ed claimedScore=3941 claimedTime=43.5087051 ticks=4733 "
    "runMission=1 runCar=7 finished=1 score=3941 time=43.5087051 timeMs=43508\n";

std::string With(std::string line, const std::string& from, const std::string& to) {
    return line.replace(line.find(from), from.size(), to);
}

} // namespace

TEST(JudgeDrive, AcceptsOnlyAFinishedRunWithItsClaimsAndKeepsWhatTheGameSaw) {
    TVerdict real = JudgeDrive({Real, ""}, Upload);
    ASSERT_EQ(real.State, TRunState::Accepted) << real.Reason;
    EXPECT_EQ(real.Run, (TRun{"Jiří", 1, 7, 3941, 43508}));
    EXPECT_EQ(JudgeDrive({"loading\n" + Real, "exit status 1"}, Upload).State, TRunState::Accepted)
        << "the last report line counts";

    struct TCase {
        std::string Output, Failure, Reason;
    } cases[] = {
        {With(Real, "claimedTime=43.5087051", "claimedTime=42.5087051"), "", "claims a time of 42.509 s"},
        {With(Real, "claimedScore=3941", "claimedScore=9999"), "", "claims a score of 9999"},
        {With(Real, "finished=1", "finished=0"), "", "do not finish mission 1"},
        {With(Real, "runCar=7", "runCar=2"), "", "did not play the replay's mission"},
        {With(Real, "ticks=4733", "ticks=4700"), "", "another replay"},
        {With(Real, "score=3941 time", "score=39x1 time"), "", "garbled"},
        {With(Real, "nick=4a69f8ed", "nick=0a0d"), "", "control characters"},
        {Real.substr(0, 40), "timed out after 30 s", "timed out after 30 s"},
        {"", "ended by signal 11", "signal 11"},
        {"error replay version 3 is not 4\n", "exit status 1", "cannot drive this replay: replay version 3"},
        {"error it was played on another data set\n", "exit status 1", "drive this replay: it was played on another"},
        {With(With(Real, "finished=1", "finished=0"), "timeMs=43508", "timeMs=0 limit=21000"), "",
         "do not finish mission 1 within its limit of 210 s"},
        {With(Real, "timeMs=43508", "timeMs=43508 limit=x"), "", "garbled"},
    };
    for (const TCase& c : cases) {
        TVerdict verdict = JudgeDrive({c.Output, c.Failure}, Upload);
        EXPECT_EQ(verdict.State, TRunState::Refused) << c.Output;
        EXPECT_NE(verdict.Reason.find(c.Reason), std::string::npos) << verdict.Reason;
    }
}
