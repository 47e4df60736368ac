#include "traffic/Traffic.h"
#include "uByteReader.h"
#include "uErrors.h"
#include "uMapCoords.h"
#include "uPlatform.h"

namespace {

std::string Position(int32_t x, int32_t y) {
    return std::to_string(x) + ", " + std::to_string(y);
}

// The map file the words came from, as the start of a message.
std::string SourcePrefix(const TCellWords& words) {
    return words.Source.empty() ? "" : words.Source + ": ";
}

// One step of the walk from (x, y); reading outside the map is an error naming the start.
void Step(int32_t& x, int32_t& y, const TCellWords& words, int32_t x0, int32_t y0) {
    auto word = [&](int32_t cx, int32_t cy) {
        if (!TCellWords::InMap(cx, cy))
            throw ERangeError(SourcePrefix(words) + "Track " + Position(x0, y0) + " leads off the map at cell " +
                              Position(cx, cy) + ": the direction mark of cell " + Position(x, y) +
                              " points past the edge of the 512 x 512 map");
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
        throw ERangeError(SourcePrefix(words) + "Track start " + Position(x0, y0) + " outside the map");
    if (!HasDirectionMark(words.At(x0, y0)))
        throw Exception(SourcePrefix(words) + "No direction mark at position " + Position(x0, y0));
    int32_t x = x0, y = y0;
    for (int32_t i = 0;;) {
        int32_t px = x, py = y;
        Step(x, y, words, x0, y0);
        visit(x, y, i);
        ++i;
        // One damaged map could otherwise show a box for every one of its tracks: the first
        // fault ends the loading with the file and the cause named.
        if (i > TrackStepLimit)
            throw ERangeError(SourcePrefix(words) + "Track too long " + Position(x0, y0) + ": after " +
                              std::to_string(TrackStepLimit) +
                              " steps its direction marks still have not led back to the start");
        bool moved = x != px || y != py;
        if (x == x0 && y == y0)
            return moved; // a start that cannot move is a dead end, not a closed track
        if (!moved)
            return false;
    }
}

} // namespace

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
    if (size == 0)
        throw Exception(fileName + ": the route is empty; it needs at least two 12-byte records");
    if (size % 12 != 0)
        throw Exception(fileName + ": " + std::to_string(size) +
                        " bytes is not a whole number of 12-byte route records; record " +
                        std::to_string(size / 12) + " has only " + std::to_string(size % 12) + " bytes");
    if (size < 24)
        throw Exception(fileName + ": the route has one record; it needs at least two");
    TByteReader r(data, size, fileName);
    auto curve = std::make_unique<TBezierCurve>();
    // Records are counted from 0, as the tools that draw the routes count them.
    for (size_t record = 0; r.Remaining() > 0; ++record) {
        int32_t x = r.I32("route x");
        int32_t y = r.I32("route y");
        int32_t t = r.I32("route t");
        std::string where = fileName + ": route record " + std::to_string(record);
        if (!TCellWords::InMap(x, y))
            throw Exception(where + " at cell " + Position(x, y) + " lies off the 512 x 512 map");
        // The curve is looked up by its parameter, which must rise from point to point.
        if (!curve->Points.empty() && float(t) <= curve->Points.back().t)
            throw Exception(where + " has the curve parameter " + std::to_string(t) +
                            ", not above the previous record's " +
                            std::to_string(int64_t(curve->Points.back().t)));
        curve->AddPoint(float(x) + 0.5f, WorldY(float(y) + 0.5f), float(t));
    }
    curve->Prepare();
    return curve;
}

std::unique_ptr<TBezierCurve> LoadRoute(const std::string& fileName) {
    std::string path = NativePath(fileName);
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes))
        throw EInOutError("Cannot read the route " + path);
    return ParseRoute(bytes.data(), bytes.size(), path);
}
