// Car bodies and wheels: a body is lofted along its length from cross-sections that follow side
// profile curves (sill, beltline, roof line, half widths), plus a few boxes (bumpers, frame, mirrors,
// lamp bars). Every face takes its texture coordinates from the side, top, front or rear view of
// one 512 x 512 atlas, and the atlas is painted from the same curves, so windows, lamps and panel
// lines land where the geometry is. Built with the ground at z = 0 and the front at -x.
#pragma once

#include "ModelKit.h"

#include <string>
#include <vector>

namespace models {

// A lamp or plate on the front or rear view: centred at +-Y (mirrored) unless Y is 0.
struct TLampSpot {
    float Y, Z, HalfW, HalfH;
    bool Round = false;
};

// An extra box of the body; `Swatch` < 0 takes the body's view projection, else one solid swatch.
struct TBodyBox {
    V3 Lo, Hi;
    int Swatch = -1;
    bool Mirrored = false; // also placed at -y (Lo.y, Hi.y given for the +y side)
};

enum TSwatch {
    swPaint,
    swBlack,
    swChrome,
    swDarkGrey,
    swAmber,
    swRed,
    swGlass,
    swWhite,
    swCargo,
    swRubber,
    swCount
};

enum class TRim { Steel, ChromeSpokes, Alloy, Hubcap, Truck };

// One colour scheme: the paint and what goes with it.
struct TCarPalette {
    std::string Key;  // mesh key of this colour ("golf_black"), also the atlas name
    std::string Path; // atlas path below data ("aicars/vwgolf/golf_black.bmp")
    TRgb Paint;       // body colour
    TRgb Accent;      // stripes, cab stripe, second colour
    bool Stripes = false;
    bool Metallic = false;
    TRgb Cargo = Rgb(150, 150, 150);
};

struct TCarDesign {
    std::string Name;      // "golf": the mesh key of the first player's car
    std::string Directory; // "cars/vwgolf"
    std::string MeshFile;  // "golf.3ds"
    std::string WheelFile = "wheel.3ds";

    float Length = 4; // bumper to bumper, metres
    float WheelRadius = 0.3f;
    float WheelWidth = 0.2f;
    float FrontAxle = 0.9f, RearAxle = 3.4f; // distances of the axles from the front end
    float TrackInset = 0.02f;                // wheel outer face inside the body side
    bool Arches = true;
    float Crown = 0.03f; // roof and bonnet rise towards the centre line

    // Profiles along the distance d from the front end.
    TCurve Bottom, Belt, Top, HalfWidth, TopHalfWidth;
    // Side window spans [from, to] along d.
    std::vector<std::pair<float, float>> Windows;
    std::vector<float> DoorLines;
    float PillarMargin = 0.06f;
    float GlassSlope = 0.45f; // steeper parts of the roof line are windscreen or rear window

    // Front and rear views.
    std::vector<TLampSpot> HeadLamps, Indicators, TailLamps;
    TLampSpot Grille{0, 0, 0, 0};
    bool GrilleChrome = false;
    float BumperLo = 0.2f, BumperHi = 0.35f, BumperDepth = 0.12f;
    bool ChromeBumpers = false;
    float PlateZ = 0.3f, RearPlateZ = 0.4f;

    // Truck cargo box and pick-up bed, as d ranges (From < 0: none).
    float CargoFrom = -1, CargoTo = -1, CargoBottom = 0;
    bool CargoTarp = false;
    float BedFrom = -1, BedTo = -1, BedFloor = 0, BedWall = 0.06f;
    bool RoofRack = false;

    std::vector<TBodyBox> Boxes;
    TRim Rim = TRim::Steel;
    TRgb RimColour = Rgb(190, 190, 195);

    // The first palette is the model's own atlas (Directory/Name.bmp, referenced by the 3DS file).
    std::vector<TCarPalette> Palettes;
};

// What the vehicle code needs to know of a generated car (metres, body frame of the game's vehicle).
struct TCarGeometry {
    std::string Name;
    float Length, Width, Height; // mesh extents
    float WheelRadius, WheelWidth;
    float FrontAxle, RearAxle; // fractions of Length from the centre, as the car configuration wants
    float HalfTrack;
    float Clearance;        // lowest point of the body above the ground
    V3 FrontLamp, RearLamp; // lamp 1 in the body frame (lamp 2 mirrored in y)
    size_t BodyTriangles, WheelTriangles;
};

// Builds the body, its wheel and every palette's atlas and hands the files to `sink`.
TCarGeometry WriteCar(const TCarDesign& design, const TFileSink& sink);

// The numbers of the generated car without writing anything.
TCarGeometry MeasureCar(const TCarDesign& design);

// The body and wheel meshes alone (for tests and the triangle budget).
TMeshBuilder BuildCarBody(const TCarDesign& design, float& clearance);
TMeshBuilder BuildWheel(const TCarDesign& design);
TAtlas PaintCarAtlas(const TCarDesign& design, const TCarPalette& palette);

} // namespace models
