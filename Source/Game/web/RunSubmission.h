// TRunSubmission: the "Submit to web" screen's work in the background. One worker thread sends the
// chosen table's rows as the old insert requests, then each mission's kept replay as an upload, and
// asks for the verdict of every upload still waiting until each has one or the screen is left. The
// screen reads a snapshot each frame; nothing here blocks the drawing thread, and Stop returns at once
// (a request under way is cancelled). Owns the worker and its HTTP client.
#pragma once

#include "web/HttpClient.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

enum class TRunSendState { Sending, Waiting, Accepted, Refused, NoConnection };

// One mission's row on the screen.
struct TRunSendRow {
    int Mission = 0;
    TRunSendState State = TRunSendState::Sending;
    std::string Reason; // the server's, for a refused run (Windows-1250, as the font draws)
    int64_t Id = 0;     // the server's id of the upload
    int32_t TimeMs = 0; // the time the server saw, for an accepted run
};

struct TRunSubmissionJob {
    std::string Server;                               // "http://host:port"
    std::vector<std::string> InsertUrls;              // the table's rows as complete insert URLs
    std::vector<std::pair<int, std::string>> Replays; // mission and the replay file's bytes
    double PollSeconds = 1;                           // between two questions for waiting verdicts
};

struct TRunSubmissionView {
    bool TableDone = false; // the insert requests were all sent, or one failed
    bool TableSent = false; // ... and all of them went through
    std::vector<TRunSendRow> Rows;
};

class TRunSubmission {
  public:
    using TClientMaker = std::function<std::unique_ptr<TWebClient>(const std::atomic<bool>& cancel)>;

    // Starts at once; `makeClient` (default: libcurl) is called on the worker thread.
    explicit TRunSubmission(TRunSubmissionJob job, TClientMaker makeClient = {});
    ~TRunSubmission(); // stops and joins
    TRunSubmission(const TRunSubmission&) = delete;
    TRunSubmission& operator=(const TRunSubmission&) = delete;

    TRunSubmissionView View() const;
    // Gives up the rest: no new request starts and the one under way is cancelled.
    void Stop();

  private:
    void Work();
    void Upload(TWebClient& client, size_t row);
    void Ask(TWebClient& client, size_t row);
    void Read(size_t row, const THttpAnswer& answer);

    TRunSubmissionJob Job;
    TClientMaker MakeClient;
    mutable std::mutex Mutex;
    std::condition_variable Wakeup;
    TRunSubmissionView Shown;
    std::atomic<bool> Stopping{false};
    std::thread Worker;
};

// The value of a top-level "key" in a flat JSON object of the server: a string (escapes undone) or a
// number as written; empty when missing.
std::string JsonField(const std::string& json, const std::string& key);
