// The generated pictures and fonts of the data tree, read back with the game's own BMP parser:
// every picture the game and the launcher load, at the sizes and depths they are drawn, the loader's
// bar slot, the soft pictures' faded borders, and the two bitmap fonts' layout and coverage of the
// game's English and Czech texts.
#include "tables/FaceTable.h"
#include "uBMP.h"
#include "uByteReader.h"
#include "uGLFont.h"
#include "uText1250.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::string DataDir() {
    return std::string(KAL_RUN_DIR) + "/data/";
}

// The data tree is made by the build's data step (see NO_DATA_TREE).
#define REQUIRE_DATA_TREE()                                                                                  \
    if (!std::filesystem::exists(DataDir() + "fonts/menu_item.dat"))                                         \
    NO_DATA_TREE(DataDir())

TBMPImage Load(const std::string& relative) {
    std::vector<uint8_t> bytes;
    TBMPImage image;
    if (!ReadWholeFile(DataDir() + relative, bytes)) {
        ADD_FAILURE() << "cannot read " << relative;
        return image;
    }
    EXPECT_NO_THROW(image = ParseBMP(bytes, relative));
    return image;
}

bool PowerOfTwo(int v) {
    return v > 0 && (v & (v - 1)) == 0;
}

// Alpha of a pixel, (x, y) with y counted from the bottom row as stored.
int AlphaAt(const TBMPImage& image, int x, int y) {
    size_t bpp = size_t(image.BytesPerPixel());
    const uint8_t* p = image.Pixels.data() + (size_t(y) * size_t(image.Width) + size_t(x)) * bpp;
    return image.Format == TBMPFormat::Alpha ? p[0] : image.Format == TBMPFormat::RGBA ? p[3] : 255;
}

struct TPictureSpec {
    const char* File;
    int Width, Height;
    TBMPFormat Format;
};

const TPictureSpec GamePictures[] = {
    // Loaded before the intro.
    {"bitmaps/intro.bmp", 1024, 1024, TBMPFormat::RGB},
    {"bitmaps/quillmark.bmp", 128, 32, TBMPFormat::RGBA},
    {"bitmaps/tarvelgame.bmp", 128, 32, TBMPFormat::RGBA},
    {"bitmaps/menu_quillmark.bmp", 512, 128, TBMPFormat::RGBA},
    {"bitmaps/menu_kalmirov.bmp", 512, 128, TBMPFormat::RGBA},
    {"bitmaps/menu_kalmirov_multi.bmp", 512, 128, TBMPFormat::RGBA},
    {"bitmaps/menu_bg.bmp", 512, 256, TBMPFormat::RGBA},
    {"bitmaps/menu_enter.bmp", 64, 32, TBMPFormat::RGBA},
    {"bitmaps/menu_confirm.bmp", 64, 32, TBMPFormat::RGBA},
    {"bitmaps/menu_adjust.bmp", 64, 32, TBMPFormat::RGBA},
    {"bitmaps/menu_left.bmp", 64, 32, TBMPFormat::RGBA},
    {"bitmaps/menu_right.bmp", 64, 32, TBMPFormat::RGBA},
    {"bitmaps/menu_none.bmp", 64, 32, TBMPFormat::RGBA},
    // Loaded with the city.
    {"bitmaps/symbol_time.bmp", 32, 32, TBMPFormat::RGBA},
    {"bitmaps/symbol_fuel.bmp", 32, 32, TBMPFormat::RGBA},
    {"bitmaps/symbol_damage.bmp", 32, 32, TBMPFormat::RGBA},
    {"bitmaps/symbol_load.bmp", 32, 32, TBMPFormat::RGBA},
    {"bitmaps/symbol_fragile.bmp", 32, 32, TBMPFormat::RGBA},
    {"bitmaps/symbol_targets.bmp", 32, 32, TBMPFormat::RGBA},
    {"bitmaps/sipka_target.bmp", 32, 32, TBMPFormat::RGBA},
    {"bitmaps/map_outline.bmp", 128, 128, TBMPFormat::RGBA},
    {"bitmaps/map_arrow.bmp", 64, 64, TBMPFormat::RGBA},
    {"bitmaps/map_destination.bmp", 32, 32, TBMPFormat::RGBA},
    {"bitmaps/lamp.bmp", 128, 128, TBMPFormat::Alpha},
    {"bitmaps/particle_star.bmp", 64, 64, TBMPFormat::Alpha},
    {"bitmaps/brake.bmp", 64, 64, TBMPFormat::Alpha},
    {"bitmaps/cone.bmp", 128, 128, TBMPFormat::Alpha},
    {"bitmaps/shadow.bmp", 128, 128, TBMPFormat::Alpha},
    {"bitmaps/target.bmp", 256, 256, TBMPFormat::Alpha},
    {"bitmaps/minus25.bmp", 64, 32, TBMPFormat::RGBA},
    {"bitmaps/hint.bmp", 32, 32, TBMPFormat::RGBA},
    {"bitmaps/timer_one.bmp", 128, 128, TBMPFormat::RGBA},
    {"bitmaps/timer_two.bmp", 128, 128, TBMPFormat::RGBA},
    {"bitmaps/timer_three.bmp", 128, 128, TBMPFormat::RGBA},
    {"bitmaps/timer_go.bmp", 128, 128, TBMPFormat::RGBA},
    // Full-screen pictures shown while the game blocks.
    {"bitmaps/responsible_en.bmp", 1024, 512, TBMPFormat::RGB},
    {"bitmaps/responsible_cz.bmp", 1024, 512, TBMPFormat::RGB},
    {"bitmaps/loader.bmp", 1024, 512, TBMPFormat::RGB},
};

TEST(DataSetPictures, EveryGamePictureLoadsAtItsSizeAndDepth) {
    REQUIRE_DATA_TREE();
    for (const TPictureSpec& entry : GamePictures) {
        SCOPED_TRACE(entry.File);
        TBMPImage image = Load(entry.File);
        EXPECT_EQ(image.Width, entry.Width);
        EXPECT_EQ(image.Height, entry.Height);
        EXPECT_EQ(int(image.Format), int(entry.Format));
        // Textures without mipmaps on old hardware: power-of-two sides, rows without padding.
        EXPECT_TRUE(PowerOfTwo(image.Width) && PowerOfTwo(image.Height));
        EXPECT_EQ(image.Width * image.BytesPerPixel() % 4, 0);
    }
}

TEST(DataSetPictures, TransparentPicturesHaveClearCorners) {
    REQUIRE_DATA_TREE();
    // A visible corner would show the sprite's square outline in the game.
    for (const TPictureSpec& entry : GamePictures) {
        if (entry.Format == TBMPFormat::RGB || std::string(entry.File) == "bitmaps/menu_bg.bmp")
            continue;
        SCOPED_TRACE(entry.File);
        TBMPImage image = Load(entry.File);
        if (image.Pixels.empty())
            continue;
        int w = image.Width - 1, h = image.Height - 1;
        if (std::string(entry.File) == "bitmaps/map_outline.bmp") {
            // The frame covers its whole square except the rounded corners and the map window.
            EXPECT_GT(AlphaAt(image, 2, 64), 200);
            EXPECT_EQ(AlphaAt(image, 64, 64), 0);
        }
        EXPECT_EQ(AlphaAt(image, 0, 0), 0);
        EXPECT_EQ(AlphaAt(image, w, 0), 0);
        EXPECT_EQ(AlphaAt(image, 0, h), 0);
        EXPECT_EQ(AlphaAt(image, w, h), 0);
    }
}

TEST(DataSetPictures, SoftPicturesFadeToNothingAtTheirBorder) {
    REQUIRE_DATA_TREE();
    // Lamp glows, shadows, tracks and stains are tinted quads: any alpha on the border would draw a
    // visible square edge.
    for (const char* file : {"bitmaps/lamp.bmp", "bitmaps/particle_star.bmp", "bitmaps/brake.bmp",
                             "bitmaps/cone.bmp", "bitmaps/shadow.bmp", "bitmaps/target.bmp"}) {
        SCOPED_TRACE(file);
        TBMPImage image = Load(file);
        if (image.Pixels.empty())
            continue;
        int border = 0, inside = 0;
        for (int y = 0; y < image.Height; ++y)
            for (int x = 0; x < image.Width; ++x) {
                int a = AlphaAt(image, x, y);
                bool edge = x == 0 || y == 0 || x == image.Width - 1 || y == image.Height - 1;
                (edge ? border : inside) = std::max(edge ? border : inside, a);
            }
        EXPECT_LE(border, 2);
        EXPECT_GE(inside, 100);
    }
    // The lamp glow is brightest in its middle.
    TBMPImage lamp = Load("bitmaps/lamp.bmp");
    if (!lamp.Pixels.empty()) {
        EXPECT_GT(AlphaAt(lamp, 64, 64), AlphaAt(lamp, 64, 100));
    }
}

TEST(DataSetPictures, LampGlowIsClearOutsideItsCircle) {
    REQUIRE_DATA_TREE();
    // Lamp glows and car shadows are drawn as the octagon around the inscribed circle: a filtered
    // sample outside that circle reads only texels within one texel of it in each direction, so
    // every texel from half a diagonal short of the circle outwards must be clear.
    TBMPImage lamp = Load("bitmaps/lamp.bmp");
    if (lamp.Pixels.empty())
        return;
    ASSERT_EQ(lamp.Width, lamp.Height);
    double radius = lamp.Width / 2.0, reach = radius - std::sqrt(2.0);
    int outside = 0;
    for (int y = 0; y < lamp.Height; ++y)
        for (int x = 0; x < lamp.Width; ++x)
            if (std::hypot(x + 0.5 - radius, y + 0.5 - radius) >= reach && AlphaAt(lamp, x, y) != 0)
                ++outside;
    EXPECT_EQ(outside, 0);
}

TEST(DataSetPictures, HeadlightConeStartsNarrowAtTheLamps) {
    REQUIRE_DATA_TREE();
    // The car lays the cone with the texture's t = 1 edge (the last stored row) at its lamps.
    TBMPImage cone = Load("bitmaps/cone.bmp");
    if (cone.Pixels.empty())
        return;
    auto litWidth = [&](int row) {
        int n = 0;
        for (int x = 0; x < cone.Width; ++x)
            n += AlphaAt(cone, x, row) > 40;
        return n;
    };
    EXPECT_LT(litWidth(cone.Height - 12), litWidth(40));
}

TEST(DataSetPictures, LoaderLeavesADarkSlotForTheProgressBar) {
    REQUIRE_DATA_TREE();
    // The bar is drawn at screen (225, 182)-(426, 194); the picture sits at y = -32, so that is
    // picture rows 214..226 from the bottom.
    TBMPImage loader = Load("bitmaps/loader.bmp");
    if (loader.Pixels.empty())
        return;
    for (int y = 214; y <= 226; y += 4)
        for (int x = 225; x <= 426; x += 10) {
            const uint8_t* p = loader.Pixels.data() + (size_t(y) * 1024 + size_t(x)) * 3;
            EXPECT_LT(p[0] + p[1] + p[2], 60) << "at " << x << ", " << y;
        }
}

TEST(DataSetPictures, NoticeScreensDifferByLanguage) {
    REQUIRE_DATA_TREE();
    TBMPImage en = Load("bitmaps/responsible_en.bmp"), cz = Load("bitmaps/responsible_cz.bmp");
    EXPECT_NE(en.Pixels, cz.Pixels);
}

TEST(DataSetFaces, TableHasTheClassesAndUniqueFileNames) {
    int classes[4] = {};
    std::set<std::string> names;
    for (const TFaceRow& row : FaceTable) {
        ASSERT_LT(row.Class, 4);
        classes[row.Class]++;
        std::string name = row.Name;
        EXPECT_TRUE(names.insert(name).second) << name;
        for (char c : name)
            EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') << name;
    }
    EXPECT_EQ(classes[0], 13);
    EXPECT_EQ(classes[1], 4);
    EXPECT_EQ(classes[2], 2);
    EXPECT_EQ(classes[3], 3);
    EXPECT_EQ(FaceTable[MissionGiverFace].Class, fcBoss);
    for (const TFaceRow& row : FaceTable)
        if (row.Class == fcAlien) {
            EXPECT_EQ(std::string(row.Name).rfind("et", 0), 0u) << row.Name;
        }
}

TEST(DataSetFaces, EveryFaceExistsForTheGameAndTheFirst19ForTheLauncher) {
    REQUIRE_DATA_TREE();
    std::set<uint64_t> distinct; // FNV-1a of the pixels
    for (int face = 0; face < FaceCount; ++face) {
        std::string file = std::string("face_") + FaceTable[face].Name + ".bmp";
        SCOPED_TRACE(file);
        TBMPImage game = Load("bitmaps/" + file);
        EXPECT_EQ(game.Width, 128);
        EXPECT_EQ(game.Height, 128);
        EXPECT_EQ(int(game.Format), int(TBMPFormat::RGB));
        uint64_t hash = 14695981039346656037ull;
        for (uint8_t b : game.Pixels)
            hash = (hash ^ b) * 1099511628211ull;
        distinct.insert(hash);
        bool forLauncher = face < LauncherFaceCount;
        EXPECT_EQ(std::filesystem::exists(DataDir() + "resources/" + file), forLauncher);
        if (forLauncher) {
            TBMPImage small = Load("resources/" + file);
            EXPECT_EQ(small.Width, 100);
            EXPECT_EQ(small.Height, 100);
        }
    }
    EXPECT_EQ(distinct.size(), size_t(FaceCount));
}

TEST(DataSetPictures, LauncherPicturesFitTheWindow) {
    REQUIRE_DATA_TREE();
    TBMPImage background = Load("resources/background.bmp");
    EXPECT_EQ(background.Width, 402);
    EXPECT_EQ(background.Height, 402);
    TBMPImage start = Load("resources/start.bmp");
    EXPECT_EQ(start.Width, 401);
    EXPECT_EQ(start.Height, 33);
    for (const TBMPImage* image : {&background, &start})
        for (int y = 0; y < image->Height; y += 7)
            for (int x = 0; x < image->Width; x += 7)
                ASSERT_EQ(AlphaAt(*image, x, y), 255) << "launcher pictures are opaque";
}

// One bitmap font as the game reads it.
class BitmapFont : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        REQUIRE_DATA_TREE();
        std::string name = GetParam();
        Sheet = Load("fonts/" + name + ".bmp");
        std::array<uint8_t, 256> widths = TGLFont::ReadWidths(DataDir() + "fonts/" + name + ".dat");
        Widths.assign(widths.begin(), widths.end());
        Font = std::make_unique<TGLFont>(0u, widths, 640, 480);
        ASSERT_EQ(Sheet.Width % 16, 0);
        ASSERT_EQ(Sheet.Width, Sheet.Height);
        Cell = Sheet.Width / 16;
    }

    // Ink pixels of code c inside stored rows [rowFrom, rowTo) of its cell, columns [colFrom, colTo).
    int Ink(uint8_t c, int colFrom, int colTo, int rowFrom = 0, int rowTo = -1) const {
        if (rowTo < 0)
            rowTo = Cell;
        int n = 0;
        int x0 = (c % 16) * Cell, y0 = (c / 16) * Cell; // stored row = t * height: the cell's top is row y0
        for (int y = rowFrom; y < rowTo; ++y)
            for (int x = colFrom; x < colTo; ++x)
                n += AlphaAt(Sheet, x0 + x, y0 + y) > 96;
        return n;
    }

    // Ink pixels inside the texture rectangle the game's font maps onto one glyph quad.
    int QuadInk(const TGlyphQuad& quad) const {
        int x0 = int(std::lround(quad.S0 * Sheet.Width)), x1 = int(std::lround(quad.S1 * Sheet.Width));
        int y0 = int(std::lround(std::min(quad.TTop, quad.TBottom) * Sheet.Height));
        int y1 = int(std::lround(std::max(quad.TTop, quad.TBottom) * Sheet.Height));
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += AlphaAt(Sheet, x, y) > 96;
        return n;
    }

    // Width in cell pixels (the width byte counts 1/32 of the glyph height, the cell's side).
    int WidthPixels(uint8_t c) const { return Widths[c] * Cell / 32; }

    TBMPImage Sheet;
    std::vector<uint8_t> Widths;
    std::unique_ptr<TGLFont> Font; // the game's font over this width table (no texture needed)
    int Cell = 0;
};

TEST_P(BitmapFont, SheetIsAnAlphaPictureOfSixteenBySixteenCells) {
    EXPECT_EQ(int(Sheet.Format), int(TBMPFormat::Alpha));
    EXPECT_TRUE(PowerOfTwo(Sheet.Width));
}

TEST_P(BitmapFont, EveryPrintableCharacterHasWidthAndInkAndNothingElseDoes) {
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE("code " + std::to_string(code));
        uint32_t cp = Cp1250ToUnicode(uint8_t(code));
        bool printable = code >= 32 && code != 127 && cp != 0;
        EXPECT_LE(Widths[size_t(code)], 32);
        if (!printable) {
            EXPECT_EQ(Widths[size_t(code)], 0);
            EXPECT_EQ(Ink(uint8_t(code), 0, Cell), 0);
            continue;
        }
        EXPECT_GT(Widths[size_t(code)], 0);
        int inside = Ink(uint8_t(code), 0, WidthPixels(uint8_t(code)));
        if (cp == 0x20 || cp == 0xA0) {
            EXPECT_EQ(inside, 0);
        } else {
            EXPECT_GT(inside, 0);
        }
        // The game draws only the left `width` columns: ink beyond them would be cut off.
        EXPECT_EQ(Ink(uint8_t(code), WidthPixels(uint8_t(code)), Cell), 0);
    }
}

TEST_P(BitmapFont, CellsKeepTheirTopAndBottomRowsClear) {
    // Linear filtering samples half a texel beyond the glyph quad; empty edge rows keep the
    // neighbouring cells' glyphs from bleeding in.
    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(Ink(uint8_t(code), 0, Cell, 0, 1), 0) << code;
        EXPECT_EQ(Ink(uint8_t(code), 0, Cell, Cell - 1, Cell), 0) << code;
    }
}

TEST_P(BitmapFont, GameFontFindsGlyphsUprightInTheirCells) {
    // The stored row where the game's font puts the top of a glyph: the bar of a 'T' lies next to
    // it, the bar of an 'L' next to the bottom.
    auto widestRowFromTop = [&](uint8_t c) {
        TGlyphQuad quad = Font->LayoutLine(std::string(1, char(c))).at(0);
        int top = int(std::lround(quad.TTop * Sheet.Height)),
            bottom = int(std::lround(quad.TBottom * Sheet.Height));
        int step = bottom > top ? 1 : -1, best = 0, bestDistance = 0;
        for (int row = top, distance = 0; row != bottom; row += step, ++distance) {
            int n = 0;
            for (int x = int(quad.S0 * Sheet.Width); x < int(quad.S1 * Sheet.Width); ++x)
                n += AlphaAt(Sheet, x, row) > 96;
            if (n > best)
                best = n, bestDistance = distance;
        }
        return bestDistance;
    };
    EXPECT_LT(widestRowFromTop('T'), Cell / 2);
    EXPECT_GT(widestRowFromTop('L'), Cell / 2);
    EXPECT_GT(widestRowFromTop('_'), widestRowFromTop('-'));
    // Text drawn at size 16 advances by the width bytes.
    EXPECT_FLOAT_EQ(Font->TextWidth("A") * 16 * 16, Widths['A'] / 32.0f * 16);
}

TEST_P(BitmapFont, CoversEveryCharacterOfTheGamesTexts) {
    // The texts the menus, the HUD and the hints show, in both languages; the menus and the HUD
    // draw them upper-cased.
    const char* texts[] = {
        "Mustang 69",
        "VW Golf",
        "BMW",
        "Liaz",
        "Chevy",
        "Avia",
        "Ford Transit",
        "Skoda 120",
        "More a car for museum than streets, but still awesome performance.",
        "Auto spíše do vitríny než na silnici, ale výkonu má dostatek.",
        "Swift car that hold the curves. Good for small errands.",
        "Svižný vůz, který drží jako přibitý. Vhodný na menší nákupy.",
        "Low stability, that's the price for the power of this luxury limousine.",
        "Nestabilita, to je daň za přebytek výkonu tohoto luxusního vozidla.",
        "Bad for racing but can deliver any cargo. Watch out in narrow streets.",
        "Špatný na závodění, ale dokáže převézt cokoliv. Pozor v úzkých uličkách.",
        "This one will deliver persons and cargo, and 4WD will do the thing.",
        "Doveze osoby i náklad, náhon na všechna 4 kola udělají své.",
        "Legendary worker of roads. Slow and lazy, due to big cargo space.",
        "Proslulá dělnice silnic. Pomalá, a hůře ovladatelná, avšak hodně uveze.",
        "Reliable and fast, you have to be precise on the accelerator.",
        "Spolehlivý a rychlý, na plynový pedál se však musí zlehka.",
        "Easy to handle and cute car for beginners or old drivers",
        "Snadno ovladatelný a hbitý vůz zejména pro začínající nebo postarší řidiče.",
        "None",
        "Žádné",
        "Riverside Rookie",
        "Pro zelenáče",
        "Downtown Mellee",
        "Souboj ve středu",
        "Tarvel Revenge",
        "Tarvelova pomsta",
        "By station",
        "U nádraží",
        "Really easy",
        "Fakt easy",
        "Pure",
        "Fast ride",
        "Rychlá jízda",
        "Zig Zag",
        "Cik cak",
        "Reverse is perverse",
        "Couvat se vyplácí",
        "Everyone gets crazy",
        "Všichni se zbláznili",
        "Střed města",
        "Your fule is getting low",
        "Dochází ti benzín!",
        "Your car is hardly broken",
        "Tvé auto je velmi poškozené!",
        "Watch the cargo! It can get broken next time!",
        "Pozor na náklad! každý další náraz ho může zničit!",
        "%s extra scores!",
        "%s bere extra bod!",
        "English",
        "Čeština",
        "Race for two",
        "Závod pro dva",
        "Single race",
        "Závod pro jednoho",
        "Highscore",
        "Options",
        "Nastavení",
        "Quit game",
        "Konec hry",
        "Player 1",
        "Hráč 1",
        "Player 2",
        "Hráč 2",
        "Profile",
        "Profil",
        "Car",
        "Auto",
        "Track",
        "Okruh",
        "Start",
        "Return",
        "Zpět",
        "Use left/right arrow to change values ",
        "Použij šipky vlevo/vpravo ke změně hodnoty ",
        "Restart",
        "Znova",
        "Winner",
        "Vítěz",
        " Points",
        " Bodů",
        "Arrow keys",
        "Kurzorové šipky",
        "W, S, E, R keys",
        "Klávesy W, S, E, R",
        "Player",
        "Hráč",
        " Seconds",
        " Sekund",
        "Completed",
        "Dokončeno",
        "1st place!",
        "1. místo!",
        "2nd place",
        "3rd place",
        "10th place",
        "10. místo",
        "Web highscore",
        "Pořadí na webu",
        "Submit to web",
        "Poslat na web",
        "No race was completed",
        "Zatím nikdo nezávodil",
        "Your highscore was succesfully submitted.",
        "Tvoje highscore bylo úspěšně odesláno.",
        "See actual highscore at ",
        "Aktuální highscore najdeš na ",
        "Error with submiting your highscore.",
        "Highscore se nepodařilo odeslat.",
        "Check your internet connection.",
        "Zkontrolujte své připojení k internetu",
        "Camera view",
        "Kamera",
        "Top",
        "Nadhled",
        "Chase",
        "Zpoza",
        "Multiplayer",
        "Music",
        "Hudba",
        "Sound",
        "Zvuk",
        "Language",
        "Jazyk",
        "Mission",
        "Mise",
        "Continue",
        "Pokračovat",
        "Mission %d",
        "Mise %d",
        "Select car:",
        "Vyber auto:",
        "Mission failed",
        "Mise nedokončena",
        "Better luck next time",
        "Snad to příště vyjde!",
        "Gas",
        "Benzín",
        "Use right arrow to change values",
        "Použij šipku vpravo ke změně hodnoty",
        "Damage",
        "Poškození",
        "Use left arrow to change values",
        "Použij šipku vlevo ke změně hodnoty",
        "Press enter for menu",
        "Pro menu stiskni enter",
        "0123456789.%/:-",
        "FPS: 100 ORDER: 16 ROW: 0 Braking: True",
    };
    std::set<uint8_t> used;
    for (const char* text : texts) {
        std::string cp = Utf8ToCp1250(text);
        ASSERT_EQ(cp.find('?'), std::string::npos) << text << " has a character outside the code page";
        for (std::string version : {cp, UpperCp1250(cp)})
            for (unsigned char c : version)
                used.insert(c);
    }
    for (uint8_t c : used) {
        SCOPED_TRACE("character " + Cp1250ToUtf8(std::string(1, char(c))));
        TGlyphQuad quad = Font->LayoutLine(std::string(1, char(c))).at(0);
        EXPECT_GT(quad.Right - quad.Left, 0.0f);
        if (c != ' ') {
            EXPECT_GT(QuadInk(quad), 0);
        }
    }
    // Every Czech accented letter, upper and lower case, whether the texts use it today or not.
    for (const char* letter : {"á", "č", "ď", "é", "ě", "í", "ň", "ó", "ř", "š", "ť", "ú", "ů", "ý", "ž"}) {
        std::string lower = Utf8ToCp1250(letter);
        for (uint8_t c : {uint8_t(lower[0]), uint8_t(UpperCp1250(lower)[0])}) {
            EXPECT_GT(Widths[c], 0) << letter;
            EXPECT_GT(Ink(c, 0, WidthPixels(c)), 0) << letter;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DataSetFonts, BitmapFont, ::testing::Values("menu_item", "menu_text"));

} // namespace
