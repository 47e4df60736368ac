#include "GameDriver.h"

#include "ChildProcess.h"
#include "uWorldClock.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// A folder of its own under the system's temporary folder, removed when it goes.
class TScratchFolder {
  public:
    TScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kalscores-run-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            Path = pattern;
    }
    ~TScratchFolder() {
        std::error_code ignored;
        if (!Path.empty())
            std::filesystem::remove_all(Path, ignored);
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;
    std::string Path;
};

} // namespace

TDriveReport TGameDriver::Drive(std::string_view body, const TReplayHeader& header,
                                const std::atomic<bool>& stop) {
    TDriveReport report;
    TScratchFolder folder;
    std::string replayFile = folder.Path + "/run.dat";
    {
        std::ofstream out(replayFile, std::ios::binary);
        out.write(body.data(), std::streamsize(body.size()));
        if (folder.Path.empty() || !out) {
            report.Failure = "the server cannot write the replay for the game";
            return report;
        }
    }
    std::vector<std::string> environment = {"HOME=" + folder.Path, "XDG_DATA_HOME=" + folder.Path + "/data",
                                            "XDG_CONFIG_HOME=" + folder.Path + "/config",
                                            "PATH=/usr/bin:/bin", "LANG=C.UTF-8"};
    if (!Setup.DataDir.empty())
        environment.push_back("KALMIROV_DATA=" + Setup.DataDir);
    double runSeconds = header.Ticks * TWorldClock::TickSeconds;
    TProcessLimits limits;
    limits.WallSeconds = Setup.StartSeconds + Setup.WallPerRunSecond * runSeconds;
    limits.CpuSeconds = int(std::ceil(Setup.StartSeconds + runSeconds));
    limits.MemoryBytes = Setup.MemoryBytes;
    TProcessResult result =
        RunChildProcess({Setup.GameProgram, "--verify", replayFile}, environment, folder.Path, limits, stop);
    report.Output = std::move(result.Output);
    report.Failure = std::move(result.Failure);
    return report;
}
