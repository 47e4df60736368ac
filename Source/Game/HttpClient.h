// THttpClient: plain HTTP GET requests on libcurl, as the highscore submission sends them. Owns one
// curl handle and the status text of the last response.
#pragma once

#include "uErrors.h"

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

class THttpClient {
  public:
    THttpClient();
    ~THttpClient();
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    // Sends one GET for a complete URL ("http://host:port/path?query") with the User-Agent
    // "Kalmirov" and returns the response body. Redirects are not followed. Gives up after 3 s
    // without a connection or 5 s in all. EHttpError when the request fails, the status is not 2xx
    // or the body is longer than MaxHttpBodyBytes.
    std::string Get(const std::string& url);

    // The status line of the last response without its protocol ("404 Not Found"); empty when no
    // response arrived.
    std::string StatusText;

  private:
    void* Curl; // CURL*, kept out of this header
};
