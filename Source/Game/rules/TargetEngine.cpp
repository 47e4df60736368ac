#include "rules/TargetEngine.h"
#include "sprites/CheckpointSprite.h"
#include "sprites/LocatorSprite.h"
#include "player/PlayerData.h"
#include "sprites/StarSprite.h"
#include "sprites/TargetSprite.h"
#include "uByteReader.h"
#include "uByteWriter.h"

#include <cmath>
#include <unordered_set>

namespace {

constexpr float ReachHalfSide = 1.5f; // map units: a target is reached inside a 3 x 3 square
constexpr float TargetHeight = 1.0f;  // metres: where the gift floats
constexpr int StarsPerTarget = 100;
constexpr float StarSize = 0.1f;      // metres
constexpr float LocatorRay = 1000.0f; // pixels: long enough to leave the 640 x 480 screen
constexpr uint8_t ShownLocatorAlpha = 248;
constexpr uint32_t ShownLocatorSize = 32; // pixels
constexpr uint32_t HiddenLocatorSize = 16;
constexpr float Degrees = 180.0f / 3.14159265f;

struct TEdge {
    TScreenPoint A, B;
};

// The screen frame the locators run along, 20 pixels inside the layout, in the order it is tried.
constexpr TEdge LocatorEdges[] = {
    {{20, 20}, {620, 20}},
    {{20, 460}, {620, 460}},
    {{20, 20}, {20, 460}},
    {{620, 20}, {620, 460}},
};

double DistanceSquared(double ax, double ay, double bx, double by) {
    return (ax - bx) * (ax - bx) + (ay - by) * (ay - by);
}

// Where the segment p-f crosses the edge, both ends of each excluded. False when it does not cross
// it or runs parallel to it.
bool CrossEdge(TScreenPoint p, TScreenPoint f, const TEdge& edge, double& ix, double& iy) {
    double rx = double(f.X) - p.X, ry = double(f.Y) - p.Y;
    double sx = double(edge.B.X) - edge.A.X, sy = double(edge.B.Y) - edge.A.Y;
    double denominator = rx * sy - ry * sx;
    if (denominator == 0)
        return false;
    double t = ((double(edge.A.X) - p.X) * sy - (double(edge.A.Y) - p.Y) * sx) / denominator;
    ix = p.X + t * rx;
    iy = p.Y + t * ry;
    double ray = DistanceSquared(p.X, p.Y, f.X, f.Y);
    double side = DistanceSquared(edge.A.X, edge.A.Y, edge.B.X, edge.B.Y);
    return DistanceSquared(ix, iy, p.X, p.Y) < ray && DistanceSquared(ix, iy, f.X, f.Y) < ray &&
           DistanceSquared(ix, iy, edge.A.X, edge.A.Y) < side &&
           DistanceSquared(ix, iy, edge.B.X, edge.B.Y) < side;
}

// Nearest whole number, halves to even.
int32_t RoundToInt(double value) {
    return int32_t(std::nearbyint(value));
}

void StyleLocator(TLocatorSprite& locator, bool shown) {
    locator.Alpha = shown ? ShownLocatorAlpha : 0;
    locator.Width = locator.Height = shown ? ShownLocatorSize : HiddenLocatorSize;
}

// Frees the objects `dead` picks, each taken out of its engine list first.
template <class T, class Remove, class Dead>
void FreeObjects(std::vector<std::unique_ptr<T>>& owned, Remove remove, Dead dead) {
    std::erase_if(owned, [&](const std::unique_ptr<T>& object) {
        if (!dead(*object))
            return false;
        remove(object.get());
        return true;
    });
}

} // namespace

TTargetEngine::TTargetEngine(TTargetHost& host) : Host(host) {}

TTargetEngine::~TTargetEngine() {
    FreeAll();
}

void TTargetEngine::Add(int32_t points, int32_t bonus, float x, float y) {
    auto mesh = std::make_unique<TTargetMesh>(x, y, TargetHeight);
    auto symbol = std::make_unique<TTargetSprite>(RoundToInt(x), RoundToInt(y));
    auto marker = std::make_unique<TCheckpointSprite>(x, y, 0);
    auto locator = std::make_unique<TLocatorSprite>();
    Targets.push_back({Count(), x, y, mesh.get(), symbol.get(), marker.get(), locator.get(), points, bonus});
    Host.AddMesh(mesh.get());
    Host.AddSprite3D(marker.get());
    Host.AddSprite(locator.get());
    OwnedMeshes.push_back(std::move(mesh));
    OwnedSprites.push_back(std::move(symbol));
    OwnedSprites.push_back(std::move(locator));
    OwnedSprites3D.push_back(std::move(marker));
    ++AddedCount;
}

void TTargetEngine::Clear() {
    Targets.clear();
    FreeAll();
    AddedCount = 0;
}

bool TTargetEngine::InArea(int32_t i, float x, float y) const {
    if (i < 0 || i >= Count())
        return false;
    const TTarget& target = Targets[i];
    return target.X - ReachHalfSide <= x && x <= target.X + ReachHalfSide && target.Y - ReachHalfSide <= y &&
           y <= target.Y + ReachHalfSide;
}

void TTargetEngine::Check(int player, float x, float y) {
    LastReached = -1;
    if (Targets.empty())
        return;
    if (Mode == tmOrdered) {
        if (InArea(Count() - 1, x, y))
            Reach(Count() - 1, player);
    } else if (Mode == tmAnyOrder) {
        // A reached target leaves the array; the one moving into its place waits for the next frame.
        for (int32_t i = 0; i < Count(); ++i)
            if (InArea(i, x, y))
                Reach(i, player);
    }
}

void TTargetEngine::Reach(int32_t i, int player) {
    // Settled first, so that a wrong player number leaves the targets as they were.
    TPlayerData& credited = Host.IsTwoPlayer() ? Host.Player(player) : Host.Player(1);
    FreeDeadObjects();

    LastReached = i;
    const TTarget& target = Targets[i];
    target.Mesh->SetReached();
    target.Marker->Reached = true;
    target.Locator->Alive = false;
    if (Mode == tmOrdered) {
        // The next two targets of the route come into view; the finish at index 0 shows all along.
        for (int32_t next = i - 2; next < i; ++next)
            if (next >= 1) {
                Targets[next].Mesh->Visible = true;
                Targets[next].Marker->Visible = true;
            }
    }

    if (Host.IsTwoPlayer()) {
        credited.ExtraPoints += target.Points;
    } else {
        credited.AddScore(target.Points);
        credited.AddTime(float(target.Bonus));
    }

    for (int star = 0; star < StarsPerTarget; ++star) {
        OwnedSprites3D.push_back(std::make_unique<TStarSprite>(target.Mesh->Position, StarSize));
        Host.AddSprite3D(OwnedSprites3D.back().get());
    }

    Targets.erase(Targets.begin() + i);
    Host.PlaySample("checkpoint");
}

void TTargetEngine::UpdateLocators(float x, float y) {
    for (int32_t i = 0; i < Count(); ++i) {
        TTarget& target = Targets[i];
        // Styled first: the arrow is centred on its point with its new size.
        if (Mode == tmOrdered)
            StyleLocator(*target.Locator, i == Count() - 1);
        else if (Mode == tmAnyOrder)
            StyleLocator(*target.Locator, true);
        PlaceLocator(*target.Locator, x, y, target.X, target.Y);
    }
}

void TTargetEngine::AimActiveLocator(float x, float y, float towardsX, float towardsY) {
    if (Mode == tmOrdered && !Targets.empty())
        PlaceLocator(*Targets.back().Locator, x, y, towardsX, towardsY);
}

void TTargetEngine::PlaceLocator(TLocatorSprite& locator, float x, float y, float towardsX, float towardsY) {
    TScreenPoint from = Host.Project(x, y, 0);
    TScreenPoint to = Host.Project(towardsX, towardsY, 0);
    float dx = to.X - from.X, dy = to.Y - from.Y;
    float length = std::sqrt(dx * dx + dy * dy);
    float scale = length != 0 ? LocatorRay / length : 0;
    locator.Angle = 90.0f - std::atan2(dx, dy) * Degrees;

    TScreenPoint far = {from.X + dx * scale, from.Y + dy * scale};
    for (const TEdge& edge : LocatorEdges) {
        double ix, iy;
        if (CrossEdge(from, far, edge, ix, iy)) {
            // The arrow is centred on its point of the frame, so it shows whole on every edge.
            locator.SetCentre(RoundToInt(ix), RoundToInt(iy));
            return;
        }
    }
}

void TTargetEngine::ShowMapSymbols(bool on) {
    auto show = [&](TTargetSprite* symbol) {
        if (on) {
            Host.RemoveSprite(symbol); // never in the list twice
            Host.AddSprite(symbol);
            symbol->Alive = true;
        } else {
            symbol->Alive = false;
        }
    };
    if (Targets.empty())
        return;
    if (Mode == tmOrdered) {
        show(Targets.back().MapSymbol);
    } else if (Mode == tmAnyOrder || Mode == tmShownOnly) {
        for (TTarget& target : Targets)
            show(target.MapSymbol);
    }
}

// Called at every reached target, so the sparks of the earlier ones, which fall back to the ground
// within a few seconds, and the objects of reached targets never pile up.
void TTargetEngine::FreeDeadObjects() {
    // A hidden map symbol is not dead while its target waits to be reached.
    std::unordered_set<const void*> waiting;
    for (const TTarget& target : Targets) {
        waiting.insert(target.Mesh);
        waiting.insert(target.MapSymbol);
        waiting.insert(target.Marker);
        waiting.insert(target.Locator);
    }
    auto dead = [&](const auto& object) { return !object.Alive && !waiting.contains(&object); };
    FreeObjects(
        OwnedMeshes, [&](TMesh* mesh) { Host.RemoveMesh(mesh); }, dead);
    FreeObjects(
        OwnedSprites, [&](TSprite* sprite) { Host.RemoveSprite(sprite); }, dead);
    FreeObjects(
        OwnedSprites3D, [&](TSprite3D* sprite) { Host.RemoveSprite3D(sprite); }, dead);
}

void TTargetEngine::FreeAll() {
    auto all = [](const auto&) { return true; };
    FreeObjects(
        OwnedMeshes, [&](TMesh* mesh) { Host.RemoveMesh(mesh); }, all);
    FreeObjects(
        OwnedSprites, [&](TSprite* sprite) { Host.RemoveSprite(sprite); }, all);
    FreeObjects(
        OwnedSprites3D, [&](TSprite3D* sprite) { Host.RemoveSprite3D(sprite); }, all);
}

void TTargetEngine::Save(TByteWriter& out) const {
    out.U8(Mode);
    out.I32(AddedCount);
    out.I32(LastReached);
    out.U32(uint32_t(Targets.size()));
    for (const TTarget& target : Targets) {
        for (int32_t value : {target.Index, target.Points, target.Bonus})
            out.I32(value);
        out.F32(target.X);
        out.F32(target.Y);
        out.F32(target.Mesh->Heading);
        for (bool flag : {target.Mesh->Visible, target.Marker->Visible, target.Marker->Reached, target.MapSymbol->Alive,
                          target.Locator->Alive})
            out.Bool(flag);
        out.I32(target.Marker->Count);
    }
}

void TTargetEngine::Restore(TByteReader& in) {
    uint8_t mode = in.U8("the targets' mode");
    int32_t added = in.I32("the targets made");
    LastReached = in.I32("the target reached last");
    uint32_t count = in.U32("the targets");
    if (count > 100000)
        throw EReadError(in.FileName() + ": " + std::to_string(count) + " targets");
    struct TSaved {
        int32_t Index, Points, Bonus;
        float X, Y, Heading;
        bool MeshVisible, MarkerVisible, MarkerReached, SymbolShown, LocatorShown;
        int32_t MarkerCount;
    };
    std::vector<TSaved> saved(count);
    for (TSaved& t : saved) {
        t.Index = in.I32("a target");
        t.Points = in.I32("a target's points");
        t.Bonus = in.I32("a target's bonus");
        t.X = in.F32("a target's place");
        t.Y = in.F32("a target's place");
        t.Heading = in.F32("a target's turn");
        t.MeshVisible = in.Bool("a target's visibility");
        t.MarkerVisible = in.Bool("a target's visibility");
        t.MarkerReached = in.Bool("a target's ring");
        t.SymbolShown = in.Bool("a target's symbol");
        t.LocatorShown = in.Bool("a target's arrow");
        t.MarkerCount = in.I32("a target's ring");
    }
    bool same = saved.size() == Targets.size();
    for (size_t i = 0; same && i < saved.size(); ++i)
        same = saved[i].Index == Targets[i].Index && saved[i].X == Targets[i].X && saved[i].Y == Targets[i].Y;
    if (!same) {
        Clear();
        for (const TSaved& t : saved)
            Add(t.Points, t.Bonus, t.X, t.Y);
    }
    Mode = mode;
    AddedCount = added;
    for (size_t i = 0; i < saved.size(); ++i) {
        const TSaved& t = saved[i];
        TTarget& target = Targets[i];
        target.Index = t.Index;
        target.Points = t.Points;
        target.Bonus = t.Bonus;
        target.Mesh->Heading = t.Heading;
        target.Mesh->Visible = t.MeshVisible;
        target.Marker->Visible = t.MarkerVisible;
        target.Marker->Reached = t.MarkerReached;
        target.Marker->Count = t.MarkerCount;
        target.MapSymbol->Alive = t.SymbolShown;
        target.Locator->Alive = t.LocatorShown;
    }
}
