#include "ScoreServer.h"

#include "ScorePages.h"

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

} // namespace

void AddScoreRoutes(httplib::Server& server, TScoreStore& store) {
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
            boards.push_back({*mission, store.Leaderboard(*mission, LeaderboardSize)});
        } else {
            for (int mission = FirstMission; mission <= LastMission; ++mission)
                boards.push_back({mission, store.Leaderboard(mission, LeaderboardSize)});
        }
        response.set_content(LeaderboardPage(boards), "text/html; charset=utf-8");
    });

    server.Get(
        R"(/api/missions/([^/]+))", [&store](const httplib::Request& request, httplib::Response& response) {
            std::optional<int> mission = ParseMission(request.matches[1].str());
            if (!mission) {
                Refuse(response, 404, "no such mission; missions are 1 to 10");
                return;
            }
            response.set_content(RunsJson(store.Leaderboard(*mission, LeaderboardSize)), "application/json");
        });

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
