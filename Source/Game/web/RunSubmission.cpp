#include "web/RunSubmission.h"

#include "uText1250.h"

#include <chrono>
#include <cstdlib>

namespace {

TRunSendState StateOf(const std::string& name) {
    return name == "accepted"  ? TRunSendState::Accepted
           : name == "refused" ? TRunSendState::Refused
           : name == "waiting" ? TRunSendState::Waiting
                               : TRunSendState::NoConnection;
}

// A reason as the font draws it: Windows-1250, one line, not longer than the screen holds.
std::string OneLine(const std::string& utf8) {
    std::string text = Utf8ToCp1250(utf8.substr(0, 200));
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

std::string JsonField(const std::string& json, const std::string& key) {
    std::string quoted = "\"" + key + "\":";
    size_t at = json.find(quoted);
    if (at == std::string::npos)
        return "";
    at += quoted.size();
    if (at < json.size() && json[at] != '"') {
        size_t end = json.find_first_of(",}", at);
        return json.substr(at, end == std::string::npos ? std::string::npos : end - at);
    }
    std::string value;
    for (size_t i = at + 1; i < json.size() && json[i] != '"'; ++i) {
        if (json[i] != '\\' || i + 1 >= json.size()) {
            value.push_back(json[i]);
            continue;
        }
        char escaped = json[++i];
        if (escaped == 'u' && i + 4 < json.size()) {
            value.push_back(
                char(std::strtol(json.substr(i + 1, 4).c_str(), nullptr, 16))); // control characters only
            i += 4;
        } else {
            value.push_back(escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped);
        }
    }
    return value;
}

TRunSubmission::TRunSubmission(TRunSubmissionJob job, TClientMaker makeClient)
    : Job(std::move(job)), MakeClient(std::move(makeClient)) {
    if (!MakeClient)
        MakeClient = [](const std::atomic<bool>& cancel) { return std::make_unique<THttpClient>(&cancel); };
    for (const auto& [mission, bytes] : Job.Replays)
        Shown.Rows.push_back(TRunSendRow{mission, TRunSendState::Sending, "", 0, 0});
    Worker = std::thread([this] { Work(); });
}

TRunSubmission::~TRunSubmission() {
    Stop();
    Worker.join();
}

void TRunSubmission::Stop() {
    {
        std::lock_guard lock(Mutex);
        Stopping = true;
    }
    Wakeup.notify_all();
}

TRunSubmissionView TRunSubmission::View() const {
    std::lock_guard lock(Mutex);
    return Shown;
}

void TRunSubmission::Read(size_t row, const THttpAnswer& answer) {
    std::lock_guard lock(Mutex);
    TRunSendRow& shown = Shown.Rows[row];
    if (answer.Status >= 200 && answer.Status <= 299) {
        std::string id = JsonField(answer.Body, "id");
        shown.Id = id.empty() ? shown.Id : std::atoll(id.c_str());
        shown.State = StateOf(JsonField(answer.Body, "state"));
        shown.Reason = OneLine(JsonField(answer.Body, "reason"));
        shown.TimeMs = int32_t(std::atol(JsonField(answer.Body, "timeMs").c_str()));
        if (shown.State == TRunSendState::NoConnection)
            shown.Reason = "the server's answer is not understood";
    } else {
        // The server's own sentence why (a refused upload, a full queue): the body is its reason.
        shown.State = TRunSendState::Refused;
        shown.Reason = OneLine(answer.Body.empty() ? "HTTP " + std::to_string(answer.Status) : answer.Body);
    }
}

void TRunSubmission::Upload(TWebClient& client, size_t row) {
    try {
        Read(row, client.Send(Job.Server + "/api/runs", &Job.Replays[row].second));
    } catch (const EHttpError&) {
        std::lock_guard lock(Mutex);
        Shown.Rows[row].State = TRunSendState::NoConnection;
    }
}

void TRunSubmission::Ask(TWebClient& client, size_t row) {
    int64_t id;
    {
        std::lock_guard lock(Mutex);
        id = Shown.Rows[row].Id;
    }
    try {
        THttpAnswer answer = client.Send(Job.Server + "/api/runs/" + std::to_string(id), nullptr);
        if (answer.Status >= 200 && answer.Status <= 299)
            Read(row, answer);
    } catch (const EHttpError&) {
        // Asked again at the next round; the row keeps saying it waits.
    }
}

void TRunSubmission::Work() {
    std::unique_ptr<TWebClient> client = MakeClient(Stopping);
    bool sent = true;
    for (const std::string& url : Job.InsertUrls) {
        if (Stopping)
            return;
        try {
            THttpAnswer answer = client->Send(url, nullptr);
            sent = answer.Status >= 200 && answer.Status <= 299;
        } catch (const EHttpError&) {
            sent = false;
        }
        if (!sent)
            break;
    }
    {
        std::lock_guard lock(Mutex);
        Shown.TableDone = true;
        Shown.TableSent = sent;
    }
    for (size_t row = 0; row < Job.Replays.size() && !Stopping; ++row)
        Upload(*client, row);
    while (!Stopping) {
        {
            std::unique_lock lock(Mutex);
            Wakeup.wait_for(lock, std::chrono::duration<double>(Job.PollSeconds),
                            [this] { return Stopping.load(); });
        }
        bool waiting = false;
        for (size_t row = 0; row < Job.Replays.size() && !Stopping; ++row) {
            bool asks;
            {
                std::lock_guard lock(Mutex);
                asks = Shown.Rows[row].State == TRunSendState::Waiting;
            }
            if (asks) {
                Ask(*client, row);
                waiting = true;
            }
        }
        if (!waiting)
            return;
    }
}
