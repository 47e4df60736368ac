// The car model table: the eight player cars in car-type order, each with its folder under
// data/cars, its mesh file and the resource keys of its meshes and samples. Shared by the game's
// car units, the level loader, the drive tool and the data set generator.
#pragma once

#include <string>

// What tells one car model from another.
struct TCarModel {
    const char* Directory;    // under data/cars
    const char* Mesh;         // the body's file in that folder, without ".3ds"
    const char* Chassis[2];   // mesh keys for player 1 and player 2
    const char* Wheel;        // mesh key of the wheel (wheel.3ds in the same folder)
    const char* EngineSample; // engine.wav in the same folder
    const char* HornSample;   // horn.wav in the same folder
};

inline constexpr int CarTypeCount = 8;

inline constexpr TCarModel CarModelTable[CarTypeCount] = {
    {"mustang", "mustang", {"mustang", "mustang_black"}, "mustang_wheel", "mustang_engine", "mustang_horn"},
    {"vwgolf", "golf", {"golf", "golf_dark"}, "golf_wheel", "golf_engine", "golf_horn"},
    {"bmw", "bmw", {"bmw", "bmw_khaki"}, "bmw_wheel", "bmw_engine", "bmw_horn"},
    {"liaz", "liaz", {"liaz", "liaz_green"}, "liaz_wheel", "liaz_engine", "liaz_horn"},
    {"chevy", "chevy", {"chevy", "chevy_yellow"}, "chevy_wheel", "chevy_engine", "chevy_horn"},
    {"avia", "avia", {"avia", "avia_yellow"}, "avia_wheel", "avia_engine", "avia_horn"},
    {"transit", "transit", {"transit", "transit_khaki"}, "transit_wheel", "transit_engine", "transit_horn"},
    {"skoda120", "s120", {"s120", "s120_green"}, "s120_wheel", "s120_engine", "s120_horn"},
};

// The game's path of a file in a car's folder: ".\data\cars\<folder>\<file>".
inline std::string CarFilePath(const TCarModel& model, const std::string& file) {
    return std::string(".\\data\\cars\\") + model.Directory + "\\" + file;
}
