#include "CityGrid.h"

#include "tables/CellWordBits.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <queue>
#include <stdexcept>

namespace {

// Record tags of the city map file and the sizes of their bodies.
constexpr int32_t TagTexture = 1, TagMesh = 2, TagTile = 101, TagBuilding = 102, TagBlock = 103,
                  TagCellWords = 400, TagIgnored = 501;
constexpr size_t NameField = 256;     // int32 id, then a 255-byte short string
constexpr size_t PlacementBytes = 24; // int32 id, float x, y, w, h, int32 rotation
constexpr float SquareHalf = 1.5f;    // metres from a target's centre to the edge of its square
constexpr float SquareUsed = 0.9f;    // metres off a target's centre, each axis, a way may pass it

class TReader {
  public:
    TReader(const std::vector<uint8_t>& bytes, const std::string& name) : Bytes(bytes), Name(name) {}
    bool AtEnd() const { return Pos >= Bytes.size(); }
    void Need(size_t count) const {
        if (Bytes.size() - Pos < count)
            throw std::runtime_error(Name + ": cut short at offset " + std::to_string(Pos));
    }
    int32_t I32() {
        Need(4);
        uint32_t v = uint32_t(Bytes[Pos]) | uint32_t(Bytes[Pos + 1]) << 8 | uint32_t(Bytes[Pos + 2]) << 16 |
                     uint32_t(Bytes[Pos + 3]) << 24;
        Pos += 4;
        return int32_t(v);
    }
    float F32() {
        int32_t bits = I32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    void Skip(size_t count) {
        Need(count);
        Pos += count;
    }

  private:
    const std::vector<uint8_t>& Bytes;
    std::string Name;
    size_t Pos = 0;
};

// Metres per second a car keeps on each ground kind is what the game's surface factor says; a
// slow surface costs the more.
float GroundCost(int32_t word) {
    if (word & GroundWater)
        return 0;
    if (word & GroundMud)
        return 4;
    if (word & GroundGrass)
        return 2;
    if (word & GroundGravel)
        return 1.6f;
    if (word & (GroundCobbles | GroundPedestrian))
        return 1.2f;
    return 1; // asphalt, concrete and bare ground
}

} // namespace

void TCityGrid::Load(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot read the city map " + fileName);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TReader r(bytes, fileName);
    auto markSolid = [this](float x0, float y0, float x1, float y1) {
        for (int x = std::max(0, int(std::floor(x0))); x < std::min(Size, int(std::ceil(x1))); ++x)
            for (int y = std::max(0, int(std::floor(y0))); y < std::min(Size, int(std::ceil(y1))); ++y)
                Blocked[Index(x, y)] = 1;
    };
    while (!r.AtEnd()) {
        int32_t tag = r.I32();
        if (tag == TagTexture || tag == TagMesh) {
            r.Skip(4 + NameField - 1);
        } else if (tag == TagTile) {
            r.Skip(PlacementBytes);
        } else if (tag == TagBuilding || tag == TagBlock) {
            r.I32();
            float x = r.F32(), y = r.F32(), w = r.F32(), h = r.F32();
            r.I32();
            bool collides = tag == TagBlock || (r.I32() & 0xFF) != 0;
            if (!collides)
                continue;
            // Placements count their rows from the north edge; a building stands on whole cells.
            if (tag == TagBuilding) {
                float left = std::nearbyint(x), south = 511 - std::nearbyint(y) - std::nearbyint(h);
                markSolid(left, south, left + std::nearbyint(w), south + std::nearbyint(h));
            } else {
                markSolid(x, 511 - y - h, x + w, 511 - y);
            }
        } else if (tag == TagCellWords) {
            // Index x * 512 + row, the row counted from the north edge.
            for (int x = 0; x < Size; ++x)
                for (int row = 0; row < Size; ++row)
                    Words[Index(x, 511 - row)] = r.I32();
        } else if (tag == TagIgnored) {
            r.Skip(8);
        }
    }
    for (int x = 0; x < Size; ++x)
        for (int y = 0; y < Size; ++y)
            if (Words[Index(x, y)] & GroundWater)
                Blocked[Index(x, y)] = 1;

    // Clearance: a breadth-first walk out from every solid cell, exact enough at cell scale.
    std::queue<std::pair<int, int>> open;
    std::vector<std::pair<int, int>> nearest(size_t(Size) * Size, {-1, -1});
    for (int x = 0; x < Size; ++x)
        for (int y = 0; y < Size; ++y)
            if (Blocked[Index(x, y)]) {
                Clear[Index(x, y)] = 0;
                nearest[Index(x, y)] = {x, y};
                open.push({x, y});
            }
    while (!open.empty()) {
        auto [x, y] = open.front();
        open.pop();
        auto [sx, sy] = nearest[Index(x, y)];
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                int nx = x + dx, ny = y + dy;
                if (!Inside(nx, ny))
                    continue;
                float d = std::hypot(float(nx - sx), float(ny - sy));
                if (d < Clear[Index(nx, ny)] && d < 8) {
                    Clear[Index(nx, ny)] = d;
                    nearest[Index(nx, ny)] = {sx, sy};
                    open.push({nx, ny});
                }
            }
    }
}

float TCityGrid::Cost(int x, int y) const {
    if (!Inside(x, y) || x == 0 || y == 0 || x == Size - 1 || y == Size - 1)
        return 0;
    float clear = Clearance(x, y);
    float ground = GroundCost(Word(x, y));
    if (clear < 1.5f || ground == 0)
        return 0;
    // Keep off the walls where the street allows: a car is two metres wide and swings out in a bend.
    if (clear < 2.5f)
        ground += 3;
    else if (clear < 3.5f)
        ground += 0.6f;
    return ground;
}

bool TBox::Holds(float x, float y) const {
    float dx = x - Centre.X, dy = y - Centre.Y;
    return std::fabs(dx * std::cos(Axis) + dy * std::sin(Axis)) < HalfLength &&
           std::fabs(-dx * std::sin(Axis) + dy * std::cos(Axis)) < HalfWidth;
}

namespace {

// Whether a point of a leg from `from` to `to` lies in one of the boxes. Around an end inside a box
// the box is open: a car standing close beside another one still drives off.
bool Boxed(const std::vector<TBox>& boxes, TPoint from, TPoint to, float x, float y) {
    for (const TBox& box : boxes)
        if (box.Holds(x, y) && !(box.Holds(from.X, from.Y) && std::hypot(x - from.X, y - from.Y) < 1.5f) &&
            !(box.Holds(to.X, to.Y) && std::hypot(x - to.X, y - to.Y) < 1.0f))
            return true;
    return false;
}

} // namespace

std::vector<TPoint> TCityGrid::Leg(TPoint from, TPoint to, const std::vector<TBox>& boxes) const {
    int sx = int(std::floor(from.X)), sy = int(std::floor(from.Y));
    int gx = int(std::floor(to.X)), gy = int(std::floor(to.Y));
    if (!Inside(sx, sy) || !Inside(gx, gy))
        return {};
    auto nearEnd = [&](int x, int y) {
        return std::hypot(x + 0.5f - from.X, y + 0.5f - from.Y) < 2.5f ||
               std::hypot(x + 0.5f - to.X, y + 0.5f - to.Y) < 2.0f;
    };
    auto cost = [&](int x, int y) -> float {
        if (Boxed(boxes, from, to, float(x) + 0.5f, float(y) + 0.5f))
            return 0.0f;
        float c = Cost(x, y);
        if (c == 0 && nearEnd(x, y) && !Solid(x, y) && !(Word(x, y) & GroundWater))
            c = 6;
        return c;
    };
    std::vector<float> best(size_t(Size) * Size, 1e30f);
    std::vector<int32_t> came(size_t(Size) * Size, -1);
    using TEntry = std::pair<float, int32_t>;
    std::priority_queue<TEntry, std::vector<TEntry>, std::greater<TEntry>> open;
    auto heuristic = [&](int x, int y) { return std::hypot(float(x - gx), float(y - gy)); };
    best[Index(sx, sy)] = 0;
    open.push({heuristic(sx, sy), int32_t(Index(sx, sy))});
    bool found = false;
    while (!open.empty()) {
        auto [f, index] = open.top();
        open.pop();
        int x = index / Size, y = index % Size;
        if (x == gx && y == gy) {
            found = true;
            break;
        }
        if (f - heuristic(x, y) > best[size_t(index)] + 1e-3f)
            continue;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                int nx = x + dx, ny = y + dy;
                if ((dx == 0 && dy == 0) || !Inside(nx, ny))
                    continue;
                float c = cost(nx, ny);
                // A diagonal step must not cut the corner of a closed cell.
                if (c == 0 || (dx != 0 && dy != 0 && (cost(x + dx, y) == 0 || cost(x, y + dy) == 0)))
                    continue;
                float g = best[size_t(index)] + c * (dx != 0 && dy != 0 ? 1.4142f : 1.0f);
                if (g < best[Index(nx, ny)]) {
                    best[Index(nx, ny)] = g;
                    came[Index(nx, ny)] = index;
                    open.push({g + heuristic(nx, ny), int32_t(Index(nx, ny))});
                }
            }
    }
    if (!found)
        return {};
    std::vector<TPoint> way;
    for (int32_t i = int32_t(Index(gx, gy)); i != int32_t(Index(sx, sy)); i = came[size_t(i)])
        way.push_back({float(i / Size) + 0.5f, float(i % Size) + 0.5f});
    std::reverse(way.begin(), way.end());
    if (!way.empty())
        way.back() = to;
    else
        way.push_back(to);
    return Straighten(from, way, boxes);
}

// Pulls the cell-by-cell way taut: from each corner it goes straight to the farthest later point that
// it can see over open, easy ground, then every half metre of the result becomes a point again.
std::vector<TPoint> TCityGrid::Straighten(TPoint from, const std::vector<TPoint>& cells,
                                          const std::vector<TBox>& boxes) const {
    // What a point of the way costs; the cells close to a wall that the search opened near the ends
    // of a leg cost what it paid for them.
    TPoint to = cells.empty() ? from : cells.back();
    auto costAt = [&](float px, float py) {
        if (Boxed(boxes, from, to, px, py))
            return 0.0f;
        int x = int(std::floor(px)), y = int(std::floor(py));
        float c = Cost(x, y);
        return c == 0 && Inside(x, y) && !Solid(x, y) && !(Word(x, y) & GroundWater) ? 6.0f : c;
    };
    // A straight line may cross no harder ground than the cells it replaces, but for its first and
    // last metre and a half: a car starting beside a wall leaves it the short way.
    auto clearLine = [&](TPoint a, TPoint b, float hardest) {
        float length = std::hypot(b.X - a.X, b.Y - a.Y);
        int steps = int(length / 0.25f) + 1;
        for (int k = 1; k < steps; ++k) {
            float t = float(k) / float(steps);
            float c = costAt(a.X + (b.X - a.X) * t, a.Y + (b.Y - a.Y) * t);
            bool nearEnd = std::min(t, 1 - t) * length < 1.5f;
            if (c == 0 || (c > hardest && !nearEnd))
                return false;
        }
        return true;
    };
    std::vector<TPoint> corners{from};
    size_t i = 0;
    std::vector<TPoint> all{from};
    all.insert(all.end(), cells.begin(), cells.end());
    std::vector<float> hardest(all.size());
    while (i + 1 < all.size()) {
        // The hardest ground the cell way crosses from corner i to each later point.
        float worst = 1.7f;
        for (size_t k = i + 1; k < all.size(); ++k)
            hardest[k] = worst = std::max(worst, costAt(all[k].X, all[k].Y));
        size_t j = i + 1;
        for (size_t k = all.size() - 1; k > i + 1; --k)
            if (clearLine(all[i], all[k], hardest[k])) {
                j = k;
                break;
            }
        corners.push_back(all[j]);
        i = j;
    }
    std::vector<TPoint> way;
    for (size_t c = 1; c < corners.size(); ++c) {
        TPoint a = corners[c - 1], b = corners[c];
        int steps = std::max(1, int(std::hypot(b.X - a.X, b.Y - a.Y) / 0.5f));
        for (int k = 1; k <= steps; ++k)
            way.push_back(
                {a.X + (b.X - a.X) * float(k) / float(steps), a.Y + (b.Y - a.Y) * float(k) / float(steps)});
    }
    return way;
}

std::vector<TPoint> TCityGrid::FindWay(TPoint from, const std::vector<TPoint>& via, std::vector<size_t>& marks,
                                       const std::vector<TBox>& boxes) const {
    std::vector<TPoint> way{from};
    marks.clear();
    for (size_t i = 0; i < via.size(); ++i) {
        // A target counts from anywhere in its square of three metres: the way passes it at the
        // point of the square (less a margin for the driver) nearest to the line from where the way
        // comes from to the next target, which straightens bends.
        TPoint point = via[i];
        TPoint a = way.back(), b = i + 1 < via.size() ? via[i + 1] : via[i];
        float left = point.X - SquareUsed, right = point.X + SquareUsed;
        float bottom = point.Y - SquareUsed, top = point.Y + SquareUsed;
        // Where the next square overlaps this one, the way takes both at once, through the middle of
        // the overlap across its narrow side, heading for the target after them.
        bool pair = i + 1 < via.size() && std::fabs(via[i + 1].X - point.X) < 2 * SquareHalf &&
                    std::fabs(via[i + 1].Y - point.Y) < 2 * SquareHalf;
        if (pair) {
            TPoint next = via[i + 1];
            b = i + 2 < via.size() ? via[i + 2] : next;
            auto squeeze = [](float low, float high, float& from, float& to) {
                float margin = std::min(SquareHalf - SquareUsed, (high - low) / 2);
                from = low + margin;
                to = high - margin;
                if (to - from < 1) // narrow: its very middle
                    from = to = (low + high) / 2;
            };
            squeeze(std::max(point.X, next.X) - SquareHalf, std::min(point.X, next.X) + SquareHalf, left,
                    right);
            squeeze(std::max(point.Y, next.Y) - SquareHalf, std::min(point.Y, next.Y) + SquareHalf, bottom,
                    top);
        }
        float dx = b.X - a.X, dy = b.Y - a.Y, length2 = dx * dx + dy * dy;
        float t =
            length2 > 0 ? std::clamp(((point.X - a.X) * dx + (point.Y - a.Y) * dy) / length2, 0.0f, 1.0f) : 0;
        TPoint nearest{std::clamp(a.X + t * dx, left, right), std::clamp(a.Y + t * dy, bottom, top)};
        auto boxed = [&](TPoint p) {
            return std::any_of(boxes.begin(), boxes.end(), [&](const TBox& box) { return box.Holds(p.X, p.Y); });
        };
        if (boxed(nearest)) {
            // A car stands on that point: the open point of the square nearest to it.
            float bestMiss = 1e9f;
            for (float x = point.X - SquareHalf + 0.3f; x <= point.X + SquareHalf - 0.3f; x += 0.2f)
                for (float y = point.Y - SquareHalf + 0.3f; y <= point.Y + SquareHalf - 0.3f; y += 0.2f)
                    if (float miss = std::hypot(x - nearest.X, y - nearest.Y);
                        miss < bestMiss && !boxed({x, y}) && Cost(int(std::floor(x)), int(std::floor(y))) > 0) {
                        bestMiss = miss;
                        point = {x, y};
                    }
        } else if (Cost(int(std::floor(nearest.X)), int(std::floor(nearest.Y))) > 0) {
            point = nearest;
        }
        std::vector<TPoint> leg = Leg(way.back(), point, boxes);
        if (leg.empty() && !boxes.empty())
            leg = Leg(way.back(), point, {});
        if (leg.empty())
            return {};
        way.insert(way.end(), leg.begin(), leg.end());
        marks.push_back(way.size() - 1);
        if (pair) {
            marks.push_back(way.size() - 1);
            ++i;
        }
    }
    return way;
}
