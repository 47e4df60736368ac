// kalclockcheck: how the game's clock keeps to the wall clock. Starts the game on the real clock
// with its state dump on a pipe, notes the wall time of every state line, and prints how long the
// countdown lasted (3.81 s by design) and the mission clock's rate against the wall clock over the
// seconds after "GO" (1.00 by design). With the swap shim preloaded, the display's rate is emulated:
//   KAL_SWAP_HZ=144 xvfb-run -a ../bench/pacing/kalclockcheck ./kalmirov 8 ../bench/pacing/libkalswapshim.so
// (run from build/run; the seconds to watch after "GO"; the shim is preloaded into the game only).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The number after "name": in a state line, or -1.
double Field(const std::string& line, const std::string& name) {
    size_t at = line.find("\"" + name + "\":");
    return at == std::string::npos ? -1 : std::atof(line.c_str() + at + name.size() + 3);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kalclockcheck GAME [SECONDS [SHIM]]\n");
        return 2;
    }
    double watch = argc > 2 ? std::atof(argv[2]) : 8;
    std::string preload = argc > 3 ? std::string("LD_PRELOAD=") + argv[3] + " " : std::string();
    std::string command = preload + argv[1] + " -w -ns --mission 1 --car 7 --seed 1 --dump-state -";
    FILE* game = popen(command.c_str(), "r");
    if (!game) {
        std::perror("popen");
        return 2;
    }
    double countdownStart = -1, go = -1, goTime = 0, lastWall = 0, lastTime = 0;
    char* buffer = nullptr;
    size_t size = 0;
    while (getline(&buffer, &size, game) > 0) {
        std::string line(buffer);
        double wall = Now(), countdown = Field(line, "countdown");
        // The first "time" in a line is player 1's.
        double time = Field(line, "time");
        if (countdownStart < 0 && countdown >= 1)
            countdownStart = wall;
        if (go < 0 && countdown >= 4) {
            go = wall;
            goTime = time;
        }
        if (go >= 0) {
            lastWall = wall;
            lastTime = time;
            if (wall - go >= watch)
                break;
        }
    }
    std::free(buffer);
    // The game's next state line finds the pipe closed and ends it.
    pclose(game);
    if (countdownStart < 0 || go < 0 || lastWall <= go) {
        std::fprintf(stderr, "the game never got past its countdown\n");
        return 1;
    }
    std::printf("countdown %.3f s of wall time (3.81 by design); mission clock %.3f of the wall clock over %.1f s\n",
                go - countdownStart, (lastTime - goTime) / (lastWall - go), lastWall - go);
    return 0;
}
