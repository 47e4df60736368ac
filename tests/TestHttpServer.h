// A small HTTP server on a free local port for the tests of the web submission: it records every
// request it gets and answers with the status the test sets.
#pragma once

#include <httplib.h>

#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

class TTestHttpServer {
  public:
    struct TRequest {
        std::string Target; // path and query exactly as sent
        std::string UserAgent;
    };

    // From request number `failFrom` (counted from 0) on, answer `failStatus`; -1 answers every request
    // with 200. A stalling server holds every answer back until it stops (one that never answers).
    explicit TTestHttpServer(int failFrom = -1, int failStatus = 404, bool stall = false)
        : FailFrom(failFrom), FailStatus(failStatus), Stall(stall) {
        Server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            std::unique_lock lock(Mutex);
            Requests.push_back({request.target, request.get_header_value("User-Agent")});
            if (Stall)
                Released.wait_for(lock, std::chrono::seconds(30), [this] { return Stopping; });
            bool fail = FailFrom >= 0 && int(Requests.size()) > FailFrom;
            response.status = fail ? FailStatus : 200;
            response.set_content(fail ? "refused" : Body, "text/plain");
        });
        // One request per connection: a client's idle connection would hold the server's stop back.
        Server.set_keep_alive_max_count(1);
        Port = Server.bind_to_any_port("127.0.0.1");
        Thread = std::thread([this] { Server.listen_after_bind(); });
        // stop() does nothing before the accept loop runs, so wait for it.
        while (!Server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~TTestHttpServer() {
        {
            std::lock_guard lock(Mutex);
            Stopping = true;
        }
        Released.notify_all();
        Server.stop();
        Thread.join();
    }

    // What a 200 answer carries; "ok" until a test sets another.
    void SetBody(const std::string& body) {
        std::lock_guard lock(Mutex);
        Body = body;
    }

    std::string Address() const { return "http://127.0.0.1:" + std::to_string(Port); }
    std::vector<TRequest> Recorded() {
        std::lock_guard lock(Mutex);
        return Requests;
    }

  private:
    const int FailFrom;
    const int FailStatus;
    const bool Stall;
    httplib::Server Server;
    std::thread Thread;
    int Port = 0;
    std::mutex Mutex;
    std::condition_variable Released;
    bool Stopping = false;
    std::string Body = "ok";
    std::vector<TRequest> Requests;
};

// A local port on which nothing listens: bound once to find it free, then closed.
inline int ClosedLocalPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}
