// Every 3D model of the game: the mesh keys the level loader registers, with the 3DS file, the
// replacement texture and the scale of each, and the writer of all those files.
#pragma once

#include "ModelKit.h"

#include <string>
#include <vector>

namespace models {

// One entry of the loader's mesh list; paths are relative to the data directory.
struct TMeshEntry {
    const char* Key;
    const char* File;
    const char* Texture; // replacement texture, "" for the model's own
    float Scale;
};

// In the order the level loader registers them.
inline const std::vector<TMeshEntry>& MeshTable() {
    static const std::vector<TMeshEntry> table = {
        {"golf", "cars/vwgolf/golf.3ds", "", 1},
        {"golf_black", "cars/vwgolf/golf.3ds", "aicars/vwgolf/golf_black.bmp", 1},
        {"golf_dark", "cars/vwgolf/golf.3ds", "aicars/vwgolf/golf_dark.bmp", 1},
        {"golf_red", "cars/vwgolf/golf.3ds", "aicars/vwgolf/golf_red.bmp", 1},
        {"golf_wheel", "cars/vwgolf/wheel.3ds", "", 1},
        {"s120", "cars/skoda120/s120.3ds", "", 1},
        {"s120_darkblue", "cars/skoda120/s120.3ds", "aicars/skoda120/s120_darkblue.bmp", 1},
        {"s120_green", "cars/skoda120/s120.3ds", "aicars/skoda120/s120_green.bmp", 1},
        {"s120_orange", "cars/skoda120/s120.3ds", "aicars/skoda120/s120_orange.bmp", 1},
        {"s120_yellow", "cars/skoda120/s120.3ds", "aicars/skoda120/s120_yellow.bmp", 1},
        {"s120_wheel", "cars/skoda120/wheel.3ds", "", 1},
        {"fabia_blue", "aicars/fabia/fabia.3ds", "aicars/fabia/fabia_blue.bmp", 1},
        {"fabia_brown", "aicars/fabia/fabia.3ds", "aicars/fabia/fabia_brown.bmp", 1},
        {"fabia_metal", "aicars/fabia/fabia.3ds", "aicars/fabia/fabia_metal.bmp", 1},
        {"fabia_orange", "aicars/fabia/fabia.3ds", "aicars/fabia/fabia_orange.bmp", 1},
        {"fabia_white", "aicars/fabia/fabia.3ds", "aicars/fabia/fabia_white.bmp", 1},
        {"fabia_wheel", "aicars/fabia/wheel.3ds", "aicars/fabia/fabia_white.bmp", 1},
        {"transit", "cars/transit/transit.3ds", "", 1},
        {"transit_grey", "cars/transit/transit.3ds", "aicars/transit/transit_grey.bmp", 1},
        {"transit_khaki", "cars/transit/transit.3ds", "aicars/transit/transit_khaki.bmp", 1},
        {"transit_wheel", "cars/transit/wheel.3ds", "", 1},
        {"bmw", "cars/bmw/bmw.3ds", "", 1},
        {"bmw_black", "cars/bmw/bmw.3ds", "aicars/bmw/bmw_black.bmp", 1},
        {"bmw_blue", "cars/bmw/bmw.3ds", "aicars/bmw/bmw_blue.bmp", 1},
        {"bmw_khaki", "cars/bmw/bmw.3ds", "aicars/bmw/bmw_khaki.bmp", 1},
        {"bmw_wheel", "cars/bmw/wheel.3ds", "", 1},
        {"avia", "cars/avia/avia.3ds", "", 1},
        {"avia_yellow", "cars/avia/avia.3ds", "aicars/avia/avia_yellow.bmp", 1},
        {"avia_wheel", "cars/avia/wheel.3ds", "", 1},
        {"liaz", "cars/liaz/liaz.3ds", "", 1},
        {"liaz_green", "cars/liaz/liaz.3ds", "cars/liaz/liaz_green.bmp", 1},
        {"liaz_wheel", "cars/liaz/wheel.3ds", "", 1},
        {"chevy", "cars/chevy/chevy.3ds", "", 1},
        {"chevy_yellow", "cars/chevy/chevy.3ds", "cars/chevy/chevy_yellow.bmp", 1},
        {"chevy_wheel", "cars/chevy/wheel.3ds", "", 1},
        {"mustang", "cars/mustang/mustang.3ds", "", 1},
        {"mustang_black", "cars/mustang/mustang.3ds", "cars/mustang/mustang_black.bmp", 1},
        {"mustang_wheel", "cars/mustang/wheel.3ds", "", 1},
        {"arrow", "meshes/prezent.3ds", "", 1},
        {"human11", "meshes/human1a.3ds", "", 1},
        {"human11_far", "meshes/human1a_far.3ds", "", 1},
        {"human12", "meshes/human1b.3ds", "", 1},
        {"human12_far", "meshes/human1b_far.3ds", "", 1},
        {"human13", "meshes/human1c.3ds", "", 1},
        {"human13_far", "meshes/human1c_far.3ds", "", 1},
        {"human21", "meshes/human2a.3ds", "", 1},
        {"human21_far", "meshes/human2a_far.3ds", "", 1},
        {"human22", "meshes/human2b.3ds", "", 1},
        {"human22_far", "meshes/human2b_far.3ds", "", 1},
        {"human23", "meshes/human2c.3ds", "", 1},
        {"human23_far", "meshes/human2c_far.3ds", "", 1},
        {"human31", "meshes/human3a.3ds", "", 1},
        {"human31_far", "meshes/human3a_far.3ds", "", 1},
        {"human32", "meshes/human3b.3ds", "", 1},
        {"human32_far", "meshes/human3b_far.3ds", "", 1},
        {"human33", "meshes/human3c.3ds", "", 1},
        {"human33_far", "meshes/human3c_far.3ds", "", 1},
        {"human41", "meshes/human4a.3ds", "", 1},
        {"human41_far", "meshes/human4a_far.3ds", "", 1},
        {"human42", "meshes/human4b.3ds", "", 1},
        {"human42_far", "meshes/human4b_far.3ds", "", 1},
        {"human43", "meshes/human4c.3ds", "", 1},
        {"human43_far", "meshes/human4c_far.3ds", "", 1},
        {"cube_benzinka", "meshes/cube_benzinka.3ds", "", 0.25f},
        {"cube_service", "meshes/cube_service.3ds", "", 0.25f},
        {"cube_station", "meshes/cube_station.3ds", "", 0.25f},
    };
    return table;
}

// Writes every car, wheel, atlas, pedestrian, the target gift and the station cubes.
void WriteModelSet(const TFileSink& sink);

// The parts, for tests and for the vehicle notes.
void WriteCars(const TFileSink& sink);
void WritePedestrians(const TFileSink& sink);
void WriteMarkers(const TFileSink& sink);

// Triangles of one pedestrian mesh (figure 0..3, pose 0..2).
size_t HumanTriangles(int figure, int pose, bool far = false);

} // namespace models
