#include "RunVerifier.h"

#include <chrono>
#include <cstdio>

namespace {

// How often an idle worker looks at the queue without being woken: uploads left waiting by an
// earlier run of the server, or by a worker that failed.
constexpr auto IdleLook = std::chrono::seconds(2);

} // namespace

TRunVerifier::TRunVerifier(TScoreStore& store, TReplayDriver& driver, int workers)
    : Store(store), Driver(driver) {
    for (int i = 0; i < workers; ++i)
        Workers.emplace_back([this] { Work(); });
}

TRunVerifier::~TRunVerifier() {
    {
        std::lock_guard lock(Mutex);
        Stopping = true;
    }
    Wakeup.notify_all();
    for (std::thread& worker : Workers)
        worker.join();
}

void TRunVerifier::Wake() {
    Wakeup.notify_one();
}

bool TRunVerifier::TakeNext(int64_t& id) {
    // As many candidates as there are workers, so one is free of the others' drives.
    for (int64_t waiting : Store.WaitingUploads(int(Workers.size()) + 1))
        if (InFlight.insert(waiting).second) {
            id = waiting;
            return true;
        }
    return false;
}

void TRunVerifier::Work() {
    while (!Stopping) {
        int64_t id = 0;
        try {
            std::unique_lock lock(Mutex);
            if (!TakeNext(id)) {
                Wakeup.wait_for(lock, IdleLook);
                continue;
            }
        } catch (const std::exception& error) {
            std::fprintf(stderr, "kalscores: verifier: %s\n", error.what());
            std::unique_lock lock(Mutex);
            Wakeup.wait_for(lock, IdleLook);
            continue;
        }
        try {
            auto started = std::chrono::steady_clock::now();
            std::optional<std::string> body = Store.UploadBody(id);
            std::string reason;
            std::optional<TReplayHeader> header = body ? CheckReplayUpload(*body, reason) : std::nullopt;
            TVerdict verdict;
            verdict.Reason = reason;
            if (header)
                verdict = JudgeDrive(Driver.Drive(*body, *header, Stopping), *header);
            // A drive cut off by the server's own stop is no verdict: the upload waits for the next start.
            if (body && !Stopping && Store.RecordVerdict(id, verdict)) {
                double seconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
                std::printf("kalscores: run %lld %s%s%s (%.2f s)\n", static_cast<long long>(id),
                            std::string(RunStateName(verdict.State)).c_str(),
                            verdict.Reason.empty() ? "" : ": ", verdict.Reason.c_str(), seconds);
                std::fflush(stdout);
            }
        } catch (const std::exception& error) {
            std::fprintf(stderr, "kalscores: verifier: run %lld: %s\n", static_cast<long long>(id),
                         error.what());
        }
        std::lock_guard lock(Mutex);
        InFlight.erase(id);
    }
}
