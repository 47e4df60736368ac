// Fuzz target: the highscore server's reading of an insert request's query string. Whatever comes
// over the network, it answers with a run inside the leaderboard's ranges or with a reason.
#include "ScoreRequest.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view query(reinterpret_cast<const char*>(data), size);
    std::string reason;
    std::optional<TRun> run = ParseInsertQuery(query, reason);
    if (!run) {
        if (reason.empty())
            __builtin_trap();
    } else if (run->Mission < FirstMission || run->Mission > LastMission || run->CarType < 0 || run->CarType > LastCarType ||
               run->Score < 0 || run->Score > MaxScore || run->TimeMs <= 0 || run->TimeMs > MaxTimeMs ||
               run->Nick.empty()) {
        __builtin_trap();
    }
    PercentDecode(query);
    ParseMission(query);
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    for (std::string query : {"action=insert&nick=Jan+Nov%E1k&mission=3&car=2&score=1500&time=75250",
                              "action=insert&nick=%&mission=99&car=9&score=-1&time=0",
                              "action=insert&nick=a&nick=b&mission=1&car=0&score=0&time=1", "mission=10"})
        seeds.emplace_back(query.begin(), query.end());
    return seeds;
}
