#include "ScoreServer.h"

#include "ScorePages.h"

#include <chrono>
#include <sys/socket.h>
#include <cstdlib>

namespace {

constexpr const char* TEXT = "text/plain; charset=utf-8";

void Refuse(httplib::Response& response, int status, const std::string& reason) {
    response.status = status;
    response.set_content(reason + "\n", TEXT);
}

// The raw query of a request target: the part after '?', still percent-encoded.
std::string_view RawQuery(const std::string& target) {
    size_t question = target.find('?');
    return question == std::string::npos ? std::string_view() : std::string_view(target).substr(question + 1);
}

constexpr int64_t MaxWaitingUploads = 10000; // the verification queue's bound; beyond it uploads wait outside
constexpr auto UploadTime = std::chrono::seconds(20); // a whole upload, however it trickles in

std::optional<int64_t> ParseRunId(const std::string& text) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoll(text);
}

std::string UploadJson(const TUploadStatus& status) {
    std::string json = "{\"id\":" + std::to_string(status.Id) +
                       ",\"state\":" + JsonString(RunStateName(status.State)) +
                       ",\"mission\":" + std::to_string(status.Run.Mission);
    if (status.State == TRunState::Refused)
        json += ",\"reason\":" + JsonString(status.Reason);
    if (status.State == TRunState::Accepted)
        json += ",\"nick\":" + JsonString(status.Run.Nick) +
                ",\"car\":" + std::to_string(status.Run.CarType) +
                ",\"score\":" + std::to_string(status.Run.Score) +
                ",\"timeMs\":" + std::to_string(status.Run.TimeMs) + ",\"replay\":\"/api/runs/" +
                std::to_string(status.Id) + "/replay\"";
    return json + "}";
}

// The replay of an upload, refused before it is read whole when it says it is too long, and cut off
// when it grows past the limit or trickles in too slowly.
void ReceiveUpload(const httplib::Request& request, httplib::Response& response,
                   const httplib::ContentReader& reader, TScoreStore& store,
                   const std::function<void()>& uploaded) {
    std::string tooLong = "a replay is at most " + std::to_string(MaxReplayBytes) + " bytes";
    std::string length = request.get_header_value("Content-Length");
    if (!length.empty() &&
        (length.size() > 12 || std::strtoull(length.c_str(), nullptr, 10) > MaxReplayBytes)) {
        response.set_header("Connection", "close");
        Refuse(response, 413, tooLong);
        return;
    }
    std::string body;
    std::string problem;
    auto deadline = std::chrono::steady_clock::now() + UploadTime;
    bool whole = reader([&](const char* data, size_t length) {
        if (length > MaxReplayBytes - body.size()) {
            problem = tooLong;
            return false;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            problem = "the upload took too long";
            return false;
        }
        body.append(data, length);
        return true;
    });
    if (!whole || !problem.empty()) {
        response.set_header("Connection", "close");
        Refuse(response, problem == tooLong ? 413 : 400, problem.empty() ? "the upload broke off" : problem);
        return;
    }
    std::string reason;
    std::optional<TReplayHeader> header = CheckReplayUpload(body, reason);
    if (!header) {
        Refuse(response, 400, reason);
        return;
    }
    if (store.WaitingCount() >= MaxWaitingUploads) {
        response.set_header("Retry-After", "60");
        Refuse(response, 503, "too many runs are waiting for verification; try again later");
        return;
    }
    TUploadResult upload = store.AddUpload(body, *header);
    if (upload.New && uploaded)
        uploaded();
    std::optional<TUploadStatus> status = store.Upload(upload.Id);
    response.status = upload.New ? 202 : 200;
    response.set_header("Location", "/api/runs/" + std::to_string(upload.Id));
    response.set_content(UploadJson(*status), "application/json");
}

} // namespace

void AddScoreRoutes(httplib::Server& server, TScoreStore& store, std::function<void()> uploaded) {
    server.Post("/api/runs", [&store, uploaded](const httplib::Request& request, httplib::Response& response,
                                                const httplib::ContentReader& reader) {
        ReceiveUpload(request, response, reader, store, uploaded);
    });

    server.Get(R"(/api/runs/([^/]+))",
               [&store](const httplib::Request& request, httplib::Response& response) {
                   std::optional<int64_t> id = ParseRunId(request.matches[1].str());
                   std::optional<TUploadStatus> status = id ? store.Upload(*id) : std::nullopt;
                   if (!status) {
                       Refuse(response, 404, "no such run");
                       return;
                   }
                   response.set_content(UploadJson(*status), "application/json");
               });

    // The replay of a verified run, for anyone to drive or race.
    server.Get(R"(/api/runs/([^/]+)/replay)",
               [&store](const httplib::Request& request, httplib::Response& response) {
                   std::optional<int64_t> id = ParseRunId(request.matches[1].str());
                   std::optional<TUploadStatus> status = id ? store.Upload(*id) : std::nullopt;
                   std::optional<std::string> body;
                   if (status && status->State == TRunState::Accepted)
                       body = store.UploadBody(*id);
                   if (!body) {
                       Refuse(response, 404, "no verified run with that id");
                       return;
                   }
                   response.set_header("Content-Disposition", "attachment; filename=\"kalmirov-run-" +
                                                                  std::to_string(*id) + ".dat\"");
                   response.set_content(*body, "application/octet-stream");
               });

    // The game's request. Its nick is escaped Windows-1250, so the raw target is parsed here rather
    // than the library's decoded parameters.
    server.Get("/games_kalmirov_highscore.php",
               [&store](const httplib::Request& request, httplib::Response& response) {
                   std::string reason;
                   std::optional<TRun> run = ParseInsertQuery(RawQuery(request.target), reason);
                   if (!run) {
                       Refuse(response, 400, reason);
                       return;
                   }
                   response.set_content(store.Insert(*run) ? "stored\n" : "already stored\n", TEXT);
               });

    server.Get("/", [&store](const httplib::Request& request, httplib::Response& response) {
        std::vector<TMissionBoard> boards;
        if (request.has_param("mission")) {
            std::optional<int> mission = ParseMission(request.get_param_value("mission"));
            if (!mission) {
                Refuse(response, 400, "mission must be a whole number from 1 to 10");
                return;
            }
            boards.push_back({*mission, store.VerifiedLeaderboard(*mission, LeaderboardSize),
                              store.Leaderboard(*mission, LeaderboardSize)});
        } else {
            for (int mission = FirstMission; mission <= LastMission; ++mission)
                boards.push_back({mission, store.VerifiedLeaderboard(mission, LeaderboardSize),
                                  store.Leaderboard(mission, LeaderboardSize)});
        }
        response.set_content(LeaderboardPage(boards), "text/html; charset=utf-8");
    });

    server.Get(R"(/api/missions/([^/]+))", [&store](const httplib::Request& request,
                                                    httplib::Response& response) {
        std::optional<int> mission = ParseMission(request.matches[1].str());
        if (!mission) {
            Refuse(response, 404, "no such mission; missions are 1 to 10");
            return;
        }
        // Verified runs only, unless the old protocol's unverified ones are asked for by name.
        if (request.get_param_value("unverified") == "1")
            response.set_content(RunsJson(store.Leaderboard(*mission, LeaderboardSize)), "application/json");
        else
            response.set_content(VerifiedRunsJson(store.VerifiedLeaderboard(*mission, LeaderboardSize)),
                                 "application/json");
    });

    // The library's own refusals (a body over its limit, a malformed request) get a reason too.
    server.set_error_handler(
        httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& response) {
            if (!response.body.empty())
                return httplib::Server::HandlerResponse::Unhandled;
            Refuse(response, response.status,
                   response.status == 413 ? "a replay is at most " + std::to_string(MaxReplayBytes) + " bytes"
                                          : "request refused (HTTP " + std::to_string(response.status) + ")");
            return httplib::Server::HandlerResponse::Handled;
        }));

    // A broken database is the server's fault, not the client's; say so instead of dropping the line.
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr error) {
            std::string reason = "internal error";
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                reason += std::string(": ") + e.what();
            } catch (...) {
            }
            Refuse(response, 500, reason);
        });
}

int BindScoreServer(httplib::Server& server, const std::string& host, int port) {
    server.new_task_queue = [] { return new httplib::ThreadPool(RequestThreads); };
    // The library listens with the backlog it was built with; listening again on the bound socket
    // lengthens the queue.
    int listening = -1;
    server.set_socket_options([&listening](int socket) {
        httplib::default_socket_options(socket);
        listening = socket;
    });
    if (port == 0)
        port = server.bind_to_any_port(host);
    else if (!server.bind_to_port(host, port))
        port = -1;
    server.set_socket_options(httplib::default_socket_options); // `listening` is gone after this call
    if (port <= 0 || listening < 0 || ::listen(listening, ListenBacklog) != 0)
        return -1;
    return port;
}
