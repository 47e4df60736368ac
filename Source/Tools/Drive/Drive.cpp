// kaldrive: drives one player car through the generated city, alone, with the camera behind it —
// for feeling and tuning the cars by hand and for measuring them from key scripts.
//   kaldrive [-w] [-ns] [--car TYPE] [--at X,Y] [--heading DEG] [--night] [--top] [--no-draw] [--no-city]
//            [--report FILE] [harness options: --keys, --frames, --shot, --fixed-clock, --headless]
// Keys as in the game: arrows drive, Space brakes, Left Ctrl horn, Q headlights, C camera, Esc quits.
// --report writes one line per frame: frame, x, y, speed, heading, damage, fuel, braking, and how
// upright the body is (1 upright, 0 on its side, -1 on its roof), steering angle (radians).
#include "city/CityHost.h"
#include "cars/PlayerCars.h"
#include "controls/KeyControls.h"
#include "Sound.h"
#include "uBMP.h"
#include "uByteReader.h"
#include "uCityMap.h"
#include "uEngine.h"
#include "uOptions.h"
#include "uRandom.h"
#include "uAngles.h"

#include <cmath>
#include <cstdio>
#include <deque>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

struct TDriveOptions {
    bool Windowed = false;
    int CarType = 1;
    float X = 256, Y = 256, Heading = 0;
    bool Night = false;
    bool TopView = false;
    bool Draw = true;
    bool City = true;
    std::string Report;
};

// The chase view: the camera looks at a point 3 m ahead of the car as it was 30 frames ago.
class TChaseCamera {
  public:
    void Update(TCamera& camera, const TCar& car, bool topView) {
        float h = Radians(car.Heading), v = car.GetSpeed();
        History.push_front({car.PosX - 3 * std::cos(h), car.PosY - 3 * std::sin(h), h});
        if (History.size() > 32)
            History.pop_back();
        const TPoint& old = History.back();
        float wanted = topView ? 2 * v + 10 : v + 10;
        if (camera.Distance < wanted) {
            camera.Distance += 0.005f;
            if (camera.Distance > wanted)
                camera.Distance -= 0.005f;
        } else if (camera.Distance > wanted) {
            camera.Distance -= 0.005f;
        }
        if (topView) {
            camera.SetTarget(car.PosX, car.PosY);
            camera.SetHeading(-1.5707964f);
        } else {
            camera.SetTarget(old.X, old.Y);
            camera.SetHeading(old.H);
        }
        camera.Apply();
    }

  private:
    struct TPoint {
        float X, Y, H;
    };
    std::deque<TPoint> History;
};

TDriveOptions ParseOptions(const std::vector<std::string>& args) {
    TDriveOptions options;
    bool noCity = false, noDraw = false;
    TOptionParser()
        .Flag("-w", options.Windowed)
        .Ignored("-ns")
        .Int("--car", options.CarType, 0, 7)
        .Custom("--at",
                [&options](const std::string& at) {
                    std::string::size_type comma = at.find(',');
                    if (comma == std::string::npos)
                        TOptionParser::Refuse("--at", "X,Y", at);
                    options.X = float(TOptionParser::RealNumber("--at", at.substr(0, comma), 0, 512));
                    options.Y = float(TOptionParser::RealNumber("--at", at.substr(comma + 1), 0, 512));
                })
        .Real("--heading", options.Heading, -360, 360)
        .Flag("--night", options.Night)
        .Flag("--top", options.TopView)
        .Flag("--no-city", noCity)
        .Flag("--no-draw", noDraw)
        .Text("--report", options.Report)
        .Parse(args);
    options.City = !noCity;
    options.Draw = !noDraw;
    return options;
}

void LoadAssets(TEngine& engine) {
    for (const char* key : {"lamp", "cone", "shadow"})
        Resources().AddTexture(key, engine.LoadTexture(std::string(".\\data\\bitmaps\\") + key + ".bmp"));
    Resources().AddTexture("star", engine.LoadTexture(".\\data\\bitmaps\\particle_star.bmp"));
    Resources().AddSample("crash1", Sound().LoadSample(".\\data\\sound\\sfx_crash1.wav"));
    Resources().AddSample("crash2", Sound().LoadSample(".\\data\\sound\\sfx_crash2.wav"));
    // Player 1's car of every type: its body, wheel, engine and horn.
    for (const TCarModel& car : CarModelTable) {
        TMeshRecord mesh;
        engine.LoadMesh(CarFilePath(car, std::string(car.Mesh) + ".3ds"), "", 1.0f, mesh);
        Resources().AddMesh(car.Chassis[0], mesh);
        engine.LoadMesh(CarFilePath(car, "wheel.3ds"), "", 1.0f, mesh);
        Resources().AddMesh(car.Wheel, mesh);
        Resources().AddSample(car.EngineSample, Sound().LoadSample(CarFilePath(car, "engine.wav")));
        Resources().AddSample(car.HornSample, Sound().LoadSample(CarFilePath(car, "horn.wav")));
    }
}

int Drive(TDriveOptions options, const THarnessOptions& harness) {
    TEngine engine(640, 480, !options.Windowed, 32, harness);
    // Every pass of the loop reads the keys once: --frames counts those, headless as in a window.
    engine.CountsTicks = true;
    if (engine.Headless())
        options.Draw = false;
    SeedRandom(1);
    LoadAssets(engine);
    TCityHost city(engine);
    if (options.City)
        city.Read("data/city/city.tmf");
    engine.SetLamps(options.Night ? 112 : 0, 3.3f);

    std::unique_ptr<TCar> car = CreatePlayerCar(options.CarType, engine, city.Cells, 1);
    car->SetPosition(options.X, options.Y);
    car->SetHeading(options.Heading);
    car->SetLights(options.Night);
    engine.AddVehicle(car.get());
    engine.Camera.SetPitch(options.TopView ? 1.5324842f : 1.0471976f);
    engine.Camera.SetDistance(10);
    engine.Camera.ViewDistance = 60;

    std::ofstream report;
    if (!options.Report.empty())
        report.open(options.Report);
    // Player 1's default keys, as in the game.
    const TKeyBindings keys = TKeyBindings::Defaults();
    TChaseCamera chase;
    bool topView = options.TopView;
    uint64_t frame = 0;
    while (!engine.WindowClosed() && !engine.HarnessFinished()) {
        engine.ReadKeyboard();
        if (engine.KeyPressed(DIK_ESCAPE))
            break;
        DriveByKeys(*car, engine.Keys, keys, 0);
        if (engine.KeyPressed(keys.Key(0, TKeyAction::Camera))) {
            topView = !topView;
            engine.Camera.SetPitch(topView ? 1.5324842f : 1.0471976f);
        }
        engine.SaveKeyboard();

        engine.BeginFrame();
        chase.Update(engine.Camera, *car, topView);
        if (options.Draw)
            engine.DrawTextureGrid();
        engine.TickMeshes({{car->PosX, car->PosY}}); // the buildings round the car stand as boxes
        if (options.Draw) {
            engine.PrepareMeshes();
            engine.DrawPreparedMeshes();
        }
        engine.UpdateVehicles();
        if (options.Draw) {
            engine.DrawVehicles();
            engine.BeginOverlay();
            engine.SetOverlayColor(0, 0, 0, options.Night ? 112 : 32);
            engine.DrawOverlayRect(0, 0, 640, 480);
            engine.EndOverlay();
            engine.DrawSprites3D();
            engine.DrawSprites();
        }
        engine.EndFrame();
        ++frame;
        if (report.is_open())
            report << frame << ' ' << car->PosX << ' ' << car->PosY << ' ' << car->GetSpeed() << ' ' << car->Heading
                   << ' ' << car->Damage << ' ' << car->Fuel << ' ' << int(car->Braking) << ' ' << car->GetRotation()[10] << ' ' << car->GetSteerAngle()
                   << '\n';
    }
    engine.RemoveVehicle(car.get());
    car.reset();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        THarnessOptions harness = ParseHarnessOptions(args);
        TDriveOptions options = ParseOptions(args);
        TSound sound(nullptr, CreateSDLAudioOutput(NoSoundRequested(args) || harness.Unattended()));
        SetSound(&sound);
        int result = Drive(options, harness);
        SetSound(nullptr);
        return result;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kaldrive: %s\n", e.what());
        return 1;
    }
}
