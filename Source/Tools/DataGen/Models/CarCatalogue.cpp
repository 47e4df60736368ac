// The nine car designs of the game (eight player cars and the traffic-only Fabia) with every
// colour scheme the level loader asks for. Distances in metres from the front bumper (d), heights
// above the ground (z); half widths from the centre line.
#include "CarCatalogue.h"
#include "tables/CarModelTable.h"

namespace models {

namespace {

TCurve C(std::initializer_list<std::pair<float, float>> points) {
    return TCurve{points};
}

TCarPalette Palette(const std::string& key, const std::string& path, TRgb paint, bool metallic = false) {
    TCarPalette p;
    p.Key = key;
    p.Path = path;
    p.Paint = paint;
    p.Metallic = metallic;
    return p;
}

// A player car's design starts from its row of the car model table: the mesh key of the first
// player's car, its folder and its mesh file.
TCarDesign PlayerCarDesign(int carType) {
    const TCarModel& model = CarModelTable[carType];
    TCarDesign d;
    d.Name = model.Chassis[0];
    d.Directory = std::string("cars/") + model.Directory;
    d.MeshFile = std::string(model.Mesh) + ".3ds";
    return d;
}

TCarDesign Golf() {
    TCarDesign d = PlayerCarDesign(1);
    d.Length = 4.0f;
    d.WheelRadius = 0.285f;
    d.WheelWidth = 0.19f;
    d.FrontAxle = 0.85f;
    d.RearAxle = 3.32f;
    d.Bottom = C({{0, 0.30f}, {0.25f, 0.20f}, {3.75f, 0.20f}, {4.0f, 0.30f}});
    d.Belt = C({{0, 0.70f}, {0.9f, 0.86f}, {1.35f, 0.92f}, {3.6f, 0.98f}, {4.0f, 0.95f}});
    // Boxy: a flat bonnet, an upright screen, a flat roof and a steep hatch.
    d.Top = C({{0, 0.72f},
               {0.12f, 0.80f},
               {1.35f, 0.93f},
               {1.95f, 1.38f},
               {3.45f, 1.40f},
               {3.82f, 1.02f},
               {3.95f, 0.99f},
               {4.0f, 0.96f}});
    d.HalfWidth = C({{0, 0.78f}, {0.3f, 0.84f}, {3.7f, 0.84f}, {4.0f, 0.79f}});
    d.TopHalfWidth = C({{0, 0.70f}, {1.3f, 0.72f}, {2.0f, 0.68f}, {3.45f, 0.68f}, {4.0f, 0.70f}});
    d.Windows = {{1.40f, 2.72f}, {2.80f, 3.44f}};
    d.DoorLines = {1.42f, 2.78f};
    d.HeadLamps = {{0.55f, 0.63f, 0.085f, 0.085f, true}};
    d.Indicators = {{0.73f, 0.63f, 0.045f, 0.05f}};
    d.Grille = {0, 0.63f, 0.42f, 0.07f};
    d.BumperLo = 0.30f;
    d.BumperHi = 0.45f;
    d.PlateZ = 0.37f;
    d.RearPlateZ = 0.58f;
    d.TailLamps = {{0.60f, 0.74f, 0.17f, 0.07f}};
    d.Boxes = {{{1.45f, 0.84f, 0.96f}, {1.56f, 0.92f, 1.05f}, swBlack, true}};
    d.Rim = TRim::Steel;
    d.RimColour = Rgb(170, 172, 176);
    d.Palettes = {Palette("golf", "cars/vwgolf/golf.bmp", Rgb(146, 186, 36)),
                  Palette("golf_black", "aicars/vwgolf/golf_black.bmp", Rgb(24, 24, 27)),
                  Palette("golf_dark", "aicars/vwgolf/golf_dark.bmp", Rgb(40, 56, 72), true),
                  Palette("golf_red", "aicars/vwgolf/golf_red.bmp", Rgb(178, 22, 26))};
    return d;
}

TCarDesign Mustang() {
    TCarDesign d = PlayerCarDesign(0);
    d.Length = 4.76f;
    d.WheelRadius = 0.27f;
    d.WheelWidth = 0.22f;
    d.FrontAxle = 0.95f;
    d.RearAxle = 3.70f;
    d.Bottom = C({{0, 0.30f}, {0.35f, 0.18f}, {4.4f, 0.18f}, {4.76f, 0.30f}});
    d.Belt = C({{0, 0.70f}, {0.3f, 0.76f}, {1.75f, 0.86f}, {4.76f, 0.90f}});
    d.Top = C({{0, 0.71f},
               {0.08f, 0.79f},
               {1.70f, 0.88f},
               {2.25f, 1.30f},
               {2.95f, 1.32f},
               {3.85f, 1.00f},
               {4.7f, 0.94f},
               {4.76f, 0.92f}});
    d.HalfWidth = C({{0, 0.84f}, {0.25f, 0.90f}, {4.6f, 0.90f}, {4.76f, 0.86f}});
    d.TopHalfWidth =
        C({{0, 0.80f}, {1.7f, 0.74f}, {2.25f, 0.68f}, {2.95f, 0.68f}, {3.85f, 0.72f}, {4.76f, 0.80f}});
    d.GlassSlope = 0.3f;
    d.Windows = {{2.10f, 2.95f}, {3.00f, 3.40f}};
    d.DoorLines = {2.08f, 3.25f};
    d.HeadLamps = {{0.66f, 0.62f, 0.085f, 0.085f, true}};
    d.Grille = {0, 0.61f, 0.56f, 0.10f};
    d.ChromeBumpers = true;
    d.BumperLo = 0.33f;
    d.BumperHi = 0.43f;
    d.PlateZ = 0.26f;
    d.RearPlateZ = 0.55f;
    d.TailLamps = {{0.52f, 0.72f, 0.26f, 0.06f}};
    d.Boxes = {{{2.25f, 0.90f, 0.90f}, {2.35f, 1.0f, 0.97f}, swChrome, true}};
    d.Rim = TRim::ChromeSpokes;
    TCarPalette red = Palette("mustang", "cars/mustang/mustang.bmp", Rgb(172, 20, 24));
    red.Stripes = true;
    red.Accent = Rgb(236, 236, 230);
    TCarPalette black = Palette("mustang_black", "cars/mustang/mustang_black.bmp", Rgb(20, 20, 23));
    black.Stripes = true;
    black.Accent = Rgb(212, 170, 60);
    d.Palettes = {red, black};
    return d;
}

TCarDesign BMW() {
    TCarDesign d = PlayerCarDesign(2);
    d.Length = 4.35f;
    d.WheelRadius = 0.28f;
    d.WheelWidth = 0.2f;
    d.FrontAxle = 0.85f;
    d.RearAxle = 3.42f;
    d.Bottom = C({{0, 0.28f}, {0.3f, 0.19f}, {4.05f, 0.19f}, {4.35f, 0.28f}});
    d.Belt = C({{0, 0.70f}, {1.2f, 0.88f}, {1.35f, 0.89f}, {4.35f, 0.92f}});
    d.Top = C({{0, 0.72f},
               {0.1f, 0.80f},
               {1.30f, 0.91f},
               {1.95f, 1.36f},
               {3.0f, 1.38f},
               {3.55f, 0.99f},
               {4.3f, 0.96f},
               {4.35f, 0.92f}});
    d.HalfWidth = C({{0, 0.79f}, {0.25f, 0.84f}, {4.1f, 0.84f}, {4.35f, 0.80f}});
    d.TopHalfWidth = C({{0, 0.72f}, {1.95f, 0.66f}, {3.0f, 0.66f}, {4.35f, 0.72f}});
    d.Windows = {{1.37f, 2.44f}, {2.50f, 3.36f}};
    d.DoorLines = {1.38f, 2.47f, 2.48f, 3.30f};
    d.HeadLamps = {{0.63f, 0.61f, 0.07f, 0.07f, true}, {0.46f, 0.61f, 0.07f, 0.07f, true}};
    d.Grille = {0, 0.61f, 0.74f, 0.075f};
    d.BumperLo = 0.30f;
    d.BumperHi = 0.42f;
    d.PlateZ = 0.36f;
    d.RearPlateZ = 0.55f;
    d.TailLamps = {{0.56f, 0.76f, 0.24f, 0.07f}};
    d.Boxes = {{{1.42f, 0.84f, 0.93f}, {1.52f, 0.92f, 1.01f}, swBlack, true}};
    d.Rim = TRim::Alloy;
    d.RimColour = Rgb(200, 202, 206);
    d.Palettes = {Palette("bmw", "cars/bmw/bmw.bmp", Rgb(176, 180, 186), true),
                  Palette("bmw_black", "aicars/bmw/bmw_black.bmp", Rgb(22, 22, 25), true),
                  Palette("bmw_blue", "aicars/bmw/bmw_blue.bmp", Rgb(28, 58, 140), true),
                  Palette("bmw_khaki", "aicars/bmw/bmw_khaki.bmp", Rgb(140, 130, 88))};
    return d;
}

TCarDesign Skoda120() {
    TCarDesign d = PlayerCarDesign(7);
    d.Length = 4.16f;
    d.WheelRadius = 0.275f;
    d.WheelWidth = 0.17f;
    d.FrontAxle = 0.80f;
    d.RearAxle = 3.20f;
    d.Bottom = C({{0, 0.28f}, {0.3f, 0.20f}, {3.85f, 0.20f}, {4.16f, 0.30f}});
    d.Belt = C({{0, 0.68f}, {1.3f, 0.84f}, {4.16f, 0.86f}});
    d.Top = C({{0, 0.70f},
               {0.1f, 0.76f},
               {1.25f, 0.86f},
               {1.80f, 1.35f},
               {2.95f, 1.37f},
               {3.45f, 0.93f},
               {4.1f, 0.90f},
               {4.16f, 0.85f}});
    d.HalfWidth = C({{0, 0.76f}, {0.2f, 0.80f}, {4.0f, 0.80f}, {4.16f, 0.77f}});
    d.TopHalfWidth = C({{0, 0.72f}, {1.8f, 0.66f}, {2.95f, 0.66f}, {4.16f, 0.72f}});
    d.Windows = {{1.32f, 2.34f}, {2.41f, 3.22f}};
    d.DoorLines = {1.33f, 2.37f, 2.38f, 3.20f};
    d.HeadLamps = {{0.54f, 0.62f, 0.15f, 0.07f}};
    d.Indicators = {{0.70f, 0.49f, 0.05f, 0.03f}};
    d.Grille = {0, 0.625f, 0.36f, 0.035f};
    d.GrilleChrome = true;
    d.ChromeBumpers = true;
    d.BumperLo = 0.33f;
    d.BumperHi = 0.43f;
    d.PlateZ = 0.27f;
    d.RearPlateZ = 0.52f;
    d.TailLamps = {{0.58f, 0.70f, 0.16f, 0.06f}};
    d.Boxes = {{{1.35f, 0.80f, 0.90f}, {1.45f, 0.90f, 0.98f}, swChrome, true}};
    d.Rim = TRim::Hubcap;
    d.Palettes = {Palette("s120", "cars/skoda120/s120.bmp", Rgb(122, 168, 204)),
                  Palette("s120_darkblue", "aicars/skoda120/s120_darkblue.bmp", Rgb(26, 40, 98)),
                  Palette("s120_green", "aicars/skoda120/s120_green.bmp", Rgb(44, 112, 62)),
                  Palette("s120_orange", "aicars/skoda120/s120_orange.bmp", Rgb(226, 112, 24)),
                  Palette("s120_yellow", "aicars/skoda120/s120_yellow.bmp", Rgb(230, 200, 44))};
    return d;
}

TCarDesign Fabia() {
    TCarDesign d;
    d.Name = "fabia_white";
    d.Directory = "aicars/fabia";
    d.MeshFile = "fabia.3ds";
    d.Length = 4.0f;
    d.WheelRadius = 0.29f;
    d.WheelWidth = 0.19f;
    d.FrontAxle = 0.82f;
    d.RearAxle = 3.28f;
    d.Bottom = C({{0, 0.30f}, {0.25f, 0.20f}, {3.8f, 0.20f}, {4.0f, 0.32f}});
    // Rounder than the Golf: a short sloping bonnet, a raked screen, a curved roof.
    d.Belt = C({{0, 0.72f}, {0.9f, 0.92f}, {1.1f, 0.95f}, {3.7f, 1.02f}, {4.0f, 0.98f}});
    d.Top = C({{0, 0.72f},
               {0.12f, 0.82f},
               {1.05f, 0.97f},
               {1.45f, 1.22f},
               {2.0f, 1.43f},
               {2.6f, 1.47f},
               {3.2f, 1.44f},
               {3.62f, 1.16f},
               {3.88f, 1.06f},
               {4.0f, 0.99f}});
    d.HalfWidth = C({{0, 0.76f}, {0.3f, 0.83f}, {3.75f, 0.83f}, {4.0f, 0.78f}});
    d.TopHalfWidth = C({{0, 0.72f}, {1.95f, 0.66f}, {3.2f, 0.66f}, {4.0f, 0.70f}});
    d.Windows = {{1.15f, 2.30f}, {2.36f, 3.08f}, {3.14f, 3.42f}};
    d.DoorLines = {1.20f, 2.33f, 2.34f, 3.12f};
    d.HeadLamps = {{0.56f, 0.74f, 0.19f, 0.065f}};
    d.Grille = {0, 0.67f, 0.22f, 0.085f};
    d.GrilleChrome = true;
    d.BumperLo = 0.24f;
    d.BumperHi = 0.36f;
    d.PlateZ = 0.47f;
    d.RearPlateZ = 0.62f;
    d.TailLamps = {{0.66f, 0.86f, 0.11f, 0.11f}};
    d.Boxes = {{{1.22f, 0.83f, 1.0f}, {1.33f, 0.91f, 1.09f}, swPaint, true}};
    d.Rim = TRim::Alloy;
    d.Palettes = {Palette("fabia_white", "aicars/fabia/fabia_white.bmp", Rgb(222, 222, 218)),
                  Palette("fabia_blue", "aicars/fabia/fabia_blue.bmp", Rgb(30, 82, 172), true),
                  Palette("fabia_brown", "aicars/fabia/fabia_brown.bmp", Rgb(104, 64, 40), true),
                  Palette("fabia_metal", "aicars/fabia/fabia_metal.bmp", Rgb(168, 172, 178), true),
                  Palette("fabia_orange", "aicars/fabia/fabia_orange.bmp", Rgb(236, 122, 22))};
    return d;
}

TCarDesign Transit() {
    TCarDesign d = PlayerCarDesign(6);
    d.Length = 4.9f;
    d.WheelRadius = 0.34f;
    d.WheelWidth = 0.2f;
    d.FrontAxle = 0.80f;
    d.RearAxle = 3.70f;
    d.Bottom = C({{0, 0.36f}, {0.3f, 0.30f}, {4.6f, 0.30f}, {4.9f, 0.38f}});
    d.Belt = C({{0, 0.80f}, {0.85f, 1.02f}, {1.1f, 1.08f}, {4.9f, 1.12f}});
    d.Top = C({{0, 0.81f}, {0.1f, 0.93f}, {0.85f, 1.09f}, {1.55f, 2.0f}, {4.85f, 2.02f}, {4.9f, 1.96f}});
    d.HalfWidth = C({{0, 0.92f}, {0.25f, 0.98f}, {4.9f, 0.98f}});
    d.TopHalfWidth = C({{0, 0.86f}, {1.55f, 0.90f}, {4.9f, 0.93f}});
    d.Windows = {{1.12f, 2.02f}};
    d.DoorLines = {1.10f, 2.08f, 2.12f, 3.15f};
    d.HeadLamps = {{0.70f, 0.84f, 0.15f, 0.08f}};
    d.Indicators = {{0.90f, 0.84f, 0.04f, 0.07f}};
    d.Grille = {0, 0.82f, 0.50f, 0.09f};
    d.BumperLo = 0.40f;
    d.BumperHi = 0.58f;
    d.PlateZ = 0.49f;
    d.RearPlateZ = 0.70f;
    d.TailLamps = {{0.89f, 0.95f, 0.06f, 0.20f}};
    d.Boxes = {{{1.15f, 0.98f, 1.20f}, {1.28f, 1.14f, 1.45f}, swBlack, true}};
    d.Rim = TRim::Hubcap;
    TCarPalette white = Palette("transit", "cars/transit/transit.bmp", Rgb(222, 222, 218));
    d.Palettes = {white, Palette("transit_grey", "aicars/transit/transit_grey.bmp", Rgb(118, 122, 128), true),
                  Palette("transit_khaki", "aicars/transit/transit_khaki.bmp", Rgb(128, 124, 78))};
    return d;
}

TCarDesign Chevy() {
    TCarDesign d = PlayerCarDesign(4);
    d.Length = 5.2f;
    d.WheelRadius = 0.40f;
    d.WheelWidth = 0.28f;
    d.FrontAxle = 0.95f;
    d.RearAxle = 4.05f;
    d.Crown = 0.02f;
    d.Bottom = C({{0, 0.56f}, {0.3f, 0.50f}, {4.9f, 0.50f}, {5.2f, 0.58f}});
    d.Belt = C({{0, 1.10f}, {1.6f, 1.22f}, {1.75f, 1.23f}, {5.2f, 1.25f}});
    d.Top = C({{0, 1.11f},
               {0.1f, 1.19f},
               {1.65f, 1.26f},
               {2.10f, 1.85f},
               {3.06f, 1.87f},
               {3.08f, 1.27f},
               {5.2f, 1.27f}});
    d.HalfWidth = C({{0, 0.94f}, {0.2f, 1.0f}, {5.2f, 1.0f}});
    d.TopHalfWidth = C({{0, 0.90f}, {2.1f, 0.86f}, {3.08f, 0.86f}, {5.2f, 0.96f}});
    d.BedFrom = 3.10f;
    d.BedTo = 5.12f;
    d.BedFloor = 0.80f;
    d.Windows = {{1.75f, 2.96f}};
    d.DoorLines = {1.72f, 3.0f};
    d.HeadLamps = {{0.74f, 0.95f, 0.11f, 0.07f}};
    d.Indicators = {{0.74f, 0.84f, 0.10f, 0.03f}};
    d.Grille = {0, 0.95f, 0.58f, 0.13f};
    d.GrilleChrome = true;
    d.ChromeBumpers = true;
    d.BumperLo = 0.62f;
    d.BumperHi = 0.78f;
    d.PlateZ = 0.70f;
    d.RearPlateZ = 0.70f;
    d.TailLamps = {{0.88f, 1.02f, 0.07f, 0.12f}};
    d.Boxes = {
        // Roll bar over the front of the bed with its lamp pods.
        {{3.16f, 0.86f, 1.27f}, {3.24f, 0.94f, 1.95f}, swBlack, true},
        {{3.16f, -0.94f, 1.90f}, {3.24f, 0.94f, 1.98f}, swBlack},
        {{3.12f, 0.22f, 1.92f}, {3.16f, 0.42f, 2.05f}, swWhite, true},
        // Mirrors and a tow hitch.
        {{1.80f, 1.0f, 1.28f}, {1.92f, 1.14f, 1.42f}, swChrome, true},
        {{5.10f, -0.06f, 0.52f}, {5.2f, 0.06f, 0.60f}, swBlack},
    };
    d.Rim = TRim::Steel;
    d.RimColour = Rgb(226, 226, 220);
    TCarPalette blue = Palette("chevy", "cars/chevy/chevy.bmp", Rgb(32, 48, 110));
    d.Palettes = {blue, Palette("chevy_yellow", "cars/chevy/chevy_yellow.bmp", Rgb(236, 188, 32))};
    return d;
}

TCarDesign Avia() {
    TCarDesign d = PlayerCarDesign(5);
    d.Length = 5.6f;
    d.WheelRadius = 0.36f;
    d.WheelWidth = 0.24f;
    d.FrontAxle = 0.78f;
    d.RearAxle = 3.95f;
    d.Arches = false;
    d.Bottom =
        C({{0, 0.80f}, {1.75f, 0.80f}, {1.755f, 0.78f}, {1.90f, 0.78f}, {1.905f, 0.95f}, {5.6f, 0.95f}});
    d.Belt = C({{0, 1.45f}, {1.75f, 1.45f}, {1.755f, 0.98f}, {1.90f, 0.98f}, {1.905f, 2.60f}, {5.6f, 2.60f}});
    d.Top = C({{0, 2.10f},
               {0.25f, 2.34f},
               {1.75f, 2.38f},
               {1.755f, 1.0f},
               {1.90f, 1.0f},
               {1.905f, 2.63f},
               {5.6f, 2.63f}});
    d.HalfWidth = C({{0, 0.95f},
                     {0.12f, 1.0f},
                     {1.75f, 1.0f},
                     {1.755f, 0.42f},
                     {1.90f, 0.42f},
                     {1.905f, 1.06f},
                     {5.6f, 1.06f}});
    d.TopHalfWidth =
        C({{0, 0.90f}, {1.75f, 0.92f}, {1.755f, 0.38f}, {1.90f, 0.38f}, {1.905f, 1.03f}, {5.6f, 1.03f}});
    d.CargoFrom = 1.90f;
    d.CargoTo = 5.6f;
    d.CargoBottom = 0.95f;
    d.Windows = {{0.15f, 1.05f}};
    d.DoorLines = {0.12f, 1.12f};
    d.HeadLamps = {{0.70f, 1.02f, 0.09f, 0.09f, true}};
    d.Indicators = {{0.88f, 1.02f, 0.05f, 0.05f}};
    d.Grille = {0, 1.18f, 0.45f, 0.14f};
    d.BumperLo = 0.50f;
    d.BumperHi = 0.78f;
    d.PlateZ = 0.62f;
    d.RearPlateZ = 0.66f;
    d.TailLamps = {{0.80f, 0.66f, 0.13f, 0.05f}};
    d.Boxes = {
        {{0.25f, -0.42f, 0.42f}, {5.4f, 0.42f, 0.80f}, swDarkGrey},    // frame
        {{0.0f, -1.0f, 0.50f}, {0.14f, 1.0f, 0.78f}, -1},              // front bumper
        {{5.46f, -1.0f, 0.55f}, {5.6f, 1.0f, 0.78f}, -1},              // rear lamp bar
        {{3.45f, 0.64f, 0.74f}, {4.45f, 1.02f, 0.80f}, swBlack, true}, // mudguards
        {{0.22f, 1.0f, 1.40f}, {0.30f, 1.18f, 1.75f}, swBlack, true},  // mirrors
    };
    d.Rim = TRim::Truck;
    d.RimColour = Rgb(200, 200, 204);
    TCarPalette white = Palette("avia", "cars/avia/avia.bmp", Rgb(222, 222, 216));
    white.Cargo = Rgb(178, 180, 184);
    TCarPalette yellow = Palette("avia_yellow", "aicars/avia/avia_yellow.bmp", Rgb(236, 196, 30));
    yellow.Cargo = Rgb(178, 180, 184);
    d.Palettes = {white, yellow};
    return d;
}

TCarDesign Liaz() {
    TCarDesign d = PlayerCarDesign(3);
    d.Length = 8.0f;
    d.WheelRadius = 0.50f;
    d.WheelWidth = 0.32f;
    d.FrontAxle = 1.20f;
    d.RearAxle = 5.90f;
    d.Arches = false;
    d.Bottom =
        C({{0, 1.05f}, {2.2f, 1.05f}, {2.205f, 0.95f}, {2.45f, 0.95f}, {2.455f, 1.20f}, {8.0f, 1.20f}});
    d.Belt = C({{0, 1.85f}, {2.2f, 1.85f}, {2.205f, 1.23f}, {2.45f, 1.23f}, {2.455f, 3.10f}, {8.0f, 3.10f}});
    d.Top = C({{0, 2.75f},
               {0.2f, 2.92f},
               {2.2f, 2.95f},
               {2.205f, 1.25f},
               {2.45f, 1.25f},
               {2.455f, 3.13f},
               {8.0f, 3.13f}});
    d.HalfWidth = C({{0, 1.15f},
                     {0.1f, 1.22f},
                     {2.2f, 1.22f},
                     {2.205f, 0.45f},
                     {2.45f, 0.45f},
                     {2.455f, 1.25f},
                     {8.0f, 1.25f}});
    d.TopHalfWidth =
        C({{0, 1.10f}, {2.2f, 1.12f}, {2.205f, 0.40f}, {2.45f, 0.40f}, {2.455f, 1.20f}, {8.0f, 1.20f}});
    d.CargoFrom = 2.45f;
    d.CargoTo = 8.0f;
    d.CargoBottom = 1.20f;
    d.CargoTarp = true;
    d.Windows = {{0.18f, 1.25f}};
    d.DoorLines = {0.14f, 1.32f};
    d.HeadLamps = {{0.85f, 0.76f, 0.15f, 0.07f}};
    d.Indicators = {{1.10f, 0.76f, 0.06f, 0.06f}};
    d.Grille = {0, 1.40f, 0.80f, 0.22f};
    d.BumperLo = 0.55f;
    d.BumperHi = 0.95f;
    d.PlateZ = 0.62f;
    d.RearPlateZ = 0.75f;
    d.TailLamps = {{0.92f, 0.75f, 0.16f, 0.06f}};
    d.Boxes = {
        {{0.3f, -0.45f, 0.40f}, {7.8f, 0.45f, 1.05f}, swDarkGrey},     // frame
        {{0.0f, -1.22f, 0.55f}, {0.20f, 1.22f, 0.95f}, -1},            // front bumper
        {{7.80f, -1.22f, 0.60f}, {8.0f, 1.22f, 0.90f}, -1},            // rear lamp bar
        {{5.35f, 0.82f, 1.02f}, {6.45f, 1.25f, 1.12f}, swBlack, true}, // mudguards
        {{2.60f, 0.50f, 0.55f}, {3.50f, 0.82f, 0.95f}, swChrome},      // fuel tank
        {{0.15f, 1.22f, 1.70f}, {0.25f, 1.42f, 2.20f}, swBlack, true}, // mirrors
    };
    d.Rim = TRim::Truck;
    d.RimColour = Rgb(170, 30, 26);
    TCarPalette orange = Palette("liaz", "cars/liaz/liaz.bmp", Rgb(226, 104, 22));
    orange.Cargo = Rgb(98, 106, 82);
    TCarPalette green = Palette("liaz_green", "cars/liaz/liaz_green.bmp", Rgb(52, 102, 54));
    green.Cargo = Rgb(98, 106, 82);
    d.Palettes = {orange, green};
    return d;
}

} // namespace

std::vector<TCarDesign> CarDesigns() {
    return {Mustang(), Golf(), BMW(), Liaz(), Chevy(), Avia(), Transit(), Skoda120(), Fabia()};
}

} // namespace models
