// TTrafficEngine: keeps a few computer-driven cars and pedestrians alive round the players without
// simulating the whole city. Whatever has gone further than LivingReach from every player car and
// out of every one's sight is put back at a random place within LivingReach of one and out of the
// sight of all: what the players may see is decided by where their cars are and which way they
// face, never by the camera. The respawns come as the first player's car enters another of the map's 16 x 16 regions
// and every 401 updates within one. Owns its copy of the cell words, the 36 tracks traced from them,
// the two scripted routes, the pedestrians and the cars; the engine's lists only point at them.
#pragma once

#include "traffic/AICar.h"
#include "traffic/HumanMesh.h"
#include "traffic/Traffic.h"
#include "uBezierCurve.h"
#include "uMeshGrid.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What the living city needs of the game: the engine's lists, the first player's car, the hour and
// the sounds. The game engine is one; the tests bring their own.
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
    // The first player's car, or nullptr while there is none.
    virtual TCar* FirstCar() const = 0;
    // A building stands in the line of sight from the first point to the second (an open city by
    // default: nothing hides anything).
    virtual bool SightBlocked(float x0, float y0, float x1, float y1) const {
        (void)x0, (void)y0, (void)x1, (void)y1;
        return false;
    }
    // The game's hour of day, 0..24; -1 before the first game sets it.
    virtual int32_t HourOfDay() const = 0;
    // A new computer-driven car of a model 0..5 (VW Golf, Ford Transit, Avia, Skoda 120, BMW, Fabia),
    // not yet placed nor listed. The game's cars need the GL window; tests may return nullptr.
    virtual std::unique_ptr<TAICar> CreateTrafficCar(int32_t model) = 0;
    // Plays a registered sample once on any free channel.
    virtual void PlaySample(const std::string& key) = 0;
    // A computer-driven car made again as a saved one was built, not yet placed nor listed; a host
    // without the game's cars returns nullptr and the saved car stays away.
    virtual std::unique_ptr<TAICar> RemakeTrafficCar(const TCarConfig& config, const TMeshRecord& wheel,
                                                      const TMeshRecord& chassis) {
        (void)config, (void)wheel, (void)chassis;
        return nullptr;
    }
};

// A place where a car may be put: a point of a track and its curve parameter.
struct TSpawnPoint {
    const TBezierCurve* Track;
    float X, Y; // world position
    float t;
};

// A player car as the living city sees it: where it stands and which way it faces.
struct TPlayerSight {
    float X = 0, Y = 0;
    float Heading = NoSightHeading; // degrees, as the car keeps it: the car faces Heading + 180
    static constexpr float NoSightHeading = -1; // facing no way in particular: seen as from above
};

// Metres round a player car that every view shows, whichever way it looks: nothing appears nearer.
constexpr float UnseenReach = 24;
// Metres a player sees ahead of the car, as far as the chase view draws before its far edge has
// faded into the sky; what stands in the open there is in sight.
constexpr float SightReach = 48;
// What lies more than this many degrees off the way a car faces is behind it, out of the chase
// view's sight (the top view sees all round, but no further than UnseenReach).
constexpr float BehindAngle = 100;
// Metres from a player car within which pedestrians and traffic cars are kept alive.
constexpr float LivingReach = 40;
// The games give their numbers of pedestrians for one region of 32 x 32 metres, as many as the
// streets show round the player; the disc kept alive round a car is some five times larger, and
// this many times as many walk in it: the streets in view about as busy as before, those behind the
// houses emptier. Traffic cars keep their numbers (each costs a tick as much as fifty pedestrians):
// they drive into view from the disc's edge by themselves.
constexpr float PedestrianShare = 3.14f;

// The number of pedestrians that keeps a game's streets as busy as `perRegion` in one region would.
int32_t LivingCount(int32_t perRegion);

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
    // Once a tick with the player cars' world positions, the first player's first: respawns as the
    // first enters another region and every 401 updates within one.
    void Update(const std::vector<TPlayerSight>& players);
    void Update(float x, float y) { Update(std::vector<TPlayerSight>{{x, y}}); }
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
    // Within `reach` metres of any player car.
    bool NearAPlayer(float x, float y, float reach) const;
    // Where something may appear now: near enough to a player car to be kept, out of every one's
    // sight (the first respawn of a game fills the streets before anything is drawn, so only a
    // car's own place is kept free then).
    bool MayAppearAt(float x, float y) const;
    // Kept where it is: still within LivingReach of a player car, or in one's sight.
    bool KeptAt(float x, float y) const;
    // Within UnseenReach of a player car, or ahead of one within SightReach with no building between.
    bool InSight(float x, float y) const;

    // The traffic cars and the pedestrians with their plans, exactly (TrafficSave.cpp). A restore
    // takes away what was not there when the world was saved and makes again what has gone since;
    // RestoreCars returns the lowest serial of a car it made again (0: none), from which on the
    // vehicles must be made anew in the physics world (TEngine::OrderVehicles).
    void SaveCars(TByteWriter& out) const;
    uint64_t RestoreCars(TByteReader& in);
    void SavePedestrians(TByteWriter& out) const;
    void RestorePedestrians(TByteReader& in);

    // The region of the map cell (a, b): four halvings of the map, inclusive bounds x0, y0, x1, y1.
    static std::array<int32_t, 4> RegionOf(int32_t a, int32_t b);

    TTrafficHost& Host;
    int32_t PedestrianCount = 0;
    int32_t CarCount = 3;
    bool Gore = false; // run-over pedestrians bleed: the settings' Carmageddon when the game started
    TCellWords Cells;
    int32_t FramesSinceRespawn = 0;
    bool Filled = false;               // the streets were filled once since the last Clear
    std::vector<TPlayerSight> Players; // the player cars at the last update, the first player's first
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
