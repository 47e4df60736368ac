// kalscores: the highscore server of Kalmirov. Takes the game's insert requests, keeps the runs in
// SQLite and shows the leaderboard.
//
//   kalscores --port P --db FILE [--host H]
#include "ScoreServer.h"

#include <csignal>
#include <cstdio>
#include <string>

namespace {

httplib::Server* RunningServer = nullptr;

void Stop(int) {
    if (RunningServer != nullptr)
        RunningServer->stop(); // closes the listening socket: async-signal-safe calls only
}

int Usage(const char* problem) {
    std::fprintf(stderr, "kalscores: %s\nusage: kalscores --port P --db FILE [--host H]\n", problem);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string host = "127.0.0.1";
    std::string db;
    int port = -1;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help" || option == "-h")
            return Usage("the highscore server of Kalmirov");
        if (i + 1 >= argc)
            return Usage(("missing value after " + option).c_str());
        std::string value = argv[++i];
        if (option == "--port") {
            char* end = nullptr;
            long number = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || number < 0 || number > 65535)
                return Usage("--port takes a number from 0 to 65535 (0: any free port)");
            port = int(number);
        } else if (option == "--db") {
            db = value;
        } else if (option == "--host") {
            host = value;
        } else {
            return Usage(("unknown option " + option).c_str());
        }
    }
    if (port < 0 || db.empty())
        return Usage("--port and --db are needed");

    try {
        TScoreStore store(db);
        httplib::Server server;
        AddScoreRoutes(server, store);
        server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
            std::printf("%s %s %s -> %d\n", request.remote_addr.c_str(), request.method.c_str(),
                        request.target.substr(0, 600).c_str(), response.status);
            std::fflush(stdout);
        });
        if (port == 0)
            port = server.bind_to_any_port(host);
        else if (!server.bind_to_port(host, port))
            port = -1;
        if (port <= 0) {
            std::fprintf(stderr, "kalscores: cannot listen on %s\n", host.c_str());
            return 1;
        }
        RunningServer = &server;
        std::signal(SIGINT, Stop);
        std::signal(SIGTERM, Stop);
        std::printf("kalscores: listening on http://%s:%d, runs in %s\n", host.c_str(), port, db.c_str());
        std::fflush(stdout);
        bool clean = server.listen_after_bind();
        RunningServer = nullptr;
        return clean ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kalscores: %s\n", error.what());
        return 1;
    }
}
