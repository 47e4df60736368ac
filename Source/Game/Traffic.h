// Traffic: the traffic network painted into the city as one 32-bit word per map cell (ground kind,
// pedestrian area, direction marks), the tracer that turns the marks into closed tracks, and the
// reader of the ".cur" route files. Tracks and routes are TBezierCurve paths owned by the caller.
#pragma once

#include "uBezierCurve.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr int32_t MapCells = 512; // cells per side of the map

// Ground kinds, bits 0-7. The player car takes its speed factor from the first kind present, in
// bit order: 0.5, 0.2, 0.9, 0.9, 0.9, 0.7, 1.0, 1.0.
constexpr int32_t GroundMud = 0x01;     // dirt and building sites
constexpr int32_t GroundWater = 0x02;   // the river
constexpr int32_t GroundGravel = 0x04;  // the railway bed
constexpr int32_t GroundCobbles = 0x08; // the station square
constexpr int32_t GroundPedestrian =
    0x10;                             // sidewalks, zebra crossings, squares, platforms: pedestrians walk here
constexpr int32_t GroundGrass = 0x20; // parks, gardens, river banks
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

// The most steps a track may take before it is cut off.
constexpr int32_t TrackStepLimit = 20000;

// The 36 track start cells (map x, y), in the order the tracks are built and numbered.
extern const std::array<std::array<int32_t, 2>, 36> TrackStarts;

// 512 x 512 cell words indexed [x][y] in map coordinates.
class TCellWords {
  public:
    TCellWords() : Words(size_t(MapCells) * MapCells, 0) {}
    // Decodes the city file's little-endian block (MapCells * MapCells * 4 bytes).
    static TCellWords FromBytes(const uint8_t* block, size_t size);

    static bool InMap(int32_t x, int32_t y) { return x >= 0 && x < MapCells && y >= 0 && y < MapCells; }
    int32_t At(int32_t x, int32_t y) const { return Words[size_t(x) * MapCells + size_t(y)]; }
    int32_t& At(int32_t x, int32_t y) { return Words[size_t(x) * MapCells + size_t(y)]; }

    std::vector<int32_t> Words;
};

inline bool IsPedestrianArea(int32_t word) {
    return (word & GroundPedestrian) != 0;
}
inline bool HasDirectionMark(int32_t word) {
    return (word & DirectionMarks) != 0;
}

// Traces the track from map cell (x0, y0) until it closes, dead-ends or passes TrackStepLimit steps
// (then a "Track too long" message box, keeping the points so far), adding a curve point every
// fourth step, and prepares the curve. Raises Exception "No direction mark at position x0, y0" for
// an unmarked start and ERangeError naming the start and the cell when a mark leads off the map.
std::unique_ptr<TBezierCurve> BuildTrack(int32_t x0, int32_t y0, const TCellWords& words);
// The cells BuildTrack visits from (x0, y0), start first, without making a curve; `closed` tells
// whether the walk came back to its start.
std::vector<std::array<int32_t, 2>> TraceTrack(int32_t x0, int32_t y0, const TCellWords& words, bool& closed);

// Reads a ".cur" route: 12-byte records (int32 map x, y, t) until the end of the file; each adds
// the cell centre with its t. EInOutError for a missing file, Exception naming the file for a
// size that is not a whole number of records.
std::unique_ptr<TBezierCurve> LoadRoute(const std::string& fileName);
std::unique_ptr<TBezierCurve> ParseRoute(const uint8_t* data, size_t size, const std::string& fileName);
