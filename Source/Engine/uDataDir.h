// Where the program finds its data set: a folder named in KALMIROV_DATA, the "data" folder beside
// the program (a build's run folder), or the installed data set, in that order. Owns nothing; the
// program entry asks once at start-up and installs the answer with SetDataFolder.
#pragma once

#include <string>

struct TDataDirPlaces {
    std::string Named;      // KALMIROV_DATA; empty when unset
    std::string ProgramDir; // the folder of the running program; empty when unknown
    std::string Installed;  // the installed data set, as the build was configured
};

// The folder to read the data set from.
std::string FindDataDir(const TDataDirPlaces& places);

// The places of this process: KALMIROV_DATA, the folder of /proc/self/exe and `installed`.
TDataDirPlaces ProcessDataDirPlaces(const std::string& installed);
