// kalserverbench: the upload path of kalscores under load. A real ScoreServer (the routes on a local
// port, in this process) with its verifier and a store of either kind; client threads upload replays,
// valid and forged mixed, and the bench reports uploads per second, the time to answer an upload
// (median, 99th percentile, worst) and verifications per second until the queue is empty.
//
//   kalserverbench --db FILE|postgresql://… [--clients 32] [--uploads 500] [--verifiers 8]
//                  [--drive-ms 1000]
//   kalserverbench --db FILE|URL --game KALMIROV [--game-data DIR] [--verifiers 2] REPLAY...
//
// The first form drives with a stand-in for the game that takes --drive-ms of wall time per run (one
// verification of mission 1 costs about a second) and refuses every third run as forged. The second
// drives with the real headless game: each REPLAY is uploaded as it is and once with its claimed score
// raised by 100 (a forgery the game must refuse); the same bytes are one upload, so --uploads does not
// apply there.
#include "FakeRun.h"
#include "GameDriver.h"
#include "RunVerifier.h"
#include "ScoreServer.h"
#include "uOptions.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

// Stands in for the game: takes a fixed wall time, refuses the runs marked forged.
class TTimedDriver : public TReplayDriver {
  public:
    explicit TTimedDriver(std::chrono::milliseconds time) : Time(time) {}
    TDriveReport Drive(std::string_view body, const TReplayHeader&, const std::atomic<bool>& stop) override {
        auto end = TClock::now() + Time;
        while (!stop && TClock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return FakeDrive(body[ReplayLayout::HeaderBytes] == 'F');
    }

  private:
    std::chrono::milliseconds Time;
};

struct TOptions {
    std::string Db, Game, GameData;
    int Clients = 32, Uploads = 500, Verifiers = 8, DriveMs = 1000;
    std::vector<std::string> Replays;
};

std::string ReadFile(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + name);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The bodies to upload and how many of them are forged.
std::vector<std::string> Bodies(const TOptions& options, int& forged) {
    std::vector<std::string> bodies;
    forged = 0;
    if (options.Game.empty()) {
        // A nonce of this run keeps the bodies apart from an earlier run's in the same database.
        uint64_t nonce = std::random_device()() ^ uint64_t(TClock::now().time_since_epoch().count());
        for (int i = 0; i < options.Uploads; ++i) {
            // The marks go into the first frame, which the stand-in reads and the header check does not.
            std::string body = FakeReplay('\0');
            const size_t mark = ReplayLayout::HeaderBytes;
            body[mark] = i % 3 == 2 ? 'F' : 'V';
            forged += i % 3 == 2;
            std::memcpy(&body[mark + 1], &i, sizeof i);
            std::memcpy(&body[mark + 1 + sizeof i], &nonce, sizeof nonce);
            bodies.push_back(std::move(body));
        }
        return bodies;
    }
    for (const std::string& name : options.Replays) {
        std::string real = ReadFile(name);
        bodies.push_back(real);
        if (real.size() >= ReplayLayout::HeaderBytes) {
            std::string richer = real; // the claimed score raised by 100
            int32_t score;
            std::memcpy(&score, &richer[ReplayLayout::ScoreAt], 4);
            score += 100;
            std::memcpy(&richer[ReplayLayout::ScoreAt], &score, 4);
            bodies.push_back(std::move(richer));
            ++forged;
        }
    }
    return bodies;
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size())))];
}

int Run(const TOptions& options) {
    std::unique_ptr<TScoreStore> store = OpenScoreStore(options.Db);
    std::unique_ptr<TReplayDriver> driver;
    if (options.Game.empty())
        driver = std::make_unique<TTimedDriver>(std::chrono::milliseconds(options.DriveMs));
    else
        driver = std::make_unique<TGameDriver>(TGameDriverSetup{options.Game, options.GameData});
    int forged = 0;
    std::vector<std::string> bodies = Bodies(options, forged);

    auto verifier = std::make_unique<TRunVerifier>(*store, *driver, options.Verifiers);
    httplib::Server server;
    server.set_payload_max_length(MaxReplayBytes);
    AddScoreRoutes(server, *store, [&verifier] { verifier->Wake(); });
    int port = BindScoreServer(server, "127.0.0.1", 0);
    if (port <= 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    std::thread listener([&server] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    std::printf("kalserverbench: %zu uploads (%d forged) from %d clients to %s, %d verifier(s) "
                "with %s\n",
                bodies.size(), forged, options.Clients, store->Where().c_str(),
                options.Verifiers,
                options.Game.empty()
                    ? ("a stand-in taking " + std::to_string(options.DriveMs) + " ms").c_str()
                    : options.Game.c_str());
    std::vector<double> answerMs(bodies.size());
    std::vector<int64_t> ids(bodies.size());
    std::atomic<size_t> next{0};
    std::atomic<int> failed{0};
    auto started = TClock::now();
    std::vector<std::thread> clients;
    for (int c = 0; c < options.Clients; ++c)
        clients.emplace_back([&] {
            // A connection per upload, as the game makes one per run.
            httplib::Client client("127.0.0.1", port);
            for (size_t i = next++; i < bodies.size(); i = next++) {
                auto sent = TClock::now();
                httplib::Result result = client.Post("/api/runs", bodies[i], "application/octet-stream");
                answerMs[i] = std::chrono::duration<double, std::milli>(TClock::now() - sent).count();
                if (!result || (result->status != 202 && result->status != 200)) {
                    if (failed++ < 5)
                        std::fprintf(stderr, "kalserverbench: upload %zu: %s\n", i,
                                     result ? (std::to_string(result->status) + " " + result->body).c_str()
                                            : httplib::to_string(result.error()).c_str());
                    continue;
                }
                std::string location = result->get_header_value("Location");
                ids[i] = std::stoll(location.substr(location.rfind('/') + 1));
            }
        });
    for (std::thread& client : clients)
        client.join();
    double uploadSeconds = std::chrono::duration<double>(TClock::now() - started).count();

    // Until every upload is judged: the queue is the store's, so ask the store.
    int accepted = 0, refused = 0;
    for (int64_t id : ids) {
        if (id == 0)
            continue;
        std::optional<TUploadStatus> status;
        while ((status = store->Upload(id)) && status->State == TRunState::Waiting)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        accepted += status && status->State == TRunState::Accepted;
        refused += status && status->State == TRunState::Refused;
    }
    double allSeconds = std::chrono::duration<double>(TClock::now() - started).count();
    verifier.reset();
    server.stop();
    listener.join();

    std::printf("  uploads:       %.0f per second (%zu in %.2f s), %d failed\n",
                double(bodies.size()) / uploadSeconds, bodies.size(), uploadSeconds, failed.load());
    std::printf("  answer time:   median %.1f ms, 99th percentile %.1f ms, worst %.1f ms\n",
                Percentile(answerMs, 0.5), Percentile(answerMs, 0.99), Percentile(answerMs, 1.0));
    std::printf(
        "  verifications: %.2f per second (%d accepted, %d refused, all judged %.2f s after the first "
        "upload)\n",
        double(accepted + refused) / allSeconds, accepted, refused, allSeconds);
    return failed == 0 && accepted + refused == int(bodies.size()) ? 0 : 1;
}

int Usage(const char* problem) {
    std::fprintf(
        stderr,
        "kalserverbench: %s\nusage: kalserverbench --db FILE|URL [--clients N] [--uploads N] "
        "[--verifiers N] [--drive-ms MS] [--game KALMIROV [--game-data DIR] REPLAY...]\n",
        problem);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    TOptions options;
    try {
        TOptionParser()
            .Text("--db", options.Db)
            .Text("--game", options.Game)
            .Text("--game-data", options.GameData)
            .Int("--clients", options.Clients, 1, 1024)
            .Int("--uploads", options.Uploads, 1, 1000000)
            .Int("--verifiers", options.Verifiers, 1, 256)
            .Int("--drive-ms", options.DriveMs, 0, 3600000)
            .Parse(argc, argv, [&options](const std::string& argument) {
                if (argument.rfind("--", 0) == 0)
                    throw EOptionError("unknown option " + argument);
                options.Replays.push_back(argument);
            });
    } catch (const EOptionError& error) {
        return Usage(error.what());
    }
    if (options.Db.empty())
        return Usage("--db is needed");
    if (!options.Game.empty() && options.Replays.empty())
        return Usage("--game needs the replays to upload");
    try {
        return Run(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kalserverbench: %s\n", error.what());
        return 1;
    }
}
