#include "Traffic.h"
#include "uByteReader.h"
#include "uErrors.h"
#include "uMapCoords.h"
#include "uPlatform.h"

namespace {

std::string Position(int32_t x, int32_t y) {
    return std::to_string(x) + ", " + std::to_string(y);
}

// One step of the walk from (x, y); reading outside the map is an error naming the start.
void Step(int32_t& x, int32_t& y, const TCellWords& words, int32_t x0, int32_t y0) {
    auto word = [&](int32_t cx, int32_t cy) {
        if (!TCellWords::InMap(cx, cy))
            throw ERangeError("Track " + Position(x0, y0) + " leads off the map at cell " + Position(cx, cy));
        return words.At(cx, cy);
    };
    int32_t w = word(x, y);
    if (w & MarkNorth) {
        word(x, y - 1);
        y -= 1;
    } else if (w & MarkNorthEast) {
        if (word(x + 1, y) & MarkEast)
            x += 1;
        if (word(x, y - 1) & MarkNorth)
            y -= 1;
    } else if (w & MarkEast) {
        word(x + 1, y);
        x += 1;
    } else if (w & MarkSouthEast) {
        if (word(x + 1, y) & MarkEast)
            x += 1;
        if (word(x, y + 1) & MarkSouth)
            y += 1;
    } else if (w & MarkSouth) {
        word(x, y + 1);
        y += 1;
    } else if (w & MarkSouthWest) {
        if (word(x - 1, y) & MarkWest)
            x -= 1;
        if (word(x, y + 1) & MarkSouth)
            y += 1;
    } else if (w & MarkWest) {
        word(x - 1, y);
        x -= 1;
    } else if (w & MarkNorthWest) {
        if (word(x - 1, y) & MarkWest)
            x -= 1;
        if (word(x, y - 1) & MarkNorth)
            y -= 1;
    }
}

// The walk shared by BuildTrack and TraceTrack; `visit` gets every step's cell and step number.
template <class F> bool Walk(int32_t x0, int32_t y0, const TCellWords& words, F&& visit) {
    if (!TCellWords::InMap(x0, y0))
        throw ERangeError("Track start " + Position(x0, y0) + " outside the map");
    if (!HasDirectionMark(words.At(x0, y0)))
        throw Exception("No direction mark at position " + Position(x0, y0));
    int32_t x = x0, y = y0;
    for (int32_t i = 0;;) {
        int32_t px = x, py = y;
        Step(x, y, words, x0, y0);
        visit(x, y, i);
        ++i;
        if (i > TrackStepLimit) {
            ShowMessageBox("Track too long " + Position(x0, y0), "Kalmirov");
            return false;
        }
        bool moved = x != px || y != py;
        if (x == x0 && y == y0)
            return moved; // a start that cannot move is a dead end, not a closed track
        if (!moved)
            return false;
    }
}

} // namespace

TCellWords TCellWords::FromBytes(const uint8_t* block, size_t size) {
    if (size != size_t(MapCells) * MapCells * 4)
        throw ERangeError("Cell word block of " + std::to_string(size) + " bytes, expected " +
                          std::to_string(size_t(MapCells) * MapCells * 4));
    TCellWords words;
    for (size_t i = 0; i < words.Words.size(); ++i) {
        const uint8_t* b = block + i * 4;
        words.Words[i] = static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 |
                                              uint32_t(b[3]) << 24);
    }
    return words;
}

std::unique_ptr<TBezierCurve> BuildTrack(int32_t x0, int32_t y0, const TCellWords& words) {
    auto curve = std::make_unique<TBezierCurve>();
    Walk(x0, y0, words, [&](int32_t x, int32_t y, int32_t i) {
        if (i % 4 == 0)
            curve->AddPoint(x + 0.5f, WorldY(y + 0.5f), float(i));
    });
    curve->Prepare();
    return curve;
}

std::vector<std::array<int32_t, 2>> TraceTrack(int32_t x0, int32_t y0, const TCellWords& words,
                                               bool& closed) {
    std::vector<std::array<int32_t, 2>> cells{{x0, y0}};
    closed = Walk(x0, y0, words, [&](int32_t x, int32_t y, int32_t) { cells.push_back({x, y}); });
    if (closed)
        cells.pop_back(); // the start again
    return cells;
}

std::unique_ptr<TBezierCurve> ParseRoute(const uint8_t* data, size_t size, const std::string& fileName) {
    if (size % 12 != 0)
        throw Exception(fileName + ": " + std::to_string(size) +
                        " bytes is not a whole number of 12-byte route records");
    TByteReader r(data, size, fileName);
    auto curve = std::make_unique<TBezierCurve>();
    while (r.Remaining() > 0) {
        int32_t x = r.I32("route x");
        int32_t y = r.I32("route y");
        int32_t t = r.I32("route t");
        curve->AddPoint(float(x) + 0.5f, WorldY(float(y) + 0.5f), float(t));
    }
    curve->Prepare();
    return curve;
}

std::unique_ptr<TBezierCurve> LoadRoute(const std::string& fileName) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(NativePath(fileName), bytes))
        throw EInOutError("Cannot read the route " + fileName);
    return ParseRoute(bytes.data(), bytes.size(), fileName);
}
