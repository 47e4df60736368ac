// TTargetEngine: the targets of the running mission or race — for each a spinning gift in the
// world, a ring on the ground, a symbol on the city map and an arrow at the screen edge. Detects a
// target being reached, credits the player, celebrates with stars and a sound and removes it.
// Owns the target objects; the engine's lists only point at them until their states end.
#pragma once

#include "UMesh.h"
#include "uCamera.h"
#include "uSprite.h"
#include "uSprite3d.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TByteReader;
class TByteWriter;
class TCheckpointSprite;
class TLocatorSprite;
class TPlayerData;
class TStarSprite;
class TTargetSprite;

// What the target engine needs of the game engine.
class TTargetHost {
  public:
    virtual ~TTargetHost() = default;
    virtual void AddSprite(TSprite* sprite) = 0;
    virtual void AddSprite3D(TSprite3D* sprite) = 0;
    virtual void AddMesh(TMesh* mesh) = 0;
    // Take an object out of its list at once (no-op when it is not in it).
    virtual void RemoveSprite(TSprite* sprite) = 0;
    virtual void RemoveSprite3D(TSprite3D* sprite) = 0;
    virtual void RemoveMesh(TMesh* mesh) = 0;
    // A world point in 640 x 480 layout pixels, origin bottom-left.
    virtual TScreenPoint Project(float x, float y, float z) = 0;
    virtual bool IsTwoPlayer() const = 0;
    // Player 1 or 2; ERangeError for any other.
    virtual TPlayerData& Player(int i) = 0;
    // Plays a registered sample once on any free channel.
    virtual void PlaySample(const std::string& key) = 0;
};

enum : uint8_t {
    tmNone = 0,    // at creation
    tmOrdered = 1, // the last target is the active one
    tmAnyOrder = 2,
    tmShownOnly = 3,
};

struct TTarget {
    int32_t Index; // array position when added; not renumbered
    float X, Y;    // map units
    TTargetMesh* Mesh;
    TTargetSprite* MapSymbol;
    TCheckpointSprite* Marker;
    TLocatorSprite* Locator;
    int32_t Points;
    int32_t Bonus; // seconds added to the clock (one-player games)
};

class TTargetEngine {
  public:
    explicit TTargetEngine(TTargetHost& host);
    ~TTargetEngine();
    TTargetEngine(const TTargetEngine&) = delete;
    TTargetEngine& operator=(const TTargetEngine&) = delete;

    int32_t Count() const { return int32_t(Targets.size()); }
    bool IsEmpty() const { return Targets.empty(); }
    void Add(int32_t points, int32_t bonus, float x, float y);
    // Takes every target object out of the engine's lists and empties the array; AddedCount 0.
    void Clear();
    void Check(int player, float x, float y);
    // Places and styles the locator arrows as seen from the world point (x, y, 0).
    void UpdateLocators(float x, float y);
    // In an ordered game, turns the active target's arrow as seen from (x, y, 0) towards the world
    // point (towardsX, towardsY) instead of the target itself: the guidance along the streets.
    void AimActiveLocator(float x, float y, float towardsX, float towardsY);
    void ShowMapSymbols(bool on);
    // True when target i (< Count) is within 1.5 units of (x, y) along both axes.
    bool InArea(int32_t i, float x, float y) const;
    // The targets still to reach with what the game reads of their objects. A restore makes the
    // targets again when others wait than were saved (the sparks of reached ones go then).
    void Save(TByteWriter& out) const;
    void Restore(TByteReader& in);

    TTargetHost& Host;
    uint8_t Mode = tmNone;
    std::vector<TTarget> Targets; // not yet reached, in creation order
    int32_t AddedCount = 0;
    int32_t LastReached = -1;

  private:
    void Reach(int32_t i, int player);
    // Moves the arrow to where the screen-space ray from (x, y, 0) towards (towardsX, towardsY, 0)
    // leaves the frame 20 pixels inside the screen, turned along it; keeps its place when the ray
    // meets no edge.
    void PlaceLocator(TLocatorSprite& locator, float x, float y, float towardsX, float towardsY);
    // Frees the objects whose states have ended (alive flag clear) and no waiting target holds.
    void FreeDeadObjects();
    void FreeAll();
    // Every object made for a target, owned here. Clear and the destructor take each out of its
    // engine list before freeing it, so no list is ever left pointing at a freed object.
    std::vector<std::unique_ptr<TMesh>> OwnedMeshes;
    std::vector<std::unique_ptr<TSprite>> OwnedSprites;
    std::vector<std::unique_ptr<TSprite3D>> OwnedSprites3D;
};
