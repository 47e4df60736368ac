// The record fetched to race: only a whole replay of the mission, this simulation and this data set is
// raced and kept; without a connection the kept one is offered, unless it is no longer fit.
#include "web/RecordFetch.h"
#include "TestSupport.h"
#include "uByteReader.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace {

constexpr uint64_t ThisDataSet = 0x5eed;
const std::string Server = "http://scores";

// Answers from a table by URL; a URL not in it has no connection.
class TTableClient : public TWebClient {
  public:
    explicit TTableClient(std::map<std::string, THttpAnswer> answers) : Answers(std::move(answers)) {}
    THttpAnswer Send(const std::string& url, const std::string*) override {
        auto it = Answers.find(url);
        if (it == Answers.end())
            throw EHttpError("no connection");
        return it->second;
    }
    std::map<std::string, THttpAnswer> Answers;
};

std::string RecordBytes(int mission, uint32_t simulation, uint64_t dataSet) {
    TReplay run;
    run.Mission = uint8_t(mission);
    run.Simulation = simulation;
    run.DataSet = dataSet;
    run.Nick = "Ji\xf8\xed";
    run.Score = 3941;
    run.Time = 43.5f;
    run.Frames.resize(2);
    std::vector<uint8_t> bytes = EncodeReplay(run);
    return std::string(bytes.begin(), bytes.end());
}

TRecordFetchView Fetched(const TRecordFetch& fetch) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (fetch.View().State == TRecordFetchState::Fetching && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    return fetch.View();
}

} // namespace

TEST(TRecordFetch, RacesAndKeepsOnlyARecordOfThisMissionAndWorld) {
    const std::string board = Server + "/api/missions/3", replay = Server + "/api/runs/17/replay";
    const std::string listed = R"([{"id":17,"verified":true,"nick":"Jiří"},{"id":4,"verified":true}])";
    const struct {
        const char* Name;
        std::string Board, Replay; // empty: no connection
        std::string Kept;          // the record kept from before; empty: none
        TRecordFetchState State;
        TRecordProblem Problem;
        bool FromCache, KeptAfter;
    } cases[] = {
        {"fetched", listed, RecordBytes(3, SimulationVersion, ThisDataSet), "", TRecordFetchState::Ready,
         TRecordProblem::None, false, true},
        {"no verified run", "[]", "", "", TRecordFetchState::NoRecord, TRecordProblem::None, false, false},
        {"no connection", "", "", "", TRecordFetchState::NoConnection, TRecordProblem::None, false, false},
        {"damaged", listed, "KALRPLAY\x05", "", TRecordFetchState::Refused, TRecordProblem::Damaged, false, false},
        {"another mission", listed, RecordBytes(4, SimulationVersion, ThisDataSet), "",
         TRecordFetchState::Refused, TRecordProblem::OtherMission, false, false},
        {"another version", listed, RecordBytes(3, SimulationVersion + 1, ThisDataSet), "",
         TRecordFetchState::Refused, TRecordProblem::OtherVersion, false, false},
        {"another data set", listed, RecordBytes(3, SimulationVersion, ThisDataSet + 1), "",
         TRecordFetchState::Refused, TRecordProblem::OtherDataSet, false, false},
        {"offline, kept before", "", "", RecordBytes(3, SimulationVersion, ThisDataSet), TRecordFetchState::Ready,
         TRecordProblem::None, true, true},
        {"offline, kept of another data set", "", "", RecordBytes(3, SimulationVersion, 1),
         TRecordFetchState::Refused, TRecordProblem::OtherDataSet, false, true},
    };
    for (const auto& c : cases) {
        TTempDir dir;
        std::string cache = dir.File("kalmirov/record_03.dat");
        std::map<std::string, THttpAnswer> answers;
        if (!c.Board.empty())
            answers[board] = {200, c.Board};
        if (!c.Replay.empty())
            answers[replay] = {200, c.Replay};
        if (!c.Kept.empty()) {
            std::filesystem::create_directories(dir.Path / "kalmirov");
            std::ofstream(cache, std::ios::binary) << c.Kept;
        }
        TRecordFetch fetch({Server, 3, cache, ThisDataSet}, [&](const std::atomic<bool>&) {
            return std::make_unique<TTableClient>(answers);
        });
        TRecordFetchView view = Fetched(fetch);
        EXPECT_EQ(view.State, c.State) << c.Name;
        EXPECT_EQ(view.Problem, c.Problem) << c.Name;
        EXPECT_EQ(view.FromCache, c.FromCache) << c.Name;
        EXPECT_EQ(FileExists(cache), c.KeptAfter) << c.Name;
        std::unique_ptr<TReplay> record = fetch.TakeRecord();
        EXPECT_EQ(record != nullptr, c.State == TRecordFetchState::Ready) << c.Name << ": only a fit record is raced";
        if (record) {
            EXPECT_EQ(view.Nick, "Ji\xf8\xed");
            EXPECT_EQ(record->Score, 3941);
        }
    }
}
