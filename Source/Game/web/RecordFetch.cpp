#include "web/RecordFetch.h"

#include "uAtomicFile.h"
#include "uByteReader.h"
#include "uErrors.h"

#include <cstdlib>

TRecordProblem RecordProblem(const std::vector<uint8_t>& bytes, int mission, uint64_t dataSet, TReplay& replay) {
    try {
        replay = DecodeReplay(bytes, "record");
    } catch (const EFormatError&) {
        return TRecordProblem::Damaged;
    }
    if (replay.Mission != mission)
        return TRecordProblem::OtherMission;
    if (replay.Simulation != SimulationVersion)
        return TRecordProblem::OtherVersion;
    if (!ReplayWorldProblem(replay, dataSet).empty())
        return TRecordProblem::OtherDataSet;
    return TRecordProblem::None;
}

TRecordFetch::TRecordFetch(TRecordFetchJob job, TRunSubmission::TClientMaker makeClient)
    : Job(std::move(job)), MakeClient(std::move(makeClient)) {
    if (!MakeClient)
        MakeClient = [](const std::atomic<bool>& cancel) { return std::make_unique<THttpClient>(&cancel); };
    Worker = std::thread([this] { Work(); });
}

TRecordFetch::~TRecordFetch() {
    Stop();
    Worker.join();
}

void TRecordFetch::Stop() {
    Stopping = true;
}

TRecordFetchView TRecordFetch::View() const {
    std::lock_guard lock(Mutex);
    return Shown;
}

std::unique_ptr<TReplay> TRecordFetch::TakeRecord() {
    std::lock_guard lock(Mutex);
    return std::move(Record);
}

void TRecordFetch::Finish(TRecordFetchState state, TRecordProblem problem) {
    std::lock_guard lock(Mutex);
    Shown.State = state;
    Shown.Problem = problem;
}

bool TRecordFetch::Accept(const std::vector<uint8_t>& bytes, bool fromCache) {
    auto replay = std::make_unique<TReplay>();
    TRecordProblem problem = RecordProblem(bytes, Job.Mission, Job.DataSet, *replay);
    if (problem != TRecordProblem::None) {
        Finish(TRecordFetchState::Refused, problem);
        return false;
    }
    // Kept for the next time there is no connection; a record that cannot be kept is still raced.
    if (!fromCache && !Job.CacheFile.empty())
        WriteFileAtomic(Job.CacheFile, bytes, nullptr);
    std::lock_guard lock(Mutex);
    Shown.State = TRecordFetchState::Ready;
    Shown.FromCache = fromCache;
    Shown.Nick = replay->Nick;
    Shown.Score = replay->Score;
    Shown.Time = replay->Time;
    Record = std::move(replay);
    return true;
}

void TRecordFetch::Work() {
    std::unique_ptr<TWebClient> client = MakeClient(Stopping);
    std::string prefix = Job.Server + "/api/missions/" + std::to_string(Job.Mission);
    try {
        THttpAnswer board = client->Send(prefix, nullptr);
        if (board.Status >= 200 && board.Status <= 299) {
            // The leaderboard lists the verified runs best first: the first id is the record's.
            std::string id = JsonField(board.Body, "id");
            if (id.empty() || id.find_first_not_of("0123456789") != std::string::npos) {
                Finish(TRecordFetchState::NoRecord);
                return;
            }
            THttpAnswer replay = client->Send(Job.Server + "/api/runs/" + id + "/replay", nullptr);
            if (replay.Status >= 200 && replay.Status <= 299) {
                Accept(std::vector<uint8_t>(replay.Body.begin(), replay.Body.end()), false);
                return;
            }
        }
    } catch (const EHttpError&) {
        // No answer: the record kept from before, if any.
    }
    if (Stopping)
        return;
    std::vector<uint8_t> kept;
    if (!Job.CacheFile.empty() && FileExists(Job.CacheFile) && ReadWholeFile(Job.CacheFile, kept))
        Accept(kept, true);
    else
        Finish(TRecordFetchState::NoConnection);
}
