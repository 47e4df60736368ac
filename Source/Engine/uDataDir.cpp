#include "uDataDir.h"

#include <cstdlib>
#include <filesystem>

std::string FindDataDir(const TDataDirPlaces& places) {
    // The player's own choice wins, even a wrong one: the error then names it.
    if (!places.Named.empty())
        return places.Named;
    if (!places.ProgramDir.empty()) {
        std::string beside = (std::filesystem::path(places.ProgramDir) / "data").string();
        std::error_code ec;
        if (std::filesystem::is_directory(beside, ec))
            return beside;
    }
    return places.Installed;
}

TDataDirPlaces ProcessDataDirPlaces(const std::string& installed) {
    TDataDirPlaces places;
    if (const char* named = std::getenv("KALMIROV_DATA"))
        places.Named = named;
    std::error_code ec;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        places.ProgramDir = program.parent_path().string();
    places.Installed = installed;
    return places;
}
