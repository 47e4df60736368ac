// The launcher window's pictures: the 402 x 402 background under its controls and the 401 x 33
// start banner. Stored as opaque 32-bit pictures so their rows need no padding. The launcher's
// 100 x 100 faces are written with the game's faces. Also the desktop's way in: the 256 x 256
// program icon (PNG with transparent corners) and the desktop entry that starts the launcher from
// the run directory this data tree lies in.
//
// Window layout the background is painted for (pixels, top-left origin): labels at (32, 144) and
// (32, 176), language list at (304, 140), player list (160, 176)-(393, 305), face picture
// (32, 204)-(132, 304), buttons on row 312..337, start banner at (1, 359).
#include "PictureKit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <png.h>
#include <stdexcept>

namespace {

void PaintBackground(const TGenContext& context) {
    TCanvas c(402, 402);
    PaintNightSky(c, 130, 51);
    PaintSkyline(c, 130, 20, 70, 0.2f, 52);
    PaintSkyline(c, 130, 10, 40, 0.8f, 53);
    // Body of the window: a dark panel with a faint diagonal texture.
    c.Fill(
        0, 130, 402, 402, [](float, float) { return -10.0f; },
        [](float x, float y) {
            TColor base = Mix(Rgb(40, 36, 62), Rgb(22, 20, 36), (y - 130) / 272.0f);
            return std::fmod(x + y, 10.0f) < 1.0f ? Mix(base, Palette::White, 0.03f) : base;
        });
    c.Fill(
        0, 128, 402, 132, [](float, float) { return -10.0f; },
        Linear(0, 0, Palette::Accent, 402, 0, Rgb(110, 0, 60)));
    TTitleStyle title;
    title.Tracking = 3;
    title.GlowRadius = 8;
    DrawTitle(c, SansBold(), "KALMIROV", 201, 74, 52, title);
    SansBold().DrawCentred(c, "CITY  DRIVING", 201, 100, 12, Solid(WithAlpha(Palette::White, 0.85f)), 4);
    // Frame for the face picture.
    c.FillRoundRect(27, 199, 137, 309, 6, Solid(Palette::Accent));
    c.FillRoundRect(30, 202, 134, 306, 4, Solid(Rgb(12, 10, 22)));
    // Thin rules under the language and player rows.
    c.Line(16, 164, 393, 164, 1, Solid(WithAlpha(Palette::White, 0.12f)));
    c.Line(16, 346, 393, 346, 1, Solid(WithAlpha(Palette::White, 0.12f)));
    SavePicture(context, "resources/background.bmp", c, TBMPFormat::RGBA);
}

void PaintStartBanner(const TGenContext& context) {
    TCanvas c(401, 33);
    c.Fill(
        0, 0, 401, 33, [](float, float) { return -10.0f; },
        Linear(0, 0, Rgb(150, 0, 50), 401, 0, Palette::Accent));
    c.Fill(
        0, 0, 401, 16, [](float, float) { return -10.0f; }, Solid(WithAlpha(Palette::White, 0.12f)));
    for (int i = 0; i < 3; ++i) {
        float x = 250 + i * 14.0f;
        c.FillPolygon({{x, 8}, {x + 9, 16.5f}, {x, 25}, {x + 4, 25}, {x + 13, 16.5f}, {x + 4, 8}},
                      Solid(WithAlpha(Palette::White, 0.5f + 0.25f * i)));
    }
    TCanvas text(401, 33);
    SansBold().DrawCentred(text, "START", 190, 24, 19, Solid(Palette::White), 6);
    TCanvas shadow = text;
    shadow.Blur(1.5f);
    c.DrawMask(shadow, Solid(WithAlpha(Palette::Ink, 0.7f)), 1, 1, 2.0f);
    c.Draw(text, 0, 0);
    SavePicture(context, "resources/start.bmp", c, TBMPFormat::RGBA);
}

std::vector<uint8_t> EncodePNG(const TCanvas& canvas) {
    std::vector<uint8_t> rgba;
    rgba.reserve(canvas.Pixels.size() * 4);
    for (const TColor& c : canvas.Pixels)
        for (float v : {c.R, c.G, c.B, c.A})
            rgba.push_back(uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)));
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(canvas.Width);
    image.height = png_uint_32(canvas.Height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr))
        throw std::runtime_error("cannot encode the program icon");
    std::vector<uint8_t> bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgba.data(), 0, nullptr))
        throw std::runtime_error("cannot encode the program icon");
    bytes.resize(size);
    return bytes;
}

// The window's and the desktop's icon: the night skyline of the launcher in a rounded tile, with the
// game's initial over it.
void PaintIcon(const TGenContext& context) {
    constexpr int Size = 256;
    TCanvas c(Size, Size);
    TCanvas tile(Size, Size);
    PaintNightSky(tile, 190, 54);
    PaintSkyline(tile, 190, 30, 90, 0.5f, 55);
    tile.Fill(
        0, 190, Size, Size, [](float, float) { return -10.0f; },
        [](float x, float y) { return Mix(Rgb(40, 36, 62), Rgb(22, 20, 36), (y - 190) / 66.0f); });
    tile.Fill(
        0, 188, Size, 196, [](float, float) { return -10.0f; },
        Linear(0, 0, Palette::Accent, Size, 0, Rgb(110, 0, 60)));
    // Road markings running into the tile's lower edge.
    for (int i = 0; i < 3; ++i)
        tile.FillRoundRect(28 + i * 80.0f, 224, 68 + i * 80.0f, 232, 3,
                           Solid(WithAlpha(Palette::White, 0.55f)));
    TTitleStyle title;
    title.GlowRadius = 12;
    title.OutlineWidth = 4;
    DrawTitle(tile, SansBold(), "K", 128, 170, 170, title);
    // Only the rounded tile stays; the corners are transparent.
    tile.ScaleAlpha([](float x, float y) {
        return std::clamp(0.5f - SdRoundRect(x, y, 8, 8, Size - 8, Size - 8, 44), 0.0f, 1.0f);
    });
    TCanvas shadow = tile;
    shadow.Blur(4);
    c.DrawMask(shadow, Solid(WithAlpha(Palette::Ink, 0.6f)), 0, 3);
    c.Draw(tile, 0, 0);
    context.Write("resources/kalmirov.png", EncodePNG(c));
}

// A program path as the Exec key wants it: quoted, with its reserved characters escaped.
std::string QuotedExec(const std::string& path) {
    std::string quoted = "\"";
    for (char ch : path) {
        if (ch == '"' || ch == '`' || ch == '$' || ch == '\\')
            quoted += "\\\\"; // a backslash for the quoting, doubled for the string escape
        quoted += ch;
    }
    return quoted + "\"";
}

// The desktop entry of a build points at the program beside this data tree, which reads its data from
// there, and starts it in that folder. The install makes its own from it (packaging/).
void WriteDesktopEntry(const TGenContext& context) {
    std::filesystem::path dataDir = std::filesystem::absolute(context.DataDir).lexically_normal();
    if (!dataDir.has_filename()) // "data/" as given
        dataDir = dataDir.parent_path();
    std::filesystem::path runDir = dataDir.parent_path();
    std::string exec = "Exec=" + QuotedExec((runDir / "kalmirov").string()) + "\n";
    std::string path = "Path=" + runDir.string() + "\n";
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Version=1.0\n"
                       "Name=Kalmirov\n"
                       "GenericName=City Driving Game\n"
                       "GenericName[cs]=Automobilová hra ve městě\n"
                       "Comment=Drive, deliver and race through the night city of Kalmirov\n"
                       "Comment[cs]=Jezdi, rozvážej a závoď nočním městem Kalmirov\n" +
                       exec + path +
                       "Icon=kalmirov\n"
                       "Terminal=false\n"
                       "Categories=Game;ActionGame;\n"
                       "Keywords=car;driving;city;race;\n";
    context.Write("resources/kalmirov.desktop", std::vector<uint8_t>(text.begin(), text.end()));
}

void GenerateLauncher(const TGenContext& context) {
    PaintBackground(context);
    PaintStartBanner(context);
    PaintIcon(context);
    WriteDesktopEntry(context);
}

} // namespace

KAL_GENERATOR("launcher", GenerateLauncher);
