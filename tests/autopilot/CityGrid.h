// The city as the autopilot sees it: for every one-metre cell, in world coordinates (X east, Y
// north), the ground kind of the cell word, whether a building or a wall stands on it, and how far
// it is from the nearest one; and the shortest drivable way between two points over these cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TPoint {
    float X = 0, Y = 0;
};

// A car standing in the street, as the rectangle a way keeps out of: its centre, the direction of
// its long axis in radians, and its half sizes grown by the room a car passing it needs.
struct TBox {
    TPoint Centre;
    float Axis = 0;
    float HalfLength = 0, HalfWidth = 0;

    bool Holds(float x, float y) const;
};

class TCityGrid {
  public:
    static constexpr int Size = 512;

    // Reads the city map file (its building, wall and cell-word records). Throws std::runtime_error
    // naming the file when it cannot be read or is cut short.
    void Load(const std::string& fileName);

    static bool Inside(int x, int y) { return x >= 0 && y >= 0 && x < Size && y < Size; }
    int32_t Word(int x, int y) const { return Words[Index(x, y)]; }
    bool Solid(int x, int y) const { return Blocked[Index(x, y)] != 0; }
    // Metres from the cell's centre to the nearest solid cell (capped at 8).
    float Clearance(int x, int y) const { return Clear[Index(x, y)]; }
    // What driving one metre through the cell costs; 0 where a car cannot go.
    float Cost(int x, int y) const;

    // The way from `from` through each of `via` in turn, as cell centres with the exact points of
    // `via` in it; `marks[i]` is the index of via[i] in the way. Cells near `from` and the via points
    // are open even where they are tight, so a car pressed against a wall still finds its way out.
    // Empty when some point cannot be reached. The way keeps out of `boxes` where it can: it passes a
    // target at a point of its square outside them, and goes through one only when nothing else
    // reaches the target.
    std::vector<TPoint> FindWay(TPoint from, const std::vector<TPoint>& via, std::vector<size_t>& marks,
                                const std::vector<TBox>& boxes = {}) const;

  private:
    static size_t Index(int x, int y) { return size_t(x) * Size + size_t(y); }
    std::vector<TPoint> Leg(TPoint from, TPoint to, const std::vector<TBox>& boxes) const;
    std::vector<TPoint> Straighten(TPoint from, const std::vector<TPoint>& cells,
                                   const std::vector<TBox>& boxes) const;

    std::vector<int32_t> Words = std::vector<int32_t>(size_t(Size) * Size, 0);
    std::vector<uint8_t> Blocked = std::vector<uint8_t>(size_t(Size) * Size, 0);
    std::vector<float> Clear = std::vector<float>(size_t(Size) * Size, 8);
};
