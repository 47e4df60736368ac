// Traffic: the traffic network painted into the city as one 32-bit word per map cell (ground kind,
// pedestrian area, direction marks), the tracer that turns the marks into closed tracks, and the
// reader of the ".cur" route files. Tracks and routes are TBezierCurve paths owned by the caller.
#pragma once

#include "city/CellWords.h"
#include "uBezierCurve.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The most steps a track may take before it is cut off.
constexpr int32_t TrackStepLimit = 20000;

// Traces the track from map cell (x0, y0) until it closes or dead-ends, adding a curve point every
// fourth step, and prepares the curve. Raises Exception "No direction mark at position x0, y0" for
// an unmarked start, ERangeError naming the start and the cell when a mark leads off the map, and
// ERangeError "Track too long x0, y0" past TrackStepLimit steps; each names the map file first.
std::unique_ptr<TBezierCurve> BuildTrack(int32_t x0, int32_t y0, const TCellWords& words);
// The cells BuildTrack visits from (x0, y0), start first, without making a curve; `closed` tells
// whether the walk came back to its start.
std::vector<std::array<int32_t, 2>> TraceTrack(int32_t x0, int32_t y0, const TCellWords& words, bool& closed);

// Reads a ".cur" route: 12-byte records (int32 map x, y, t) until the end of the file; each adds
// the cell centre with its t. EInOutError for a missing file, Exception naming the file for a
// size that is not a whole number of records.
std::unique_ptr<TBezierCurve> LoadRoute(const std::string& fileName);
std::unique_ptr<TBezierCurve> ParseRoute(const uint8_t* data, size_t size, const std::string& fileName);
