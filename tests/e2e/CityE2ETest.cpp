// The generated city with the game's own reader, grids and tracer: every record loads, all 36
// tracks close on right-hand lanes, every mission leg, start and stop is drivable with a car's
// width to spare, and the engine draws the town from above and at street level under Xvfb.
#include "TestSupport.h"
#include "city/CityHost.h"
#include "tables/GameConsts.h"
#include "traffic/Traffic.h"
#include "u3ds.h"
#include "uBMP.h"
#include "uByteReader.h"
#include "uCityMap.h"
#include "uEngine.h"
#include "uErrors.h"
#include "uMapCoords.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

const std::string CityFile = ".\\data\\city\\city.tmf";
constexpr float CarHalfWidth = 0.9f; // metres: a car of 1.8 m must pass

// Every picture works with the fixed-function pipeline of OpenGL 1.1: sides are powers of two.
void ExpectPowerOfTwo(const TBMPImage& image, const std::string& name) {
    EXPECT_EQ(image.Width & (image.Width - 1), 0) << name;
    EXPECT_EQ(image.Height & (image.Height - 1), 0) << name;
}

// Loads nothing into GL: textures get ids in order, meshes their real extents from the 3DS files.
class TDataHost : public ICityMapHost {
  public:
    uint32_t LoadTileTexture(const std::string& path) override {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadWholeFile(NativePath(path), bytes)) << path;
        TBMPImage image;
        EXPECT_NO_THROW(image = ParseBMP(bytes, path));
        ExpectPowerOfTwo(image, path);
        return ++Textures;
    }
    TMeshRecord LoadBuildingMesh(const std::string& path) override {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadWholeFile(NativePath(path), bytes)) << path;
        T3dsModel model;
        EXPECT_NO_THROW(model = Parse3DS(bytes, path));
        TMeshRecord record;
        record.List = ++Meshes;
        CentreAndScale(model, 1.0f, record.Extent);
        std::string folder = NativePath(path).substr(0, NativePath(path).find_last_of('/') + 1);
        for (const T3dsMaterial& material : model.Materials) {
            EXPECT_FALSE(material.TextureFile.empty())
                << path << ": plain colours would leak into the next mesh";
            std::vector<uint8_t> picture;
            EXPECT_TRUE(ReadWholeFile(folder + material.TextureFile, picture)) << material.TextureFile;
            try {
                ExpectPowerOfTwo(ParseBMP(picture, material.TextureFile), material.TextureFile);
            } catch (const EFormatError& e) {
                ADD_FAILURE() << e.what();
            }
        }
        return record;
    }
    void DrawProgress(int32_t done, int32_t total) override { Progress.push_back({done, total}); }
    void AddLamp(float x, float y, float z) override { Lamps.push_back(VectorMake(x, y, z)); }
    void SetCellWords(const uint8_t* block, size_t size) override {
        Words = TCellWords::FromBytes(block, size);
    }

    uint32_t Textures = 0, Meshes = 0;
    std::vector<std::pair<int32_t, int32_t>> Progress;
    std::vector<dVector3> Lamps;
    TCellWords Words;
};

// The city read once for all data checks.
struct TLoadedCity {
    TCamera Camera;
    TTextureGrid Tiles{Camera};
    TMeshGrid Meshes{Camera, nullptr};
    TDataHost Host;
    int32_t Records = 0;

    // A world cell where a car collides: under a colliding building or a block.
    bool Obstacle(int x, int y) const {
        if (x < 0 || y < 0 || x >= GridSize || y >= GridSize)
            return true;
        const TMeshCell* b = Meshes.Building(x, y).Owner;
        return (b && b->Collides) || Meshes.Block(x, y).Owner;
    }
    // The cell word of world cell (x, y).
    int32_t Word(int x, int y) const { return Host.Words.At(x, MapCells - 1 - y); }
    // A car body centred on (x, y) touches no obstacle.
    bool CarFits(float x, float y) const {
        for (int cx = int(std::floor(x - CarHalfWidth)); cx <= int(std::floor(x + CarHalfWidth)); ++cx)
            for (int cy = int(std::floor(y - CarHalfWidth)); cy <= int(std::floor(y + CarHalfWidth)); ++cy)
                if (Obstacle(cx, cy))
                    return false;
        return true;
    }
};

TLoadedCity& City() {
    static std::unique_ptr<TLoadedCity> city = [] {
        auto c = std::make_unique<TLoadedCity>();
        Resources().Clear();
        c->Records = ReadCityMap(CityFile, c->Host, c->Tiles, c->Meshes);
        Resources().Clear();
        return c;
    }();
    return *city;
}

float Heading(float degrees, float& dx, float& dy) {
    float a = (degrees + 180) * 3.14159265f / 180;
    dx = std::cos(a);
    dy = std::sin(a);
    return a;
}

} // namespace

TEST(CityData, EveryRecordLoadsAndTheBarFillsExactly) {
    TLoadedCity& city = City();
    EXPECT_EQ(city.Records, CityRecordTotal);
    EXPECT_EQ(city.Host.Textures, uint32_t(CityTextureTotal));
    EXPECT_EQ(city.Host.Meshes, uint32_t(CityMeshTotal));
    // The definition bars end full, the record bar at its last step.
    bool texturesFull = false, meshesFull = false;
    for (auto [done, total] : city.Host.Progress) {
        EXPECT_LE(done, total);
        texturesFull = texturesFull || (total == CityTextureTotal && done == total);
        meshesFull = meshesFull || (total == CityMeshTotal && done == total);
    }
    EXPECT_TRUE(texturesFull);
    EXPECT_TRUE(meshesFull);
    EXPECT_EQ(city.Host.Progress.back(), std::make_pair(15500, CityRecordTotal));
    EXPECT_GT(city.Host.Lamps.size(), 500u);
    int blocked = 0;
    for (int x = 0; x < GridSize; ++x)
        for (int y = 0; y < GridSize; ++y)
            blocked += city.Obstacle(x, y);
    EXPECT_GT(blocked, 40000); // the town is built up, so the clearance checks below mean something
    // Every cell of the city is covered by a ground tile.
    for (int x = 0; x < GridSize; x += 7)
        for (int y = 0; y < GridSize; y += 7)
            ASSERT_NE(city.Tiles.Cell(x, y).Owner, nullptr) << x << ", " << y;
}

TEST(CityData, AllTracksCloseOnRightHandAsphaltLanes) {
    TLoadedCity& city = City();
    TMessageRecorder messages;
    for (size_t n = 0; n < TrackStarts.size(); ++n) {
        auto [x0, y0] = TrackStarts[n];
        bool closed = false;
        auto cells = TraceTrack(x0, y0, city.Host.Words, closed);
        EXPECT_TRUE(closed) << "track " << n;
        EXPECT_LT(cells.size(), 20000u / 4) << "track " << n;
        auto curve = BuildTrack(x0, y0, city.Host.Words);
        EXPECT_GT(curve->Points.size(), 8u);
        for (auto [x, y] : cells) {
            int32_t word = city.Host.Words.At(x, y);
            // Asphalt, crossed by zebra crossings (pedestrian area) but never by grass, water or gravel.
            ASSERT_EQ(word & 0x7F & ~GroundPedestrian, GroundAsphalt)
                << "track " << n << " at map cell " << x << ", " << y;
            // Keep right: within its 8-metre street a lane heading north or west runs in the half
            // towards +X or +Y, one heading south or east in the other half.
            int wx = x, wy = MapCells - 1 - y;
            int offset = (word & (MarkNorth | MarkSouth)) ? wx % 8 : wy % 8;
            bool towardsPlus = (word & MarkNorth) || (word & MarkWest);
            if (towardsPlus) {
                ASSERT_GE(offset, 4) << "track " << n << " at world cell " << wx << ", " << wy;
            } else {
                ASSERT_LE(offset, 3) << "track " << n << " at world cell " << wx << ", " << wy;
            }
        }
    }
    EXPECT_TRUE(messages.Messages.empty());
}

TEST(CityData, EveryMissionLegIsDrivableWithACarsWidth) {
    TLoadedCity& city = City();
    for (int m = 1; m <= LastMission; ++m) {
        float x = MissionSetups[m].Start[0].X, y = MissionSetups[m].Start[0].Y;
        const std::vector<TMapPoint>& targets = MissionRoute(m);
        for (size_t k = targets.size(); k-- > 0;) {
            float tx = targets[k].X, ty = targets[k].Y;
            float length = std::hypot(tx - x, ty - y);
            for (float s = 0; s <= length; s += 0.25f) {
                float px = x + (tx - x) * s / std::max(length, 0.001f),
                      py = y + (ty - y) * s / std::max(length, 0.001f);
                ASSERT_TRUE(city.CarFits(px, py))
                    << "mission " << m << " leg to target " << k << " blocked at " << px << ", " << py;
            }
            x = tx, y = ty;
        }
    }
}

TEST(CityData, StartsStandOnStreetsFacingTheirFirstTarget) {
    TLoadedCity& city = City();
    for (int m = 1; m <= LastMission; ++m) {
        const TMapPoint& s = MissionSetups[m].Start[0];
        EXPECT_TRUE(city.Word(int(s.X), int(s.Y)) & GroundAsphalt) << "mission " << m;
        EXPECT_TRUE(city.CarFits(s.X, s.Y)) << "mission " << m;
        float dx, dy;
        Heading(MissionSetups[m].Heading, dx, dy);
        const TMapPoint& first = MissionRoute(m).back();
        float tx = first.X - s.X, ty = first.Y - s.Y, d = std::hypot(tx, ty);
        if (m == 9) {
            // Facing south with the first target to the west: a junction gives room to turn.
            for (int k = 1; k <= 4; ++k) {
                EXPECT_TRUE(city.Word(int(s.X), int(s.Y) - k) & GroundAsphalt) << k;
                EXPECT_TRUE(city.Word(int(s.X) - k, int(s.Y)) & GroundAsphalt) << k;
            }
            continue;
        }
        EXPECT_GT((dx * tx + dy * ty) / d, 0.7f) << "mission " << m << " does not face its first target";
        // The street runs on ahead of the car.
        for (int k = 1; k <= 3; ++k)
            EXPECT_TRUE(city.CarFits(s.X + dx * k, s.Y + dy * k)) << "mission " << m;
    }
    for (int r = LastMission + 1; r < MissionCount; ++r) {
        const auto& cars = MissionSetups[r].Start;
        EXPECT_NEAR(std::hypot(cars[0].X - cars[1].X, cars[0].Y - cars[1].Y), 1.4f, 1e-4f);
        for (const auto& car : cars) {
            EXPECT_TRUE(city.CarFits(car.X, car.Y)) << "race " << r;
            EXPECT_TRUE(city.Word(int(car.X), int(car.Y)) & (GroundAsphalt | GroundPedestrian))
                << "race " << r;
        }
    }
}

TEST(CityData, StationsStandOnForecourtsReachableFromTheStreet) {
    TLoadedCity& city = City();
    std::vector<TMapPoint> places(std::begin(GasStationPlaces), std::end(GasStationPlaces));
    places.insert(places.end(), std::begin(ServicePlaces), std::end(ServicePlaces));
    std::vector<TMapRect> stops(std::begin(GasStationAreas), std::end(GasStationAreas));
    stops.insert(stops.end(), std::begin(ServiceAreas), std::end(ServiceAreas));
    for (size_t i = 0; i < stops.size(); ++i) {
        const TMapRect& r = stops[i];
        EXPECT_GE(places[i].X, r.Left);
        EXPECT_LE(places[i].X, r.Right);
        EXPECT_GE(places[i].Y, r.Bottom);
        EXPECT_LE(places[i].Y, r.Top);
        for (float x = r.Left; x <= r.Right; x += 0.5f)
            for (float y = r.Bottom; y <= r.Top; y += 0.5f)
                ASSERT_TRUE(city.CarFits(x, y)) << "stop " << i << " blocked at " << x << ", " << y;
        // Breadth-first over cells where a car fits, from the stop to an asphalt street.
        std::vector<uint8_t> seen(size_t(GridSize) * GridSize, 0);
        std::vector<std::pair<int, int>> queue{{int(places[i].X), int(places[i].Y)}};
        bool reached = false;
        for (size_t q = 0; q < queue.size() && !reached && q < 4000; ++q) {
            auto [x, y] = queue[q];
            if ((city.Word(x, y) & GroundAsphalt) && !(city.Word(x, y) & GroundPedestrian)) {
                reached = true;
                break;
            }
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                int nx = x + dx, ny = y + dy;
                if (nx < 1 || ny < 1 || nx >= GridSize - 1 || ny >= GridSize - 1 ||
                    seen[size_t(nx) * GridSize + size_t(ny)])
                    continue;
                seen[size_t(nx) * GridSize + size_t(ny)] = 1;
                if (city.CarFits(nx + 0.5f, ny + 0.5f))
                    queue.push_back({nx, ny});
            }
        }
        EXPECT_TRUE(reached) << "stop " << i << " cannot be reached from a street";
        EXPECT_TRUE(city.Word(int(places[i].X), int(places[i].Y)) & (GroundConcrete | GroundAsphalt))
            << "stop " << i;
    }
}

TEST(CityData, GroundKindsMatchTheirPlaces) {
    TLoadedCity& city = City();
    // The river is water, its quays and bridges are not.
    EXPECT_TRUE(city.Word(188, 100) & GroundWater);
    int pedestrian = 0, grass = 0, water = 0;
    for (int x = 0; x < GridSize; ++x)
        for (int y = 0; y < GridSize; ++y) {
            int32_t w = city.Word(x, y);
            EXPECT_NE(w & 0xFF, 0) << "cell " << x << ", " << y << " has no ground kind";
            pedestrian += IsPedestrianArea(w);
            grass += (w & GroundGrass) != 0;
            water += (w & GroundWater) != 0;
        }
    EXPECT_GT(pedestrian, 20000);
    EXPECT_GT(grass, 20000);
    EXPECT_GT(water, 5000);
}

TEST(CityData, RoutesAndMapPictureLineUp) {
    auto boss = LoadRoute(".\\data\\city\\boss.cur");
    auto director = LoadRoute(".\\data\\city\\director.cur");
    EXPECT_GT(boss->Points.size(), 10u);
    EXPECT_GT(director->Points.size(), 10u);
    TLoadedCity& city = City();
    for (const TCurvePoint& p : boss->Points)
        EXPECT_TRUE(city.Word(int(p.x), int(p.y)) & GroundAsphalt);

    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile("data/bitmaps/map.bmp", bytes));
    TBMPImage map;
    ASSERT_NO_THROW(map = ParseBMP(bytes, "map.bmp"));
    ASSERT_EQ(map.Width, 1024);
    ASSERT_EQ(map.Height, 512);
    int channels = int(map.Pixels.size() / (1024 * 512));
    auto pixel = [&](int a, int b) {
        return &map.Pixels[(size_t(MapPictureY(float(b))) * 1024 + size_t(MapPictureX(float(a)))) *
                           size_t(channels)];
    };
    // The whole city is on the screen when the picture is drawn full screen from row -32.
    EXPECT_GE(MapPictureX(0), 0);
    EXPECT_LE(MapPictureX(GridSize), 640);
    EXPECT_GE(MapPictureY(0) + MapPictureScreenY, 0);
    EXPECT_LE(MapPictureY(GridSize) + MapPictureScreenY, 480);
    // The river is blue at its place in the picture, the first mission's start grey.
    const uint8_t* river = pixel(188, 100);
    EXPECT_GT(river[2], river[0] + 40);
    const uint8_t* street = pixel(int(MissionSetups[1].Start[0].X), int(MissionSetups[1].Start[0].Y));
    EXPECT_LT(std::abs(street[0] - street[2]), 20);
}

namespace {

struct TView {
    const char* Shot;
    float X, Y, Heading, Pitch, Distance;
    bool GroundOnly = false; // draw the tiles without the buildings
};

std::string CityShot(const std::string& name) {
    std::filesystem::create_directories(KAL_SCREENSHOT_DIR);
    return std::string(KAL_SCREENSHOT_DIR) + "/" + name;
}

// Draws the views one after another, two frames each, and returns the shot files.
std::vector<std::string> RenderViews(int width, int height, const std::vector<TView>& views,
                                     int32_t viewDistance, TCamera* lastCamera = nullptr) {
    THarnessOptions harness;
    harness.FixedClock = true;
    std::vector<std::string> files;
    for (size_t i = 0; i < views.size(); ++i) {
        files.push_back(CityShot(views[i].Shot));
        harness.Shots.emplace_back(2 * i + 2, files.back());
    }
    TMessageRecorder messages;
    TEngine engine(width, height, false, 32, harness);
    Resources().Clear();
    Resources().AddTexture("lamp", 0);
    TCityHost host(engine);
    EXPECT_EQ(host.Read(CityFile), CityRecordTotal);
    EXPECT_GT(host.Lamps.size(), 500u);
    engine.Sprites3D.Clear(); // the lamps' glow would cover the ground these views check
    engine.Camera.ViewDistance = viewDistance;
    for (const TView& view : views)
        for (int frame = 0; frame < 2; ++frame) {
            engine.BeginFrame();
            engine.Camera.SetTarget(view.X, view.Y);
            engine.Camera.SetHeading(view.Heading);
            engine.Camera.SetPitch(view.Pitch);
            engine.Camera.SetDistance(view.Distance);
            engine.Camera.Apply();
            engine.DrawTextureGrid();
            if (!view.GroundOnly)
                engine.DrawMeshes();
            engine.DrawSprites3D();
            engine.DrawSprites();
            engine.EndFrame();
        }
    if (lastCamera)
        *lastCamera = engine.Camera;
    Resources().Clear();
    EXPECT_TRUE(messages.Messages.empty()) << messages.Messages[0].Text;
    return files;
}

struct TShotPixels {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Rgb; // top row first
    const uint8_t* At(int x, int y) const { return &Rgb[(size_t(y) * Width + size_t(x)) * 3]; }
};

TShotPixels LoadShotPixels(const std::string& file) {
    TShotPixels shot;
    EXPECT_TRUE(ReadPNG(file, shot.Width, shot.Height, shot.Rgb)) << file;
    return shot;
}

} // namespace

TEST(CityRender, TheWholeTownFromAbove) {
    const float Down = 1.5707f;
    auto files = RenderViews(960, 720, {{"city_topdown.png", 256, 256, -1.5708f, Down, 625}}, 1000);
    TShotPixels shot = LoadShotPixels(files[0]);
    ASSERT_EQ(shot.Width, 960);
    // The picture is full of town: hardly a black pixel in the middle half.
    int black = 0, blue = 0, green = 0, total = 0;
    for (int y = 180; y < 540; y += 4)
        for (int x = 240; x < 720; x += 4, ++total) {
            const uint8_t* p = shot.At(x, y);
            black += p[0] + p[1] + p[2] < 30;
            blue += p[2] > p[0] + 40;
            green += p[1] > p[0] + 30 && p[1] > p[2] + 30;
        }
    EXPECT_LT(black, total / 50);
    EXPECT_GT(blue, total / 200); // the river
    EXPECT_GT(green, total / 50); // parks and gardens
}

TEST(CityRender, StreetLevelViews) {
    const float Low = 0.32f;
    auto files = RenderViews(640, 480,
                             {{"city_downtown.png", 211, 322, -1.5708f, Low, 11},
                              {"city_riverside.png", 206, 262, -1.5708f, Low, 11},
                              {"city_station.png", 112, 390, 1.5708f, 0.42f, 8},
                              {"city_residential.png", 84, 107, 3.1416f, 0.3f, 10},
                              {"city_malls.png", 364, 349, -1.5708f, 0.35f, 8},
                              {"city_park.png", 306, 318, -1.5708f, 0.45f, 10},
                              {"city_bridge.png", 156, 261, -1.5708f, 0.38f, 10},
                              {"city_gas_station.png", 186, 306, -1.5708f, 0.5f, 9}},
                             22);
    for (const std::string& file : files) {
        TShotPixels shot = LoadShotPixels(file);
        ASSERT_EQ(shot.Width, 640);
        // Ground in the lower half, never the empty black of an unloaded grid.
        int dark = 0, total = 0;
        for (int y = 300; y < 480; y += 6)
            for (int x = 0; x < 640; x += 6, ++total)
                dark += shot.At(x, y)[0] + shot.At(x, y)[1] + shot.At(x, y)[2] < 30;
        EXPECT_LT(dark, total / 20) << file;
    }
}

TEST(CityRender, AerialViewsAtLongRange) {
    auto files = RenderViews(960, 720,
                             {{"city_aerial_downtown.png", 236, 318, -2.2f, 0.55f, 150},
                              {"city_aerial_river.png", 190, 215, -0.9f, 0.5f, 130},
                              {"city_aerial_station.png", 110, 385, -1.9f, 0.6f, 110}},
                             400);
    for (const std::string& file : files) {
        TShotPixels shot = LoadShotPixels(file);
        int dark = 0, total = 0;
        for (int y = 360; y < 720; y += 8)
            for (int x = 0; x < 960; x += 8, ++total)
                dark += shot.At(x, y)[0] + shot.At(x, y)[1] + shot.At(x, y)[2] < 30;
        EXPECT_LT(dark, total / 20) << file;
    }
}

// The pictures on the ground and the cell words must agree: a tile turned the wrong way would put
// its sidewalks, lawns or quays where the words say something else.
TEST(CityRender, GroundPicturesMatchTheCellWords) {
    TCamera camera;
    auto files = RenderViews(
        640, 480, {{"city_ground_check.png", 196.5f, 283.5f, -1.5708f, 1.5707f, 80, true}}, 200, &camera);
    camera.ViewDistance = 200; // the projection the picture was drawn with
    TShotPixels shot = LoadShotPixels(files[0]);
    TLoadedCity& city = City();
    int checked = 0;
    std::vector<std::array<int, 2>> wrongCells;
    for (int x = 172; x < 222; ++x)
        for (int y = 260; y < 308; ++y) {
            TScreenPoint p = camera.Project(x + 0.5f, y + 0.5f, 0);
            int px = int(p.X), py = LayoutHeight - 1 - int(p.Y);
            if (px < 2 || py < 2 || px > 637 || py > 477)
                continue;
            float r = 0, g = 0, b = 0;
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy) {
                    const uint8_t* c = shot.At(px + dx, py + dy);
                    r += c[0] / 9.0f, g += c[1] / 9.0f, b += c[2] / 9.0f;
                }
            const uint8_t* c = shot.At(px, py);
            float mean = (c[0] + c[1] + c[2]) / 3.0f,
                  spread = float(std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]}));
            int32_t word = city.Word(x, y) & 0xFF;
            bool ok = true;
            if (word == GroundWater)
                ok = b > r + 30;
            else if (word == GroundGrass)
                ok = g > r + 15 && g > b + 15; // averaged: a blossom may sit on the centre
            else if (word == GroundAsphalt)
                ok = spread < 25 && (mean < 130 || mean > 200); // dark asphalt or white paint on it
            else if (word == GroundPedestrian)
                ok = mean > 110 && mean < 215 && c[1] < c[0] + 25;
            else
                continue;
            ++checked;
            if (!ok)
                wrongCells.push_back({x, y});
        }
    for (size_t k = 0; k < wrongCells.size() && k < 10; ++k)
        std::printf("ground picture differs from the word at cell %d, %d (word %d)\n", wrongCells[k][0],
                    wrongCells[k][1], city.Word(wrongCells[k][0], wrongCells[k][1]));
    int wrong = int(wrongCells.size());
    EXPECT_GT(checked, 1500);
    EXPECT_LE(wrong, checked / 500) << wrong << " of " << checked;
}
