// THttpClient: plain HTTP requests on libcurl, as the highscore submission sends them: GETs of the
// insert requests and of a run's state, POSTs of a run's replay. Owns one curl handle and the status
// text of the last response. TWebClient is the seam the submission's worker talks through.
#pragma once

#include "uErrors.h"

#include <atomic>
#include <cstddef>
#include <string>

// A request that did not go through: no connection, a time-out, or a status other than 2xx.
class EHttpError : public Exception {
  public:
    using Exception::Exception;
};

// The largest body a response may have: the score server answers in a line, and a server that
// sends more is not one of ours, whose answer must not fill the game's memory.
constexpr size_t MaxHttpBodyBytes = 1 << 20;

// A response as it came, whatever its status.
struct THttpAnswer {
    long Status = 0;
    std::string Body;
};

// What the web submission needs of HTTP; tests put a client of their own in its place.
class TWebClient {
  public:
    virtual ~TWebClient() = default;
    // A GET (`body` null) or a POST of `body` as application/octet-stream to a complete URL. Any
    // status comes back; EHttpError only when no response came.
    virtual THttpAnswer Send(const std::string& url, const std::string* body) = 0;
};

class THttpClient : public TWebClient {
  public:
    // `cancel`, when given, ends a request under way as soon as it is set (from any thread).
    explicit THttpClient(const std::atomic<bool>* cancel = nullptr);
    ~THttpClient() override;
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    // Sends one GET for a complete URL ("http://host:port/path?query") with the User-Agent
    // "Kalmirov" and returns the response body. Redirects are not followed. Gives up after 3 s
    // without a connection or 5 s in all. EHttpError when the request fails, the status is not 2xx
    // or the body is longer than MaxHttpBodyBytes.
    std::string Get(const std::string& url);
    THttpAnswer Send(const std::string& url, const std::string* body) override;

    // The status line of the last response without its protocol ("404 Not Found"); empty when no
    // response arrived.
    std::string StatusText;

  private:
    void Prepare(const std::string& url, std::string& body);
    void* Curl; // CURL*, kept out of this header
    const std::atomic<bool>* Cancel;
};
