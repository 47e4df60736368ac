#include "ScoreServer.h"
#include "FakeRun.h"
#include "RunVerifier.h"
#include "StoreScratch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

constexpr const char* INSERT = "/games_kalmirov_highscore.php?action=insert&nick=";

// kalscores' routes on a free local port, with a store of the test's own (a file in a temporary
// folder, or a schema in PostgreSQL); Restart stops the server and the store and opens them again on
// the same store.
class TScoreServerTest : public ::testing::TestWithParam<TStoreKind> {
  protected:
    void SetUp() override {
        if (!Scratch.Unreachable.empty())
            GTEST_SKIP() << Scratch.Unreachable;
        Start();
    }
    void TearDown() override {
        if (Server)
            Stop();
    }

    void Start() {
        Store = OpenScoreStore(Scratch.Where);
        Server = std::make_unique<httplib::Server>();
        AddScoreRoutes(*Server, *Store);
        Port = Server->bind_to_any_port("127.0.0.1");
        ASSERT_GT(Port, 0);
        Thread = std::thread([this] { Server->listen_after_bind(); });
        // stop() does nothing before the accept loop runs, so wait for it.
        while (!Server->is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void Stop() {
        Server->stop();
        Thread.join();
        Server.reset();
        Store.reset();
    }
    void Restart() {
        Stop();
        Start();
    }

    httplib::Result Get(const std::string& target) { return Client().Get(target); }
    // A client that sends the target as it is, as the game does (the library would escape '+').
    httplib::Client Client() const {
        httplib::Client client("127.0.0.1", Port);
        client.set_url_encode(false);
        return client;
    }
    // The status and body of an insert of the given query tail ("nick=..&mission=..").
    std::pair<int, std::string> Insert(const std::string& nickAndRest) {
        httplib::Result result = Get(INSERT + nickAndRest);
        return result ? std::pair(result->status, result->body) : std::pair(0, std::string());
    }

    TStoreScratch Scratch{GetParam()};
    std::unique_ptr<TScoreStore> Store;
    std::unique_ptr<httplib::Server> Server;
    std::thread Thread;
    int Port = 0;
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST_P(TScoreServerTest, StoresTheGamesRequestAndIgnoresAnExactRepeat) {
    EXPECT_EQ(Insert("Rychl%E1+%32&mission=3&car=5&score=1200&time=31234"),
              std::pair(200, std::string("stored\n")));
    EXPECT_EQ(Insert("Rychl%E1+%32&mission=3&car=5&score=1200&time=31234"),
              std::pair(200, std::string("already stored\n")));
    EXPECT_EQ(Insert("Rychl%E1+%32&mission=3&car=5&score=1200&time=31235").first, 200);
    EXPECT_EQ(Store->Count(), 2);
    EXPECT_EQ(Store->Leaderboard(3, 10).at(0).Nick, "Rychlá 2");
}

TEST_P(TScoreServerTest, EveryBadFieldIsRefusedWith400AndAReason) {
    const std::pair<std::string, std::string> cases[] = {
        {"a&mission=11&car=1&score=1&time=1", "mission must be a whole number from 1 to 10"},
        {"a&mission=1&car=8&score=1&time=1", "car must be a whole number from 0 to 7"},
        {"a&mission=1&car=1&score=-5&time=1", "score must be a whole number from 0 to 10000000"},
        {"a&mission=1&car=1&score=1&time=0", "time must be a whole number from 1 to 86400000"},
        {"a&mission=1&car=1&score=1", "missing parameter 'time'"},
        {"&mission=1&car=1&score=1&time=1", "nick must be 1 to 128 characters"},
        {std::string(129, 'x') + "&mission=1&car=1&score=1&time=1", "nick must be 1 to 128 characters"},
        {"a%0Ab&mission=1&car=1&score=1&time=1", "nick must not contain control characters"},
        {"a%G0&mission=1&car=1&score=1&time=1", "nick has a broken percent-encoding"},
        {"a&mission=1&car=1&score=1&time=1&extra=1", "unknown parameter 'extra'"},
    };
    for (const auto& [query, reason] : cases) {
        httplib::Result result = Get(INSERT + query);
        ASSERT_TRUE(result) << query;
        EXPECT_EQ(result->status, 400) << query;
        EXPECT_EQ(result->body, reason + "\n") << query;
        EXPECT_TRUE(Has(result->get_header_value("Content-Type"), "text/plain")) << query;
    }
    httplib::Result result = Get("/games_kalmirov_highscore.php?action=list");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400);
    result = Get("/games_kalmirov_highscore.php");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400);
    EXPECT_EQ(result->body, "missing parameter 'action'\n");
    EXPECT_EQ(Store->Count(), 0);
}

TEST_P(TScoreServerTest, RunsSurviveARestart) {
    Insert("Ann&mission=1&car=0&score=10&time=5000");
    Insert("%8Akoda+fan&mission=2&car=7&score=20&time=6000");
    Restart();
    EXPECT_EQ(Store->Count(), 2);
    httplib::Result result = Get("/api/missions/2?unverified=1");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body,
              R"([{"nick":"Škoda fan","car":7,"carName":"Skoda 120","score":20,"timeMs":6000}])");
    EXPECT_EQ(Insert("Ann&mission=1&car=0&score=10&time=5000").second, "already stored\n");
}

TEST_P(TScoreServerTest, JsonListsTheBestFirstWithCzechNicksAsUtf8) {
    Insert("P%F8emysl+%8E%E1%E8ek&mission=4&car=5&score=300&time=70000");
    Insert("Quote%22Back%5Cslash&mission=4&car=1&score=50&time=65000");
    Insert("Slow&mission=4&car=3&score=999&time=90000");
    httplib::Result result = Get("/api/missions/4");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body, "[]") << "runs of the old request are unverified, not listed by default";
    result = Get("/api/missions/4?unverified=1");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_TRUE(Has(result->get_header_value("Content-Type"), "application/json"));
    EXPECT_EQ(result->body,
              "[{\"nick\":\"Quote\\\"Back\\\\slash\",\"car\":1,\"carName\":\"VW Golf\",\"score\":50,"
              "\"timeMs\":65000},"
              "{\"nick\":\"Přemysl Žáček\",\"car\":5,\"carName\":\"Avia\",\"score\":300,"
              "\"timeMs\":70000},"
              "{\"nick\":\"Slow\",\"car\":3,\"carName\":\"Liaz\",\"score\":999,\"timeMs\":90000}]");
    result = Get("/api/missions/5");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body, "[]");
    for (const char* bad : {"/api/missions/0", "/api/missions/11", "/api/missions/x"}) {
        result = Get(bad);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 404) << bad;
    }
}

TEST_P(TScoreServerTest, PageShowsEveryMissionWithEscapedNicks) {
    Insert("%3Cscript%3Ealert(1)%3C%2Fscript%3E&mission=6&car=2&score=77&time=31234");
    Insert("Ji%F8%ED&mission=6&car=4&score=10&time=40500");
    httplib::Result result = Get("/");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_TRUE(Has(result->get_header_value("Content-Type"), "text/html"));
    const std::string& page = result->body;
    for (const char* name : {"Riverside Rookie", "Downtown Melee", "Pure", "Everyone gets crazy"})
        EXPECT_TRUE(Has(page, name)) << name;
    EXPECT_FALSE(Has(page, "<script>"));
    EXPECT_TRUE(Has(page, "&lt;script&gt;alert(1)&lt;/script&gt;"));
    EXPECT_TRUE(Has(page, "<td>BMW</td><td class=\"num\">77</td><td class=\"num\">31.234</td>"));
    EXPECT_TRUE(Has(page, "Jiří"));
    EXPECT_LT(page.find("alert(1)"), page.find("Jiří")) << "best time first";
    EXPECT_TRUE(Has(page, "No verified runs yet."));
    EXPECT_LT(page.find("Unverified"), page.find("alert(1)")) << "old runs in a section of their own";

    result = Get("/?mission=6");
    ASSERT_TRUE(result);
    EXPECT_TRUE(Has(result->body, "id=\"mission-6\""));
    EXPECT_FALSE(Has(result->body, "id=\"mission-1\""));
    for (const char* bad : {"/?mission=0", "/?mission=abc", "/?mission=12"}) {
        result = Get(bad);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 400) << bad;
    }
}

TEST_P(TScoreServerTest, ConcurrentInsertsFromSixteenClientsLoseNothing) {
    constexpr int Clients = 16;
    constexpr int Runs = 1000;
    std::atomic<int> next{0};
    std::atomic<int> stored{0};
    std::atomic<int> failed{0};
    std::vector<std::thread> clients;
    for (int c = 0; c < Clients; ++c)
        clients.emplace_back([&] {
            httplib::Client client = Client();
            client.set_keep_alive(true);
            for (int i = next++; i < Runs; i = next++) {
                std::string target = INSERT + std::string("Racer+%C8") + std::to_string(i) +
                                     "&mission=" + std::to_string(1 + i % 10) +
                                     "&car=" + std::to_string(i % 8) + "&score=" + std::to_string(i) +
                                     "&time=" + std::to_string(1000 + i);
                httplib::Result result = client.Get(target);
                if (result && result->status == 200 && result->body == "stored\n")
                    ++stored;
                else
                    ++failed;
            }
        });
    for (std::thread& client : clients)
        client.join();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(stored, Runs);
    EXPECT_EQ(Store->Count(), Runs);

    // The same run from every client at once is stored once.
    std::atomic<int> first{0};
    clients.clear();
    for (int c = 0; c < Clients; ++c)
        clients.emplace_back([&] {
            httplib::Result result =
                Client().Get(std::string(INSERT) + "Same&mission=1&car=1&score=1&time=1");
            if (result && result->body == "stored\n")
                ++first;
        });
    for (std::thread& client : clients)
        client.join();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(Store->Count(), Runs + 1);
}

namespace {

// Drives a fake run at once, or with `Hold` until the verifier stops; counts its drives.
struct THeldDriver : TReplayDriver {
    explicit THeldDriver(bool hold) : Hold(hold) {}
    TDriveReport Drive(std::string_view, const TReplayHeader&, const std::atomic<bool>& stop) override {
        ++Drives;
        while (Hold && !stop)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return FakeDrive(false);
    }
    const bool Hold;
    std::atomic<int> Drives{0};
};

// Waits up to a minute for `done`, looking every 10 ms.
template <class TDone> bool WaitFor(TDone done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

} // namespace

TEST_P(TScoreServerTest, RunUnderVerificationWhenTheServerStopsIsVerifiedOnceAfterARestart) {
    THeldDriver held(true);
    auto verifier = std::make_unique<TRunVerifier>(*Store, held, 2);
    httplib::Result posted = Client().Post("/api/runs", FakeReplay('\x01'), "application/octet-stream");
    ASSERT_TRUE(posted);
    ASSERT_EQ(posted->status, 202) << posted->body;
    std::string location = posted->get_header_value("Location");
    int64_t id = std::stoll(location.substr(location.rfind('/') + 1));
    verifier->Wake();
    ASSERT_TRUE(WaitFor([&] { return held.Drives > 0; }));
    // The server goes down with the drive under way: no verdict, the run still waits.
    verifier.reset();
    Restart();
    EXPECT_EQ(Store->Upload(id)->State, TRunState::Waiting);

    THeldDriver quick(false);
    verifier = std::make_unique<TRunVerifier>(*Store, quick, 2);
    EXPECT_TRUE(WaitFor([&] { return Store->Upload(id)->State != TRunState::Waiting; }));
    verifier.reset();
    EXPECT_EQ(quick.Drives, 1);
    httplib::Result state = Get(location);
    ASSERT_TRUE(state);
    EXPECT_TRUE(Has(state->body, "\"state\":\"accepted\"")) << state->body;
    std::vector<TVerifiedRun> board = Store->VerifiedLeaderboard(1, 10);
    ASSERT_EQ(board.size(), 1u);
    EXPECT_EQ(board[0].Id, id);
    EXPECT_EQ(board[0].Run.TimeMs, 43508);
}

INSTANTIATE_TEST_SUITE_P(Stores, TScoreServerTest,
                         ::testing::Values(TStoreKind::Sqlite, TStoreKind::Postgres), StoreKindName);
