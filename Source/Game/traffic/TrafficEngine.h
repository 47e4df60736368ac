// TTrafficEngine: keeps a few computer-driven cars and pedestrians alive round the player without
// simulating the whole city. The map is cut into 16 x 16 regions; whatever has left the player's
// region and is out of the camera's view is put back at a random unseen place inside it. Owns its
// copy of the cell words, the 36 tracks traced from them, the two scripted routes, the pedestrians
// and the cars; the engine's lists only point at them.
#pragma once

#include "traffic/AICar.h"
#include "traffic/HumanMesh.h"
#include "traffic/Traffic.h"
#include "uBezierCurve.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TCamera;

// What the living city needs of the game: the engine's lists, the camera, the first player's car,
// the hour and the sounds. The game engine is one; the tests bring their own.
class TTrafficHost {
  public:
    virtual ~TTrafficHost() = default;
    // Put an object into its list, or take it out at once (no-op when it is not there).
    virtual void AddMesh(TMesh* mesh) = 0;
    virtual void RemoveMesh(TMesh* mesh) = 0;
    virtual void AddSprite3D(TSprite3D* sprite) = 0;
    virtual void RemoveSprite3D(TSprite3D* sprite) = 0;
    virtual void AddVehicle(TVehicle* vehicle) = 0;
    virtual void RemoveVehicle(TVehicle* vehicle) = 0;
    virtual const TCamera& ViewCamera() const = 0;
    // The first player's car, or nullptr while there is none.
    virtual TCar* FirstCar() const = 0;
    // The game's hour of day, 0..24; -1 before the first game sets it.
    virtual int32_t HourOfDay() const = 0;
    // A new computer-driven car of a model 0..5 (VW Golf, Ford Transit, Avia, Skoda 120, BMW, Fabia),
    // not yet placed nor listed. The game's cars need the GL window; tests may return nullptr.
    virtual std::unique_ptr<TAICar> CreateTrafficCar(int32_t model) = 0;
    // Plays a registered sample once on any free channel.
    virtual void PlaySample(const std::string& key) = 0;
};

// A place where a car may be put: a point of a track and its curve parameter.
struct TSpawnPoint {
    const TBezierCurve* Track;
    float X, Y; // world position
    float t;
};

// Car candidates kept per respawn; more points than this are dropped.
constexpr size_t MaxCarCandidates = 1022;
// Frames in one region between two respawns: a respawn comes when the count passes this.
constexpr int32_t RespawnFrames = 400;
// Parameter step between two car candidates along a track (cells).
constexpr int32_t CandidateStep = 16;
// Metres kept free round a car when another is put on the road, so no two start on top of each other.
constexpr float SpawnClearance = 10;

class TTrafficEngine {
  public:
    // Reads the two scripted routes; a missing or broken ".cur" file is a file error.
    explicit TTrafficEngine(TTrafficHost& host);
    ~TTrafficEngine();
    TTrafficEngine(const TTrafficEngine&) = delete;
    TTrafficEngine& operator=(const TTrafficEngine&) = delete;

    // Reseeds the generator from the clock (unless the program seeded it), copies the cell words,
    // lists the pedestrian cells and traces the 36 tracks from their start cells, in table order.
    void SetCityMarks(const TCellWords& cells);
    // Pedestrians and cars above a lowered count go at once; new slots are filled at the next respawn.
    void SetPedestrianCount(int32_t n);
    void SetCarCount(int32_t n);
    // Takes every car and pedestrian away and forgets the region, as before the first game: the next
    // update fills the slots anew, so a game's traffic depends on its own random numbers only.
    void Clear();
    // Once per drawn frame with the player car's world position: respawns on entering another
    // region and every 401 updates within one.
    void Update(float x, float y);
    // The first player's car or a traffic car covers the world point.
    bool IsOccupied(float x, float y) const;
    // The first player's car or a traffic car stands within this many metres of the world point.
    bool NearACar(float x, float y, float clearance) const;
    // The free road in front of a traffic car along its track: to the nearest car, lengthened by
    // the braking distance of one driving away ahead of it, and to the nearest pedestrian on the
    // carriageway or a crossing.
    TRoadAhead FreeRoadAhead(const TAICar& car) const;
    // Metres free straight behind a traffic car, for backing out; ClearGap when nothing is close.
    float FreeRoadBehind(const TAICar& car) const;

    // The steps of Update, public so the rules can be checked one by one.
    void Respawn();
    void CollectPedestrianCandidates();
    void CollectCarCandidates();
    bool InRegion(float p, float q) const;

    // The region of the map cell (a, b): four halvings of the map, inclusive bounds x0, y0, x1, y1.
    static std::array<int32_t, 4> RegionOf(int32_t a, int32_t b);

    TTrafficHost& Host;
    int32_t PedestrianCount = 0;
    int32_t CarCount = 3;
    bool Gore = false; // run-over pedestrians bleed: the settings' Carmageddon when the game started
    TCellWords Cells;
    int32_t FramesSinceRespawn = 0;
    std::vector<std::unique_ptr<TBezierCurve>> Tracks;
    // Scripted routes through the city, kept for the scripted scenes; nothing drives them yet.
    std::unique_ptr<TBezierCurve> BossRoute, DirectorRoute;
    std::vector<TSpawnPoint> CarCandidates;
    std::vector<std::array<int32_t, 2>> PedestrianCells;      // map (x, y), x outside, y inside
    std::vector<std::array<int32_t, 2>> PedestrianCandidates; // map (x, y)
    std::vector<std::unique_ptr<THumanMesh>> Pedestrians;     // an empty slot is filled at a respawn
    std::vector<std::unique_ptr<TAICar>> Cars;                // an empty slot is filled at a respawn
    std::array<int32_t, 4> Region{};
    std::array<int32_t, 4> PreviousRegion{};
};

// The computer-driven car of a model 0..5 (the order of TTrafficHost::CreateTrafficCar).
std::unique_ptr<TAICar> CreateAICar(int32_t model, TEngine& engine, TTrafficEngine& traffic);
