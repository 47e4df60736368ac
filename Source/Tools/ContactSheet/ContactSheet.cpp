// kalcontact: review pages for the generated data.
//   kalcontact sheet DATA_DIR OUT.png  every BMP picture of the tree as a thumbnail with its resource
//                                      key, path, size and depth (alpha pictures white on a checkerboard; the
//                                      part of a full-screen picture the player sees is framed in cyan)
//   kalcontact text DATA_DIR OUT.png   sample lines drawn from the two bitmap fonts the way the game's
//                                      font maps its glyph cells, Czech texts included
//   kalcontact view PICTURE.bmp OUT.png one picture at full size over a checkerboard
//   kalcontact mockup DATA_DIR OUT.png the main menu over the intro and an in-race HUD, composed
//                                      from the pictures and fonts as the game places them
#include "Raster.h"
#include "TextRaster.h"
#include "uBMP.h"
#include "uByteReader.h"
#include "uHarness.h"
#include "uText1250.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes))
        throw std::runtime_error("cannot read " + path);
    return bytes;
}

TBMPImage LoadPicture(const std::string& path) {
    return ParseBMP(ReadBytes(path), path);
}

// The picture's pixel (x, y), y counted from the top, as straight RGBA.
TColor PixelAt(const TBMPImage& image, int x, int y) {
    int row = image.Height - 1 - y;
    const uint8_t* p =
        image.Pixels.data() + (size_t(row) * size_t(image.Width) + size_t(x)) * size_t(image.BytesPerPixel());
    switch (image.Format) {
    case TBMPFormat::Alpha:
        return {1, 1, 1, p[0] / 255.0f};
    case TBMPFormat::RGB:
        return {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, 1};
    default:
        return {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
    }
}

bool SavePNG(const TCanvas& canvas, const std::string& path) {
    std::vector<uint8_t> rgb(size_t(canvas.Width) * size_t(canvas.Height) * 3);
    for (int y = 0; y < canvas.Height; ++y)
        for (int x = 0; x < canvas.Width; ++x) {
            const TColor& c = canvas.At(x, canvas.Height - 1 - y);
            uint8_t* d = rgb.data() + (size_t(y) * size_t(canvas.Width) + size_t(x)) * 3;
            d[0] = uint8_t(std::lround(std::clamp(c.R * c.A, 0.0f, 1.0f) * 255));
            d[1] = uint8_t(std::lround(std::clamp(c.G * c.A, 0.0f, 1.0f) * 255));
            d[2] = uint8_t(std::lround(std::clamp(c.B * c.A, 0.0f, 1.0f) * 255));
        }
    return WritePNG(path, canvas.Width, canvas.Height, rgb);
}

// The resource key the game registers a picture under: the file name without ".bmp", except for
// the few pictures whose key differs from their file name; fonts and launcher pictures have none.
std::string KeyOf(const fs::path& relative) {
    static const std::pair<const char*, const char*> renamed[] = {
        {"bitmaps/particle_star.bmp", "star"},
        {"bitmaps/menu_kalmirov_multi.bmp", "menu_multiplayer"},
        {"bitmaps/menu_left.bmp", "menu_adjust_left"},
        {"bitmaps/menu_right.bmp", "menu_adjust_right"},
        {"bitmaps/menu_none.bmp", "menu_adjust_none"},
        {"bitmaps/responsible_en.bmp", "responsible"},
        {"bitmaps/responsible_cz.bmp", "responsible"},
    };
    std::string path = relative.generic_string();
    for (const auto& [file, key] : renamed)
        if (path == file)
            return key;
    std::string top = path.substr(0, path.find('/'));
    if (top == "fonts" || top == "resources")
        return "(" + top + ")";
    return relative.stem().string();
}

int ContactSheet(const fs::path& dataDir, const std::string& out) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(dataDir))
        if (entry.is_regular_file() && entry.path().extension() == ".bmp")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "kalcontact: no pictures under %s\n", dataDir.c_str());
        return 1;
    }
    TFontFace font(std::string(KAL_DEJAVU_DIR) + "/DejaVuSans.ttf");
    constexpr int Columns = 8, Cell = 200, Thumb = 176, Label = 46;
    int rows = int((files.size() + Columns - 1) / Columns);
    TCanvas page(Columns * Cell, rows * (Cell + Label) + 10, Rgb(36, 36, 40));
    for (size_t i = 0; i < files.size(); ++i) {
        TBMPImage image = LoadPicture(files[i].string());
        int cx = int(i % Columns) * Cell + (Cell - Thumb) / 2;
        int cy = int(i / Columns) * (Cell + Label) + 10;
        float scale = std::min(float(Thumb) / float(image.Width), float(Thumb) / float(image.Height));
        int tw = std::max(1, int(image.Width * scale)), th = std::max(1, int(image.Height * scale));
        int ox = cx + (Thumb - tw) / 2, oy = cy + (Thumb - th) / 2;
        for (int y = 0; y < th; ++y)
            for (int x = 0; x < tw; ++x) {
                bool dark = ((x / 8) + (y / 8)) % 2;
                page.At(ox + x, oy + y) = dark ? Rgb(70, 70, 76) : Rgb(100, 100, 108);
                // Box average over the source pixels this thumbnail pixel covers.
                int x0 = int(x / scale), x1 = std::max(x0 + 1, int((x + 1) / scale));
                int y0 = int(y / scale), y1 = std::max(y0 + 1, int((y + 1) / scale));
                TColor sum;
                float n = 0;
                for (int sy = y0; sy < std::min(y1, image.Height); ++sy)
                    for (int sx = x0; sx < std::min(x1, image.Width); ++sx) {
                        TColor c = PixelAt(image, sx, sy);
                        sum.R += c.R * c.A, sum.G += c.G * c.A, sum.B += c.B * c.A, sum.A += c.A;
                        n += 1;
                    }
                if (sum.A > 0)
                    page.Blend(ox + x, oy + y, {sum.R / sum.A, sum.G / sum.A, sum.B / sum.A, sum.A / n}, 1);
            }
        if (image.Width == 1024 && image.Height == 512) {
            float x1 = ox + 640 * scale, y1 = oy + 480 * scale;
            TPaint cyan = Solid(Rgb(0, 220, 255, 0.8f));
            page.Line(float(ox), float(oy), x1, float(oy), 1, cyan);
            page.Line(float(ox), y1, x1, y1, 1, cyan);
            page.Line(x1, float(oy), x1, y1, 1, cyan);
        }
        std::string name = fs::relative(files[i], dataDir).string();
        std::string info = std::to_string(image.Width) + " x " + std::to_string(image.Height) + "  " +
                           std::to_string(image.BytesPerPixel() * 8) + " bit";
        float size = std::min(11.0f, 11.0f * float(Cell - 8) / std::max(1.0f, font.TextWidth(name, 11)));
        font.DrawText(page, KeyOf(fs::relative(files[i], dataDir)), float(cx - 8), float(cy + Thumb + 15), 12,
                      Solid(Rgb(255, 120, 170)));
        font.DrawText(page, name, float(cx - 8), float(cy + Thumb + 29), size, Solid(Rgb(240, 240, 245)));
        font.DrawText(page, info, float(cx - 8), float(cy + Thumb + 42), 10, Solid(Rgb(160, 160, 170)));
    }
    if (!SavePNG(page, out)) {
        std::fprintf(stderr, "kalcontact: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("kalcontact: %zu pictures -> %s\n", files.size(), out.c_str());
    return 0;
}

// A bitmap font as the game reads it: the glyph sheet and 256 advance widths in 1/32 of the height.
struct TSheetFont {
    TBMPImage Sheet;
    std::vector<uint8_t> Widths;

    TSheetFont(const fs::path& dataDir, const std::string& name) {
        Sheet = LoadPicture((dataDir / "fonts" / (name + ".bmp")).string());
        Widths = ReadBytes((dataDir / "fonts" / (name + ".dat")).string());
        if (Widths.size() != 256)
            throw std::runtime_error(name + ".dat is not 256 bytes");
    }

    // Alpha of the sheet at texture coordinates (s, t), t = 0 being the first stored row.
    float Sample(float s, float t) const {
        float fx = s * Sheet.Width - 0.5f, fy = t * Sheet.Height - 0.5f;
        int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
        float tx = fx - x0, ty = fy - y0;
        auto at = [&](int x, int y) {
            x = std::clamp(x, 0, Sheet.Width - 1);
            y = std::clamp(y, 0, Sheet.Height - 1);
            const uint8_t* p = Sheet.Pixels.data() +
                               (size_t(y) * size_t(Sheet.Width) + size_t(x)) * size_t(Sheet.BytesPerPixel());
            return (Sheet.Format == TBMPFormat::RGBA ? p[3] : p[0]) / 255.0f;
        };
        float a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
        float b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
        return a + (b - a) * ty;
    }

    // Draws Windows-1250 text with the top-left of the line at (x, top), glyphs `size` pixels high.
    float Draw(TCanvas& page, const std::string& text, float x, float top, float size,
               const TColor& colour) const {
        for (unsigned char c : text) {
            float a = Widths[c] / 32.0f;
            float s0 = (c % 16) * 0.0625f, t0 = (c / 16) * 0.0625f;
            int w = int(std::ceil(a * size));
            for (int v = 0; v < int(size); ++v)
                for (int u = 0; u < w; ++u) {
                    float s = s0 + (u + 0.5f) / size * 0.0625f;
                    float t =
                        t0 + (v + 0.5f) / size * 0.0625f; // screen top of the glyph is the cell's lower t
                    page.Blend(int(x) + u, int(top) + v, colour, Sample(s, t));
                }
            x += a * size;
        }
        return x;
    }
};

int TextSamples(const fs::path& dataDir, const std::string& out) {
    TSheetFont item(dataDir, "menu_item"), text(dataDir, "menu_text");
    TCanvas page(640, 480, Rgb(14, 14, 30));
    const TColor accent = Rgb(231, 0, 75), white = Rgb(255, 255, 255);
    auto cp = [](const char* utf8, bool upper) {
        std::string s = Utf8ToCp1250(utf8);
        return upper ? UpperCp1250(s) : s;
    };
    float y = 16;
    item.Draw(page, cp("Závod pro jednoho", true), 40, y, 32, accent);
    item.Draw(page, cp("Single race", true), 380, y, 32, white);
    y += 36;
    item.Draw(page, cp("Nastavení", true), 40, y, 32, white);
    item.Draw(page, cp("Konec hry", true), 380, y, 32, white);
    y += 36;
    item.Draw(page, cp("Poškození 90%", true), 40, y, 32, white);
    item.Draw(page, cp("Vítěz", true), 380, y, 32, accent);
    y += 44;
    item.Draw(page, cp("Příliš žluťoučký kůň úpěl ďábelské ódy", true), 20, y, 16, white);
    y += 20;
    item.Draw(page, cp("Příliš žluťoučký kůň úpěl ďábelské ódy", false), 20, y, 16, white);
    y += 28;
    const char* lines[] = {
        "Použij šipky vlevo/vpravo ke změně hodnoty",
        "Tvoje highscore bylo úspěšně odesláno.",
        "Auto spíše do vitríny než na silnici, ale výkonu má dostatek.",
        "Špatný na závodění, ale dokáže převézt cokoliv. Pozor v úzkých uličkách.",
        "Doveze osoby i náklad, náhon na všechna 4 kola udělají své.",
        "The quick brown fox jumps over the lazy dog. 0123456789 %/:!?",
        "ĄĆĘŁŃÓŚŹŻ ąćęłńóśźż ÄÖÜß äöüő ŐŰű ŤŇĎĹĽŔ ťňďĺľŕ €‰†‡•–—™",
    };
    for (const char* line : lines) {
        text.Draw(page, cp(line, false), 20, y, 16, white);
        y += 20;
    }
    y += 10;
    text.Draw(page, cp("Pro menu stiskni enter", true), 20, y, 16, accent);
    y += 22;
    text.Draw(page, cp("FPS: 100  X: 256.000 Y: 128.500", false), 20, y, 12, Rgb(180, 180, 200));
    y += 22;
    item.Draw(page, cp("12.34  3/10  87%", false), 20, y, 24, accent);
    if (!SavePNG(page, out)) {
        std::fprintf(stderr, "kalcontact: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("kalcontact: text samples -> %s\n", out.c_str());
    return 0;
}

// Draws a picture as the game's 2D pass does: a quad with its bottom-left corner at (x, y) in the
// 640 x 480 overlay (y up), the whole texture stretched over width x height, tinted and faded.
void DrawSprite(TCanvas& page, const TBMPImage& image, int x, int y, int width, int height,
                TColor tint = {1, 1, 1, 1}) {
    for (int sy = std::max(0, y); sy < std::min(page.Height, y + height); ++sy)
        for (int sx = std::max(0, x); sx < std::min(page.Width, x + width); ++sx) {
            float s = (sx - x + 0.5f) / width, t = (sy - y + 0.5f) / height;
            int px = std::clamp(int(s * image.Width), 0, image.Width - 1);
            int row = std::clamp(int(t * image.Height), 0, image.Height - 1); // stored rows, bottom first
            TColor c = PixelAt(image, px, image.Height - 1 - row);
            page.Blend(sx, page.Height - 1 - sy, {c.R * tint.R, c.G * tint.G, c.B * tint.B, c.A}, tint.A);
        }
}

// The main menu over the intro as the game composes it, and an in-race HUD over a dark street.
int Mockups(const fs::path& dataDir, const std::string& out) {
    auto picture = [&](const char* file) { return LoadPicture((dataDir / "bitmaps" / file).string()); };
    TSheetFont item(dataDir, "menu_item"), text(dataDir, "menu_text");
    auto cp = [](const char* utf8) { return UpperCp1250(Utf8ToCp1250(utf8)); };
    // Font text at overlay (x, y) = bottom-left of the line.
    auto write = [](TCanvas& page, const TSheetFont& font, const std::string& s, float x, float y, float size,
                    const TColor& c) { font.Draw(page, s, x, float(page.Height) - y - size, size, c); };
    const TColor accent = Rgb(231, 0, 75), white = Rgb(255, 255, 255);

    TCanvas page(1280, 480, Rgb(0, 0, 0));
    TCanvas menu(640, 480, Rgb(0, 0, 0));
    DrawSprite(menu, picture("intro.bmp"), 0, -64, 1024, 1024);
    DrawSprite(menu, picture("menu_bg.bmp"), 0, 107, 640, 286, {1, 1, 1, 248 / 255.0f});
    DrawSprite(menu, picture("menu_kalmirov.bmp"), 120, 320, 512, 128);
    const char* items[] = {"Single race", "Race for two", "Highscore", "Options", "Quit game"};
    const int ys[] = {300, 270, 240, 180, 150};
    for (int i = 0; i < 5; ++i)
        write(menu, item, cp(items[i]), 350, float(ys[i]), 32, i == 0 ? accent : white);
    DrawSprite(menu, picture("menu_enter.bmp"), 350 - 70, 300 - 2, 64, 32);
    DrawSprite(menu, picture("quillmark.bmp"), 23, 0, 128, 32);
    DrawSprite(menu, picture("tarvelgame.bmp"), 527, 0, 128, 32);
    page.Draw(menu, 0, 0);

    TCanvas hud(640, 480, Rgb(0, 0, 0));
    DrawSprite(hud, picture("loader.bmp"), 0, -32, 1024, 512, {0.35f, 0.35f, 0.45f, 1});
    DrawSprite(hud, picture("face_racer.bmp"), 20, 340, 128, 128);
    const char* symbols[] = {"symbol_fuel.bmp", "symbol_damage.bmp", "symbol_time.bmp", "symbol_targets.bmp"};
    const char* values[] = {"87%", "12%", "41.20", "3/10"};
    for (int i = 0; i < 4; ++i) {
        int x = 590 - 50 * i;
        DrawSprite(hud, picture(symbols[i]), x, 440, 32, 32);
        write(hud, item, values[i], float(x) + 1, 440 - 16 - 1, 16, Rgb(0, 0, 0));
        write(hud, item, values[i], float(x), 440 - 16, 16, accent);
    }
    DrawSprite(hud, picture("timer_one.bmp"), 256, 176, 128, 128, {1, 1, 1, 0.8f});
    DrawSprite(hud, picture("hint.bmp"), 20, 30, 32, 32);
    write(hud, text, cp("Your fule is getting low"), 60, 42, 16, white);
    DrawSprite(hud, picture("map_outline.bmp"), 492, 20, 128, 128);
    DrawSprite(hud, picture("sipka_target.bmp"), 304, 100, 32, 32);
    DrawSprite(hud, picture("timer_go.bmp"), 420, 200, 64, 64, {229 / 255.0f, 138 / 255.0f, 0, 0.9f});
    DrawSprite(hud, picture("lamp.bmp"), 160, 180, 64, 64, {1, 254 / 255.0f, 168 / 255.0f, 96 / 255.0f});
    DrawSprite(hud, picture("particle_star.bmp"), 220, 240, 24, 24, {231 / 255.0f, 0, 75 / 255.0f, 1});
    page.Draw(hud, 640, 0);
    if (!SavePNG(page, out)) {
        std::fprintf(stderr, "kalcontact: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

int ViewPicture(const std::string& file, const std::string& out) {
    TBMPImage image = LoadPicture(file);
    TCanvas page(image.Width, image.Height);
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            page.At(x, y) = ((x / 8) + (y / 8)) % 2 ? Rgb(70, 70, 76) : Rgb(100, 100, 108);
            page.Blend(x, y, PixelAt(image, x, y), 1);
        }
    return SavePNG(page, out) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string mode = argc == 4 ? argv[1] : "";
    if (mode != "sheet" && mode != "text" && mode != "view" && mode != "mockup") {
        std::fprintf(stderr, "usage: kalcontact sheet|text|mockup DATA_DIR OUT.png  or  kalcontact view "
                             "PICTURE.bmp OUT.png\n");
        return 2;
    }
    try {
        if (mode == "view")
            return ViewPicture(argv[2], argv[3]);
        if (mode == "mockup")
            return Mockups(argv[2], argv[3]);
        return mode == "sheet" ? ContactSheet(argv[2], argv[3]) : TextSamples(argv[2], argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalcontact: %s\n", e.what());
        return 1;
    }
}
