// The bits of the city's cell words, one 32-bit word per map cell: the ground kinds and the
// direction marks of the traffic, and the cells the traffic tracks start from. Plain constants
// shared by the game's traffic and the data set generator that paints the words.
#pragma once

#include <array>
#include <cstdint>

constexpr int32_t MapCells = 512; // cells per side of the map

// Ground kinds, bits 0-7. The player car takes its speed factor from the first kind present, in
// bit order: 0.5, 0.2, 0.9, 0.9, 0.9, 0.7, 1.0, 1.0.
constexpr int32_t GroundMud = 0x01;     // dirt and building sites
constexpr int32_t GroundWater = 0x02;   // the river
constexpr int32_t GroundGravel = 0x04;  // the railway bed
constexpr int32_t GroundCobbles = 0x08; // the station square
// Sidewalks, zebra crossings, squares, platforms: pedestrians walk here.
constexpr int32_t GroundPedestrian = 0x10;
constexpr int32_t GroundGrass = 0x20;    // parks, gardens, river banks
constexpr int32_t GroundAsphalt = 0x40;  // carriageways
constexpr int32_t GroundConcrete = 0x80; // forecourts, car parks and yards

// Direction marks, bits 8-15: the way traffic leaves the cell, in map coordinates (y runs against
// world Y). Only the first mark set counts.
constexpr int32_t MarkNorth = 0x100;     // towards y - 1 (world +Y)
constexpr int32_t MarkNorthEast = 0x200; // x + 1 and y - 1
constexpr int32_t MarkEast = 0x400;      // towards x + 1 (world +X)
constexpr int32_t MarkSouthEast = 0x800; // x + 1 and y + 1
constexpr int32_t MarkSouth = 0x1000;    // towards y + 1 (world -Y)
constexpr int32_t MarkSouthWest = 0x2000;
constexpr int32_t MarkWest = 0x4000; // towards x - 1 (world -X)
constexpr int32_t MarkNorthWest = 0x8000;
constexpr int32_t DirectionMarks = 0xFF00;

// The 36 track start cells (map x, y), in the order the tracks are built and numbered.
inline constexpr std::array<std::array<int32_t, 2>, 36> TrackStarts = {{
    {213, 259}, {221, 219}, {218, 179}, {226, 194}, {241, 222}, {252, 331}, {275, 331}, {260, 219},
    {282, 306}, {350, 283}, {400, 347}, {282, 251}, {114, 300}, {100, 271}, {93, 276},  {167, 254},
    {185, 155}, {170, 195}, {178, 69},  {153, 62},  {131, 99},  {242, 40},  {265, 22},  {261, 154},
    {265, 184}, {267, 215}, {309, 57},  {327, 74},  {408, 171}, {440, 170}, {475, 75},  {462, 295},
    {441, 63},  {442, 63},  {447, 98},  {422, 306},
}};
